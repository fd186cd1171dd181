#include "tree/DumpToFile.h"

#include <memory>
#include <vector>

#include "output/DumpWriter.h"
#include "output/JsonWriter.h"
#include "tree/Cancel.h"
#include "tree/ChildStream.h"
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

enum class WalkEnd { Done, Cancelled, Failed };

// The dump's walk. A collapsed node that can hand out its children one at a time (a large set
// of notes) is not expanded: each child is walked as a subtree of its own and deleted before
// the next is made, so that the nodes held at once do not grow with the number of children.
class CDumpWalk {
public:
    CDumpWalk(CTreeListNode& top, CFieldWriter& writer, const DumpOptions& options,
              DumpResult& result)
        : top_(top), writer_(writer), options_(options), result_(result) {}

    WalkEnd Subtree(CTreeListNode& start);
    // After a cancel or a failure: the nodes the dump expanded are collapsed again.
    void PutTreeBack() const {
        if (options_.includeCollapsed) {
            CollapseExpandedForDump(path_);
        }
    }

private:
    WalkEnd Streamed(CChildStream& stream);

    const CTreeListNode& top_;
    CFieldWriter& writer_;
    const DumpOptions& options_;
    DumpResult& result_;
    std::vector<PathEntry> path_;
};

WalkEnd CDumpWalk::Subtree(CTreeListNode& start) {
    unsigned flags = CTreeWalker::kReportBoth;
    if (options_.includeCollapsed) {
        flags |= CTreeWalker::kExpandCollapsed;
    }
    CTreeWalker walker(start, flags);
    bool in = false;
    while (CTreeListNode* node = walker.Next(&in)) {
        if (cancel::Check()) {
            writer_.Printf("*** Cancelled ***");
            writer_.EndLine();
            result_.cancelled = true;
            return WalkEnd::Cancelled;
        }
        CDocNode* doc = node->AsDoc();
        if (in) {
            const bool collapsed = !node->HasChildren();
            path_.push_back({node, collapsed});
            writer_.BeginNode(HeadingOf(*node, node == &top_));
            if (doc) {
                doc->WriteBegin(writer_);
                writer_.BeginNodeFields();
                doc->WriteFields(writer_);
            }
            ++result_.nodes;
            if (options_.progress) {
                options_.progress(result_.nodes);
            }
            // The walker would expand it next; a node that streams its children is walked
            // here instead.
            if (doc && options_.includeCollapsed && collapsed && node->IsExpandable() &&
                !node->IsKnownEmpty()) {
                if (std::unique_ptr<CChildStream> stream =
                        doc->StreamChildren(options_.streamLimits)) {
                    walker.SkipChildren();
                    const WalkEnd end = Streamed(*stream);
                    if (end != WalkEnd::Done) {
                        return end;
                    }
                }
            }
        } else {
            if (doc) {
                doc->WriteEnd(writer_);
            }
            writer_.EndNode();
            if (!path_.empty()) {
                path_.pop_back();
            }
        }
    }
    return WalkEnd::Done;
}

WalkEnd CDumpWalk::Streamed(CChildStream& stream) {
    const std::size_t depth = path_.size();
    while (CTreeListNode* child = stream.Next()) {
        const WalkEnd end = Subtree(*child);
        // The stream deletes the child, and with it whatever the path holds below it.
        path_.resize(depth);
        if (end != WalkEnd::Done) {
            return end;
        }
    }
    if (!stream.Error().empty()) {
        result_.error = stream.Error();
        return WalkEnd::Failed;
    }
    return WalkEnd::Done;
}

} // namespace

DumpResult WriteSubtree(CTreeListNode& start, CFieldWriter& writer, const DumpOptions& options) {
    DumpResult result;
    CDumpWalk walk(start, writer, options, result);
    writer.Begin();
    const WalkEnd end = walk.Subtree(start);
    // Only now, with every stream and the children it made gone.
    if (end != WalkEnd::Done) {
        walk.PutTreeBack();
    }
    writer.End();
    result.written = end != WalkEnd::Failed;
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
