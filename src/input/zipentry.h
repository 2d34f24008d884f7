#pragma once
// One file out of a zip archive held in memory, inflated by libzip, which
// reads the archive's directory, inflates and checks each entry's checksum.
// An entry is never let grow past a limit, whatever size the archive gives
// for it: a small archive may unpack to gigabytes.

#include <cstdint>
#include <string>
#include <string_view>

#include "table/progress.h"

namespace geovanta {

class FileBytes;

struct ZipEntryRead {
    enum class Status {
        Read,     // the entry is in the bytes
        NotZip,   // the bytes do not begin as a zip archive does
        NoEntry,  // no entry has the name looked for
        Failed,   // `message` says why; the bytes hold what was inflated before the fault
        Cancelled,
    };
    Status status = Status::Read;
    std::string name;     // the entry's name in the archive
    std::string message;  // why it failed, naming the archive
    std::string warning;  // read, but the checksum is wrong
};

// Inflates into `out` the first entry in the archive's directory whose name
// ends in `suffix` (in any letter case), if it unpacks to at most `limit`
// bytes. `path` names the archive in messages; `progress`, when given, may
// stop the inflating.
ZipEntryRead readZipEntry(std::string_view archive, std::string_view suffix, uint64_t limit, FileBytes& out,
                          const std::string& path, Progress* progress = nullptr);

}  // namespace geovanta
