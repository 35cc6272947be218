#pragma once

#include <string>
#include <vector>

namespace dgaws {

// The five files opened or saved last, newest first, kept in the settings file's group
// "Recent File List" as File1 .. File5.
class RecentFiles {
public:
    static constexpr int kSize = 5;
    static constexpr const char* kGroup = "Recent File List";

    explicit RecentFiles(std::string iniPath) : path_(std::move(iniPath)) {}

    void load();
    void save() const;
    // The path moves to the front (once); the oldest falls off.
    void add(const std::string& file);
    void remove(const std::string& file);
    const std::vector<std::string>& files() const { return files_; }

private:
    std::string path_;
    std::vector<std::string> files_;
};

}  // namespace dgaws
