#include "ui/Dialogs.h"

#include "app/DelvexApp.h"
#include "ui/ProgramIcon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

QString VersionText() {
    return QString::fromStdString(CDelvexApp::VersionText());
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Delvex"));
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel;
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    layout->addWidget(icon);
    auto* version = new QLabel(VersionText());
    version->setObjectName(QStringLiteral("version"));
    layout->addWidget(version);
    auto* line = new QLabel(QStringLiteral("Delvex is graphical viewer of technical Corvane "
                                           "information based on the Corvane API containment "
                                           "hierarchy."));
    line->setWordWrap(true);
    layout->addWidget(line);
    layout->addWidget(new QLabel(QStringLiteral("Current with %1.").arg("Corvane API 4.5")));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

std::optional<QString> PromptForText(QWidget* parent, const QString& title, const QString& prompt) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt));
    auto* field = new QLineEdit;
    field->setMaxLength(300);
    layout->addWidget(field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return field->text();
}

DumpDialog::DumpDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Dump To File"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&File:"));
    file_ = new QLineEdit;
    file_->setMaxLength(250);
    label->setBuddy(file_);
    auto* browse = new QPushButton(QStringLiteral(" ... "));
    connect(browse, &QPushButton::clicked, this, &DumpDialog::Browse);
    row->addWidget(label);
    row->addWidget(file_, 1);
    row->addWidget(browse);
    layout->addLayout(row);
    collapsed_ = new QCheckBox(QStringLiteral("Include &collapsed data"));
    layout->addWidget(collapsed_);
    auto* formatRow = new QHBoxLayout;
    auto* formatLabel = new QLabel(QStringLiteral("F&ormat:"));
    format_ = new QComboBox;
    format_->addItems({QStringLiteral("Text"), QStringLiteral("JSON"),
                       QStringLiteral("JSON lines (a note a line)")});
    formatLabel->setBuddy(format_);
    formatRow->addWidget(formatLabel);
    formatRow->addWidget(format_, 1);
    layout->addLayout(formatRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(440, sizeHint().height());
}

QString DumpDialog::FileName() const {
    return file_->text();
}
bool DumpDialog::IncludeCollapsed() const {
    return collapsed_->isChecked();
}
DumpFormat DumpDialog::Format() const {
    switch (format_->currentIndex()) {
    case 1:
        return DumpFormat::Json;
    case 2:
        return DumpFormat::JsonLines;
    default:
        return DumpFormat::Text;
    }
}
void DumpDialog::SetFileName(const QString& name) {
    file_->setText(name.left(250));
}

void DumpDialog::Browse() {
    const QString name = QFileDialog::getSaveFileName(
        this, QStringLiteral("Select Dump File"), file_->text(),
        QStringLiteral("Text files (*.txt);;JSON files (*.json *.jsonl);;All Files (*)"));
    if (!name.isEmpty())
        SetFileName(name);
}

namespace {
// The page's boxes in the order of the switches they edit.
struct Switch {
    const char* text;
    std::int32_t CInfoPaneOptions::*field;
};
constexpr Switch kSwitches[] = {
    {"Show &empty strings", &CInfoPaneOptions::ShowEmptyStrings},
    {"Convert from &KMBCS", &CInfoPaneOptions::ShowConvertFromKMBCS},
    {"Display non-&ASCII", &CInfoPaneOptions::ShowDisplayHighBit},
    {"Show &comments", &CInfoPaneOptions::ShowComments},
    {"Show &uninterpretable data", &CInfoPaneOptions::ShowUninterpreted},
    {"Show &spare bytes", &CInfoPaneOptions::ShowSpareBytes},
    {"Show sy&mbols", &CInfoPaneOptions::ShowSymbols},
};
constexpr int kUninterpreted = 4;
constexpr int kSpareBytes = 5;
const char* const kDateTexts[] = {"Show zone if &not local", "Always show time &zone",
                                  "Show dates in &GMT"};
} // namespace

InfoPanePage::InfoPanePage(const CInfoPaneOptions& options, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* strings = new QGroupBox(QStringLiteral("Strings"));
    auto* dates = new QGroupBox(QStringLiteral("Dates"));
    auto* general = new QGroupBox(QStringLiteral("General"));
    auto* stringsLayout = new QVBoxLayout(strings);
    auto* datesLayout = new QVBoxLayout(dates);
    auto* generalLayout = new QVBoxLayout(general);
    for (int i = 0; i < 7; ++i) {
        boxes_[i] = new QCheckBox(QString::fromLatin1(kSwitches[i].text));
        boxes_[i]->setChecked(options.*kSwitches[i].field != 0);
        (i < 3 ? stringsLayout : generalLayout)->addWidget(boxes_[i]);
    }
    for (int i = 0; i < 3; ++i) {
        dates_[i] = new QRadioButton(QString::fromLatin1(kDateTexts[i]));
        dates_[i]->setChecked(options.ShowDateOption == i);
        datesLayout->addWidget(dates_[i]);
    }
    layout->addWidget(strings);
    layout->addWidget(dates);
    layout->addWidget(general);
    layout->addStretch();
    connect(boxes_[kUninterpreted], &QCheckBox::toggled, this, &InfoPanePage::UpdateSpareBytes);
    UpdateSpareBytes();
}

void InfoPanePage::UpdateSpareBytes() {
    boxes_[kSpareBytes]->setEnabled(
        CInfoPaneOptions::SpareBytesEditable(boxes_[kUninterpreted]->isChecked() ? 1 : 0));
}

bool InfoPanePage::ReadBack(CInfoPaneOptions& options) const {
    bool changed = false;
    for (int i = 0; i < 7; ++i) {
        const std::int32_t value = boxes_[i]->isChecked() ? 1 : 0;
        if (options.*kSwitches[i].field != value) {
            options.*kSwitches[i].field = value;
            changed = true;
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (dates_[i]->isChecked() && options.ShowDateOption != i) {
            options.ShowDateOption = i;
            changed = true;
        }
    }
    return changed;
}
