// What a node writes of itself (its begin, fields and end), as a dump file would hold it.
#pragma once

#include <sstream>
#include <string>

#include "output/DumpWriter.h"
#include "tree/DocNode.h"

inline std::string DescribeNode(CDocNode& node, CInfoPaneOptions* options = nullptr) {
    std::ostringstream text;
    {
        CDumpWriter writer(text, options);
        writer.Begin();
        node.WriteBegin(writer);
        node.WriteFields(writer);
        node.WriteEnd(writer);
        writer.End();
        writer.Close();
    }
    return text.str();
}
