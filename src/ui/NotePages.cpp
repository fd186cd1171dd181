#include "ui/NotePages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "output/MessageBox.h"
#include "output/NoteTables.h"
#include "store/DocumentNodePages.h"
#include "ui/TreeListWidget.h"

namespace {

QCheckBox* Box(const char* text, bool checked) {
    auto* box = new QCheckBox(QString::fromLatin1(text));
    box->setChecked(checked);
    return box;
}

// The compiler reports its span in bytes of the UTF-8 text; the field counts characters.
int CharIndex(const QString& text, std::uint32_t bytes) {
    return int(QString::fromUtf8(text.toUtf8().left(qsizetype(bytes))).size());
}

} // namespace

NotesPage::NotesPage(CDocumentNodePages& pages, QWidget* parent) : QWidget(parent), pages_(pages) {
    const DocumentNodeValues& v = pages.Values();
    simple_ = new QRadioButton(QStringLiteral("&Simple:"));
    formulaChoice_ = new QRadioButton(QStringLiteral("&Formula:"));
    noteId_ = Box("Note &ID", v.noteId != 0);
    title_ = Box("&Title", v.title != 0);
    isDefault_ = Box("Is-Default &Flag", v.isDefault != 0);
    formula_ = new QPlainTextEdit(QString::fromStdString(v.formula));
    formula_->setTabChangesFocus(true);
    formulaDesign_ = Box("Use for &Design elements", v.formulaDesign != 0);
    countNotes_ = Box("&Count notes when opening databases", v.countNotes != 0);
    (v.titleType == 0 ? simple_ : formulaChoice_)->setChecked(true);

    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 18);
    grid->addWidget(simple_, 0, 0, 1, 2);
    grid->addWidget(noteId_, 1, 1);
    grid->addWidget(title_, 2, 1);
    grid->addWidget(isDefault_, 3, 1);
    grid->addWidget(formulaChoice_, 4, 0, 1, 2);
    grid->addWidget(formula_, 5, 1);
    grid->addWidget(formulaDesign_, 6, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(countNotes_);
    connect(simple_, &QRadioButton::toggled, this, [this] { UpdateEnabling(); });
    UpdateEnabling();
}

void NotesPage::Store() {
    DocumentNodeValues& v = pages_.Values();
    v.noteId = noteId_->isChecked() ? 1 : 0;
    v.title = title_->isChecked() ? 1 : 0;
    v.isDefault = isDefault_->isChecked() ? 1 : 0;
    v.formulaDesign = formulaDesign_->isChecked() ? 1 : 0;
    v.countNotes = countNotes_->isChecked() ? 1 : 0;
    v.titleType = formulaChoice_->isChecked() ? 1 : 0;
    v.formula = formula_->toPlainText().toStdString();
}

void NotesPage::UpdateEnabling() {
    Store();
    const bool simple = pages_.SimpleControlsEnabled();
    for (QWidget* w : {static_cast<QWidget*>(noteId_), static_cast<QWidget*>(title_),
                       static_cast<QWidget*>(isDefault_)})
        w->setEnabled(simple);
    formula_->setEnabled(pages_.FormulaControlsEnabled());
    formulaDesign_->setEnabled(pages_.FormulaControlsEnabled());
}

bool NotesPage::Leave() {
    Store();
    const FormulaCompileResult result = pages_.LeaveNotesPage();
    if (result.status == store::kNoError)
        return true;
    if (result.status == store::kFormulaSyntax) {
        const QString text = formula_->toPlainText();
        const int from = CharIndex(text, result.errorOffset);
        const int to = CharIndex(text, result.errorOffset + result.errorLength);
        QTextCursor cursor = formula_->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        formula_->setTextCursor(cursor);
        formula_->ensureCursorVisible();
        formula_->setFocus();
        ShowStatusMessage(result.status, nullptr);
    } else {
        ShowStatusMessage(result.status, "%s", result.errorText.c_str());
    }
    return false;
}

namespace {

// A row of the "Open" page: ticking it sets its bit in the pages' open flags.
class OpenFlagRow : public CTreeListNode {
public:
    OpenFlagRow(CDocumentNodePages& pages, const SymbolEntry& flag)
        : pages_(pages), bit_(std::uint16_t(flag.value)),
          label_(CDocumentNodePages::OpenFlagLabel(flag.name, bit_)) {
        SetHasCheckBox(true);
        SetCheckEnabled(true);
        SetChecked(pages.OpenFlag(bit_));
    }
    std::string_view GetLabel() const override { return label_; }
    void OnCheckChanged(bool checked) override { pages_.SetOpenFlag(bit_, checked); }

private:
    CDocumentNodePages& pages_;
    std::uint16_t bit_;
    std::string label_;
};

} // namespace

OpenPage::OpenPage(CDocumentNodePages& pages, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Flags to use when opening notes:")));
    rows_ = new TreeListWidget;
    // Plain rows with check boxes: no lines, no indentation.
    rows_->Core().SetStyle(0x3 | treelist::style::kCheckBoxes);
    for (const SymbolEntry* e = notetables::kOpenFlags; e->name != nullptr; ++e)
        rows_->Core().AddRoot(new OpenFlagRow(pages, *e));
    if (rows_->Core().RowCount() > 0)
        rows_->Core().Select(rows_->Core().NodeAt(0));
    layout->addWidget(rows_, 1);
}

ItemsPage::ItemsPage(CDocumentNodePages& pages, QWidget* parent) : QWidget(parent), pages_(pages) {
    auto* layout = new QVBoxLayout(this);
    includeValue_ = Box("&Include value in text", pages.Values().includeItemValue != 0);
    sort_ = Box("&Sort by name", pages.Values().sortItems != 0);
    layout->addWidget(includeValue_);
    layout->addWidget(sort_);
    layout->addStretch();
}

void ItemsPage::Store() {
    pages_.Values().includeItemValue = includeValue_->isChecked() ? 1 : 0;
    pages_.Values().sortItems = sort_->isChecked() ? 1 : 0;
}
