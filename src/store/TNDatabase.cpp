#include "store/TNDatabase.h"

#include <cstring>

#include "common/ByteReader.h"
#include "output/FieldWriter.h"
#include "store/ChildRelease.h"
#include "store/RecentPeekedNodes.h"
#include "store/SelectNotesPrompt.h"
#include "store/TNAcl.h"
#include "store/TNDatabaseDocSet.h"
#include "store/TNDatabaseInfo.h"
#include "store/TNSelectedDocSet.h"
#include "store/api/Conversions.h"
#include "store/api/Database.h"
#include "tree/NodeImageIndex.h"
#include "tree/TNError.h"

const SummaryRename TNDatabase::kSummaryRenames[] = {
    {"$TITLE", "filename"}, {"$Path", "path"},  {"$Type", "type"},  {"$Modified", "modified"},
    {"$Length", "length"},  {"$Info", nullptr}, {nullptr, nullptr},
};

namespace {
constexpr std::uint16_t kTextType = 0x0500;
constexpr const char* kInfoLabels[] = {"title", "categories", "template-name",
                                       "inherited-template"};
} // namespace

TNDatabase::TNDatabase(CNodeDocument* document, const char* title, const char* path,
                       NodeTypeId type, const void* summary, std::size_t summarySize)
    : CNoteNode(document), path_(path ? path : "") {
    SetTypeId(type);
    SetImageIndex(*this, type == nodetype::kTemplates ? 7 : 6);
    if (title) {
        char label[512];
        const std::size_t n = store::TranslateText(store::Translate::FromStore, title,
                                                   std::strlen(title), label, sizeof label);
        SetLabelText(label, int(n < sizeof label ? n : sizeof label - 1));
    }
    if (summary && summarySize >= 2) {
        // The buffer's own first word gives its length; never copy past what we were handed.
        std::size_t length = ByteReader(summary, summarySize).u16le();
        if (length > summarySize)
            length = summarySize;
        const auto* bytes = static_cast<const std::uint8_t*>(summary);
        summary_.assign(bytes, bytes + length);
    }
}

TNDatabase::~TNDatabase() {
    DestroyChildren(*this);
    Close();
}

void TNDatabase::Close() {
    if (handle_ != 0) {
        store::CloseDatabase(handle_);
        handle_ = 0;
    }
}

void TNDatabase::AddChildren() {
    // Re-running this on an open database (the hide and show commands do) is no new visit.
    const bool opening = handle_ == 0;
    if (opening) {
        const store::Status status = store::OpenDatabase(path_.c_str(), &handle_);
        if (status != store::kNoError) {
            handle_ = 0;
            auto* error = new TNError(status, "Couldn't open database");
            error->TakeOpenDetail();
            AddChild(error);
            return;
        }
    }
    store::TimeDate id;
    if (opening && store::DatabaseId(handle_, &id) == store::kNoError) {
        if (!recentNotes_ || recentNotes_.Get()->Id().Value() != id.Value())
            recentNotes_ = recent::CNotesUse(id);
        // Only a database whose identifier is known can be told apart from the others in the
        // list; one without is not remembered.
        const std::string_view label = GetLabel();
        recent::AddDatabase(id, label, path_, GetTypeId());
    }
    if (recentNotes_ && AcceptChild(nodetype::kRecentNotes))
        AddChild(new CRecentNotesNode(this));
    if (AcceptChild(nodetype::kDatabaseInfo))
        AddChild(new TNDatabaseInfo(handle_));
    if (AcceptChild(nodetype::kAccessControl))
        AddChild(new TNAcl(handle_));
    if (AcceptChild(nodetype::kDesignElements))
        AddChild(new TNDatabaseDocSet(this, TNDatabaseDocSet::kDesignElements));
    if (AcceptChild(nodetype::kDocuments))
        AddChild(new TNDatabaseDocSet(this, TNDatabaseDocSet::kDocuments));
    if (AcceptChild(nodetype::kDeletionStubs))
        AddChild(new TNDatabaseDocSet(this, TNDatabaseDocSet::kDeletionStubs));
}

namespace {
void OnSelectNotes(CCommandTarget& target) {
    TNSelectedDocSet::SelectNotesFor(static_cast<TNDatabase&>(target));
}
constexpr CommandEntry kDatabaseCommands[] = {{docsetcmd::kSelectNotes, OnSelectNotes, nullptr}};
} // namespace

const CommandMap& TNDatabase::GetCommandMap() const {
    static const CommandMap map{&CNoteNode::GetCommandMap(), kDatabaseCommands};
    return map;
}

bool TNDatabase::CollapseChildren() {
    // The children borrow the handle: they go first.
    const bool done = CNoteNode::CollapseChildren();
    if (done)
        Close();
    return done;
}

void TNDatabase::WriteBegin(CFieldWriter& writer) {
    switch (GetTypeId()) {
    case nodetype::kDatabases:
        writer.BeginField("database");
        break;
    case nodetype::kTemplates:
        writer.BeginField("template");
        break;
    default:
        writer.BeginField("db-unknown-type");
        break;
    }
    const std::string_view label = GetLabel();
    writer.Text(label.data(), std::ptrdiff_t(label.size()));
}

void TNDatabase::WriteFields(CFieldWriter& writer) {
    if (summary_.empty())
        return;
    const SummaryItems items = ParseSummary(summary_.data(), summary_.size());
    const SummaryItem* info = FindSummaryItem(items, "$Info");
    if (info && info->type == kTextType) {
        const char* text = reinterpret_cast<const char*>(info->value);
        for (unsigned index = 0; index < 4; ++index) {
            char field[128];
            std::size_t length = 0;
            store::InfoField(text, info->valueLength, index, field, sizeof field, &length);
            if (length >= sizeof field)
                length = sizeof field - 1;
            if (length > 0) {
                writer.NextRange(info->valueAt, info->valueLength);
                writer.TextField(kInfoLabels[index], field, std::ptrdiff_t(length));
            }
        }
    }
    WriteSummaryItems(writer, summary_.data(), summary_.size(), kSummaryRenames);
}

bool TNDatabase::NodeBytes(std::span<const std::uint8_t>& bytes) const {
    bytes = summary_;
    return !summary_.empty();
}

void TNDatabase::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
