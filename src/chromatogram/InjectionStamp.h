#pragma once

#include "OleDateTime.h"

#include <optional>
#include <string>
#include <string_view>

namespace dgaws {

// The AIA injection time stamp, "YYYYMMDDhhmmss" and the zone as "+hhmm" or "-hhmm".
//
// An injection time is kept as the workstation's local time. Written, it carries the zone
// offset in force at that time here (a fixed "+0800" would move every chromatogram of a
// laboratory elsewhere by hours); read, a stamp from any zone becomes the same instant in
// local time, so a chromatogram exported and imported again keeps its time to the second.
std::string injectionStamp(const OleDateTime& local);
// Nothing for a stamp that is not a valid date; a stamp without a zone is taken as local.
std::optional<OleDateTime> parseInjectionStamp(std::string_view stamp);

}  // namespace dgaws
