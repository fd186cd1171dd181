#include "ui/SelectNotesDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "output/StatusMessage.h"
#include "store/SelectNotesCore.h"
#include "store/api/Conversions.h"
#include "tree/NodeImageIndex.h"
#include "ui/GlyphPainter.h"

namespace {

QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The pictures of the three fixed sets, so each kind looks as its set does in the tree.
QIcon SetIcon(std::uint16_t index) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const NodeImage image{imagecache::Derive(0, kGeneralStrip.bitmap, kGeneralStrip.mask), index};
    glyphs::DrawNodeImage(p, pixmap.rect(), image);
    return QIcon(pixmap);
}

std::string Translated(store::Translate direction, std::string_view text) {
    std::vector<char> out(text.size() * 3 + 1);
    std::size_t n =
        store::TranslateText(direction, text.data(), text.size(), out.data(), out.size());
    if (n >= out.size()) {
        out.resize(n + 1);
        n = store::TranslateText(direction, text.data(), text.size(), out.data(), out.size());
    }
    return std::string(out.data(), std::min(n, out.size() - 1));
}

// The compiler reports its span in bytes of the text it was given (the store's character
// set); the edit field counts characters.
std::pair<int, int> SpanInField(const QString& text, std::uint32_t from, std::uint32_t length) {
    const std::string compiled = Translated(store::Translate::ToStore, text.toStdString());
    auto characters = [&](std::size_t bytes) {
        bytes = std::min(bytes, compiled.size());
        const std::string back =
            Translated(store::Translate::FromStore, std::string_view(compiled).substr(0, bytes));
        return int(FromStd(back).size());
    };
    const int start = characters(from);
    const int end = characters(std::size_t(from) + length);
    return {start, std::max(0, end - start)};
}

} // namespace

