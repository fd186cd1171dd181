// Evaluation over a fake note: operators, every function, fields of every stored type, type
// errors and missing fields, selection and the layout of results.
#include <gtest/gtest.h>

#include "FormulaTestSupport.h"
#include "store/api/Conversions.h"
#include "vlt/formula/Functions.h"

using namespace formula_test;

namespace {

store::TimeDate MakeTime(int y, int mo, int d, int h = 0, int mi = 0, int zone = 60) {
    store::TimeParts p;
    p.year = y, p.month = mo, p.day = d, p.hour = h, p.minute = mi, p.zone = zone;
    store::TimeDate t;
    EXPECT_EQ(store::AssembleTime(p, &t), store::kNoError);
    return t;
}

FakeNote SampleNote() {
    FakeNote note;
    note.Text("Subject", "Quarterly report")
        .Text("Form", "Memo")
        .TextList("Tags", {"red", "green", "red", "blue"})
        .Number("Amount", 1250.5)
        .Numbers("Prices", {1.5, 2.5}, {10, 20})
        .Time("Due", MakeTime(2024, 2, 29, 13, 45))
        .Text("Full Name", "  doe, jane  ");
    note.created = MakeTime(2023, 12, 31, 23, 0);
    note.modified = MakeTime(2024, 3, 3, 8, 30);
    note.id = 0x1A4;
    note.noteClass = 1;
    return note;
}

// Each formula must give exactly the value (type and bytes) that the expected formula, a
// plain literal, gives.
struct Same {
    const char* formula;
    const char* expected;
};

void ExpectSame(const std::vector<Same>& cases, const FakeNote& note) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        const RunResult got = Eval(c.formula, &note);
        const RunResult want = Eval(c.expected, &note);
        ASSERT_EQ(want.status, store::kNoError) << "expected side " << c.expected;
        ASSERT_EQ(got.status, store::kNoError);
        EXPECT_EQ(got.value, want.value)
            << "got type " << std::hex << got.Type() << " text " << got.Text();
    }
}

} // namespace

TEST(FormulaEvaluate, Operators) {
    ExpectSame(
        {
            {"1 + 2 * 3 - 4 / 2", "5"},
            {"-(2 - 5)", "3"},
            {"\"a\" .. 1 .. \"b\"", "\"a\" .. text(1) .. \"b\""},
            {"[1, 2, 3] * 10", "[10, 20, 30]"},
            {"[1, 2] + [10, 20]", "[11, 22]"},
            {"[\"a\", \"b\"] .. \"!\"", "[\"a!\", \"b!\"]"},
            {"[1, [2, 3], []]", "[1, 2, 3]"},
            {"1 == 1", "1"},
            {"\"1\" == 1", "0"},
            {"\"1\" != 1", "1"},
            {"\"abc\" < \"abd\"", "1"},
            {"\"B\" < \"a\"", "1"},
            {"[5, 1] < 2", "1"},
            {"[5, 3] < 2", "0"},
            {"2 >= [5, 2]", "1"},
            {"3 in [1, 2, 3]", "1"},
            {"[1, 3] in [1, 2, 3]", "1"},
            {"[1, 4] in [1, 2, 3]", "0"},
            {"[] in [1]", "1"},
            {"not \"\"", "1"},
            {"not [0, 0]", "1"},
            {"not [0, 1]", "0"},
            {"\"x\" and 2", "1"},
            {"0 or \"\"", "0"},
            {"if [] then 1 else 2", "2"},
            {"let a = 1; let b = a + 1; let a = b * 10; a * 10 + b", "202"},
            {"date(2024, 1, 2) - date(2024, 1, 1)", "86400"},
            {"date(2024, 1, 1) + 3600 == shift(date(2024, 1, 1), 0, 0, 0, 1)", "1"},
            {"3600 + date(2024, 1, 1) > date(2024, 1, 1)", "1"},
        },
        SampleNote());
}

TEST(FormulaEvaluate, ShortCircuitSkipsTheFaultySide) {
    FakeNote note;
    EXPECT_EQ(Eval("0 and 1 / 0", &note).status, store::kNoError);
    EXPECT_EQ(Eval("1 or 1 / 0", &note).status, store::kNoError);
    EXPECT_EQ(Eval("if 1 then 2 else 1 / 0", &note).status, store::kNoError);
    EXPECT_EQ(Eval("1 and 1 / 0", &note).status, store::kFormulaRuntime);
}

