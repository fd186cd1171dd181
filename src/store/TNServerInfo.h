// A machine's information: the release it runs, its latency (servers) or its data directory
// (the local machine).
#pragma once

#include <memory>
#include <string>

#include "tree/NoteNode.h"

class TNServerInfo : public CNoteNode {
public:
    explicit TNServerInfo(std::shared_ptr<const std::string> serverName);

    bool IsExpandable() const override { return false; }
    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

private:
    std::shared_ptr<const std::string> serverName_;
};

// The major release of a build number: 1 up to 81, 2 up to 93, 3 up to 118, 4 above.
int ReleaseOfBuild(unsigned build);
