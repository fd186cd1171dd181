#include "ui/DumpCommand.h"

#include "output/DumpWriter.h"
#include "tree/DocNode.h"
#include "ui/CancelWatch.h"
#include "ui/WaitCursor.h"
#include "ui/core/TreeWalker.h"

DumpResult DumpSubtree(CDocNode& node, const std::string& fileName, bool includeCollapsed,
                       CInfoPaneOptions* options) {
    CWaitCursor wait;
    cancelwatch::Scope scope;
    DumpResult result;
    CDumpWriter writer(fileName, options);
    writer.Begin();
    CTreeWalker walker(node, CTreeWalker::kReportBoth |
                                 (includeCollapsed ? CTreeWalker::kExpandCollapsed : 0u));
    for (;;) {
        if (cancelwatch::Check()) {
            writer.Printf("*** Cancelled ***");
            writer.EndLine();
            result.cancelled = true;
            break;
        }
        bool goingIn = false;
        CTreeListNode* next = walker.Next(&goingIn);
        if (next == nullptr)
            break;
        auto* doc = dynamic_cast<CDocNode*>(next);
        if (doc == nullptr)
            continue; // rows that are not document nodes describe nothing
        if (goingIn) {
            doc->WriteBegin(writer);
            doc->WriteFields(writer);
        } else {
            doc->WriteEnd(writer);
        }
    }
    writer.End();
    result.written = writer.Close();
    return result;
}
