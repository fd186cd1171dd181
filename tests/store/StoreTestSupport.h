// Shared by the store node tests: a node's description as text, databases built for one test,
// and a message box that records what it is asked to show.
#pragma once

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "output/DumpWriter.h"
#include "output/MessageBox.h"
#include "store/api/Conversions.h"
#include "store/api/Formula.h"
#include "store/api/Items.h"
#include "store/api/Memory.h"
#include "support/NodeDump.h"
#include "tree/DocNode.h"
#include "treelist/TreeListNode.h"
#include "vlt/builder/Values.h"
#include "vlt/builder/Writer.h"

namespace storetest {

// What a node writes of itself, as a dump file would hold it, with default options.
inline std::string Describe(CDocNode& node) {
    return DescribeNode(node);
}

// A database file built from a description, removed again at the end of the test.
class TempDatabase {
public:
    TempDatabase(const vlt::builder::DatabaseDesc& desc, const std::string& name) {
        path_ = (std::filesystem::temp_directory_path() /
                 ("dvx-storetest-" + std::to_string(::getpid()) + "-" + name + ".vlt"))
                    .string();
        std::string error;
        EXPECT_TRUE(vlt::builder::WriteDatabase(desc, path_, &error)) << error;
    }
    ~TempDatabase() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The labels of a node's children, in their order.
inline std::vector<std::string> ChildLabels(const CTreeListNode* node) {
    std::vector<std::string> out;
    for (const CTreeListNode* c = node->GetFirstChild(); c; c = c->GetNextSibling())
        out.emplace_back(c->GetLabel());
    return out;
}

inline std::string SamplePath(const char* file) {
    return std::string(DELVEX_SAMPLE_DATA_DIR) + "/" + file;
}

class RecordingBox : public CMessageBox {
public:
    RecordingBox() : previous_(SetMessageBox(this)) {}
    ~RecordingBox() override { SetMessageBox(previous_); }
    void ShowError(std::string_view title, std::string_view text) override {
        shown.emplace_back(std::string(title), std::string(text));
    }
    std::vector<std::pair<std::string, std::string>> shown;

private:
    CMessageBox* previous_;
};

// A note of the class and items given, made and modified now.
inline vlt::builder::NoteDesc Note(store::NoteId id, std::uint16_t cls,
                                   std::vector<vlt::builder::ItemDesc> items) {
    vlt::builder::NoteDesc n;
    n.id = id;
    n.noteClass = cls;
    store::CurrentTime(&n.created);
    n.modified = n.created;
    n.items = std::move(items);
    return n;
}

// A formula item value compiled from its source, as a design note stores it.
inline vlt::builder::Bytes CompiledFormula(const char* source) {
    store::MemHandle h = 0;
    std::size_t n = 0;
    EXPECT_EQ(store::FormulaCompile(source, std::strlen(source), &h, &n, nullptr), store::kNoError);
    store::LockedMem bytes(h);
    vlt::builder::Bytes out(bytes.bytes(), bytes.bytes() + n);
    store::MemFree(h);
    return vlt::builder::RawValue(store::kTypeFormula, out);
}

} // namespace storetest
