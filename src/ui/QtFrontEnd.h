// The desktop answers to what documents and the store ask of the window system: message boxes,
// the dump dialog and the options dialog.
#pragma once

#include "app/FrontEnd.h"

class QWidget;

class QtFrontEnd : public CFrontEnd {
public:
    explicit QtFrontEnd(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(std::string_view title, std::string_view text) override;
    int AskUser(std::string_view text, store::MessageButtons buttons) override;
    std::optional<DumpRequest> AskDumpFile() override;
    std::uint32_t EditOptions(CDelvexDoc& doc) override;

private:
    QWidget* parent_;
};
