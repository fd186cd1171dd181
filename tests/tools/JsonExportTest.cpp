// The JSON export says what the text dump says: the same nodes in the same order, the same
// field labels and values, every comment; jsonl lines are each a whole JSON value; texts come
// back byte for byte; a failed write is reported.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/DumpCommand.h"
#include "output/JsonWriter.h"
#include "support/SampleNames.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Dumps a sample database whole in the given format and returns what was written.
std::string Dump(const std::string& name, const std::string& format) {
    // Tests run side by side: each process writes files of its own.
    const fs::path out = fs::path(::testing::TempDir()) /
                         ("json-export-" + std::to_string(getpid()) + "-" + format + ".out");
    setenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR, 1);
    std::ostringstream so, se;
    const int status =
        dumpcommand::Run({"--include-collapsed", "--format", format, "-o", out.string(), name}, so,
                         se, DELVEX_SAMPLE_DATA_DIR);
    unsetenv("DELVEX_DATA_DIR");
    EXPECT_EQ(status, 0) << name << " " << format << ": " << se.str();
    return ReadFile(out);
}

// One field line of the text dump: its body without the comment, the comment, and the lines
// that go on with its value (a long value, or one that starts on the next line).
struct TextLine {
    std::string body;
    std::string comment;
    std::vector<std::string> more;
};

std::string WithoutClosing(std::string text) {
    text.erase(text.find_last_not_of(')') + 1);
    return text;
}

std::vector<TextLine> FieldLines(const std::string& dump) {
    std::vector<TextLine> lines;
    std::istringstream in(dump);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t note = line.find("    ; ");
        std::string body = line.substr(0, note);
        const std::size_t from = body.find_first_not_of(' ');
        if (from == std::string::npos)
            continue; // comment lines, blank lines
        if (body[from] != '(') {
            if (!lines.empty())
                lines.back().more.push_back(WithoutClosing(body.substr(from)));
            continue;
        }
        lines.push_back(
            {body.substr(from), note == std::string::npos ? "" : line.substr(note), {}});
    }
    return lines;
}

// The labelled entries of a JSON node or field, in the order the text dump writes them: a node's
// element, then its fields, then its children.
struct Entry {
    std::string label;
    std::string value;
};

void Walk(const json& object, bool isNode, std::vector<Entry>& out) {
    const char* labelKey = isNode ? "element" : "label";
    if (object.contains(labelKey))
        out.push_back({object[labelKey].get<std::string>(),
                       object.contains("value") ? object["value"].get<std::string>() : ""});
    if (object.contains("fields"))
        for (const json& f : object["fields"])
            if (f.contains("label"))
                Walk(f, false, out);
    if (object.contains("children"))
        for (const json& c : object["children"])
            if (c.contains("type-id"))
                Walk(c, true, out);
}

void Comments(const json& object, std::vector<std::string>& out) {
    if (object.contains("comment"))
        out.push_back(object["comment"].get<std::string>());
    for (const char* key : {"fields", "children"})
        if (object.contains(key))
            for (const json& e : object[key])
                Comments(e, out);
}

TEST(JsonExport, SaysWhatTheTextDumpSaysForEverySample) {
    std::vector<std::string> names = SampleNames();
    std::erase_if(names, [](const std::string& n) { return !n.ends_with(".vlt"); });
    ASSERT_GE(names.size(), 5u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string text = Dump(name, "text");
        const json doc = json::parse(Dump(name, "json"));
        std::vector<Entry> entries;
        Walk(doc, true, entries);
        const std::vector<TextLine> lines = FieldLines(text);
        ASSERT_EQ(entries.size(), lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            // "(label value" then only closing parentheses, the value going on in the lines
            // after it when it has more than one.
            const std::string head = "(" + entries[i].label + " ";
            ASSERT_TRUE(lines[i].body.starts_with(head)) << "line " << i << ": " << lines[i].body;
            std::vector<std::string> shown;
            if (const std::string rest = WithoutClosing(lines[i].body.substr(head.size()));
                !rest.empty() || lines[i].more.empty())
                shown.push_back(rest);
            for (const std::string& m : lines[i].more)
                if (!m.empty())
                    shown.push_back(m);
            std::vector<std::string> values;
            std::istringstream value(entries[i].value);
            for (std::string v; std::getline(value, v);)
                values.push_back(WithoutClosing(v));
            if (values.empty())
                values.push_back("");
            EXPECT_EQ(values, shown) << "line " << i << ": " << lines[i].body;
        }
        std::vector<std::string> comments;
        Comments(doc, comments);
        for (const std::string& c : comments) {
            std::istringstream parts(c);
            std::string part;
            while (std::getline(parts, part))
                EXPECT_NE(text.find("; " + part), std::string::npos) << "comment: " << part;
        }

        // jsonl: each line one value; walked in turn they give the same entries.
        std::istringstream jsonl(Dump(name, "jsonl"));
        std::vector<Entry> lineEntries;
        std::string line;
        while (std::getline(jsonl, line)) {
            const json value = json::parse(line); // throws, and so fails, on a broken line
            ASSERT_TRUE(value.contains("level")) << line.substr(0, 200);
            Walk(value, true, lineEntries);
        }
        ASSERT_EQ(lineEntries.size(), entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i)
            EXPECT_EQ(lineEntries[i].label, entries[i].label) << i;
    }
}

