#pragma once
// A file's bytes and the tags the real ExifTool beside the programs reads
// from it, for tests that write through ExifTool.

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "runtime/processrunner.h"

namespace geovanta::test {

inline const std::string kExifTool = std::string(GEOVANTA_BIN_DIR) + "/exiftool";

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every tag ExifTool finds, as "Group:Tag" -> value, numbers unconverted.
inline std::map<std::string, std::string> readTags(const std::string& file) {
    std::map<std::string, std::string> tags;
    const CommandResult r = RunCommand(kExifTool, {"-a", "-G1", "-n", "-args", "--", file});
    for (const std::string& line : r.outputLines) {
        const auto eq = line.find('=');
        if (line.size() > 1 && line[0] == '-' && eq != std::string::npos)
            tags[line.substr(1, eq - 1)] = line.substr(eq + 1);
    }
    return tags;
}

// A tag's value as a number; NaN when the tag is missing.
inline double number(const std::map<std::string, std::string>& tags, const std::string& key) {
    const auto it = tags.find(key);
    return it == tags.end() ? NAN : std::strtod(it->second.c_str(), nullptr);
}

}  // namespace geovanta::test
