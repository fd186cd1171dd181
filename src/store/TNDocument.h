// A note of a database (a document or a design element) in the tree. Its label follows the
// document's note options; expanding it opens the note and lists its information and items.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "items/ItemScanInfo.h"
#include "store/api/Handles.h"
#include "store/api/Notes.h"
#include "store/api/Search.h"
#include "tree/NoteNode.h"

class TNDatabase;

namespace nodetype {
constexpr NodeTypeId kDeletionStub = 35;
constexpr NodeTypeId kDocumentInfo = 38;
} // namespace nodetype

class TNDocument : public CNoteNode {
public:
    // From a search result: the label is made with the result's summary. A node made again
    // from the same result is given what the first one read: the note's class (0: read it
    // here) and its label (making a label may open the note and compute its window title).
    TNDocument(TNDatabase* database, const store::SEARCH_MATCH& match,
               const store::ITEM_TABLE* summary, CNodeDocument* document,
               std::uint16_t noteClass = 0,
               std::optional<std::string_view> knownLabel = std::nullopt);
    // From a note ID: the note is opened for the label and closed again.
    TNDocument(TNDatabase* database, store::NoteId id, CNodeDocument* document);
    ~TNDocument() override;

    store::NoteId GetNoteId() const { return id_; }
    std::uint16_t GetNoteClass() const { return class_; }
    // 0 while the node is collapsed.
    store::NoteHandle GetNoteHandle() const { return note_; }

    bool IsExpandable() const override { return true; }
    void AddChildren() override;
    // Deletes the children (which borrow the note), then closes the note.
    bool CollapseChildren() override;
    void OnOptionsChanged(std::uint32_t flags) override;
    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

    // The item walk's callback: one item node per item, or a cancel.
    static store::Status CallbackItemScan(const ItemScanInfo& info, void* node);

private:
    store::DbHandle Db() const;
    void MakeLabel(const store::ITEM_TABLE* summary,
                   std::optional<std::string_view> knownLabel = std::nullopt);
    void ReadType(const store::ITEM_TABLE* summary);
    void ReadTitleSource(const store::ITEM_TABLE* summary);
    std::string FormulaLabel();
    std::string WindowTitle();
    void CloseNote();
    // The open note when it holds every item a label reads, else 0 (labels then open their own).
    store::NoteHandle LabelNote() const;

    TNDatabase* database_;
    std::uint16_t class_ = 0;
    store::NoteId id_ = 0;
    std::uint8_t match_[sizeof(store::SEARCH_MATCH)] = {};
    store::NoteHandle note_ = 0;
    std::uint16_t openFlags_ = store::kOpenNoObjects; // those note_ was opened with
    std::string titleSource_;
};

// The text a label shows for a failed title: "???: " and the status text.
std::string TitleFailure(store::Status status);
