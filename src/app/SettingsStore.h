#pragma once

#include "SystemSettings.h"

#include <string>
#include <vector>

namespace dgaws {

// The settings file: QSettings in INI format, the keys of SystemSettings in the group
// "System", and the channels' remembered condition lists in "ConditionA" / "ConditionB".
class SettingsStore {
public:
    static constexpr const char* kGroup = "System";

    explicit SettingsStore(std::string iniPath) : path_(std::move(iniPath)) {}

    const std::string& path() const { return path_; }

    // Every key, with the member's current value as default; a number key holding
    // something that is not a number keeps the default.
    void load(SystemSettings& settings) const;
    // Every key; false when the file could not be written.
    bool save(SystemSettings settings) const;

    // The items of a channel's condition list (0 = A, 1 = B), in stored order.
    std::vector<std::string> conditionList(int channel) const;
    void saveConditionList(int channel, const std::vector<std::string>& items) const;

private:
    std::string path_;
};

}  // namespace dgaws
