// The sample databases show what sound data looks like: no dump of a sample, and no item of any
// of its notes, may show a damage comment, unless the sample is built to be damaged and its
// name says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/DumpCommand.h"
#include "items/ItemNodeFactory.h"
#include "output/DumpWriter.h"
#include "store/api/Database.h"
#include "store/api/Items.h"
#include "store/api/Notes.h"
#include "store/api/Search.h"
#include "support/SampleNames.h"
#include "tree/DumpToFile.h"
#include "tree/NodeDocument.h"
#include "tree/NoteNode.h"

namespace {

namespace fs = std::filesystem;

// What the decoders write about bytes that do not fit their layout, and what the time
// conversion writes about a time stamp that is no time.
const char* const kDamageTexts[] = {
    "*** Length is too short",     "*** Record runs past the end of the stream",
    "tabs stored, room for",       "*** Unrecognized view format version",
    "*** Unrecognized view style", "Couldn't convert time to text",
};

bool BuiltToBeDamaged(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower.find("damage") != std::string::npos;
}

// Each line of out that shows a damage text, with its line number.
std::string DamagedLines(const std::string& out) {
    std::string found;
    std::istringstream lines(out);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number)
        for (const char* text : kDamageTexts)
            if (line.find(text) != std::string::npos) {
                found += std::to_string(number) + ": " + line + "\n";
                break;
            }
    return found;
}

TEST(SampleDamage, DumpsShowNoDamage) {
    const std::vector<std::string> names = SampleNames();
    ASSERT_GE(names.size(), 8u);
    setenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR, 1);
    for (const std::string& name : names) {
        if (BuiltToBeDamaged(name))
            continue;
        std::ostringstream out, err;
        const int status =
            dumpcommand::Run({"--include-collapsed", name}, out, err, DELVEX_SAMPLE_DATA_DIR);
        EXPECT_EQ(status, 0) << name << ": " << err.str();
        EXPECT_EQ(DamagedLines(out.str()), "") << name;
    }
    unsetenv("DELVEX_DATA_DIR");
}

// Every item of every note by its ID, with its records, so that notes a document set does not
// list (the default design notes) are read too.
TEST(SampleDamage, ItemsOfEveryNoteShowNoDamage) {
    CNodeDocument doc;
    std::set<std::string> read; // "database item" of every item read
    for (const std::string& name : SampleNames()) {
        if (BuiltToBeDamaged(name))
            continue;
        const std::string path = std::string(DELVEX_SAMPLE_DATA_DIR) + "/" + name;
        store::DbHandle db = 0;
        ASSERT_EQ(store::OpenDatabase(path.c_str(), &db), store::kNoError) << path;
        store::MemHandle ids = 0;
        const store::Status listed = store::NotesModifiedSince(db, 0x7FFF, store::TimeDate{}, &ids);
        ASSERT_TRUE(listed == store::kNoError || listed == store::kNoModifiedNotes) << name;
        std::uint32_t id = 0;
        for (std::uint32_t i = 0; ids && store::IdTableEntry(ids, i, &id); ++i) {
            if (id & store::kIdStub)
                continue;
            store::NoteHandle note = 0;
            ASSERT_EQ(store::OpenNote(db, id, 0, &note), store::kNoError) << name << " " << id;
            store::BlockId item, value;
            std::uint16_t type = 0;
            std::uint32_t length = 0;
            for (store::Status s = store::FindItem(note, nullptr, &item, &type, &value, &length);
                 s == store::kNoError;
                 s = store::FindNextItem(note, item, nullptr, &item, &type, &value, &length)) {
                char itemName[store::kItemNameBuffer] = {};
                std::uint16_t nameLength = 0, flags = 0;
                store::ItemInfo(note, item, itemName, sizeof itemName, &nameLength, &flags, nullptr,
                                nullptr, nullptr);
                ItemScanInfo info;
                info.name = itemName;
                info.nameLength = nameLength;
                info.type = type;
                info.flags = flags;
                info.value = value;
                info.valueLength = length;
                std::unique_ptr<CNoteNode> node(CreateItemNode(note, info, &doc));
                ASSERT_TRUE(node);
                read.insert(name + " " + std::string(itemName, nameLength));
                std::ostringstream out;
                {
                    CDumpWriter writer(out, nullptr);
                    DumpOptions options;
                    options.includeCollapsed = true;
                    WriteSubtree(*node, writer, options);
                    writer.Close();
                }
                EXPECT_EQ(DamagedLines(out.str()), "")
                    << name << " note " << id << " item " << std::string(itemName, nameLength);
            }
            store::CloseNote(note);
        }
        if (ids)
            store::MemFree(ids);
        store::CloseDatabase(db);
    }
    // The default form and the default view, which no document set lists.
    EXPECT_TRUE(read.count("discuss.vlt $Info"));
    EXPECT_TRUE(read.count("items.vlt $VIEWFORMAT"));
}

} // namespace
