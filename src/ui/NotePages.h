// The option pages of note display: "Notes" (how note labels are made), "Open" (the flags notes
// are opened with) and "Items" (how item children are shown). They edit a CDocumentNodePages.
#pragma once

#include <QWidget>

class CDocumentNodePages;
class QCheckBox;
class QPlainTextEdit;
class QRadioButton;
class TreeListWidget;

class NotesPage : public QWidget {
    Q_OBJECT
public:
    explicit NotesPage(CDocumentNodePages& pages, QWidget* parent = nullptr);
    // Copies the controls into the pages' values.
    void Store();
    // Stores, then compiles a label formula when "&Formula:" is chosen. A formula that does not
    // compile is reported (its span selected) and false returned: the page must stay.
    bool Leave();

    QCheckBox* NoteIdBox() const { return noteId_; }
    QCheckBox* TitleBox() const { return title_; }
    QCheckBox* DefaultBox() const { return isDefault_; }
    QCheckBox* DesignBox() const { return formulaDesign_; }
    QCheckBox* CountBox() const { return countNotes_; }
    QRadioButton* SimpleButton() const { return simple_; }
    QRadioButton* FormulaButton() const { return formulaChoice_; }
    QPlainTextEdit* FormulaField() const { return formula_; }

private:
    void UpdateEnabling();
    CDocumentNodePages& pages_;
    QCheckBox* noteId_;
    QCheckBox* title_;
    QCheckBox* isDefault_;
    QCheckBox* formulaDesign_;
    QCheckBox* countNotes_;
    QRadioButton* simple_;
    QRadioButton* formulaChoice_;
    QPlainTextEdit* formula_;
};

// One check-box row per open flag, in the order of the open flag table.
class OpenPage : public QWidget {
    Q_OBJECT
public:
    explicit OpenPage(CDocumentNodePages& pages, QWidget* parent = nullptr);
    TreeListWidget& Rows() const { return *rows_; }

private:
    TreeListWidget* rows_;
};

class ItemsPage : public QWidget {
    Q_OBJECT
public:
    explicit ItemsPage(CDocumentNodePages& pages, QWidget* parent = nullptr);
    void Store();
    QCheckBox* IncludeValueBox() const { return includeValue_; }
    QCheckBox* SortBox() const { return sort_; }

private:
    CDocumentNodePages& pages_;
    QCheckBox* includeValue_;
    QCheckBox* sort_;
};
