// The value decoders, each on a crafted value: offsets, tables and lengths.
#include "items/ValueDecoders.h"
#include "ItemTestSupport.h"
#include "items/FlagItems.h"

namespace {

using namespace itemenc;

std::string Decode(ValueDecoder decode, const Bytes& value, std::size_t* used = nullptr,
                   std::string_view name = "X", std::uint16_t noteClass = 1,
                   CInfoPaneOptions* options = nullptr) {
    const ExactBytes bytes(value.data(), value.size());
    return DumpOf(
        [&](CFieldWriter& w) {
            const std::size_t u =
                decode(w, ItemValueView{bytes.data(), bytes.size(), name, noteClass});
            if (used)
                *used = u;
        },
        options);
}

// The first half of a unid as its field shows it: "(file HHHHHHHH:LLLLLLLL)".
std::string UnidDump(const Unid& u) {
    char text[40];
    std::snprintf(text, sizeof text, "(file %02X%02X%02X%02X:%02X%02X%02X%02X)", u[7], u[6], u[5],
                  u[4], u[3], u[2], u[1], u[0]);
    return text;
}

TEST(ValueDecoders, TimesAndRanges) {
    store::TimeDate a, b;
    store::CurrentTime(&a);
    b = a;
    store::AdjustTime(&b, 0, 0, 0, 3, 0, 0);
    std::size_t used = 0;
    std::string out = Decode(WriteTimeValue, Sink().time(a).get(), &used);
    EXPECT_NE(out.find(StoreTimeText(a)), std::string::npos) << out;
    EXPECT_EQ(used, 8u);

    out = Decode(WriteTimeRangeValue, TimeRange({a, b}, {{a, b}}), &used);
    EXPECT_EQ(used, 4u + 16 + 16);
    EXPECT_EQ(Count(out, "(time "), 2) << out;
    EXPECT_TRUE(InOrder(out, {StoreTimeText(a), StoreTimeText(b), "(time-range"})) << out;
}

TEST(ValueDecoders, NoteReferencesInOrder) {
    const Unid u1 = UnidFrom(0x10), u2 = UnidFrom(0x40), u3 = UnidFrom(0x80);
    std::size_t used = 0;
    const std::string out = Decode(WriteNoteRefListValue, NoteRefList({u1, u2, u3}), &used);
    EXPECT_EQ(used, 2u + 3 * 16);
    EXPECT_EQ(Count(out, "(unid"), 3);
    EXPECT_TRUE(InOrder(out, {UnidDump(u1), UnidDump(u2), UnidDump(u3)})) << out;
}

TEST(ValueDecoders, NoteLinks) {
    std::array<std::uint8_t, 40> link{};
    for (std::size_t i = 0; i < link.size(); ++i)
        link[i] = std::uint8_t(i + 1);
    std::size_t used = 0;
    const std::string out = Decode(WriteNoteLinkListValue, NoteLinkList({link, link}), &used);
    EXPECT_EQ(used, 2u + 80);
    EXPECT_EQ(Count(out, "(notelink"), 2) << out;
}

TEST(ValueDecoders, CountsPastTheEndStopShort) {
    // Each value claims more elements than it holds.
    struct Case {
        ValueDecoder decode;
        Bytes value;
        std::size_t used;
    } cases[] = {
        {WriteNoteRefListValue, Sink().u16(3).bytes(Bytes(16, 1)).fill(5).get(), 18},
        {WriteNoteLinkListValue, Sink().u16(2).bytes(Bytes(40, 1)).get(), 42},
        {WriteNumberRangeValue, Sink().u16(4).u16(0).f64(1).get(), 12},
        {WriteTimeRangeValue, Sink().u16(1).u16(1).time(Time(1, 2)).fill(15).get(), 12},
        {WriteSchedListValue, SchedList(1, {SchedEntry{}}, 7), 44},
        {WriteNumberValue, Bytes(7, 0), 0},
        {WriteUserIdValue, Bytes(7, 0), 0},
        {WriteAssistInfoValue, Bytes(101, 0), 0},
        {WriteCalendarFormatValue, Bytes(57, 0), 0},
    };
    for (const Case& c : cases) {
        std::size_t used = 99;
        const std::string out = Decode(c.decode, c.value, &used);
        EXPECT_NE(out.find(kShort), std::string::npos) << out;
        EXPECT_EQ(used, c.used) << out;
    }
}

TEST(ValueDecoders, UserIdOfOnlyALicense) {
    const Bytes license{1, 2, 3, 4, 5, 6, 7, 8};
    CInfoPaneOptions hideEmpty;
    hideEmpty.ShowEmptyStrings = 0;
    std::size_t used = 0;
    std::string out = Decode(WriteUserIdValue, license, &used, "X", 1, &hideEmpty);
    EXPECT_EQ(out.find("user-name"), std::string::npos) << out;
    EXPECT_TRUE(InOrder(out, {"(license", "01 02 03 04 05 06 07 08"})) << out;
    EXPECT_EQ(used, 8u);
    out = Decode(WriteUserIdValue, UserId("CN=Ada", license));
    EXPECT_TRUE(InOrder(out, {"(user-name \"CN=Ada\")", "(license", "01 02 03"})) << out;
}

TEST(ValueDecoders, FlagItemsByNameAndNoteClass) {
    struct Case {
        const char* name;
        std::uint16_t noteClass;
        const char* text;
        const char* comment; // empty: no comment at all
    } cases[] = {
        {"$Flags", 0x1, "AC", ""},
        {"$Flags", 0x4, "AC?", "Add NoCompose ? "},
        {"$flags", 0x8, "T0", "ViewCategorized MutilingualHide "},
        {"$Flags", 0x10, "ad", "LaunchApp LaunchDoclink "},
        {"$ReplFlags", 0x1, "n", "NoRepl "},
        {"$AssistFlags", 0x200, "EH", "Enabled Hidden "},
        {"$AssistFlags", 0x4, "E", ""},
        {"$KSECFlags", 0x10, "sp", "SetLocalSec CompactLocalSec "},
        {"$KSECFlags", 0x4, "s", ""},
        {"$FlagsNoRefresh", 0x10, "t", "AdvTemplate "},
        {"$KeepPrivate", 0x4, "2", "YesResend "},
        {"$AutoEditMode", 0x4, "1", "Yes "},
        {"$HideScrollBars", 0x4, "3", "Vert "},
        {"$VersionOpt", 0x4, "6", "AutoSibling "},
        {"$VersionOpt", 0x1, "6", ""},
        {"$HFFlags", 0x4, "1", "NoPrintOnFirstPage "},
        {"$ConflictAction", 0x1, "1", "AutoMerge "},
        {"Subject", 0x4, "A", ""},
    };
    for (const Case& c : cases) {
        const std::string out =
            Decode(WriteTextValue, Sink().text(c.text).get(), nullptr, c.name, c.noteClass);
        if (*c.comment)
            EXPECT_TRUE(InOrder(out, {"(value \"", "; ", c.comment})) << c.name;
        else
            EXPECT_EQ(out.find(';'), std::string::npos) << c.name << out;
    }
    // A text list names the characters of its first entry.
    const std::string out =
        Decode(WriteTextListValue, TextList({"EN", "H"}), nullptr, "$AssistFlags", 0x200);
    EXPECT_TRUE(InOrder(out, {"; ", "Enabled NewCopy "})) << out;
    EXPECT_EQ(out.find("Hidden"), std::string::npos) << out;
}

// The item node looks the note's class up only for names IsFlagItemName accepts: a name that
// some class gives a table must be one of them, whatever its letter case.
TEST(ValueDecoders, FlagItemNamesAreThoseWithATable) {
    const char* const names[] = {"$Flags",
                                 "$FLAGS",
                                 "$ReplFlags",
                                 "$AssistFlags",
                                 "$KSECFlags",
                                 "$flagsnorefresh",
                                 "$KeepPrivate",
                                 "$AutoEditMode",
                                 "$HideScrollBars",
                                 "$VersionOpt",
                                 "$HFFlags",
                                 "$ConflictAction",
                                 "Subject",
                                 "$Flag",
                                 "$FlagsX",
                                 "Flags",
                                 "$",
                                 ""};
    for (const char* name : names) {
        bool anyTable = false;
        for (unsigned bit = 0; bit < 16; ++bit)
            anyTable = anyTable || FlagCharTable(name, std::uint16_t(1u << bit)) != nullptr;
        EXPECT_EQ(IsFlagItemName(name), anyTable) << name;
    }
    EXPECT_FALSE(IsFlagItemName("Subject"));
    EXPECT_TRUE(IsFlagItemName("$hfflags"));
}

TEST(ValueDecoders, AgentInformation) {
    AgentInfo a;
    a.trigger = 5;
    a.search = 8;
    a.intervalType = 2;
    a.interval = 3;
    a.time1 = 0xAB;
    a.time2 = 0xCD;
    store::CurrentTime(&a.start);
    a.flags = 0x2 | 0x10;
    std::size_t used = 0;
    const Bytes value = Sink().bytes(Encode(a)).u8(0xEE).get();
    const std::string out = Decode(WriteAssistInfoValue, value, &used);
    EXPECT_EQ(used, 102u);
    EXPECT_TRUE(
        InOrder(out, {"(assist-struct", "(version 1)", "(trigger-type DocUpdate)",
                      "(search-type UI)", "(interval-type Days)", "(interval 3)", "days",
                      "(time1 0x000000AB)", "(time2 0x000000CD)", "(start-time",
                      StoreTimeText(a.start), "(end-time", "(flags NoWeekends ChooseWhenEnabled)"}))
        << out;
    for (auto [type, unit] : {std::pair{1, "minutes"}, {3, "weeks"}, {4, "months"}}) {
        a.intervalType = std::uint16_t(type);
        EXPECT_TRUE(InOrder(Decode(WriteAssistInfoValue, Encode(a)), {"(interval 3)", unit}));
    }
}

TEST(ValueDecoders, ScheduleList) {
    SchedEntry e1, e2;
    e1.unid = UnidFrom(1);
    e1.attr = 1;
    e1.userAttr = 0x7F;
    e2.attr = 9;
    std::size_t used = 0;
    const std::string out = Decode(WriteSchedListValue, SchedList(3, {e1, e2}), &used);
    EXPECT_EQ(used, 8u + 72);
    EXPECT_TRUE(InOrder(out, {"(num-entries 2)", "(application-id Tabula)", "(sched-entry", "; 0",
                              UnidDump(e1.unid), "(interval", "(attr Penciled)", "(user-attr 0x7F)",
                              "(sched-entry", "; 1", "(attr NonWork)"}))
        << out;
}

TEST(ValueDecoders, CalendarFormat) {
    CalendarFormat c;
    c.formats = 0xFF;
    c.flags = 0x5;
    c.slotStart = 510;
    std::size_t used = 0;
    const std::string out = Decode(WriteCalendarFormatValue, Encode(c), &used);
    EXPECT_EQ(used, 58u);
    EXPECT_TRUE(
        InOrder(out, {"(calendar-format", "(version 1)",
                      "(formats All TwoDay OneWeek TwoWeeks OneMonth OneYear)", "(day-date-font",
                      "(time-slot-font", "(header-font", "(day-separators-color Red)",
                      "(today-color Blue)", "(flags DisplayConflicts DisplayTimeslotBmps)",
                      "(busy-color Yellow)", "(time-slot-start 510)", "minutes since midnight",
                      "(time-slot-end 1080)", "(time-slot-duration 60)", "minutes"}))
        << out;
}

} // namespace
