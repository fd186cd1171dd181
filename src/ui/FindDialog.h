// Find...: searches the document's tree for items and records by name, type, text and record
// kind, with a progress bar and Cancel, and lists the matches; choosing a match expands the
// tree to its node and selects it.
#pragma once

#include <QDialog>
#include <vector>

#include "app/NodeSearch.h"

class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QLabel;
class TreeListWidget;

class FindDialog : public QDialog {
    Q_OBJECT
public:
    FindDialog(TreeListWidget& tree, QWidget* parent = nullptr);

    QLineEdit* ItemName() const { return name_; }
    QLineEdit* ItemType() const { return type_; }
    QLineEdit* Text() const { return text_; }
    QLineEdit* RecordKind() const { return kind_; }
    QListWidget* Matches() const { return list_; }
    QProgressBar* Progress() const { return progress_; }
    QLabel* Status() const { return status_; }

    // Runs the search over every top-level node of the tree; false with a message in the
    // status line when the criteria are not usable.
    bool RunSearch();
    // Expands the tree to the match in that row of the list and selects its node.
    bool ShowMatch(int row);

private:
    void CancelOrClose();

    TreeListWidget& tree_;
    QLineEdit* name_;
    QLineEdit* type_;
    QLineEdit* text_;
    QLineEdit* kind_;
    QListWidget* list_;
    QProgressBar* progress_;
    QLabel* status_;
    QPushButton* find_;
    QPushButton* cancel_;
    bool running_ = false;
    std::vector<nodesearch::Match> matches_;
};
