#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the test ends.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace geovanta::test {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("geovanta-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    // Writes an executable script and returns its full name.
    std::string script(const std::string& name, const std::string& body) const {
        const std::string p = file(name);
        std::ofstream(p, std::ios::binary) << "#!/bin/sh\n" << body;
        ::chmod(p.c_str(), 0755);
        return p;
    }

private:
    std::filesystem::path path_;
};

}  // namespace geovanta::test
