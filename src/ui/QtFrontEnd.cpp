#include "ui/QtFrontEnd.h"

#include <QApplication>
#include <QMessageBox>

#include "app/DelvexDoc.h"
#include "ui/Dialogs.h"
#include "ui/DocumentWindow.h"
#include "ui/HelpViewer.h"
#include "ui/MainWindow.h"
#include "ui/OptionsSheet.h"
#include "ui/SelectNotesDialog.h"

namespace {
QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
} // namespace

void QtFrontEnd::ShowMessage(std::string_view title, std::string_view text) {
    // Over the dialog that asked, when one is open, so that it stays in front of it.
    QWidget* parent = QApplication::activeModalWidget();
    QMessageBox::critical(parent ? parent : window_.get(), FromView(title), FromView(text));
}

int QtFrontEnd::AskUser(std::string_view text, store::MessageButtons buttons) {
    using B = QMessageBox::StandardButton;
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case store::MessageButtons::Ok:
        set = B::Ok;
        break;
    case store::MessageButtons::OkCancel:
        set = B::Ok | B::Cancel;
        break;
    case store::MessageButtons::YesNo:
        set = B::Yes | B::No;
        break;
    case store::MessageButtons::YesNoCancel:
        set = B::Yes | B::No | B::Cancel;
        break;
    case store::MessageButtons::RetryCancel:
        set = B::Retry | B::Cancel;
        break;
    default:
        return store::kAnswerNone; // shown without an answer
    }
    if (text.empty())
        return store::kAnswerNone;
    switch (QMessageBox::question(window_.get(), QStringLiteral("Delvex"), FromView(text), set)) {
    case B::Ok:
        return store::kAnswerOk;
    case B::Cancel:
        return store::kAnswerCancel;
    case B::Retry:
        return store::kAnswerRetry;
    case B::Yes:
        return store::kAnswerYes;
    case B::No:
        return store::kAnswerNo;
    default:
        return store::kAnswerNone;
    }
}

std::optional<DumpRequest> QtFrontEnd::AskDumpFile() {
    DumpDialog dialog(window_.get());
    if (dialog.exec() != QDialog::Accepted || dialog.FileName().isEmpty())
        return std::nullopt;
    return DumpRequest{dialog.FileName().toStdString(), dialog.IncludeCollapsed(), dialog.Format()};
}

std::uint32_t QtFrontEnd::EditOptions(CDelvexDoc& doc) {
    return RunOptionsDialog(window_.get(), doc);
}

QtFrontEnd::QtFrontEnd() = default;
QtFrontEnd::~QtFrontEnd() = default;

bool QtFrontEnd::CreateMainFrame() {
    window_ = std::make_unique<MainWindow>();
    window_->SetFrontEnd(this);
    selectNotes_ = std::make_unique<SelectNotesPrompt>(window_.get());
    return true;
}

void QtFrontEnd::OpenDocumentWindow(CDelvexDoc* doc) {
    if (window_) {
        window_->AddDocument(doc);
    } else {
        delete doc;
    }
}

void QtFrontEnd::UpdateViews(CDelvexDoc& doc, std::uint32_t hint) {
    if (DocumentWindow* window = DocumentWindow::For(&doc))
        window->OnUpdate(hint);
}

void QtFrontEnd::ShowHelp(std::uint32_t context) {
    HelpViewer::ShowContext(window_.get(), context);
}
