#pragma once
#include <optional>
#include <string>
#include <vector>

namespace geovanta {

// Command line of geovanta-cli.
struct CliOptions {
    double trackOffset = 0;
    double photoOffset = 0;
    int tolerance = 300;
    std::string csvFile;  // empty: standard output
    bool writeTags = false;  // write the placed photographs' GPS tags after loading
    int exifToolTimeout = 60;  // seconds ExifTool may take per photograph
    bool recursive = false;  // photo folders are read with the folders inside them
    bool help = false;
    std::vector<std::string> inputs;

    // Returns an error text for a command line that cannot be used.
    static std::optional<std::string> parse(const std::vector<std::string>& args, CliOptions& out);
    static const char* usage();

    // Why the CSV file may not be written: it is one of the inputs, or a
    // photograph in an input folder, however either is spelled. Nothing when
    // it may.
    std::optional<std::string> csvOverwritesInput() const;
};

}  // namespace geovanta
