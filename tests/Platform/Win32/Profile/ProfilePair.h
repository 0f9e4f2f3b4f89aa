// A settings file and the picture its FILENAME names, saved as one update:
// the profile tests' pair.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Support/KernelTestSupport.h"

namespace kernel_test {

// A settings file and a picture, each in a folder of its own.
struct Pair {
    explicit Pair(const std::filesystem::path& root)
        : settings(root / "config/Vantel.ini"), picture(root / "pictures/p.bmp") {
        std::filesystem::create_directories(settings.parent_path());
        std::filesystem::create_directories(picture.parent_path());
        Win32SetProfileFileKey("SETTING", "FILENAME");
    }
    // The serial in the settings, and the picture they name holding it.
    bool Save(int serial, const std::filesystem::path& to, std::size_t size = 4096) const {
        const std::string text = std::to_string(serial);
        const std::string bytes = text + std::string(size - text.size(), '.');
        Win32BeginProfileUpdate(settings.c_str());
        WritePrivateProfileStringA("SETTING", "FILENAME", to.c_str(), settings.c_str());
        WritePrivateProfileStringA("SETTING", "SERIAL", text.c_str(), settings.c_str());
        Win32AddProfileUpdateFile(to.c_str(), bytes.data(), static_cast<DWORD>(bytes.size()));
        return Win32EndProfileUpdate() == TRUE;
    }
    std::string Value(const char* key) const {
        char value[4096];
        GetPrivateProfileStringA("SETTING", key, "", value, sizeof value, settings.c_str());
        return value;
    }
    // Whether the picture the settings name holds their serial.
    bool Whole() const {
        const std::string bytes = ReadFile(Value("FILENAME"));
        return bytes.substr(0, bytes.find('.')) == Value("SERIAL");
    }
    // Both files and the names in their folders, whatever lies under the names.
    std::vector<std::string> Snapshot() const {
        std::vector<std::string> seen;
        for (const std::filesystem::path& file : {settings, picture}) {
            const std::vector<std::string> names = ListDirectory(file.parent_path());
            seen.insert(seen.end(), names.begin(), names.end());
            seen.push_back(std::filesystem::is_regular_file(file) ? ReadFile(file) : "no file");
        }
        return seen;
    }

    std::filesystem::path settings;
    std::filesystem::path picture;
};

}  // namespace kernel_test
