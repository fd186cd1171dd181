#include "store/NoteSelector.h"

#include "store/PeriodText.h"
#include "store/api/Conversions.h"

bool operator==(const NoteSelector& a, const NoteSelector& b) {
    if (a.formula != b.formula || a.onlyModified != b.onlyModified)
        return false;
    if (a.onlyModified && (a.dateOption != b.dateOption || a.dateText != b.dateText))
        return false;
    if (a.documents != b.documents || a.designElements != b.designElements ||
        a.deletionStubs != b.deletionStubs)
        return false;
    if (a.limitOn != b.limitOn)
        return false;
    return !a.limitOn || a.limit == b.limit;
}

std::uint16_t NoteSelector::ClassMask() const {
    if (designElements)
        return documents ? 0x7FFF : 0x7FFE;
    if (documents)
        return 0x0001;
    return deletionStubs ? 0x7FFF : 0;
}

std::string NoteSelector::Description() const {
    std::string noun;
    if (documents && designElements)
        noun = "Notes";
    else if (designElements)
        noun = "Design Elements";
    else if (documents)
        noun = "Documents";
    else if (deletionStubs)
        noun = "Deletion Stubs";

    std::string text = noun;
    bool qualified = false;
    if (onlyModified) {
        text += dateOption == kSince ? " since " : " in the last ";
        text += dateText;
        qualified = true;
    }
    if (!formula.empty()) {
        text += " matching ";
        text += formula;
        qualified = true;
    }
    if (!qualified)
        text = "All " + text;
    if (limitOn)
        text += " (at most " + std::to_string(limit) + ")";
    return text;
}

store::Status NoteSelector::SinceTime(store::TimeDate* since) const {
    store::TimeDate now;
    store::CurrentTime(&now);
    return SinceTime(now, since);
}

store::Status NoteSelector::SinceTime(const store::TimeDate& now, store::TimeDate* since) const {
    if (!onlyModified) {
        *since = store::EarliestTime();
        return store::kNoError;
    }
    if (dateOption == kSince) {
        store::TimeDate t;
        const store::Status s =
            store::TextToTime(nullptr, nullptr, dateText.data(), dateText.size(), &t);
        if (s == store::kNoError)
            *since = t;
        return s;
    }
    if (dateOption != kInTheLast)
        return store::kNoError;
    Period p;
    if (const store::Status s = ParsePeriod(dateText, &p); s != store::kNoError)
        return s;
    store::TimeDate t = now;
    const store::Status s =
        store::AdjustTime(&t, -p.seconds, -p.minutes, -p.hours, -p.days, -p.months, -p.years);
    if (s == store::kNoError)
        *since = t;
    return s;
}
