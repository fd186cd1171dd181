#include "tree/DumpToFile.h"

#include <vector>

#include "output/DumpWriter.h"
#include "output/JsonWriter.h"
#include "tree/Cancel.h"
#include "tree/DocNode.h"
#include "tree/NodeDocument.h"
#include "tree/NodeTypes.h"
#include "tree/WaitCursor.h"
#include "treelist/TreeWalker.h"

namespace {

// One node on the path from the start to the walk's position, and whether it had no children
// when the walk went in (so any children it has now were made for the dump).
struct PathEntry {
    CTreeListNode* node;
    bool wasCollapsed;
    CDocNode* doc; // the node as a document node (found once: a cast costs a type name compare)
};

// After a cancel the walker is abandoned inside the nodes it expanded; the outermost of them on
// the current path holds all the others, and collapsing it puts the tree back as it was.
void CollapseExpandedForDump(const std::vector<PathEntry>& path) {
    for (const PathEntry& e : path) {
        if (e.wasCollapsed && e.node->HasChildren()) {
            e.node->CollapseChildren();
            return;
        }
    }
}

// "Note of Any Kind" (a note whose kind is not known) and "Deletion Stub".
constexpr NodeTypeId kAnyNoteType = 37;
constexpr NodeTypeId kDeletionStubType = 35; // named in the store layer

bool IsNoteType(NodeTypeId type) {
    return (type >= nodetype::kForms && type <= nodetype::kDesignCollection) ||
           type == nodetype::kDocument || type == kDeletionStubType || type == kAnyNoteType;
}

bool IsNote(const CTreeListNode& node) {
    const CTypedNode* typed = node.AsTyped();
    return typed && IsNoteType(typed->GetTypeId());
}

// What a writer that keeps nodes apart is told of a node. The start node counts as a note when
// it lies inside one, so that a dump of part of a note keeps that part whole.
CFieldWriter::NodeHeading HeadingOf(const CTreeListNode& node, bool start) {
    CFieldWriter::NodeHeading h;
    h.label = node.GetLabel();
    if (const CTypedNode* typed = node.AsTyped()) {
        h.typeId = typed->GetTypeId();
        h.typeName = NodeTypeOf(typed->GetTypeId()).name;
    }
    h.note = IsNote(node);
    for (const CTreeListNode* p = node.GetParent(); start && p && !h.note; p = p->GetParent())
        h.note = IsNote(*p);
    return h;
}

template <class Writer>
DumpResult WriteToFile(CDocNode& start, Writer& writer, const DumpOptions& options) {
    DumpResult result;
    if (writer.Failed()) {
        // Nothing can be written: the tree is not walked (and not expanded) for nothing.
        result.error = writer.ErrorText();
        return result;
    }
    {
        // Like every long operation, the dump can be cancelled and the windows keep painting.
        cancel::Operation operation;
        result = WriteSubtree(start, writer, options);
    }
    if (!writer.Close()) {
        result.written = false;
        result.error = writer.ErrorText();
    }
    return result;
}

} // namespace

DumpResult WriteSubtree(CTreeListNode& start, CFieldWriter& writer, const DumpOptions& options) {
    DumpResult result;
    unsigned flags = CTreeWalker::kReportBoth;
    if (options.includeCollapsed) {
        flags |= CTreeWalker::kExpandCollapsed;
    }
    CTreeWalker walker(start, flags);
    std::vector<PathEntry> path;
    writer.Begin();
    bool in = false;
    while (CTreeListNode* node = walker.Next(&in)) {
        if (cancel::Check()) {
            writer.Printf("*** Cancelled ***");
            writer.EndLine();
            result.cancelled = true;
            if (options.includeCollapsed) {
                CollapseExpandedForDump(path);
            }
            break;
        }
        CDocNode* doc = nullptr;
        if (in) {
            doc = dynamic_cast<CDocNode*>(node);
            path.push_back({node, !node->HasChildren(), doc});
            writer.BeginNode(HeadingOf(*node, node == &start));
            if (doc) {
                doc->WriteBegin(writer);
                writer.BeginNodeFields();
                doc->WriteFields(writer);
            }
            ++result.nodes;
            if (options.progress) {
                options.progress(result.nodes);
            }
        } else {
            doc = !path.empty() && path.back().node == node ? path.back().doc
                                                            : dynamic_cast<CDocNode*>(node);
            if (doc) {
                doc->WriteEnd(writer);
            }
            writer.EndNode();
            if (!path.empty()) {
                path.pop_back();
            }
        }
    }
    writer.End();
    result.written = true;
    return result;
}

DumpResult DumpSubtreeToFile(CDocNode& start, const std::string& fileName,
                             const DumpOptions& options) {
    CWaitCursor wait;
    CNodeDocument* doc = start.GetDocument();
    CInfoPaneOptions* info = doc ? &doc->InfoOptions() : nullptr;
    if (options.format == DumpFormat::Text) {
        CDumpWriter writer(fileName, info);
        return WriteToFile(start, writer, options);
    }
    CJsonWriter writer(fileName, info,
                       options.format == DumpFormat::Json ? CJsonWriter::Layout::Document
                                                          : CJsonWriter::Layout::Lines);
    return WriteToFile(start, writer, options);
}
