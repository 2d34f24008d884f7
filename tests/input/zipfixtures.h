#pragma once
// Zip archives made in memory by libzip for the KMZ tests, and the one lie
// an archive can tell about an entry: its size.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <zip.h>

namespace geovanta::test {

struct ZipMember {
    std::string name, bytes;
    bool stored = false;  // kept as it is instead of deflated
};

inline std::string zipOf(const std::vector<ZipMember>& members) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const ZipMember& m : members) {
        zip_source_t* source = zip_source_buffer(archive, m.bytes.data(), m.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, m.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (m.stored) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    zip_close(archive);
    std::string out;
    if (zip_source_open(buffer) == 0) {
        zip_source_seek(buffer, 0, SEEK_END);
        out.resize(static_cast<std::size_t>(zip_source_tell(buffer)));
        zip_source_seek(buffer, 0, SEEK_SET);
        zip_source_read(buffer, out.data(), out.size());
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    zip_error_fini(&error);
    return out;
}

// Every entry's unpacked size, in its local header and in the directory.
inline void claimSize(std::string& zip, uint32_t size) {
    auto put = [&](std::size_t at) {
        for (int k = 0; k < 4; ++k) zip[at + k] = static_cast<char>(size >> (8 * k));
    };
    for (std::size_t at = 0; (at = zip.find("PK", at)) != std::string::npos && at + 30 <= zip.size(); at += 2) {
        if (zip.compare(at, 4, "PK\3\4") == 0) put(at + 22);
        if (zip.compare(at, 4, "PK\1\2") == 0) put(at + 24);
    }
}

}  // namespace geovanta::test
