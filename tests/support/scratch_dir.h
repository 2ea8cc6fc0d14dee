// A scratch directory for the tests about reading files: fresh, and the
// current directory while it exists, since the program reads its assets by
// plain name from the current directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

class ScratchDir {
public:
    // `name` tells the directories apart; a random suffix keeps processes
    // that run side by side (ctest -j) out of each other's way.
    explicit ScratchDir(const std::string& name)
        : previous_(std::filesystem::current_path()),
          dir_(std::filesystem::temp_directory_path() /
               ("quillmoor-" + name + "-" + std::to_string(std::random_device{}())))
    {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    ~ScratchDir()
    {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return dir_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path dir_;
};

// Replaces the named file with `bytes`.
inline void WriteFile(const char* name, const std::vector<uint8_t>& bytes)
{
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
