#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "store/NoteSelectorMru.h"
#include "store/SelectNotesCore.h"
#include "store/api/Conversions.h"

using Field = CSelectNotesCore::Field;

namespace {

struct Fixture {
    CMemorySettings settings;
    NoteSelectorMru mru;
};

NoteSelector Modified(std::string date) {
    NoteSelector s;
    s.onlyModified = true;
    s.dateText = std::move(date);
    return s;
}

} // namespace

TEST(SelectNotesCore, OpeningShowsTheMostRecentChoice) {
    Fixture f;
    const NoteSelector current = Modified("2 d");
    {
        CSelectNotesCore dlg(f.mru, f.settings, current, false);
        EXPECT_EQ(dlg.RecentChoice(), -1);
        EXPECT_TRUE(dlg.RecentDescriptions().empty());
        EXPECT_EQ(dlg.Values().dateText, "2 d");
    }
    // Accepted before: the set's selector joins the list first and is shown.
    ASSERT_TRUE(f.mru.Add(NoteSelector{}, f.settings));
    CSelectNotesCore dlg(f.mru, f.settings, current, true);
    EXPECT_EQ(dlg.RecentDescriptions(),
              (std::vector<std::string>{"Documents in the last 2 d", "All Documents"}));
    EXPECT_EQ(dlg.RecentChoice(), 0);
    EXPECT_TRUE(dlg.Values().onlyModified);
    dlg.ChooseRecent(1);
    EXPECT_FALSE(dlg.Values().onlyModified);
    dlg.ChooseRecent(5); // no such entry: nothing changes
    EXPECT_EQ(dlg.RecentChoice(), 1);
    dlg.Values().formula = "x";
    dlg.Clear();
    EXPECT_EQ(dlg.RecentChoice(), -1);
    EXPECT_EQ(dlg.Values().formula, "");
    EXPECT_EQ(dlg.Values().dateText, "90 days");
    EXPECT_EQ(dlg.Values().limitText, "15");
}

TEST(SelectNotesCore, ControlsAreEnabledByTheirCheckBoxes) {
    Fixture f;
    CSelectNotesCore dlg(f.mru, f.settings, NoteSelector{}, false);
    auto& v = dlg.Values();
    EXPECT_FALSE(dlg.Enabling().dateText || dlg.Enabling().dateOption || dlg.Enabling().limit);
    EXPECT_TRUE(dlg.Enabling().ok);
    v.onlyModified = v.limitOn = true;
    EXPECT_TRUE(dlg.Enabling().dateText && dlg.Enabling().dateOption && dlg.Enabling().limit);
    v.documents = false;
    EXPECT_FALSE(dlg.Enabling().ok);
    v.deletionStubs = true;
    EXPECT_TRUE(dlg.Enabling().ok);
}

TEST(SelectNotesCore, OkRefusesValuesOutOfBounds) {
    struct Case {
        const char* what;
        void (*set)(CSelectNotesCore::Controls&);
        Field field;
        store::Status status;
    } cases[] = {
        {"no kind", [](auto& c) { c.documents = false; }, Field::Kinds, 0},
        {"limit 0", [](auto& c) { c.limitOn = true, c.limitText = "0"; }, Field::Limit, 0},
        {"limit big", [](auto& c) { c.limitOn = true, c.limitText = "1000000"; }, Field::Limit, 0},
        {"limit text", [](auto& c) { c.limitOn = true, c.limitText = "12x"; }, Field::Limit, 0},
        {"limit empty", [](auto& c) { c.limitOn = true, c.limitText = ""; }, Field::Limit, 0},
        {"long date", [](auto& c) { c.onlyModified = true, c.dateText = std::string(21, '1'); },
         Field::DateText, 0},
        {"bad period", [](auto& c) { c.onlyModified = true, c.dateText = "2 weeks"; },
         Field::DateText, store::kInvalidTime},
        {"long formula", [](auto& c) { c.formula = std::string(10000, 'a'); }, Field::Formula, 0},
    };
    for (const Case& c : cases) {
        Fixture f;
        CSelectNotesCore dlg(f.mru, f.settings, NoteSelector{}, false);
        c.set(dlg.Values());
        CSelectNotesCore::Refusal why;
        EXPECT_FALSE(dlg.Accept(&why)) << c.what;
        EXPECT_EQ(why.field, c.field) << c.what;
        EXPECT_EQ(why.status, c.status) << c.what;
        EXPECT_FALSE(why.message.empty() && why.status == 0) << c.what; // something to show
        EXPECT_EQ(f.mru.Count(), 0u) << c.what;                         // nothing remembered
    }
}

TEST(SelectNotesCore, OkGivesTheSelectorItsSinceTimeAndRemembersIt) {
    Fixture f;
    NoteSelector current;
    current.limit = 40;
    CSelectNotesCore dlg(f.mru, f.settings, current, false);
    auto& v = dlg.Values();
    v.onlyModified = true, v.dateText = "1 d", v.designElements = true;
    v.limitText = "junk"; // not in force: ignored, the set's limit stays
    store::TimeDate before;
    store::CurrentTime(&before);
    CSelectNotesCore::Refusal why;
    ASSERT_TRUE(dlg.Accept(&why)) << why.message;
    EXPECT_EQ(dlg.Selector().limit, 40);
    EXPECT_EQ(dlg.Selector().ClassMask(), 0x7FFF);
    EXPECT_EQ(dlg.Selector().Description(), "Notes in the last 1 d");
    store::TimeDate dayAgo = before;
    ASSERT_EQ(store::AdjustTime(&dayAgo, 0, 0, 0, -1, 0, 0), store::kNoError);
    EXPECT_GE(dlg.Since().Value() >> 16, dayAgo.Value() >> 16);
    EXPECT_LT(dlg.Since().Value(), before.Value());
    EXPECT_TRUE(dlg.TakeFormula().Empty());
    ASSERT_EQ(f.mru.Count(), 1u);
    EXPECT_EQ(f.mru.At(0), dlg.Selector());
    EXPECT_EQ(dlg.SettingsError(), "");

    // A settings failure does not stop the dialog, but is there to be shown.
    f.settings.FailWritesAfter(0);
    v.limitOn = true, v.limitText = " 7";
    ASSERT_TRUE(dlg.Accept(&why));
    EXPECT_EQ(dlg.Selector().limit, 7);
    EXPECT_FALSE(dlg.SettingsError().empty());
}

TEST(SelectNotesCore, FormulaFailuresKeepTheDialogOpen) {
    Fixture f;
    CSelectNotesCore dlg(f.mru, f.settings, NoteSelector{}, false);
    dlg.Values().formula = "match #Form == \"Memo\" and (";
    CSelectNotesCore::Refusal why;
    ASSERT_FALSE(dlg.Accept(&why));
    EXPECT_EQ(why.status, store::kFormulaSyntax);
    EXPECT_EQ(why.field, Field::Formula);
    EXPECT_EQ(why.message, ""); // the status's own text is shown
    EXPECT_LE(why.selectFrom + why.selectLength, dlg.Values().formula.size());
    EXPECT_EQ(f.mru.Count(), 0u);
    dlg.Values().formula = "match #Form == \"Memo\"";
    ASSERT_TRUE(dlg.Accept(&why)) << why.message;
    EXPECT_FALSE(dlg.TakeFormula().Empty());
}
