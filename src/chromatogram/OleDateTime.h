#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace dgaws {

// An OLE automation date: days since 30 December 1899, fraction = time of day, local time.
struct OleDateTime {
    enum Status { Valid = 0, Invalid = 1, Null = 2 };

    int status = Valid;
    double date = 0.0;

    static OleDateTime now();
    static OleDateTime fromTimeT(std::time_t t);
    static OleDateTime fromCivil(int year, int month, int day, int hour = 0, int minute = 0,
                                 int second = 0);

    bool isValid() const { return status == Valid; }
    // Broken-down civil time; false for invalid or out-of-range dates.
    bool toTm(std::tm& out) const;
    // strftime-style formatting; empty for a date that is not valid.
    std::string format(const char* pattern) const;
    // Seconds between two dates (b - a).
    static double secondsBetween(const OleDateTime& a, const OleDateTime& b)
    {
        return (b.date - a.date) * 86400.0;
    }

    bool operator==(const OleDateTime&) const = default;
};

}  // namespace dgaws
