// The main window: a multiple-document area with one DocumentWindow per open document, the
// menus and accelerators, menu prompts in the title bar, the popup menus of rows, and the
// window placement kept in the settings.
#pragma once

#include <QMainWindow>
#include <map>

#include "tree/MenuTexts.h"

class QMdiArea;
class QMenu;
class QAction;
class DocumentWindow;
class CDelvexDoc;
class CFrontEnd;

class MainWindow : public QMainWindow, private CMenuStringSource {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    // Opens a document on a path (empty: a new browsing document).
    DocumentWindow* OpenDocument(const std::string& path);
    // A window on the document, which it takes.
    DocumentWindow* AddDocument(CDelvexDoc* document);
    // What new documents ask of the windows (borrowed).
    void SetFrontEnd(CFrontEnd* frontEnd) { frontEnd_ = frontEnd; }
    DocumentWindow* ActiveDocument() const;
    QMdiArea* Area() const { return area_; }
    QAction* Action(std::uint32_t id) const;
    // Runs a command as a menu would.
    void RunCommand(std::uint32_t id);
    // Shows the window placed as saved; a requested state other than normal wins.
    void ShowPlaced(Qt::WindowState requested = Qt::WindowNoState);
    // The placement text written on closing.
    QString PlacementText() const;
    QMenu* PopupMenu(std::uint32_t menuId);
    // The title bar doubles as the message line: a text that is not empty and does not begin
    // with a blank replaces the title until a blank or empty text restores it. Nothing changes
    // while the window is minimised.
    void SetMessageText(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::optional<std::string> FindMenuString(std::uint32_t id) const override;
    // An item running the command; MakeAction also makes it the command's main-menu action.
    QAction* MakeItem(std::uint32_t id, const QString& text);
    QAction* MakeAction(std::uint32_t id, const QString& text);
    void BuildMenus();
    void UpdateActions(QMenu* menu);
    void OpenFile();
    // Save Bytes As: the current node's bytes to a file the user names.
    void SaveBytes(DocumentWindow& doc);
    void OpenServer();

    QMdiArea* area_;
    std::map<std::uint32_t, QAction*> actions_;
    std::map<std::uint32_t, QString> menuTexts_;
    std::map<std::uint32_t, QMenu*> popups_;
    std::vector<QMenu*> documentMenus_;
    QString title_; // the title a prompt replaced
    bool prompting_ = false;
    int untitled_ = 0;
    bool maximiseDocuments_ = true; // the saved state of the document windows
    CFrontEnd* frontEnd_ = nullptr;
};
