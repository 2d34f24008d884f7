#include "input/photofolders.h"

#include <algorithm>
#include <array>
#include <deque>
#include <set>
#include <string_view>
#include <system_error>

#include "table/asciicase.h"
#include "table/filestamp.h"
#include "table/messages.h"
#include "table/textcodec.h"

namespace fs = std::filesystem;

namespace geovanta {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
bool isSeparator(char c) { return c == '\\' || c == '/'; }
#else
constexpr char kSeparator = '/';
bool isSeparator(char c) { return c == '/'; }
#endif

// Path order: names compared level by level, which is byte order with the
// separator below every other character.
bool pathLess(const ListedPhoto& a, const ListedPhoto& b) {
    const auto key = [](char c) { return isSeparator(c) ? -1 : static_cast<int>(static_cast<unsigned char>(c)); };
    return std::lexicographical_compare(a.fileName.begin(), a.fileName.end(), b.fileName.begin(), b.fileName.end(),
                                        [&](char x, char y) { return key(x) < key(y); });
}

// One folder reached under two names (links) gives one identity.
std::string folderIdentity(const std::string& path) {
#ifdef _WIN32
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    return ec ? path : real.string();
#else
    const auto stamp = fileStampOf(path);
    return stamp ? std::to_string(stamp->device) + ":" + std::to_string(stamp->inode) : path;
#endif
}

// Why an entry with a photograph's name is none: a folder named Old.JPG, a
// pipe or a device (which a read would block on or never finish), a link
// that leads nowhere. Each is named, so that no file is left out unsaid.
std::string whyNotAPhoto(const fs::directory_entry& entry) {
    std::error_code ec;
    const bool link = entry.is_symlink(ec);
    const fs::file_status target = entry.status(ec);
    switch (target.type()) {
        case fs::file_type::directory: return textOf(Msg::FolderWithPhotoName);
        case fs::file_type::not_found: return textOf(link ? Msg::LinkLeadsNowhere : Msg::NoLongerThere);
        case fs::file_type::none: return textOf(Msg::CannotBeLookedAt, {ec.message()});
        default: return textOf(Msg::NotRegularFile);
    }
}

// Folders are entered in name order, those reached through links only after
// every folder reached without one: a folder that is both is read under its
// own path.
class FolderWalk {
public:
    FolderWalk(SubFolders subFolders, const Progress* progress)
        : deep_(subFolders == SubFolders::Include), progress_(progress) {}

    FolderListing run(const std::string& folder) {
        std::error_code ec;
        root_ = fs::canonical(folder.empty() ? fs::path(".") : fs::path(folder), ec);
        enter(folder, 0);
        while (!links_.empty()) {
            const Inner link = std::move(links_.front());
            links_.pop_front();
            enter(link.path, link.depth);
        }
        if (deep_) std::sort(result_.photos.begin(), result_.photos.end(), pathLess);
        return std::move(result_);
    }

private:
    struct Inner {
        std::string path;
        int depth;
        bool operator<(const Inner& other) const { return path < other.path; }
    };

    void list(const std::string& folder, int depth) {
        std::error_code ec;
        // An empty photo folder names the current folder, as a bare "*" would.
        fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
        if (depth == 0 && ec == std::errc::no_such_file_or_directory) return;
        std::vector<Inner> inner, links;
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            const fs::directory_entry& entry = *it;
            std::string name = entry.path().filename().string();
            std::error_code typeError;
            if (deep_ && entry.is_directory(typeError)) {
                if (name.front() == '.') continue;  // hidden
                (entry.is_symlink(typeError) ? links : inner).push_back({folder + name + kSeparator, depth + 1});
            } else if (isPhotoName(name)) {
                if (entry.is_regular_file(typeError))
                    result_.photos.push_back({name, folder + name, entry});
                else
                    result_.unread.push_back({folder + name, whyNotAPhoto(entry)});
            }
        }
        // Breaking off part-way would otherwise pass for a complete folder.
        if (ec) result_.unread.push_back({folder, textOf(Msg::FolderCannotBeListed, {ec.message()})});
        std::sort(links.begin(), links.end());
        links_.insert(links_.end(), links.begin(), links.end());
        std::sort(inner.begin(), inner.end());
        for (const Inner& sub : inner) enter(sub.path, sub.depth);
    }

    // A folder inside the one given, once every link on the way is followed;
    // one that cannot be resolved is left to its listing to report.
    bool inside(const std::string& folder) const {
        std::error_code ec;
        const fs::path real = fs::canonical(folder, ec);
        if (ec || root_.empty()) return true;
        return std::mismatch(root_.begin(), root_.end(), real.begin(), real.end()).first == root_.end();
    }

    void enter(const std::string& folder, int depth) {
        if (stopWanted(progress_)) return;
        // A link out of the folder given (an unpacked archive can hold one to
        // "/") would read, and a tag write would then write, photographs
        // that were never chosen.
        if (depth > 0 && !inside(folder)) {
            result_.unread.push_back({folder, textOf(Msg::FolderLinkLeadsOut)});
            return;
        }
        if (!seen_.insert(folderIdentity(folder)).second) return;
        if (depth > kMaxFolderDepth) {
            result_.unread.push_back(
                {folder, textOf(Msg::FolderTooDeep, {kMaxFolderDepth})});
            return;
        }
        list(folder, depth);
    }

    bool deep_;
    const Progress* progress_;
    fs::path root_;  // the folder given, resolved
    std::set<std::string> seen_;
    std::deque<Inner> links_;
    FolderListing result_;
};

}  // namespace

std::string LeftOutFile::line() const { return displayFileName(path) + ": " + reason; }


FolderListing listPhotos(const std::string& folder, SubFolders subFolders, const Progress* progress) {
    return FolderWalk(subFolders, progress).run(folder);
}

}  // namespace geovanta
