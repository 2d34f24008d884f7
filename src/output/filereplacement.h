#pragma once
// A file written whole or not at all: the text goes to a new file beside it,
// which takes the old one's name only once every byte is written and on the
// disk, the folder's new entry flushed after it, so that neither a failed
// write (a full disk, a file size limit) nor a crash or power cut leaves less
// than the old file or the whole new one; the new one is removed on failure.
// What is not a regular file (a device such as /dev/null, a pipe) is written
// to as it is: only a file can be replaced; so is a file in a folder where no
// new file can be made, unless the caller would rather have it refused.

#include <fstream>
#include <optional>
#include <string>

namespace geovanta {

class FileReplacement {
public:
    enum class Fallback {
        WriteInPlace,  // where no new file can be made beside it, or it is no regular file
        Refuse,        // error() instead: the old file is never truncated
    };

    // Creates the new file beside `path` (a symbolic link's target is the
    // file replaced); error() tells when that failed.
    explicit FileReplacement(std::string path, Fallback fallback = Fallback::WriteInPlace);
    // Removes the new file unless commit() succeeded.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    std::ostream& stream() { return out_; }
    // The new file, to be removed when the program must end at once; empty
    // when the target is written to directly.
    const std::string& tempPath() const { return temp_; }
    // Flushes to the disk, closes and puts the new file in place; false with
    // error() set when any of it failed, the old file then untouched.
    bool commit();
    const std::optional<std::string>& error() const { return error_; }

private:
    void discard();
    void openDirectly();

    std::string target_;
    std::string temp_;
    std::ofstream out_;
    std::optional<std::string> error_;
    bool committed_ = false;
    bool direct_ = false;  // the target is no regular file: no new file beside it
};

}  // namespace geovanta
