#include "store/RecentPeekedNodes.h"

#include "output/FieldWriter.h"
#include "store/RecentPeeked.h"
#include "store/TNDatabase.h"
#include "store/TNDocument.h"
#include "store/TNServer.h"
#include "store/TNServerBase.h"
#include "tree/CommandIds.h"

CRecentDatabasesNode::CRecentDatabasesNode() {
    SetTypeId(nodetype::kRecentDatabases);
    SetLabel("Recently Peeked Databases");
    SetImage(GeneralImage(20));
    SetSorted(false);
}

bool CRecentDatabasesNode::IsExpandable() const {
    const recent::CDatabaseList* list = recent::ProgramDatabases();
    return list && list->Count() > 0;
}

void CRecentDatabasesNode::AddChildren() {
    const recent::CDatabaseList* list = recent::ProgramDatabases();
    if (!list)
        return;
    // A child may add to the list while being made (it does not, but copy to be safe).
    const recent::CDatabaseList entries = *list;
    for (std::size_t i = 0; i < entries.Count(); ++i) {
        const recent::DatabaseEntry& e = entries.At(i);
        if (AcceptChild(e.type))
            AddChild(new TNDatabase(GetDocument(), e.title.c_str(), e.path.c_str(), e.type));
    }
}

void CRecentDatabasesNode::OnOptionsChanged(std::uint32_t flags) {
    if (flags & hint::kRecentDatabases)
        Redraw();
}

void CRecentDatabasesNode::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("recently-peeked-databases");
}

void CRecentDatabasesNode::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}

CRecentServersNode::CRecentServersNode() {
    SetTypeId(nodetype::kRecentServers);
    SetLabel("Recently Peeked Servers");
    SetImage(GeneralImage(22));
    SetSorted(true);
}

bool CRecentServersNode::IsExpandable() const {
    const recent::CServerList* list = recent::ProgramServers();
    return list && list->Count() > 0;
}

void CRecentServersNode::AddChildren() {
    const recent::CServerList* list = recent::ProgramServers();
    if (!list)
        return;
    const recent::CServerList entries = *list;
    for (std::size_t i = 0; i < entries.Count(); ++i) {
        if (AcceptChild(nodetype::kServer))
            AddChild(new TNServer(entries.At(i).name.c_str(), -1));
    }
}

void CRecentServersNode::OnOptionsChanged(std::uint32_t flags) {
    if (flags & hint::kRecentServers)
        Redraw();
}

void CRecentServersNode::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("recently-peeked-servers");
}

void CRecentServersNode::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}

CRecentNotesNode::CRecentNotesNode(TNDatabase* database) : database_(database) {
    SetTypeId(nodetype::kRecentNotes);
    SetLabel("Recently Peeked Notes");
    SetImage(GeneralImage(21));
    SetSorted(false);
}

bool CRecentNotesNode::IsExpandable() const {
    const recent::CNotesRecord* record = database_ ? database_->RecentNotes() : nullptr;
    return record && record->List().Count() > 0;
}

void CRecentNotesNode::AddChildren() {
    const recent::CNotesRecord* record = database_ ? database_->RecentNotes() : nullptr;
    if (!record)
        return;
    // Making a note node opens the note for its label, which does not add it; the copy keeps
    // the walk safe should that ever change.
    const recent::CNoteList entries = record->List();
    for (std::size_t i = 0; i < entries.Count(); ++i) {
        if (AcceptChild(nodetype::kDocument))
            AddChild(new TNDocument(database_, entries.At(i).id, GetDocument()));
    }
}

void CRecentNotesNode::OnOptionsChanged(std::uint32_t flags) {
    if (flags & hint::kRecentNotes)
        Redraw();
}

void CRecentNotesNode::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("recently-peeked-notes");
}

void CRecentNotesNode::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
