// A field writer into a string: labels and values run together, comments without a marker.
// Used for short texts that need no field, such as a name taken from a symbol table.
#pragma once

#include <string>

#include "output/FieldWriter.h"

class CStringWriter : public CFieldWriter {
public:
    explicit CStringWriter(CInfoPaneOptions* options = nullptr) : CFieldWriter(options) {}
    // Complete after End.
    const std::string& Result() const { return result_; }

protected:
    void WriteText(std::string_view text) override { result_.append(text); }
    void NewLine() override { result_.push_back('\n'); }

private:
    std::string result_;
};
