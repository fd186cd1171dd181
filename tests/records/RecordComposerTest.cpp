// Record streams written as lists of records: what the builder makes of them is what the
// decoders read back, field by field, and what the hand-made sample bytes hold.
#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "RecordSamples.h"
#include "RecordTestSupport.h"
#include "ShownRecord.h"
#include "common/Ascii.h"
#include "records/RecordFactory.h"
#include "records/RecordKinds.h"
#include "records/RecordStreamComposer.h"
#include "vlt/builder/JsonDescription.h"

namespace {

using nlohmann::json;

std::string SamplePath(const std::string& name) {
    return std::string(DELVEX_SAMPLES_SOURCE_DIR) + "/data/" + name;
}

json ReadJson(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return json::parse(text.str());
}

// The item values of a description, by item name, record lists composed.
std::map<std::string, std::vector<std::uint8_t>> Values(const std::string& path) {
    vlt::builder::DatabaseDesc desc;
    std::string error;
    EXPECT_TRUE(vlt::builder::LoadDescription(path, &desc, &error, &ComposeRecordStream)) << error;
    std::map<std::string, std::vector<std::uint8_t>> values;
    for (const auto& note : desc.notes)
        for (const auto& item : note.items)
            values[item.name] = item.value;
    return values;
}

// Whether a field line, whatever its depth, is the text.
bool Shows(const ShownRecord& shown, const std::string& line) {
    for (const std::string& field : shown.fields)
        if (field.substr(std::min(field.find_first_not_of(' '), field.size())) == line)
            return true;
    return false;
}

// Whether a hex dump field of the label holds exactly these bytes (the dump marks every eighth
// byte with a dot).
bool ShowsHexDump(const ShownRecord& shown, const std::string& label,
                  const std::vector<std::uint8_t>& bytes) {
    const std::string start = "(" + label + " ";
    for (std::string field : shown.fields) {
        field = field.substr(std::min(field.find_first_not_of(' '), field.size()));
        if (field.rfind(start, 0) != 0)
            continue;
        std::replace(field.begin(), field.end(), '.', ' ');
        std::vector<std::uint8_t> shownBytes;
        if (ParseHex(field.substr(start.size()), &shownBytes) && shownBytes == bytes)
            return true;
    }
    return false;
}

// How the dump may write a described value: as it stands, quoted (texts) or braced (formulas).
bool ShowsValue(const ShownRecord& shown, const std::string& label, const std::string& value) {
    for (const std::string& form : {value, "\"" + value + "\"", "{" + value + "}"})
        if (Shows(shown, "(" + label + " " + form))
            return true;
    return false;
}

std::string Scalar(const json& v) {
    if (v.is_string())
        return v.get<std::string>();
    if (v.is_boolean())
        return v.get<bool>() ? "True" : "False";
    std::ostringstream out;
    out << v.get<double>();
    return out.str();
}

// Every described member shows as a field of its label with that value; objects as fields
// holding their members, lists of values on one line or as "value" fields.
void ExpectShown(const ShownRecord& shown, const json& members, const std::string& where) {
    for (auto it = members.begin(); it != members.end(); ++it) {
        const std::string& label = it.key();
        const json& v = it.value();
        const std::string at = where + "." + label;
        if (label == "record-type" || label == "remaining-data")
            continue;
        if (v.is_object() && v.size() == 1 && v.contains("formula")) {
            // A text-or-formula part given as a formula shows as one.
            EXPECT_TRUE(ShowsValue(shown, label, "{" + v["formula"].get<std::string>() + "}"))
                << at << "\n"
                << shown.text;
        } else if (v.is_object()) {
            EXPECT_TRUE(Shows(shown, "(" + label)) << at << "\n" << shown.text;
            ExpectShown(shown, v, at);
        } else if (v.is_array() && !v.empty() && v[0].is_object()) {
            for (std::size_t i = 0; i < v.size(); ++i)
                ExpectShown(shown, v[i], at + "[" + std::to_string(i) + "]");
        } else if (v.is_array() && !v.empty() && v[0].is_array()) {
            // Points: a pair a line, the lines after the field's label.
            std::string line;
            for (const json& point : v)
                for (const json& e : point)
                    line += (line.empty() ? "" : " ") + Scalar(e);
            EXPECT_TRUE(ShowsValue(shown, label, line)) << at << "\n" << shown.text;
        } else if (v.is_array()) {
            // On the field's line, or quoted a value a line after it, or as "value" fields.
            std::string line, quoted;
            bool each = true;
            for (const json& e : v) {
                line += (line.empty() ? "" : " ") + Scalar(e);
                quoted += (quoted.empty() ? "\"" : " \"") + Scalar(e) + "\"";
                each = each && ShowsValue(shown, "value", Scalar(e));
            }
            EXPECT_TRUE(each || ShowsValue(shown, label, line) ||
                        Shows(shown, "(" + label + " " + quoted))
                << at << "\n"
                << shown.text;
        } else {
            // A stored structure given as its bytes shows as the fields it holds.
            std::vector<std::uint8_t> bytes;
            const bool structure = v.is_string() && ParseHex(v.get<std::string>(), &bytes) &&
                                   bytes.size() > 4 && Shows(shown, "(" + label);
            EXPECT_TRUE(structure || ShowsValue(shown, label, Scalar(v)) ||
                        (!bytes.empty() && ShowsHexDump(shown, label, bytes)))
                << at << "\n"
                << shown.text;
        }
    }
}

TEST(RecordComposer, EverySampleRecordDumpsTheFieldsItWasDescribedWith) {
    std::size_t records = 0;
    for (const char* name : {"richtext.vlt.json", "items.vlt.json", "discuss.vlt.json"}) {
        const auto values = Values(SamplePath(name));
        const json description = ReadJson(SamplePath(name));
        for (const json& note : description["notes"])
            for (const json& item : note.value("items", json::array())) {
                if (!item.contains("records"))
                    continue;
                const std::string where = std::string(name) + ":" + item["name"].get<std::string>();
                const auto& value = values.at(item["name"].get<std::string>());
                const std::uint16_t kind = std::uint16_t(value[0] | value[1] << 8);
                WalkedStream w = Walk(value, kind);
                const auto walked = w.Records();
                ASSERT_EQ(walked.size(), item["records"].size()) << where;
                for (std::size_t i = 0; i < walked.size(); ++i) {
                    const json& described = item["records"][i];
                    const ShownRecord shown(Dump(*walked[i]));
                    const std::string at = where + "[" + std::to_string(i) + "]";
                    EXPECT_TRUE(
                        Shows(shown, "(record-type " + described["record-type"].get<std::string>()))
                        << at << "\n"
                        << shown.text;
                    EXPECT_FALSE(shown.saysShort) << at << "\n" << shown.text;
                    ExpectShown(shown, described, at);
                    std::vector<std::uint8_t> rest;
                    if (described.contains("remaining-data")) {
                        ASSERT_TRUE(
                            ParseHex(described["remaining-data"].get<std::string>(), &rest));
                    }
                    EXPECT_EQ(shown.remaining, rest) << at << "\n" << shown.text;
                    ++records;
                }
            }
    }
    EXPECT_GE(records, 43u);
}

// The sample bytes made by hand, field by field, are what the builder makes of the readable
// sample: two encodings that cannot agree by sharing a mistake.
TEST(RecordComposer, ReadableSampleIsTheHandMadeStream) {
    const auto values = Values(SamplePath("richtext.vlt.json"));
    for (const SampleStream& s : SampleStreams()) {
        ASSERT_TRUE(values.count(s.item)) << s.item;
        EXPECT_EQ(values.at(s.item), s.records.Stream()) << s.item;
    }
}

std::string ComposeError(const std::string& records, std::vector<std::uint8_t>* bytes = nullptr) {
    const std::string text =
        R"({"id": "1996-05-14T08:30:00.00Z", "notes": [{"items": [{"name": "Body", "type": 1,
        "records": )" +
        records + "}]}]}";
    vlt::builder::DatabaseDesc desc;
    std::string error;
    if (vlt::builder::ParseDescription(text, "test.json", &desc, &error, &ComposeRecordStream)) {
        if (bytes)
            *bytes = desc.notes.at(0).items.at(0).value;
        return "";
    }
    return error;
}

