// The "Select Notes" dialog: the window over CSelectNotesCore, which decides what is enabled,
// what the recent list holds and whether OK may close the dialog. Also the prompt through which
// document sets run it, and the box through which store failures reach the user.
#pragma once

#include <QDialog>
#include <QPointer>

#include "output/MessageBox.h"
#include "store/SelectNotesPrompt.h"

class CSelectNotesCore;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class SelectNotesDialog : public QDialog {
    Q_OBJECT
public:
    SelectNotesDialog(CSelectNotesCore& core, QWidget* parent = nullptr);

    QLineEdit* FormulaField() const { return formula_; }
    QCheckBox* OnlyModifiedBox() const { return onlyModified_; }
    QComboBox* DateOptionCombo() const { return dateOption_; }
    QLineEdit* DateField() const { return dateText_; }
    QCheckBox* KindBox(int i) const { return kinds_[i]; } // documents, design elements, stubs
    QCheckBox* LimitBox() const { return limitOn_; }
    QLineEdit* LimitField() const { return limit_; }
    QComboBox* RecentCombo() const { return recent_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* ClearButton() const { return clear_; }

    // OK: closes only when the core accepts the values; otherwise points at the field at fault.
    void accept() override;

private:
    void ShowValues(); // core -> controls
    void TakeValues(); // controls -> core, then enabling
    void UpdateEnabling();
    void ChooseRecent(int index);
    void ClearValues();

    CSelectNotesCore& core_;
    bool showing_ = false; // controls are being filled from the core: their signals are ours
    QLineEdit* formula_;
    QCheckBox* onlyModified_;
    QComboBox* dateOption_;
    QLineEdit* dateText_;
    QCheckBox* kinds_[3];
    QCheckBox* limitOn_;
    QLineEdit* limit_;
    QComboBox* recent_;
    QPushButton* ok_;
    QPushButton* clear_;
};

// Runs the dialog for document sets while installed; the dialog is owned by `owner`'s window.
class SelectNotesPrompt : public CSelectNotesPrompt {
public:
    explicit SelectNotesPrompt(QWidget* owner);
    ~SelectNotesPrompt() override;
    bool Run(CSelectNotesCore& core) override;

private:
    QPointer<QWidget> owner_;
    CSelectNotesPrompt* previous_;
};
