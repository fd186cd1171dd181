// One document's window: the tree pane (the path pane over the tree) beside the info pane.
// The window owns the document; the tree owns the nodes, and goes before the document.
#pragma once

#include <QSplitter>
#include <memory>

#include "app/DelvexDoc.h"

class BytesPane;
class InfoPaneView;
class PathPane;
class TreeListWidget;
class CTreeListNode;
class CNoteNode;

class DocumentWindow : public QSplitter {
    Q_OBJECT
public:
    explicit DocumentWindow(std::unique_ptr<CDelvexDoc> document, QWidget* parent = nullptr);
    // The window showing a document, or null.
    static DocumentWindow* For(const CDelvexDoc* document);
    ~DocumentWindow() override;

    CDelvexDoc& Document() { return *document_; }
    TreeListWidget& Tree() { return *tree_; }
    PathPane& Path() { return *path_; }
    InfoPaneView& Info() { return *info_; }
    BytesPane& Bytes() { return *bytes_; }
    // Shows or hides the bytes pane below the info pane.
    void ShowBytesPane(bool shown);
    bool BytesPaneShown() const;

    // Whether Copy has something to copy: the info pane has the focus and shows a node.
    bool CanCopy() const;
    // Offers a command to the window's own handlers, then to the document and its node.
    bool Command(std::uint32_t id);
    // The tree font: given to both controls.
    void SetTreeFont(const QFont& font);
    const QFont& TreeFont() const { return treeFont_; }
    void SaveOptionsAsDefault();
    // The document's views follow the hint bits.
    void OnUpdate(std::uint32_t hint);

signals:
    void popupMenuRequested(quint32 menuId, const QPoint& globalPos);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void OnSelection(CTreeListNode* node);
    bool InfoHasFocus() const;
    // Gives the bytes pane the current node's bytes and fields.
    void RefreshBytes();

    std::unique_ptr<CDelvexDoc> document_;
    PathPane* path_ = nullptr;
    TreeListWidget* tree_ = nullptr;
    InfoPaneView* info_ = nullptr;
    BytesPane* bytes_ = nullptr;
    QFont treeFont_;
};

// The tree font from the settings: [Tree Pane] Font, then the older keys, then the built-in.
QFont TreeFontFromSettings();