// Calls f on every node and field object below and with root.
template <typename F> void ForEachObject(const json& root, F f) {
    std::vector<const json*> todo{&root};
    while (!todo.empty()) {
        const json& o = *todo.back();
        todo.pop_back();
        for (const char* key : {"fields", "children"})
            if (o.contains(key))
                for (const json& e : o[key])
                    todo.push_back(&e);
        f(o);
    }
}

TEST(JsonExport, RawNumbersAreTheNumbersTheHexValuesShow) {
    const json doc = json::parse(Dump("richtext.vlt", "json"));
    int checked = 0;
    ForEachObject(doc, [&](const json& o) {
        if (!o.contains("raw") || !o.contains("value"))
            return;
        const std::string value = o["value"].get<std::string>();
        if (value.size() > 2 && value.starts_with("0x") &&
            value.find_first_not_of("0123456789ABCDEFabcdef", 2) == std::string::npos) {
            EXPECT_EQ(o["raw"].get<double>(), double(std::stoull(value.substr(2), nullptr, 16)))
                << value;
            ++checked;
        }
    });
    EXPECT_GT(checked, 5);
}

TEST(JsonExport, FieldsCarryTheirByteRanges) {
    // Record fields know where they were read: some range must be there, each inside the
    // 64 KiB a record can hold at most.
    const json doc = json::parse(Dump("richtext.vlt", "json"));
    int ranges = 0;
    ForEachObject(doc, [&](const json& o) {
        if (o.contains("range")) {
            ++ranges;
            EXPECT_FALSE(o.contains("type-id")) << "a node has no range of its own";
            EXPECT_LE(o["range"]["offset"].get<std::size_t>() +
                          o["range"]["length"].get<std::size_t>(),
                      65536u);
        }
    });
    EXPECT_GT(ranges, 50);
}

// Undoes the escape of bytes that are not UTF-8: each U+F7XX is byte XX again.
std::string Unescape(const std::string& utf8) {
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == 0xEF && i + 2 < utf8.size() &&
            (static_cast<unsigned char>(utf8[i + 1]) & 0xFC) == 0x9C) {
            const unsigned cp = ((c & 0x0Fu) << 12) |
                                ((static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6) |
                                (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
            if (cp >= 0xF700 && cp <= 0xF7FF) {
                bytes.push_back(char(cp - 0xF700));
                i += 2;
                continue;
            }
        }
        bytes.push_back(char(c));
    }
    return bytes;
}

TEST(JsonExport, EveryTextComesBackByteForByte) {
    const std::string texts[] = {
        std::string("plain"),
        std::string("quote \" backslash \\ tab \t line\nend", 35),
        std::string("\x00\x01\x1f\x7f", 4),
        "caf\xc3\xa9 \xe2\x82\xac",           // valid UTF-8 stays as it is
        "\xff\xfe \xc3 \xe2\x82 \x80",        // no valid sequence: each byte escaped
        "\xef\x9c\x80 \xed\xa0\x80 \xc0\xaf", // U+F700 itself, a surrogate, an overlong form
    };
    for (const std::string& t : texts) {
        std::string body;
        CJsonWriter::AppendJsonText(body, t);
        const json parsed = json::parse("\"" + body + "\""); // must be valid JSON
        EXPECT_EQ(Unescape(parsed.get<std::string>()), t) << body;
    }
    std::string body;
    CJsonWriter::AppendJsonText(body, "caf\xc3\xa9");
    EXPECT_EQ(body, "caf\xc3\xa9");
}

TEST(JsonExport, AFailedWriteIsReported) {
    CJsonWriter writer("/nonexistent-dir/x.json", nullptr, CJsonWriter::Layout::Document);
    writer.Begin();
    writer.TextField("a", "b");
    writer.End();
    EXPECT_FALSE(writer.Close());
    EXPECT_NE(writer.ErrorText().find("/nonexistent-dir/x.json"), std::string::npos);

    setenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR, 1);
    std::ostringstream so, se;
    EXPECT_NE(dumpcommand::Run({"--format", "json", "-o", "/nonexistent-dir/x.json", "items.vlt"},
                               so, se, DELVEX_SAMPLE_DATA_DIR),
              0);
    unsetenv("DELVEX_DATA_DIR");
    EXPECT_NE(se.str().find("/nonexistent-dir/x.json"), std::string::npos);
}

} // namespace