SelectNotesDialog::SelectNotesDialog(CSelectNotesCore& core, QWidget* parent)
    : QDialog(parent), core_(core) {
    setWindowTitle(QStringLiteral("Select Notes"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    recent_ = new QComboBox;
    recent_->setObjectName(QStringLiteral("recent"));
    recent_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    recent_->setMinimumContentsLength(40);
    auto* recentLabel = new QLabel(QStringLiteral("&Recent:"));
    recentLabel->setBuddy(recent_);
    grid->addWidget(recentLabel, 0, 0);
    grid->addWidget(recent_, 0, 1, 1, 3);

    formula_ = new QLineEdit;
    formula_->setObjectName(QStringLiteral("formula"));
    formula_->setMaxLength(int(CSelectNotesCore::kMaxFormulaLength));
    auto* formulaLabel = new QLabel(QStringLiteral("Selection &Formula:"));
    formulaLabel->setBuddy(formula_);
    grid->addWidget(formulaLabel, 1, 0);
    grid->addWidget(formula_, 1, 1, 1, 3);

    onlyModified_ = new QCheckBox(QStringLiteral("Only &modified"));
    onlyModified_->setObjectName(QStringLiteral("onlyModified"));
    dateOption_ = new QComboBox;
    dateOption_->setObjectName(QStringLiteral("dateOption"));
    dateOption_->addItem(QStringLiteral("since"));       // NoteSelector::kSince
    dateOption_->addItem(QStringLiteral("in the last")); // NoteSelector::kInTheLast
    dateText_ = new QLineEdit;
    dateText_->setObjectName(QStringLiteral("dateText"));
    dateText_->setMaxLength(int(CSelectNotesCore::kMaxDateTextLength));
    grid->addWidget(onlyModified_, 2, 0);
    grid->addWidget(dateOption_, 2, 1);
    grid->addWidget(dateText_, 2, 2, 1, 2);

    limitOn_ = new QCheckBox(QStringLiteral("&Limit to at most:"));
    limitOn_->setObjectName(QStringLiteral("limitOn"));
    limit_ = new QLineEdit;
    limit_->setObjectName(QStringLiteral("limit"));
    limit_->setMaxLength(6); // up to 999999
    grid->addWidget(limitOn_, 3, 0);
    grid->addWidget(limit_, 3, 1);
    grid->setColumnStretch(3, 1);

    auto* kinds = new QGroupBox;
    auto* kindsLayout = new QHBoxLayout(kinds);
    const struct {
        const char* text;
        const char* name;
        std::uint16_t icon;
    } kindTexts[3] = {{"&Documents", "documents", 10},
                      {"Design &elements", "designElements", 9},
                      {"Deletion &stubs", "deletionStubs", 11}};
    for (int i = 0; i < 3; ++i) {
        kinds_[i] = new QCheckBox(QString::fromLatin1(kindTexts[i].text));
        kinds_[i]->setObjectName(QString::fromLatin1(kindTexts[i].name));
        kinds_[i]->setIcon(SetIcon(kindTexts[i].icon));
        kindsLayout->addWidget(kinds_[i]);
    }
    kindsLayout->addStretch();
    layout->addWidget(kinds);

    auto* buttons = new QDialogButtonBox;
    ok_ = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok_->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    clear_ = buttons->addButton(QStringLiteral("&Clear"), QDialogButtonBox::ResetRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &SelectNotesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(clear_, &QPushButton::clicked, this, &SelectNotesDialog::ClearValues);
    layout->addWidget(buttons);

    for (const std::string& description : core_.RecentDescriptions())
        recent_->addItem(FromStd(description));
    recent_->setCurrentIndex(core_.RecentChoice());
    ShowValues();

    for (QLineEdit* edit : {formula_, dateText_, limit_})
        connect(edit, &QLineEdit::textChanged, this, &SelectNotesDialog::TakeValues);
    for (QCheckBox* box : {onlyModified_, kinds_[0], kinds_[1], kinds_[2], limitOn_})
        connect(box, &QCheckBox::toggled, this, &SelectNotesDialog::TakeValues);
    connect(dateOption_, &QComboBox::currentIndexChanged, this, &SelectNotesDialog::TakeValues);
    connect(recent_, &QComboBox::activated, this, &SelectNotesDialog::ChooseRecent);
    formula_->setFocus();
}

void SelectNotesDialog::ShowValues() {
    const CSelectNotesCore::Controls& v = core_.Values();
    showing_ = true;
    formula_->setText(FromStd(v.formula));
    formula_->setCursorPosition(0);
    onlyModified_->setChecked(v.onlyModified);
    // An option the combo does not know (from an edited settings file) is kept, not replaced.
    dateOption_->setCurrentIndex(
        v.dateOption >= 0 && v.dateOption < dateOption_->count() ? v.dateOption : -1);
    dateText_->setText(FromStd(v.dateText));
    kinds_[0]->setChecked(v.documents);
    kinds_[1]->setChecked(v.designElements);
    kinds_[2]->setChecked(v.deletionStubs);
    limitOn_->setChecked(v.limitOn);
    limit_->setText(FromStd(v.limitText));
    showing_ = false;
    UpdateEnabling();
}

void SelectNotesDialog::TakeValues() {
    if (showing_)
        return;
    CSelectNotesCore::Controls& v = core_.Values();
    v.formula = formula_->text().toStdString();
    v.onlyModified = onlyModified_->isChecked();
    if (dateOption_->currentIndex() >= 0)
        v.dateOption = dateOption_->currentIndex();
    v.dateText = dateText_->text().toStdString();
    v.documents = kinds_[0]->isChecked();
    v.designElements = kinds_[1]->isChecked();
    v.deletionStubs = kinds_[2]->isChecked();
    v.limitOn = limitOn_->isChecked();
    v.limitText = limit_->text().toStdString();
    UpdateEnabling();
}

void SelectNotesDialog::UpdateEnabling() {
    const CSelectNotesCore::Enabled e = core_.Enabling();
    dateOption_->setEnabled(e.dateOption);
    dateText_->setEnabled(e.dateText);
    limit_->setEnabled(e.limit);
    ok_->setEnabled(e.ok);
}

void SelectNotesDialog::ChooseRecent(int index) {
    if (index < 0)
        return;
    core_.ChooseRecent(std::size_t(index));
    ShowValues();
}

void SelectNotesDialog::ClearValues() {
    core_.Clear();
    recent_->setCurrentIndex(-1);
    ShowValues();
}

void SelectNotesDialog::accept() {
    TakeValues();
    CSelectNotesCore::Refusal why;
    if (core_.Accept(&why)) {
        // The choice stands; only remembering it failed.
        if (!core_.SettingsError().empty()) {
            GetMessageBox()->ShowError("Error", "Couldn't save the recent note selections: " +
                                                    core_.SettingsError());
        }
        QDialog::accept();
        return;
    }

    using Field = CSelectNotesCore::Field;
    QWidget* at = formula_;
    switch (why.field) {
    case Field::DateText:
        at = dateText_;
        break;
    case Field::Limit:
        at = limit_;
        break;
    case Field::Kinds:
        at = kinds_[0];
        break;
    default:
        break;
    }
    at->setFocus(Qt::OtherFocusReason);
    if (why.field == Field::Formula && why.status == store::kFormulaSyntax) {
        const auto [start, length] =
            SpanInField(formula_->text(), why.selectFrom, why.selectLength);
        // Selected from its end back to its start, so the start is the part scrolled into view.
        formula_->setSelection(start + length, -length);
    } else if (auto* edit = qobject_cast<QLineEdit*>(at)) {
        edit->selectAll();
    }

    if (why.status == store::kNoError) {
        GetMessageBox()->ShowError("Error", why.message);
    } else if (why.status == store::kFormulaSyntax) {
        char text[600];
        FormatStatusMessage(text, sizeof text, why.status, nullptr);
        std::string shown = text;
        if (!why.detail.empty())
            shown += "\n" + why.detail;
        GetMessageBox()->ShowError("Error", shown);
    } else if (!why.message.empty()) {
        ShowStatusMessage(why.status, "%s", why.message.c_str());
    } else {
        ShowStatusMessage(why.status, nullptr);
    }
}

SelectNotesPrompt::SelectNotesPrompt(QWidget* owner)
    : owner_(owner), previous_(SetSelectNotesPrompt(this)) {}

SelectNotesPrompt::~SelectNotesPrompt() {
    SetSelectNotesPrompt(previous_);
}

bool SelectNotesPrompt::Run(CSelectNotesCore& core) {
    SelectNotesDialog dialog(core, owner_ ? owner_->window() : nullptr);
    return dialog.exec() == QDialog::Accepted;
}