TEST(FormulaEvaluate, TextFunctions) {
    ExpectSame(
        {
            {"upper(\"abC1\")", "\"ABC1\""},
            {"lower([\"AB\", \"Cd\"])", "[\"ab\", \"cd\"]"},
            {"capitalize(\"hello wORLD-x\")", "\"Hello World-X\""},
            {"trim(\"  a b \\t\")", "\"a b\""},
            {"trim([\" a \", \"  \", \"b\"])", "[\"a\", \"b\"]"},
            {"len(\"abcd\")", "4"},
            {"len([\"a\", \"\"])", "[1, 0]"},
            {"slice(\"abcdef\", 2)", "\"cdef\""},
            {"slice(\"abcdef\", 2, 3)", "\"cde\""},
            {"slice(\"abcdef\", -2)", "\"ef\""},
            {"slice(\"abc\", 10, 2)", "\"\""},
            {"slice(\"abc\", -10, 2)", "\"ab\""},
            {"find(\"banana\", \"an\")", "1"},
            {"find(\"banana\", \"x\")", "-1"},
            {"contains(#Tags, \"ree\")", "1"},
            {"contains(\"abc\", [\"x\", \"c\"])", "1"},
            {"contains(\"abc\", \"d\")", "0"},
            {"starts_with(\"abc\", \"ab\")", "1"},
            {"ends_with(\"abc\", \"ab\")", "0"},
            {"replace(\"a-b-c\", \"-\", \"+-\")", "\"a+-b+-c\""},
            {"replace(\"aaa\", \"aa\", \"b\")", "\"ba\""},
            {"split(\"a,,b\", \",\")", "[\"a\", \"\", \"b\"]"},
            {"split([\"a,b\", \"c\"], \",\")", "[\"a\", \"b\", \"c\"]"},
            {"before(\"key=value\", \"=\")", "\"key\""},
            {"after(\"key=value\", \"=\")", "\"value\""},
            {"after(\"key\", \"=\")", "\"\""},
            {"text(\"x\")", "\"x\""},
            {"text([\"a\"])", "[\"a\"]"},
        },
        SampleNote());
}

TEST(FormulaEvaluate, NumbersAndTimesBecomeTextThroughTheStore) {
    char buffer[64];
    std::size_t n = 0;
    ASSERT_EQ(store::NumberToText(nullptr, nullptr, 1250.5, buffer, sizeof buffer, &n),
              store::kNoError);
    const std::string number(buffer, n);
    const store::TimeFormat format{0, 0, 1, 2};
    const store::TimeDate due = MakeTime(2024, 2, 29, 13, 45);
    ASSERT_EQ(store::TimeToText(nullptr, &format, due, buffer, sizeof buffer, &n), store::kNoError);
    const std::string time(buffer, n);
    const FakeNote note = SampleNote();
    EXPECT_EQ(Eval("text(#Amount)", &note).Text(), number);
    EXPECT_EQ(Eval("#Due .. \"\"", &note).Text(), time);
    EXPECT_EQ(Eval("join([#Amount, #Amount], \"/\")", &note).Text(), number + "/" + number);
}

TEST(FormulaEvaluate, ListFunctions) {
    ExpectSame(
        {
            {"count(#Tags)", "4"},
            {"count(\"x\")", "1"},
            {"count([])", "0"},
            {"at(#Tags, 1)", "\"green\""},
            {"at(#Tags, -1)", "\"blue\""},
            {"take(#Tags, 2)", "[\"red\", \"green\"]"},
            {"take(#Tags, -2)", "[\"red\", \"blue\"]"},
            {"take(#Tags, 10)", "#Tags"},
            {"unique(#Tags)", "[\"red\", \"green\", \"blue\"]"},
            {"sort(#Tags)", "[\"blue\", \"green\", \"red\", \"red\"]"},
            {"reverse([1, 2, 3])", "[3, 2, 1]"},
            {"join(#Tags)", "\"red, green, red, blue\""},
            {"join(#Tags, \"\")", "\"redgreenredblue\""},
            {"min(3, [1, 7], 2)", "1"},
            {"max(#Tags)", "\"red\""},
            {"max(created(), modified()) == modified()", "1"},
            {"type_of(#Tags) .. \"/\" .. type_of(1) .. \"/\" .. type_of([now()])",
             "\"text list/number/time list\""},
        },
        SampleNote());
}

TEST(FormulaEvaluate, NumberFunctions) {
    ExpectSame(
        {
            {"round(2.5)", "3"},
            {"round(1234.5678, 2)", "1234.57"},
            {"round(1234.5, -2)", "1200"},
            {"floor(-1.5)", "-2"},
            {"ceil(1.2)", "2"},
            {"abs([-1, 2])", "[1, 2]"},
            {"sum(#Prices)", "34"},
            {"sum([], 1, [2, 3])", "6"},
            {"number(\" -12.5 \")", "-12.5"},
            {"number(\"+3e2\")", "300"},
            {"number([\"1\", \"2\"])", "[1, 2]"},
            {"number(7)", "7"},
        },
        SampleNote());
}

