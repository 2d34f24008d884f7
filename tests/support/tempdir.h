#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the test ends.

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <type_traits>

namespace geovanta::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "geovanta-test-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder with a trailing separator.
    std::string folder() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    // Writes the bytes as they are and returns the file's full name.
    std::string write(const std::string& name, std::string_view bytes) const {
        const std::string p = file(name);
        std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p;
    }
    template <typename Bytes>
        requires(!std::is_convertible_v<const Bytes&, std::string_view>)
    std::string write(const std::string& name, const Bytes& bytes) const {
        return write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

    // Writes an executable script and returns its full name.
    std::string script(const std::string& name, const std::string& body) const {
        const std::string p = write(name, "#!/bin/sh\n" + body);
        ::chmod(p.c_str(), 0755);
        return p;
    }

private:
    std::filesystem::path path_;
};

// Makes `folder` the process's working folder until the end of the scope.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& folder) : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() {
        std::error_code ec;
        std::filesystem::current_path(before_, ec);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path before_;
};

}  // namespace geovanta::test
