// Shared by the item tests: item values in store blocks, item nodes over them, and checks of
// the order of texts in an output.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "items/ItemNode.h"
#include "items/ItemNodeFactory.h"
#include "output/CompiledFormula.h"
#include "output/DocumentNodeOptions.h"
#include "output/WriterTestSupport.h"
#include "store/api/Memory.h"
#include "support/ItemValueEncoder.h"
#include "tree/NodeDocument.h"

// A document whose item labels may include values.
class ItemTestDocument : public CNodeDocument {
public:
    void SetIncludeValue(bool on) {
        DocumentNodeValues values = DocumentOptions().Values();
        values.includeItemValue = on ? 1 : 0;
        DocumentOptions().Apply(values, CompiledFormula{});
    }
};

// A value (type word first) in a store block of exactly its size, as the item walk gives it.
class StoredValue {
public:
    StoredValue(std::uint16_t type, const itemenc::Bytes& value)
        : StoredValue(itemenc::WithType(type, value)) {}
    explicit StoredValue(const itemenc::Bytes& whole) : length_(std::uint32_t(whole.size())) {
        handle_ = store::MemAlloc(whole.empty() ? 1 : whole.size());
        if (!whole.empty()) {
            std::memcpy(store::MemLock(handle_), whole.data(), whole.size());
            store::MemUnlock(handle_);
        }
    }
    ~StoredValue() { store::MemFree(handle_); }
    StoredValue(const StoredValue&) = delete;
    StoredValue& operator=(const StoredValue&) = delete;

    ItemScanInfo Info(const std::string& name, std::uint16_t type, std::uint16_t flags = 0) {
        name_ = name;
        ItemScanInfo info;
        info.name = name_.data();
        info.nameLength = std::uint16_t(name_.size());
        info.type = type;
        info.flags = flags;
        info.value = store::BlockId{handle_, 0};
        info.valueLength = length_;
        return info;
    }

private:
    store::MemHandle handle_ = 0;
    std::uint32_t length_;
    std::string name_;
};

inline std::unique_ptr<CNoteNode> MakeItem(StoredValue& value, const std::string& name,
                                           std::uint16_t type, CNodeDocument* doc,
                                           std::uint16_t flags = 0) {
    return std::unique_ptr<CNoteNode>(CreateItemNode(0, value.Info(name, type, flags), doc));
}

// The fields of a node, as the dump shows them.
inline std::string FieldsOf(CDocNode& node, CInfoPaneOptions* options = nullptr) {
    return DumpOf([&](CFieldWriter& w) { node.WriteFields(w); }, options);
}

// True when every text occurs in out, each after the one before.
inline ::testing::AssertionResult InOrder(const std::string& out,
                                          const std::vector<std::string>& texts) {
    std::size_t at = 0;
    for (const std::string& t : texts) {
        const std::size_t found = out.find(t, at);
        if (found == std::string::npos)
            return ::testing::AssertionFailure() << "\"" << t << "\" missing (in order) in:\n"
                                                 << out;
        at = found + t.size();
    }
    return ::testing::AssertionSuccess();
}

inline int Count(const std::string& out, const std::string& text) {
    int n = 0;
    for (std::size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1))
        ++n;
    return n;
}

constexpr const char* kShort = "*** Length is too short";