TEST(FormulaEvaluate, TimeFunctions) {
    ExpectSame(
        {
            {"year(#Due) * 10000 + month(#Due) * 100 + day(#Due)", "20240229"},
            {"hour(#Due) * 100 + minute(#Due) + second(#Due)", "1345"},
            {"weekday(date(2024, 3, 3))", "1"},
            {"weekday(date(2024, 3, 9))", "7"},
            {"day(shift(date(2024, 1, 31), 0, 1, 0))", "29"},
            {"day(shift(#Due, 1, 0, 0))", "28"},
            {"month(shift(#Due, 0, 0, 1))", "3"},
            {"hour(shift(#Due, 0, 0, 0, -14))", "23"},
            {"year(shift([#Due, created()], 1, 0, 0))", "[2025, 2024]"},
            {"today() <= now() and now() - today() < 86400", "1"},
            {"hour(today()) + minute(today())", "0"},
            {"time(#Due) == #Due", "1"},
        },
        SampleNote());
}

TEST(FormulaEvaluate, NoteFacts) {
    FakeNote note = SampleNote();
    note.response = true;
    ExpectSame(
        {
            {"note_id()", "420"},
            {"note_class()", "1"},
            {"created() < modified()", "1"},
            {"year(created())", "2023"},
            {"has_item(\"subject\")", "1"},
            {"has_item(\"Nothing\")", "0"},
            {"form()", "\"Memo\""},
            {"is_response()", "1"},
            {"item(\"Sub\" .. \"ject\")", "#Subject"},
        },
        note);
    // Without a note: zero, empty, false.
    EXPECT_EQ(Eval("note_id() + note_class()").Text(), Eval("0").Text());
    EXPECT_EQ(Eval("form() .. #Subject").Text(), "");
    EXPECT_EQ(Eval("has_item(\"Subject\") or is_response() or created()").Text(), Eval("0").Text());
}

TEST(FormulaEvaluate, FieldsOfEveryStoredType) {
    FakeNote note = SampleNote();
    note.Raw("Composite", 1, {1, 2, 3});
    Bytes times;
    PutU16(&times, 1);
    PutU16(&times, 1);
    PutTime(&times, MakeTime(2020, 1, 1));
    PutTime(&times, MakeTime(2021, 1, 1));
    PutTime(&times, MakeTime(2022, 1, 1));
    note.Raw("Span", vlt::formula::kTypeTimeRange, times);
    ExpectSame(
        {
            {"#Prices", "[1.5, 2.5, 10, 20]"},
            {"year(#Span)", "[2020, 2021, 2022]"},
            {"#COMPOSITE", "\"\""},
            {"#Missing", "\"\""},
            {"#\"full name\"", "\"  doe, jane  \""},
        },
        note);
}

