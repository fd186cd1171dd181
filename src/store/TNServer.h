// Machines: the local machine, a named server, and the list of known servers.
#pragma once

#include "store/TNServerBase.h"

class TNLocalMachine : public TNServerBase {
public:
    TNLocalMachine();
    void WriteBegin(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;
};

class TNServer : public TNServerBase {
public:
    // The first `length` bytes of name, or up to its terminator with -1; the label is its
    // display form (or the name as given when it has none).
    TNServer(const char* name, int length);
    void WriteBegin(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;
};

class TNServerList : public CNoteNode {
public:
    TNServerList();
    bool IsExpandable() const override { return true; }
    void AddChildren() override;
};
