// The machine's zone at a local wall time, from the platform's zone rules.
//
// The C library's own conversion of a wall time (mktime) reads the zone file again on every
// call: a system call for each time shown. The zone is found instead from the offsets that the
// instants around the wall time have. Those offsets come from a table of the zone's changes,
// found once per year asked for by probing the library, so that a time shown costs a few
// binary searches instead of six conversions.
#include <algorithm>
#include <array>
#include <atomic>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "vlt/TimeCodec.h"
#include "vlt/TimeText.h"

namespace vlt {
namespace {

constexpr std::int64_t kDay = 86400;

// What the library shows at an instant: tm_gmtoff and whether tm_isdst is set.
struct Offset {
    std::int64_t seconds = 0;
    bool dst = false;
    bool operator==(const Offset&) const = default;
};

std::int64_t EpochDays(int year, int month, int day) {
    return DaysFromCivil(year, month, day) - DaysFromCivil(1970, 1, 1);
}

std::optional<Offset> LibraryOffset(std::int64_t instant) {
    const std::time_t t = std::time_t(instant);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return std::nullopt;
    return Offset{std::int64_t(local.tm_gmtoff), local.tm_isdst > 0};
}

// The offset, when the fields the library shows are the instant moved by it. Zones that count
// leap seconds show other fields; their years are left to the library.
std::optional<Offset> PlainOffset(std::int64_t instant) {
    const std::time_t t = std::time_t(instant);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return std::nullopt;
    const std::int64_t shown =
        EpochDays(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * kDay +
        local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    if (shown != instant + local.tm_gmtoff)
        return std::nullopt;
    return Offset{std::int64_t(local.tm_gmtoff), local.tm_isdst > 0};
}

// Offsets that are not whole quarter hours (old local mean times) are rounded down to one.
std::optional<LocalZone> ZoneOf(const Offset& offset) {
    LocalZone z;
    z.dst = offset.dst;
    const long minutes = long(offset.seconds / 60) - (z.dst ? 60 : 0);
    z.zone = int(minutes >= 0 ? minutes / 15 * 15 : -((-minutes + 14) / 15 * 15));
    if (!IsValidZone(z.zone))
        return std::nullopt;
    return z;
}

// The zone at a wall time (seconds since 1970 as if it were GMT), given the offset of any
// instant. Zone changes are far more than a day apart: the offsets a day before and after, and
// at the wall time itself, are all the wall time can have. A wall time that two instants show
// (when the clocks go back) is taken at its first, in summer time.
template <class OffsetAt>
std::optional<LocalZone> ZoneAtWall(std::int64_t wall, const OffsetAt& offsetAt) {
    const auto seconds = [&](std::int64_t instant) {
        const auto o = offsetAt(instant);
        return o ? o->seconds : 0;
    };
    std::optional<Offset> found;
    for (const std::int64_t offset : {seconds(wall - kDay), seconds(wall), seconds(wall + kDay)}) {
        const std::int64_t instant = wall - offset;
        const auto at = offsetAt(instant);
        // The instant must show the wall time's minute.
        if (!at || instant + at->seconds < wall || instant + at->seconds >= wall + 60)
            continue;
        if (!found || (at->dst && !found->dst))
            found = at;
    }
    if (!found)
        return std::nullopt; // skipped when the clocks went forward
    return ZoneOf(*found);
}

// The same, with the library's conversions at every step and the fields it shows compared.
std::optional<LocalZone> LibraryZoneAt(std::int64_t wall, int year, int month, int day, int hour,
                                       int minute) {
    std::optional<std::tm> found;
    for (const std::int64_t offset : {LibraryOffset(wall - kDay).value_or(Offset{}).seconds,
                                      LibraryOffset(wall).value_or(Offset{}).seconds,
                                      LibraryOffset(wall + kDay).value_or(Offset{}).seconds}) {
        const std::time_t t = std::time_t(wall - offset);
        std::tm local{};
        if (!localtime_r(&t, &local) || local.tm_year != year - 1900 || local.tm_mon != month - 1 ||
            local.tm_mday != day || local.tm_hour != hour || local.tm_min != minute)
            continue;
        if (!found || (local.tm_isdst > 0 && found->tm_isdst <= 0))
            found = local;
    }
    if (!found)
        return std::nullopt;
    return ZoneOf(Offset{std::int64_t(found->tm_gmtoff), found->tm_isdst > 0});
}

// The offsets of the instants of a year, three days before and after it included (more than
// any wall time of the year looks at), as the changes in force from their instant on.
class YearRules {
public:
    // Null when the library cannot be read as plain offsets somewhere in the year.
    static std::unique_ptr<YearRules> Find(int year) {
        auto rules = std::make_unique<YearRules>();
        rules->from_ = (EpochDays(year, 1, 1) - 3) * kDay;
        rules->to_ = (EpochDays(year + 1, 1, 1) + 3) * kDay;
        auto state = PlainOffset(rules->from_);
        if (!state)
            return nullptr;
        rules->changes_.push_back({rules->from_, *state});
        // Probes a few hours apart, halving down to the second where the offset changed. The
        // closest changes of the zone files are days apart.
        constexpr std::int64_t kStep = 6 * 3600;
        std::int64_t low = rules->from_;
        while (low < rules->to_ - 1) {
            std::int64_t high = std::min(low + kStep, rules->to_ - 1);
            auto there = PlainOffset(high);
            if (!there)
                return nullptr;
            if (*there == *state) {
                low = high;
                continue;
            }
            while (high - low > 1) {
                const std::int64_t middle = low + (high - low) / 2;
                const auto m = PlainOffset(middle);
                if (!m)
                    return nullptr;
                if (*m == *state) {
                    low = middle;
                } else {
                    high = middle;
                    there = m;
                }
            }
            rules->changes_.push_back({high, *there});
            state = there;
            low = high;
        }
        return rules;
    }

    std::optional<Offset> At(std::int64_t instant) const {
        if (instant < from_ || instant >= to_)
            return LibraryOffset(instant);
        const auto next =
            std::upper_bound(changes_.begin(), changes_.end(), instant,
                             [](std::int64_t i, const Change& c) { return i < c.from; });
        return std::prev(next)->offset;
    }

private:
    struct Change {
        std::int64_t from;
        Offset offset;
    };
    std::int64_t from_ = 0, to_ = 0;
    std::vector<Change> changes_;
};

constexpr int kFirstYear = 1, kLastYear = 9999;

// The years found so far. A year is found once, under the lock, and read without it after:
// its table never changes. Tables forgotten stay alive, as another thread may be reading one.
struct RulesCache {
    std::mutex mutex;
    std::array<std::atomic<const YearRules*>, kLastYear - kFirstYear + 1> years{};
    std::vector<std::unique_ptr<const YearRules>> kept;
};

RulesCache& Cache() {
    static RulesCache cache;
    return cache;
}

// Stands for a year the library's own conversions must give.
const YearRules* LibraryYear() {
    static const YearRules marker;
    return &marker;
}

const YearRules* RulesFor(int year) {
    RulesCache& cache = Cache();
    std::atomic<const YearRules*>& slot = cache.years[std::size_t(year - kFirstYear)];
    if (const YearRules* rules = slot.load(std::memory_order_acquire))
        return rules;
    const std::lock_guard lock(cache.mutex);
    if (const YearRules* rules = slot.load(std::memory_order_relaxed))
        return rules;
    const YearRules* rules = LibraryYear();
    if (auto found = YearRules::Find(year)) {
        rules = found.get();
        cache.kept.push_back(std::move(found));
    }
    slot.store(rules, std::memory_order_release);
    return rules;
}

} // namespace

std::optional<LocalZone> MachineZoneAt(int year, int month, int day, int hour, int minute) {
    // Fields out of their ranges name no wall time the library would show.
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59)
        return std::nullopt;
    const std::int64_t wall =
        EpochDays(year, month, day) * kDay + std::int64_t(hour) * 3600 + std::int64_t(minute) * 60;
    const YearRules* rules =
        year >= kFirstYear && year <= kLastYear ? RulesFor(year) : LibraryYear();
    if (rules == LibraryYear())
        return LibraryZoneAt(wall, year, month, day, hour, minute);
    return ZoneAtWall(wall, [rules](std::int64_t instant) { return rules->At(instant); });
}

void ForgetMachineZone() {
    RulesCache& cache = Cache();
    const std::lock_guard lock(cache.mutex);
    for (auto& slot : cache.years)
        slot.store(nullptr, std::memory_order_release);
}

} // namespace vlt