TEST(RecordComposer, MistakesAreNamedWithTheirPlace) {
    struct Case {
        std::string records;
        const char* says;
    } cases[] = {
        {R"([{"record-type": "Text", "txet": "x"}])", "[0].txet: this record has no field"},
        {R"([{"record-type": "Paragraph"}, {"record-type": "Nonesuch"}])",
         "[1].record-type: \"Nonesuch\" is not a record type"},
        {R"([{"record-type": "PabReference", "pab-id": 70000}])", "[0].pab-id"},
        {R"([{"record-type": "PabReference", "pab-id": -1}])", "[0].pab-id"},
        {R"([{"record-type": "Text", "font-id": "Swiss 10 Bold Black"}])", "is not a font"},
        {R"([{"record-type": "Text", "font-id": "Swiss 10 pt Bold Mauvish"}])", "is not a font"},
        {R"([{"record-type": "PabDefinition", "justify-mode": "Sideways"}])",
         "\"Sideways\" is not a name"},
        {R"([{"record-type": "Header", "font-name": "a name longer than its room of 32 bytes"}])",
         "longer than its room"},
        {R"([{"record-type": "PabHide", "formula": "1 +"}])", "[0].formula: the formula cannot"},
        {R"([{"record-type": "PabDefinition", "tabs": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,
            17,18,19,20,21]}])",
         "at most 20 tabs"},
        {R"([{"record-type": "FontTable", "font": [{"face": 1, "nmae": "x"}]}])",
         "[0].font[0].nmae"},
        {R"([{"record-type": "Keyword", "remaining-data": "0"}])", "hex digits"},
        {R"([{"hex": "8102", "record-type": "Paragraph"}])", "no other members"},
        {R"([{"record-type": "Text", "text": ")" + std::string(300, 'x') + R"("}, {}])",
         "[1]: \"record-type\" or \"hex\""},
        {R"({"record-type": "Paragraph"})", "a list is expected"},
    };
    for (const Case& c : cases) {
        const std::string error = ComposeError(c.records);
        EXPECT_NE(error.find("test.json"), std::string::npos) << c.records;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.records << "\n" << error;
    }
    // A byte-form record keeps its length in one byte.
    EXPECT_NE(ComposeError(R"([{"record-type": "StyleName", "style-name": "x",
        "remaining-data": ")" +
                           std::string(2 * 300, '0') + R"("}])")
                  .find("more than its header can say (254)"),
              std::string::npos);
}

