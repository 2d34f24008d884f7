#pragma once
// A fresh folder per test for files the readers load; removed afterwards.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace geovanta::test {

class TempFolder {
public:
    TempFolder() {
        static int made = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("geovanta-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name() + "-" +
                std::to_string(++made));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing separator.
    std::string path() const { return dir_.string() + "/"; }

    // Writes the bytes as they are and returns the file's full name.
    std::string write(const std::string& name, std::string_view bytes) const {
        const std::string file = path() + name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

private:
    std::filesystem::path dir_;
};

// Header lines of the files the programs we read write.
inline constexpr std::string_view kPltHeader =
    "OziExplorer Track Point File Version 2.1\r\nWGS 84\r\nAltitude is in Feet\r\nReserved 3\r\n"
    "0,2,255,Track,0,0,2,8421376\r\n0\r\n";
inline constexpr std::string_view kWptHeader =
    "OziExplorer Waypoint File Version 1.1\r\nWGS 84\r\nReserved 2\r\nReserved 3\r\n";

}  // namespace geovanta::test
