#pragma once
// Writes one photograph's position into its EXIF GPS tags by running
// ExifTool with an argument list built from the photograph's row.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "output/commandrunner.h"

namespace geovanta {

class DataTable;

class TagWriter {
public:
    TagWriter(CommandRunner& runner, std::string program) : runner_(runner), program_(std::move(program)) {}

    const std::string& program() const { return program_; }

    // ExifTool's arguments for a photograph row with a position.
    static std::vector<std::string> arguments(const DataTable& table, std::size_t row);

    struct Result {
        std::vector<std::string> outputLines;  // ExifTool's standard output
        std::vector<std::string> errorLines;   // its standard error, then our own reason
        std::optional<std::string> failure;    // why the photograph was not written
    };
    // Writes the photograph of `row`, which has a position.
    Result write(const DataTable& table, std::size_t row);

    // "\"<file name>\": <reason>" as failures are listed.
    static std::string failureLine(const DataTable& table, std::size_t row, const std::string& reason);

private:
    CommandRunner& runner_;
    std::string program_;
};

}  // namespace geovanta
