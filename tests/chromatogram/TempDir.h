#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace dgaws::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        root_ = std::filesystem::temp_directory_path() /
            ("dgaws-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(root_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::string path(const std::string& name) const { return (root_ / name).string(); }

private:
    std::filesystem::path root_;
};

}  // namespace dgaws::test