TEST(RecordComposer, DamagedRecordsCanBeDescribed) {
    std::vector<std::uint8_t> bytes;
    // A stored length past the stream's end, and a record as raw bytes after an odd one.
    ASSERT_EQ(ComposeError(R"([{"hex": "810301"}, {"record-type": "PabReference", "pab-id": 7,
        "length": 9}])",
                           &bytes),
              "");
    const std::vector<std::uint8_t> expected = {1, 0, 0x81, 3, 1, 0, 0x83, 9, 7, 0};
    EXPECT_EQ(bytes, expected);
    WalkedStream w = Walk(bytes, 1);
    const auto records = w.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(ShownRecord(Dump(*records[1])).saysShort);

    // Flags or'ed from names and numbers, given in a list.
    ASSERT_EQ(
        ComposeError(R"([{"record-type": "Document", "form-flags": ["Reference", "0x8000"]}])",
                     &bytes),
        "");
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes[6] | bytes[7] << 8, 0x8001);
}

std::uint16_t StreamOf(RecordScope scope) {
    switch (scope) {
    case RecordScope::Navigator:
        return kStreamKindLayout;
    case RecordScope::Query:
        return kStreamKindQuery;
    case RecordScope::Action:
        return kStreamKindAction;
    case RecordScope::Dataset:
        return kStreamKindDataset;
    default:
        return kStreamKindComposite;
    }
}

// A record of every kind given by its signature alone is whole: its fixed part there, every
// count 0, nothing short and nothing left unexplained.
TEST(RecordComposer, EveryKindComposesAWholeEmptyRecord) {
    for (const RecordKind* kind : AllRecordKinds()) {
        const std::uint16_t stream = StreamOf(kind->scope);
        ValueTree list;
        list.type = ValueTree::Type::List;
        list.list.resize(1);
        list.list[0].members.push_back({"record-type", ValueTree()});
        list.list[0].members[0].value.type = ValueTree::Type::Number;
        list.list[0].members[0].value.number = kind->signature;
        std::vector<std::uint8_t> bytes = {std::uint8_t(stream), std::uint8_t(stream >> 8)};
        std::vector<std::uint8_t> records;
        std::string where, what;
        ASSERT_TRUE(ComposeRecordStream(stream, list, &records, &where, &what))
            << std::hex << kind->signature << ": " << where << " " << what;
        bytes.insert(bytes.end(), records.begin(), records.end());
        WalkedStream w = Walk(bytes, stream);
        const auto walked = w.Records();
        ASSERT_EQ(walked.size(), 1u) << std::hex << kind->signature;
        EXPECT_EQ(walked[0]->Kind(), kind) << std::hex << kind->signature;
        EXPECT_GE(walked[0]->Length(), kind->fixedSize) << std::hex << kind->signature;
        const ShownRecord shown(Dump(*walked[0]));
        EXPECT_FALSE(shown.saysShort) << shown.text;
        EXPECT_TRUE(shown.remaining.empty()) << shown.text;
    }
}

TEST(RecordComposer, ProgramsWithoutRecordTablesRefuseRecordLists) {
    vlt::builder::DatabaseDesc desc;
    std::string error;
    EXPECT_FALSE(vlt::builder::ParseDescription(
        R"({"id": "1996-05-14T08:30:00.00Z", "notes": [{"items": [{"name": "B", "type": 1, "records": []}]}]})",
        "t.json", &desc, &error));
    EXPECT_NE(error.find("cannot encode record lists"), std::string::npos) << error;
}

TEST(RecordComposer, RecordListsNeedATypeThatHoldsRecords) {
    vlt::builder::DatabaseDesc desc;
    std::string error;
    EXPECT_FALSE(vlt::builder::ParseDescription(
        R"({"id": "1996-05-14T08:30:00.00Z", "notes": [{"items": [{"name": "B", "records": []}]}]})",
        "t.json", &desc, &error, &ComposeRecordStream));
    EXPECT_NE(error.find("needs a \"type\""), std::string::npos) << error;
    EXPECT_FALSE(vlt::builder::ParseDescription(
        R"({"id": "1996-05-14T08:30:00.00Z", "notes": [{"items": [{"name": "B", "type": 1280, "records": []}]}]})",
        "t.json", &desc, &error, &ComposeRecordStream));
    EXPECT_NE(error.find("holds no records"), std::string::npos) << error;
}

} // namespace
