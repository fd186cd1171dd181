// The "View Options" sheet of a document: the pages of note display ("Notes", "Open", "Items")
// followed by "Info Pane". It opens on the page it was last closed on.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

class CDelvexDoc;
class CDocumentNodePages;
class InfoPanePage;
class ItemsPage;
class NotesPage;
class OpenPage;
class QTabWidget;

class OptionsSheet : public QDialog {
    Q_OBJECT
public:
    explicit OptionsSheet(CDelvexDoc& document, QWidget* parent = nullptr);
    ~OptionsSheet() override;

    // After OK: takes every page back into the document's options and returns the view-update
    // hint bits of what changed.
    std::uint32_t Apply();

    QTabWidget& Tabs() const { return *tabs_; }
    NotesPage& Notes() const { return *notes_; }
    OpenPage& Open() const { return *open_; }
    ItemsPage& Items() const { return *items_; }
    InfoPanePage& InfoPane() const { return *info_; }

    void accept() override;
    void done(int result) override;

private:
    void OnTabChanged(int index);

    CDelvexDoc& document_;
    std::unique_ptr<CDocumentNodePages> pages_;
    QTabWidget* tabs_;
    NotesPage* notes_;
    OpenPage* open_;
    ItemsPage* items_;
    InfoPanePage* info_;
    int shownTab_ = 0;
    bool returning_ = false; // switching back to a page that refused to be left
};

// Runs the sheet on the document; returns the hint bits of what changed (0 when cancelled).
std::uint32_t RunOptionsDialog(QWidget* parent, CDelvexDoc& document);
