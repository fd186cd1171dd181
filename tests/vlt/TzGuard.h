// Puts the process into a fixed time zone for one test and restores the previous one after.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "vlt/TimeText.h"

class TzGuard {
public:
    explicit TzGuard(const char* tz) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        setenv("TZ", tz, 1);
        tzset();
        vlt::ForgetMachineZone();
    }
    ~TzGuard() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        vlt::ForgetMachineZone();
    }
    TzGuard(const TzGuard&) = delete;
    TzGuard& operator=(const TzGuard&) = delete;

private:
    std::optional<std::string> old_;
};

// Central Europe: GMT+1, daylight saving from the last Sunday of March to that of October.
constexpr char kCentralEurope[] = "CET-1CEST,M3.5.0,M10.5.0/3";
// Eastern North America: GMT-5, daylight saving from March to November.
constexpr char kEasternAmerica[] = "EST5EDT,M3.2.0,M11.1.0";
