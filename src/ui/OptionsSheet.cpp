#include "ui/OptionsSheet.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/DelvexDoc.h"
#include "output/UpdateHints.h"
#include "store/DocumentNodePages.h"
#include "ui/Dialogs.h"
#include "ui/NotePages.h"

namespace {
// The tab the sheet was last closed on, for as long as the program runs.
int lastTab = 0;
// The info pane's switches changed: it repaints.
} // namespace

OptionsSheet::OptionsSheet(CDelvexDoc& document, QWidget* parent)
    : QDialog(parent), document_(document),
      pages_(std::make_unique<CDocumentNodePages>(document.DocumentOptions())) {
    setWindowTitle(QStringLiteral("View Options"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget;
    notes_ = new NotesPage(*pages_);
    open_ = new OpenPage(*pages_);
    items_ = new ItemsPage(*pages_);
    info_ = new InfoPanePage(document.InfoOptions());
    tabs_->addTab(notes_, QStringLiteral("Notes"));
    tabs_->addTab(open_, QStringLiteral("Open"));
    tabs_->addTab(items_, QStringLiteral("Items"));
    tabs_->addTab(info_, QStringLiteral("Info Pane"));
    shownTab_ = std::clamp(lastTab, 0, tabs_->count() - 1);
    tabs_->setCurrentIndex(shownTab_);
    connect(tabs_, &QTabWidget::currentChanged, this, &OptionsSheet::OnTabChanged);
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

OptionsSheet::~OptionsSheet() = default;

void OptionsSheet::OnTabChanged(int index) {
    if (returning_)
        return;
    // The "Notes" page is checked as it is left; a formula that does not compile keeps it.
    if (tabs_->widget(shownTab_) == notes_ && !notes_->Leave()) {
        returning_ = true;
        tabs_->setCurrentIndex(shownTab_);
        returning_ = false;
        return;
    }
    shownTab_ = index;
}

void OptionsSheet::accept() {
    if (tabs_->currentWidget() == notes_ && !notes_->Leave())
        return;
    QDialog::accept();
}

void OptionsSheet::done(int result) {
    lastTab = tabs_->currentIndex();
    QDialog::done(result);
}

std::uint32_t OptionsSheet::Apply() {
    std::uint32_t hints =
        info_->ReadBack(document_.InfoOptions()) ? hint::kDisplayOptions : hint::kNone;
    notes_->Store();
    items_->Store();
    hints |= pages_->ApplyTo(document_.DocumentOptions());
    return hints;
}

std::uint32_t RunOptionsDialog(QWidget* parent, CDelvexDoc& document) {
    OptionsSheet sheet(document, parent);
    if (sheet.exec() != QDialog::Accepted)
        return 0;
    return sheet.Apply();
}
