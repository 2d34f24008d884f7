#include "input/zipentry.h"

#include <algorithm>
#include <memory>

#include <zip.h>

#include "input/wholefile.h"
#include "table/messages.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// Inflated a megabyte at a time, between two looks at whether to stop.
constexpr uint64_t kChunkBytes = uint64_t{1} << 20;

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

bool endsWithCaseless(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    name.remove_prefix(name.size() - suffix.size());
    return std::equal(name.begin(), name.end(), suffix.begin(), [](char a, char b) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

std::string damaged(const std::string& path, std::string_view reason) {
    return textOf(Msg::ZipDamaged, {displayFileName(path), reason});
}

std::string tooLarge(const std::string& path, const std::string& entry, uint64_t limit) {
    return textOf(Msg::ZipEntryTooLarge, {displayFileName(path), displayFileName(entry), limit >> 20});
}

// The archive opened on the bytes, or nothing with the reason in `reason`.
Archive openArchive(std::string_view bytes, std::string& reason) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (!archive) {
        reason = zip_error_strerror(&error);
        if (source) zip_source_free(source);
    }
    zip_error_fini(&error);
    return Archive(archive);
}

// Inflates `entry` into `out`, which has room for `capacity` bytes: one byte
// more than that is a fault, however the entry ends: past the archive's
// word for its size, or past `limit` when the archive gives none.
void inflate(zip_file_t* entry, uint64_t capacity, uint64_t limit, bool sized, FileBytes& out,
             const std::string& path, Progress* progress, ZipEntryRead& read) {
    uint64_t got = 0;
    for (;;) {
        if (progress && progress->cancelled()) {
            read.status = ZipEntryRead::Status::Cancelled;
            break;
        }
        char probe = 0;
        const uint64_t want = std::min(kChunkBytes, capacity - got);
        const zip_int64_t n = zip_fread(entry, want ? out.writable() + got : &probe, want ? want : 1);
        if (n < 0) {
            // The checksum is checked at the entry's end, with every byte in.
            zip_error_t* error = zip_file_get_error(entry);
            if (zip_error_code_zip(error) == ZIP_ER_CRC)
                read.warning = textOf(Msg::ZipEntryCrcWrong, {displayFileName(read.name)});
            else
                read = {ZipEntryRead::Status::Failed, read.name, damaged(path, zip_error_strerror(error)), {}};
            break;
        }
        if (n == 0) break;
        if (!want) {
            read.status = ZipEntryRead::Status::Failed;
            read.message = sized ? damaged(path, textOf(Msg::ZipEntryLongerThanStated, {displayFileName(read.name)}))
                                 : tooLarge(path, read.name, limit);
            break;
        }
        got += static_cast<uint64_t>(n);
    }
    out.truncate(static_cast<std::size_t>(got));
}

}  // namespace

ZipEntryRead readZipEntry(std::string_view archive, std::string_view suffix, uint64_t limit, FileBytes& out,
                          const std::string& path, Progress* progress) {
    out = FileBytes();
    ZipEntryRead read;
    if (!archive.starts_with("PK")) return {ZipEntryRead::Status::NotZip, {}, {}, {}};
    std::string reason;
    const Archive zip = openArchive(archive, reason);
    if (!zip) return {ZipEntryRead::Status::Failed, {}, damaged(path, reason), {}};

    const zip_int64_t entries = zip_get_num_entries(zip.get(), 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* name = zip_get_name(zip.get(), index, 0);
        if (!name || !endsWithCaseless(name, suffix)) continue;
        read.name = name;
        zip_stat_t stat;
        zip_stat_init(&stat);
        const bool sized = zip_stat_index(zip.get(), index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE);
        // The size the archive gives is believed only as far as the limit,
        // and then only as a bound.
        if (sized && stat.size > limit)
            return {ZipEntryRead::Status::Failed, read.name, tooLarge(path, read.name, limit), {}};
        const uint64_t capacity = sized ? stat.size : limit;
        if (!out.makeRoom(static_cast<std::size_t>(capacity)))
            return {ZipEntryRead::Status::Failed, read.name, outOfMemoryMessage(path), {}};
        const Entry entry(zip_fopen_index(zip.get(), index, 0));
        if (!entry) {
            out.truncate(0);
            return {ZipEntryRead::Status::Failed, read.name, damaged(path, zip_strerror(zip.get())), {}};
        }
        inflate(entry.get(), capacity, limit, sized, out, path, progress, read);
        return read;
    }
    return {ZipEntryRead::Status::NoEntry, {}, {}, {}};
}

}  // namespace geovanta
