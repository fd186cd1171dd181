#include "store/TNDocument.h"

#include <cstring>
#include <optional>
#include <vector>

#include "items/ItemNodeFactory.h"
#include "output/DocumentNodeOptions.h"
#include "output/FieldWriter.h"
#include "output/NoteTables.h"
#include "output/StatusMessage.h"
#include "output/UpdateHints.h"
#include "store/ChildRelease.h"
#include "store/DesignTitleCache.h"
#include "store/FormulaText.h"
#include "store/ItemScan.h"
#include "store/NoteKinds.h"
#include "store/TNDatabase.h"
#include "store/TNDocumentInfo.h"
#include "store/api/Conversions.h"
#include "store/api/Formula.h"
#include "store/api/Items.h"
#include "store/api/Notes.h"
#include "tree/CancelProbe.h"
#include "tree/NodeDocument.h"
#include "tree/NodeImageIndex.h"
#include "tree/TNError.h"

namespace {

// Labels and titles read items that need not be summary items (a document's or form's
// "$WindowTitle", whatever a label formula names), so their notes are opened with every item
// but the object items, which no title reads.
constexpr std::uint16_t kOpenForLabel = store::kOpenNoObjects;
// Open flags that leave out items a label may read.
constexpr std::uint16_t kOpenPartial = store::kOpenSummary | store::kOpenAbstract;
constexpr std::size_t kTextBuffer = 512;

std::string FromStore(const std::string& text) {
    std::vector<char> out(text.size() * 3 + 1);
    const std::size_t n = store::TranslateText(store::Translate::FromStore, text.data(),
                                               text.size(), out.data(), out.size());
    return std::string(out.data(), n < out.size() ? n : out.size() - 1);
}

// The text of a summary item, or nothing when it is absent or cannot be read.
std::optional<std::string> SummaryText(const store::ITEM_TABLE* summary, const char* name) {
    char buffer[kTextBuffer];
    std::size_t length = 0;
    const store::Status s = store::SummaryValueText(summary, name, buffer, sizeof buffer, &length);
    if (s != store::kNoError && s != store::kBufferTooSmall)
        return std::nullopt;
    return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

// The text of an item of an open note, list entries joined by ";".
std::optional<std::string> NoteText(store::NoteHandle note, const char* name) {
    store::BlockId value;
    std::uint32_t length = 0;
    if (store::FindItem(note, name, nullptr, nullptr, &value, &length) != store::kNoError)
        return std::nullopt;
    char buffer[kTextBuffer];
    std::size_t n = 0;
    const store::Status s = store::ItemValueToText(value, length, ';', buffer, sizeof buffer, &n);
    if (s != store::kNoError && s != store::kBufferTooSmall && s != store::kBadValue)
        return std::nullopt;
    return std::string(buffer, n < sizeof buffer ? n : sizeof buffer - 1);
}

// A note opened for the length of a label and closed again, or the node's own open note.
class CLabelNote {
public:
    CLabelNote(store::DbHandle db, store::NoteId id, store::NoteHandle open) : note_(open) {
        if (!note_) {
            status_ = store::OpenNote(db, id, kOpenForLabel, &note_);
            owned_ = status_ == store::kNoError;
            if (!owned_)
                note_ = 0;
        }
    }
    ~CLabelNote() {
        if (owned_)
            store::CloseNote(note_);
    }
    CLabelNote(const CLabelNote&) = delete;
    CLabelNote& operator=(const CLabelNote&) = delete;
    store::Status Status() const { return status_; }
    store::NoteHandle Handle() const { return note_; }

private:
    store::NoteHandle note_ = 0;
    store::Status status_ = store::kNoError;
    bool owned_ = false;
};

// A computation started here and stopped at the end of the scope (cached ones are not).
struct CStartedComputation {
    store::ComputeHandle handle = 0;
    ~CStartedComputation() {
        if (handle)
            store::ComputeStop(handle);
    }
};

} // namespace

std::string TitleFailure(store::Status status) {
    char text[200];
    FormatStatusMessage(text, sizeof text, status, "???");
    return text;
}

TNDocument::TNDocument(TNDatabase* database, const store::SEARCH_MATCH& match,
                       const store::ITEM_TABLE* summary, CNodeDocument* document,
                       std::uint16_t noteClass, std::optional<std::string_view> knownLabel)
    : CNoteNode(document), database_(database), class_(noteClass),
      id_(store::SearchMatchNoteId(match)) {
    std::memcpy(match_, &match, sizeof match_);
    MakeLabel(summary, knownLabel);
}

TNDocument::TNDocument(TNDatabase* database, store::NoteId id, CNodeDocument* document)
    : CNoteNode(document), database_(database), id_(id) {
    store::NoteHandle note = 0;
    if (store::OpenNote(Db(), id_, kOpenForLabel, &note) == store::kNoError)
        note_ = note;
    MakeLabel(nullptr);
    CloseNote();
}

TNDocument::~TNDocument() {
    DestroyChildren(*this);
    CloseNote();
}

store::DbHandle TNDocument::Db() const {
    return database_ ? database_->GetHandle() : 0;
}

void TNDocument::CloseNote() {
    if (note_) {
        store::CloseNote(note_);
        note_ = 0;
    }
    openFlags_ = kOpenForLabel;
}

store::NoteHandle TNDocument::LabelNote() const {
    return (openFlags_ & kOpenPartial) == 0 ? note_ : 0;
}

void TNDocument::ReadType(const store::ITEM_TABLE* summary) {
    std::optional<std::string> flags;
    if (summary)
        flags = SummaryText(summary, "$Flags");
    else if (LabelNote())
        flags = NoteText(LabelNote(), "$Flags");
    SetTypeId(
        NoteTypeFromClass(class_, flags ? std::optional<std::string_view>(*flags) : std::nullopt));
}

void TNDocument::ReadTitleSource(const store::ITEM_TABLE* summary) {
    if (!summary && !LabelNote())
        return; // keep what was read before
    const bool document = (class_ & 0x0001) != 0;
    const char* name = document ? "Form" : "$TITLE";
    const std::optional<std::string> text =
        summary ? SummaryText(summary, name) : NoteText(LabelNote(), name);
    titleSource_ = text.value_or(std::string());
    if (!document)
        titleSource_ = FromStore(titleSource_);
}

void TNDocument::MakeLabel(const store::ITEM_TABLE* summary,
                           std::optional<std::string_view> knownLabel) {
    const DocumentNodeValues& options = DocumentNodeOptionsOf(GetDocument()).Values();
    SetSorted(options.sortItems != 0);
    if (class_ == 0) {
        std::uint16_t cls = 0;
        if (store::NoteInfo(Db(), id_, nullptr, nullptr, &cls) == store::kNoError)
            class_ = cls;
    }
    if (GetTypeId() == nodetype::kInternal)
        ReadType(summary);
    ReadTitleSource(summary);

    const NoteKind kind = NoteKindOf(GetTypeId(), class_);
    SetStripImage(*this, kind.strip, kind.icon);
    if (knownLabel) {
        SetLabel(*knownLabel);
        return;
    }

    if (options.titleType == 1 && ((class_ & 0x7FFE) == 0 || options.formulaDesign == 1)) {
        SetLabel(FormulaLabel());
        return;
    }
    std::string label;
    if (options.noteId == 1) {
        char id[16];
        std::snprintf(id, sizeof id, "%x", unsigned(id_));
        label = id;
        if (options.title == 1)
            label += ": ";
    }
    if (options.isDefault == 1 && (class_ & 0x8000) != 0)
        label += "*";
    if (options.title == 1) {
        switch (kind.title) {
        case NoteKind::Title::DesignName:
            label += titleSource_.empty() ? std::string("(Untitled)") : titleSource_;
            break;
        case NoteKind::Title::Fixed:
            label += kind.fixed;
            break;
        case NoteKind::Title::WindowTitle:
            label += WindowTitle();
            break;
        }
    }
    SetLabel(label);
}

std::string TNDocument::FormulaLabel() {
    const CompiledFormula& formula = DocumentNodeOptionsOf(GetDocument()).Formula();
    CLabelNote note(Db(), id_, LabelNote());
    if (note.Status() != store::kNoError)
        return TitleFailure(note.Status());
    if (formula.Empty())
        return "- no formula -";
    store::LockedMem bytes(formula.Handle());
    CStartedComputation compute;
    store::Status status = store::ComputeStart(bytes.bytes(), formula.Length(), &compute.handle);
    std::string text;
    if (status == store::kNoError)
        status = FormulaResultToText(compute.handle, note.Handle(), id_, &text);
    return status == store::kNoError ? text : TitleFailure(status);
}

std::string TNDocument::WindowTitle() {
    std::string form = titleSource_;
    store::ComputeHandle compute = 0;
    CStartedComputation own; // the document's own "$WindowTitle", stopped at the end
    std::optional<CLabelNote> note;
    store::Status status = store::kNoError;
    if (!form.empty()) {
        status = DesignTitleCache().Lookup(Db(), form, &compute);
    } else {
        form = "(stored form)";
        note.emplace(Db(), id_, LabelNote());
        status = note->Status();
        if (status == store::kNoError) {
            status = StartWindowTitle(note->Handle(), &own.handle);
            compute = own.handle;
        }
    }
    if (status != store::kNoError)
        return TitleFailure(status);
    if (!compute)
        return "Untitled " + FromStore(form);
    if (!note)
        note.emplace(Db(), id_, LabelNote());
    if (note->Status() != store::kNoError)
        return TitleFailure(note->Status());
    std::string text;
    status = FormulaResultToText(compute, note->Handle(), id_, &text);
    return status == store::kNoError ? FromStore(text) : TitleFailure(status);
}

void TNDocument::AddChildren() {
    if (!note_) {
        const std::uint16_t flags = DocumentNodeOptionsOf(GetDocument()).Values().openFlags;
        store::NoteHandle note = 0;
        const store::Status status = store::OpenNote(Db(), id_, flags, &note);
        if (status != store::kNoError) {
            AddChild(new TNError(status, "Couldn't open note"));
            return;
        }
        note_ = note;
        openFlags_ = flags;
        if (database_ && database_->RecentNotes())
            database_->RecentNotes()->Add(id_);
    }
    if (AcceptChild(nodetype::kDocumentInfo))
        AddChild(new TNDocumentInfo(note_));
    if (IsTypeShownOrHeld(nodetype::kItems)) {
        const store::Status status = ScanItems(note_, CallbackItemScan, this);
        if (status != store::kNoError && status != store::kCancelled)
            AddChild(new TNError(status, "Couldn't scan for items"));
    }
}

store::Status TNDocument::CallbackItemScan(const ItemScanInfo& info, void* node) {
    auto* self = static_cast<TNDocument*>(node);
    if (UserCancelled()) {
        self->AddChild(new TNError(store::kCancelled, nullptr));
        return store::kCancelled;
    }
    if (self->AcceptChild(nodetype::kItems)) {
        if (CNoteNode* item = CreateItemNode(self->note_, info, self->GetDocument()))
            self->AddChild(item);
    }
    return store::kNoError;
}

bool TNDocument::CollapseChildren() {
    const bool done = CNoteNode::CollapseChildren();
    if (done)
        CloseNote();
    return done;
}

void TNDocument::OnOptionsChanged(std::uint32_t flags) {
    if ((flags & (hint::kNoteLabels | hint::kRelabelNotes)) != 0) {
        MakeLabel(nullptr);
        Redraw();
    }
}

void TNDocument::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("note");
    writer.Symbol(class_, notetables::kNoteClass);
    writer.Space();
    const std::string_view label = GetLabel();
    writer.Text(label.data(), std::ptrdiff_t(label.size()));
}

void TNDocument::WriteFields(CFieldWriter& writer) {
    writer.HexLField("note-id", id_);
    writer.SymbolField("class", class_, notetables::kNoteClass);
    if (class_ != 0x0001)
        writer.BoolField("is-default", (class_ & 0x8000) != 0);
    store::SEARCH_MATCH match;
    std::memcpy(&match, match_, sizeof match);
    if (store::SearchMatchNoteId(match) == id_) {
        writer.DbNoteIdField("giid", match_, 20);
        writer.SequencedUnidField("oid", match_ + 20, 28);
        return;
    }
    store::OriginatorId originator;
    store::TimeDate modified;
    const store::Status status = store::NoteInfo(Db(), id_, &originator, &modified, nullptr);
    if (status != store::kNoError) {
        writer.ErrorField("error", status, "Unable to get note info");
        return;
    }
    writer.SequencedUnidField("oid", &originator, sizeof originator);
    writer.TimeField("modified", modified);
}

void TNDocument::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