TEST(FormulaEvaluate, DamagedItemValuesFailWithoutReadingPastThem) {
    const struct {
        std::uint16_t type;
        Bytes data;
    } kDamaged[] = {
        {vlt::formula::kTypeTextList, {}},
        {vlt::formula::kTypeTextList, {2, 0, 1, 0}},           // lengths cut short
        {vlt::formula::kTypeTextList, {1, 0, 5, 0, 'a', 'b'}}, // entry runs past the end
        {vlt::formula::kTypeTextList, {1, 0, 3, 0, 'a', 'b'}}, // by a single byte
        {vlt::formula::kTypeNumber, {1, 2, 3, 4, 5, 6, 7}},
        {vlt::formula::kTypeTime, {1, 2, 3}},
        {vlt::formula::kTypeNumberRange, {1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {vlt::formula::kTypeTimeRange, {0xFF, 0xFF}},
    };
    for (const auto& d : kDamaged) {
        FakeNote note;
        // A copy of exactly the value's size, so that the sanitizer sees any overread.
        note.Raw("X", d.type, d.data);
        EXPECT_EQ(Eval("#X", &note).status, store::kBadValue) << std::hex << d.type;
    }
}

TEST(FormulaEvaluate, RuntimeFaultsGiveAStatus) {
    const FakeNote note = SampleNote();
    const struct {
        const char* formula;
        store::Status status;
    } kCases[] = {
        {"1 + \"a\"", store::kFormulaRuntime},
        {"#Subject * 2", store::kFormulaRuntime},
        {"-\"a\"", store::kFormulaRuntime},
        {"1 / 0", store::kFormulaRuntime},
        {"1e308 * 10", store::kFormulaRuntime},
        {"[1, 2] + [1, 2, 3]", store::kFormulaRuntime},
        {"[1, \"a\"]", store::kFormulaRuntime},
        {"upper(1)", store::kFormulaRuntime},
        {"find(#Tags, \"r\")", store::kFormulaRuntime},
        {"at(#Tags, 4)", store::kFormulaRuntime},
        {"at([], 0)", store::kFormulaRuntime},
        {"replace(\"a\", \"\", \"b\")", store::kFormulaRuntime},
        {"split(\"a\", \"\")", store::kFormulaRuntime},
        {"min([])", store::kFormulaRuntime},
        {"min(1, \"a\")", store::kFormulaRuntime},
        {"number(\"12abc\")", store::kFormulaRuntime},
        {"number(\"\")", store::kFormulaRuntime},
        {"year(#Subject)", store::kFormulaRuntime},
        {"year(created() - created())", store::kFormulaRuntime},
        {"date(2023, 2, 29)", store::kFormulaRuntime},
        {"shift(#Due, 99999, 0, 0)", store::kFormulaRuntime},
        {"round(1, 99)", store::kFormulaRuntime},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Eval(c.formula, &note).status, c.status) << c.formula;
    // A note without times: their parts fail, they do not crash.
    FakeNote bare;
    EXPECT_EQ(Eval("year(created())", &bare).status, store::kFormulaRuntime);
}

TEST(FormulaEvaluate, GrowthIsBounded) {
    // Twenty doublings would reach a megabyte times a thousand; the limit stops them early.
    std::string f = "let a = \"" + std::string(1000, 'x') + "\";";
    for (int i = 0; i < 20; ++i)
        f += " let a = a .. a;";
    f += " len(a)";
    EXPECT_EQ(Eval(f).status, store::kFormulaRuntime);
    std::string g = "let a = split(\"" + std::string(40000, ',') + "\", \",\"); count(a)";
    EXPECT_EQ(Eval(g).status, store::kNoError);
    std::string h = "let a = split(replace(\"" + std::string(40000, ',') +
                    "\", \",\", \",,\"), \",\"); count(a)";
    EXPECT_EQ(Eval(h).status, store::kFormulaRuntime);
    // Long lists compare in n log n, not n squared: this finishes at once.
    std::string k = "let a = split(\"" + std::string(60000, ',') + "\", \",\"); a == a and a in a";
    EXPECT_EQ(Eval(k).status, store::kNoError);
}

TEST(FormulaEvaluate, SelectionAndResultLayout) {
    const FakeNote note = SampleNote();
    RunResult r = Eval("match #Form == \"Memo\"", &note);
    EXPECT_TRUE(r.selected);
    EXPECT_EQ(r.value, Eval("1").value);
    r = Eval("match #Tags", &note);
    EXPECT_TRUE(r.selected);
    EXPECT_EQ(r.Type(), vlt::formula::kTypeNumber);
    r = Eval("match #Missing", &note);
    EXPECT_FALSE(r.selected);
    EXPECT_EQ(r.value, Eval("0").value);
    // Without `match` the value itself comes back, and its truth selects.
    r = Eval("#Subject", &note);
    EXPECT_TRUE(r.selected);
    EXPECT_EQ(r.Type(), vlt::formula::kTypeText);
    EXPECT_EQ(r.Text(), "Quarterly report");
    EXPECT_FALSE(Eval("#Missing", &note).selected);

    EXPECT_EQ(Eval("[\"ab\", \"c\"]").value, (Bytes{0x01, 0x05, 2, 0, 2, 0, 1, 0, 'a', 'b', 'c'}));
    Bytes numbers{0x01, 0x03, 2, 0, 0, 0};
    PutF64(&numbers, 1);
    PutF64(&numbers, 2);
    EXPECT_EQ(Eval("[1, 2]").value, numbers);
    Bytes one{0x00, 0x03};
    PutF64(&one, 0.5);
    EXPECT_EQ(Eval("0.5").value, one);
    const store::TimeDate due = MakeTime(2024, 2, 29, 13, 45);
    Bytes time{0x00, 0x04};
    PutTime(&time, due);
    EXPECT_EQ(Eval("#Due", &note).value, time);
    Bytes times{0x01, 0x04, 1, 0, 0, 0};
    PutTime(&times, due);
    EXPECT_EQ(Eval("[#Due]", &note).value, times);
}

TEST(FormulaEvaluate, EveryFunctionIsExercisedHere) {
    // Guards against a new library row without a test above: every name must occur in this
    // file's formulas. The file is read as text, by its place in the source tree (__FILE__ is
    // relative when the compiler is run through a cache that rewrites paths).
    std::FILE* f = std::fopen(DELVEX_TEST_DATA_DIR "/../formula/EvaluateTest.cpp", "rb");
    ASSERT_NE(f, nullptr);
    std::string self;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        self.append(buf, n);
    std::fclose(f);
    for (const auto& fn : vlt::formula::AllFunctions())
        EXPECT_NE(self.find(std::string(fn.name) + "("), std::string::npos) << fn.name;
}
