// The items sample: every item type appears, every value decodes cleanly, every prefix of
// every value ends in the short comment instead of garbage, and object items show their
// database objects in pieces.
#include <set>

#include "ItemTestSupport.h"
#include "items/NoteObjectNode.h"
#include "store/api/Database.h"
#include "store/api/Items.h"
#include "store/api/Notes.h"

namespace {

using namespace itemenc;

struct SampleItem {
    store::NoteId note;
    std::string name;
    std::uint16_t type, flags;
    Bytes whole; // type word first
};

class SampleItems : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = std::string(DELVEX_SAMPLE_DATA_DIR) + "/items.vlt";
        ASSERT_EQ(store::OpenDatabase(path.c_str(), &db_), store::kNoError) << path;
        for (store::NoteId id = 4; id <= 28; id += 4) {
            store::NoteHandle note = 0;
            ASSERT_EQ(store::OpenNote(db_, id, 0, &note), store::kNoError) << id;
            notes_.push_back(note);
            store::BlockId item, value;
            std::uint16_t type = 0;
            std::uint32_t length = 0;
            for (store::Status s = store::FindItem(note, nullptr, &item, &type, &value, &length);
                 s == store::kNoError;
                 s = store::FindNextItem(note, item, nullptr, &item, &type, &value, &length)) {
                char name[store::kItemNameBuffer] = {};
                std::uint16_t nameLength = 0, flags = 0;
                store::ItemInfo(note, item, name, sizeof name, &nameLength, &flags, nullptr,
                                nullptr, nullptr);
                const auto* bytes = static_cast<const std::uint8_t*>(store::MemLockBlock(value));
                items_.push_back(
                    {id, std::string(name, nameLength), type, flags, Bytes(bytes, bytes + length)});
                store::MemUnlock(value.pool);
            }
        }
    }
    void TearDown() override {
        for (store::NoteHandle n : notes_)
            store::CloseNote(n);
        store::CloseDatabase(db_);
    }
    store::NoteHandle NoteOf(store::NoteId id) const { return notes_[id / 4 - 1]; }
    const SampleItem* Find(const std::string& name) const {
        for (const SampleItem& i : items_)
            if (i.name == name)
                return &i;
        return nullptr;
    }
    // The fields of a sample item whose value is replaced by the given bytes.
    std::string FieldsWith(const SampleItem& item, const Bytes& whole) {
        StoredValue v(whole);
        ItemScanInfo info = v.Info(item.name, item.type, item.flags);
        std::unique_ptr<CNoteNode> node(CreateItemNode(NoteOf(item.note), info, &doc_));
        return FieldsOf(*node);
    }

    store::DbHandle db_ = 0;
    std::vector<store::NoteHandle> notes_;
    std::vector<SampleItem> items_;
    ItemTestDocument doc_;
};

TEST_F(SampleItems, EveryItemTypeAppears) {
    std::set<std::uint16_t> types;
    for (const SampleItem& i : items_)
        types.insert(i.type);
    for (std::uint16_t t :
         {0x0, 0x100, 0x200, 0x300, 0x301, 0x400, 0x401, 0x500, 0x501, 0x600, 0x700, 1,
          2,   3,     4,     5,     6,     7,     8,     9,     10,    11,    12,    13,
          14,  15,    16,    17,    18,    19,    20,    21,    22,    23,    24})
        EXPECT_TRUE(types.count(t)) << "type " << t;
}

// Types whose layout is fixed by counts and lengths inside the value: any prefix of the value
// lacks part of what it announces.
bool CutShortIsVisible(std::uint16_t type) {
    switch (type) {
    case 0x300:
    case 0x301:
    case 0x400:
    case 0x401:
    case 0x501:
    case 2:
    case 3:
    case 4:
    case 5:
    case 7:
    case 17:
    case 22:
    case 24:
        return true;
    default:
        return false;
    }
}

