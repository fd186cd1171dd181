// The program's small dialogs: the about box, the one-line prompt (Open Server), the dump
// dialog and the "Info Pane" page of the options sheet.
#pragma once

#include <QDialog>
#include <QString>
#include <optional>

#include "output/InfoPaneOptions.h"
#include "tree/DumpToFile.h"

class QLineEdit;
class QCheckBox;
class QComboBox;
class QRadioButton;

// The version text shown by the about box and the splash screen.
QString VersionText();

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

// A prompt with one edit field; nothing when cancelled.
std::optional<QString> PromptForText(QWidget* parent, const QString& title, const QString& prompt);

class DumpDialog : public QDialog {
    Q_OBJECT
public:
    explicit DumpDialog(QWidget* parent = nullptr);
    QString FileName() const;
    bool IncludeCollapsed() const;
    // Text (the first choice), JSON or JSON lines.
    DumpFormat Format() const;
    void SetFileName(const QString& name); // as the " ... " button does after its dialog
    QLineEdit* FileField() const { return file_; }
    QCheckBox* CollapsedBox() const { return collapsed_; }
    QComboBox* FormatBox() const { return format_; }

private:
    void Browse();
    QLineEdit* file_;
    QCheckBox* collapsed_;
    QComboBox* format_;
};

// The switches of the info pane, filled from the options and read back on OK.
class InfoPanePage : public QWidget {
    Q_OBJECT
public:
    explicit InfoPanePage(const CInfoPaneOptions& options, QWidget* parent = nullptr);
    // Copies the page into options; true when anything changed.
    bool ReadBack(CInfoPaneOptions& options) const;
    QCheckBox* Box(int index) const { return boxes_[index]; }

private:
    void UpdateSpareBytes();
    QCheckBox* boxes_[7] = {};
    QRadioButton* dates_[3] = {};
};
