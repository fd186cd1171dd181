// Building straight from a description file, each note written as it is read: the same file
// and the same messages as reading the whole description first and writing it then.
#include <string>

#include "VltTestSupport.h"
#include "vlt/builder/JsonDescription.h"
#include "vlt/builder/Writer.h"

using namespace vlttest;

namespace {

// Both ways of building `json`; true when both succeed. *error gets the streamed build's
// message, *held the message of reading everything first.
bool BuildBoth(ScratchDir& dir, const std::string& json, std::string* error, std::string* held) {
    const std::string src = dir.file("d.json");
    WriteAll(src, json);
    vlt::builder::DatabaseDesc desc;
    const bool a = vlt::builder::LoadDescription(src, &desc, held) &&
                   vlt::builder::WriteDatabase(desc, dir.file("held.vlt"), held);
    const bool b = vlt::builder::BuildDatabase(src, dir.file("streamed.vlt"), error);
    EXPECT_EQ(a, b) << *held << " / " << *error;
    return a && b;
}

} // namespace

TEST(BuilderStream, WritesTheSameFileAsReadingEverythingFirst) {
    ScratchDir dir;
    std::string error, held;
    // A forward parent, a note reference to a later note and an attachment: values filled
    // in only once the notes and objects that follow are known.
    ASSERT_TRUE(BuildBoth(dir,
                          R"({"title": "T", "notes": [
        {"id": 8, "parent": 12, "items": [{"name": "R", "noterefs": [16, 12]}]},
        {"id": 12, "items": [{"name": "$FILE", "attachment": {"object": 3, "file": "a.txt"}},
                             {"name": "Body", "text": "some text"}]},
        {"id": 16, "deleted": true}],
      "objects": [{"id": 3, "note": 12, "text": "attached"}],
      "acl": {"entries": [{"name": "Admin", "level": "manager"}]}})",
                          &error, &held))
        << error;
    EXPECT_EQ(ReadAll(dir.file("streamed.vlt")), ReadAll(dir.file("held.vlt")));
}

TEST(BuilderStream, MessagesKeepTheirOrder) {
    ScratchDir dir;
    std::string error, held;
    const std::string out = dir.file("streamed.vlt");
    // A reading error in a later note wins over a check error in an earlier one.
    EXPECT_FALSE(BuildBoth(dir, R"({"notes": [{"id": 8}, {"id": 8}, {"id": 12, "class": "x"}]})",
                           &error, &held));
    EXPECT_EQ(error, held);
    EXPECT_NE(error.find("notes[2].class"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(out));
    // A check error after notes already written: the message, and no file left.
    EXPECT_FALSE(BuildBoth(dir, R"({"notes": [{"id": 8}, {"id": 8}]})", &error, &held));
    EXPECT_EQ(error, out + ": note 8: the note ID is used twice");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    // What follows the notes is checked against all of them.
    EXPECT_FALSE(BuildBoth(dir, R"({"notes": [{"id": 8}], "objects": [{"id": 5, "note": 77}]})",
                           &error, &held));
    EXPECT_EQ(error, out + ": object 5: its note 77 does not exist");
}