TEST_F(SampleItems, WholeValuesDecodeWithoutComplaint) {
    doc_.SetIncludeValue(true);
    for (const SampleItem& item : items_) {
        const std::string out = FieldsWith(item, item.whole);
        EXPECT_EQ(out.find(kShort), std::string::npos) << item.name << out;
        // Number ranges leave their pairs undecoded.
        const bool decoded = CutShortIsVisible(item.type) || IsRecordStreamType(item.type) ||
                             item.type == 0x500 || item.type == 0x600 || item.type == 0x700;
        if (decoded && item.type != 0x301) {
            EXPECT_EQ(out.find("remaining-data"), std::string::npos) << item.name << out;
        }
    }
}

TEST_F(SampleItems, EveryPrefixEndsInTheShortComment) {
    doc_.SetIncludeValue(true); // labels convert the cut values too
    for (const SampleItem& item : items_) {
        for (std::size_t k = 2; k < item.whole.size(); ++k) {
            const Bytes prefix(item.whole.begin(), item.whole.begin() + std::ptrdiff_t(k));
            const std::string out = FieldsWith(item, prefix);
            if (CutShortIsVisible(item.type)) {
                EXPECT_NE(out.find(kShort), std::string::npos)
                    << item.name << " cut to " << k << out;
            }
        }
    }
}

TEST_F(SampleItems, LabelsOfObjectItems) {
    doc_.SetIncludeValue(true);
    const SampleItem* file = Find("$FILE");
    const SampleItem* run = Find("$RunData");
    ASSERT_TRUE(file && run);
    StoredValue fv(file->whole), rv(run->whole);
    auto fileNode = MakeItem(fv, "$FILE", 3, &doc_);
    auto runNode = MakeItem(rv, "$RunData", 3, &doc_);
    EXPECT_EQ(fileNode->GetLabel(), "$FILE  -  minutes.txt");
    EXPECT_EQ(runNode->GetLabel(), "$RunData  -  0x1004");
}

TEST_F(SampleItems, ObjectItemShowsItsObject) {
    const SampleItem* file = Find("$FILE");
    ASSERT_TRUE(file);
    StoredValue v(file->whole);
    std::unique_ptr<CNoteNode> node(CreateItemNode(NoteOf(file->note), v.Info("$FILE", 3), &doc_));
    ASSERT_TRUE(node->IsExpandable());
    node->AddChildren();
    auto* object = dynamic_cast<TNNoteObject*>(node->GetFirstChild());
    ASSERT_NE(object, nullptr);
    // Its fields and pieces are those of the golden dump of the sample.
    EXPECT_EQ(object->GetLabel(), "Object 0x1001");
    EXPECT_FALSE(object->IsExpandable());
}

TEST_F(SampleItems, ObjectPiecesBySize) {
    struct Case {
        std::uint32_t id;
        int pieces;
    } cases[] = {{4098, 0}, {4099, 1}, {4101, 2}, {4097, 3}};
    for (const Case& c : cases) {
        TNNoteObject object(db_, c.id, &doc_);
        const std::string out = FieldsOf(object);
        EXPECT_EQ(Count(out, "(data"), c.pieces) << c.id;
        EXPECT_TRUE(InOrder(out, {"(rrv", "(class", "(size", "(privileges"})) << c.id;
        CInfoPaneOptions hidden;
        hidden.ShowUninterpreted = 0;
        const std::string plain = FieldsOf(object, &hidden);
        EXPECT_EQ(plain.find("(data"), std::string::npos);
    }
    TNNoteObject last(db_, 4101, &doc_);
    const std::string out = FieldsOf(last);
    // The second piece of a 4097-byte object holds the single last byte: 4096 & 0xFF == 0.
    EXPECT_TRUE(InOrder(out, {"(data", "(data", "00                "}))
        << out.substr(out.size() - 200);
}

TEST_F(SampleItems, UnknownObjectShowsTheError) {
    TNNoteObject object(db_, 0x7777, &doc_);
    EXPECT_EQ(object.GetLabel(), "Object 0x7777");
    const std::string out = FieldsOf(object);
    EXPECT_NE(out.find("Couldn't get object info"), std::string::npos) << out;
    EXPECT_EQ(out.find("(rrv"), std::string::npos);
}

} // namespace
