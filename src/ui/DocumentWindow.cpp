#include "ui/DocumentWindow.h"

#include <QDialogButtonBox>
#include <QFontDialog>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <map>

#include "common/ProgramSettings.h"
#include "tree/CommandIds.h"
#include "tree/NoteNode.h"
#include "tree/TypeSet.h"
#include "ui/BytesPane.h"
#include "ui/Dialogs.h"
#include "ui/FontText.h"
#include "ui/InfoPaneView.h"
#include "ui/PathPane.h"
#include "ui/TreeListWidget.h"

namespace {
constexpr std::uint32_t kSetFont = 32768;
constexpr std::uint32_t kSaveOptions = 32796;
constexpr std::uint32_t kCopy = 57634;
} // namespace

QFont TreeFontFromSettings() {
    return ToQFont(::LoadTreeFont(ProgramSettings()));
}

namespace {
std::map<const CDelvexDoc*, DocumentWindow*>& Windows() {
    static std::map<const CDelvexDoc*, DocumentWindow*> windows;
    return windows;
}
} // namespace

DocumentWindow* DocumentWindow::For(const CDelvexDoc* document) {
    auto it = Windows().find(document);
    return it == Windows().end() ? nullptr : it->second;
}

DocumentWindow::DocumentWindow(std::unique_ptr<CDelvexDoc> document, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), document_(std::move(document)) {
    setWindowTitle(QString::fromStdString(document_->Title()));
    auto* treePane = new QSplitter(Qt::Vertical);
    tree_ = new TreeListWidget;
    path_ = new PathPane(*tree_);
    tree_->Core().SetStyle(tree_->Core().Style() | treelist::style::kHorizontalExtent);
    tree_->LinkHorizontal(path_);
    const CSettings& s = ProgramSettings();
    tree_->Core().SetTimes(unsigned(s.GetInt("Tree Pane", "AutoScrollTime", 50)),
                           unsigned(s.GetInt("Tree Pane", "ClearCharsTime", 500)));
    treePane->addWidget(path_);
    treePane->addWidget(tree_);
    treePane->setSizes({48, 400});
    treePane->setStretchFactor(1, 1);
    info_ = new InfoPaneView(*document_);
    bytes_ = new BytesPane;
    auto* infoPane = new QSplitter(Qt::Vertical);
    infoPane->addWidget(info_);
    infoPane->addWidget(bytes_);
    infoPane->setSizes({300, 160});
    infoPane->setStretchFactor(0, 1);
    bytes_->setVisible(ProgramSettings().GetInt("Bytes Pane", "Show", 1) != 0);
    addWidget(treePane);
    addWidget(infoPane);
    setSizes({300, 500});
    setStretchFactor(1, 1);
    setFocusProxy(tree_);

    Windows()[document_.get()] = this;
    connect(tree_, &TreeListWidget::selectionChanged, this, &DocumentWindow::OnSelection);
    connect(
        tree_, &TreeListWidget::popupMenuRequested, this,
        [this](CTreeListNode*, quint32 id, const QPoint& at) { emit popupMenuRequested(id, at); });

    connect(info_, &InfoPaneView::fieldSelected, bytes_, &BytesPane::SelectField);
    connect(bytes_, &BytesPane::fieldChosen, info_, &InfoPaneView::SelectField);

    SetTreeFont(TreeFontFromSettings());
    if (CDocNode* first = document_->TakeRootsInto(tree_->Core()))
        tree_->SelectAndNotify(first);
}

DocumentWindow::~DocumentWindow() {
    // The nodes name the document: the controls that own them go first.
    Windows().erase(document_.get());
    document_->SetTree(nullptr);
    delete path_;
    delete tree_;
    delete info_;
    delete bytes_;
}

void DocumentWindow::focusInEvent(QFocusEvent* event) {
    QSplitter::focusInEvent(event);
    tree_->setFocus();
}

void DocumentWindow::OnSelection(CTreeListNode* node) {
    path_->Follow(node);
    info_->OnUpdate(hint::kCurrentNode);
    RefreshBytes();
}

void DocumentWindow::RefreshBytes() {
    std::vector<std::uint8_t> bytes;
    std::vector<InfoPaneField> fields;
    std::span<const std::uint8_t> span;
    CDocNode* node = document_->GetCurrentNode();
    if (node && node->NodeBytes(span)) {
        bytes.assign(span.begin(), span.end());
        fields = info_->Fields();
    }
    bytes_->Show(std::move(bytes), std::move(fields));
    bytes_->SelectField(info_->SelectedField());
}

void DocumentWindow::ShowBytesPane(bool shown) {
    bytes_->setVisible(shown);
    ProgramSettings().WriteInt("Bytes Pane", "Show", shown ? 1 : 0);
}

bool DocumentWindow::BytesPaneShown() const {
    return !bytes_->isHidden();
}

void DocumentWindow::OnUpdate(std::uint32_t hint) {
    // Anything besides the options and the current node concerns the rows' labels and children.
    if (hint & ~std::uint32_t(hint::kDisplayOptions | hint::kCurrentNode)) {
        CTreeListCore& core = tree_->Core();
        std::vector<CDocNode*> nodes;
        for (int r = 0; r < core.RowCount(); ++r) {
            if (auto* d = dynamic_cast<CDocNode*>(core.NodeAt(r)))
                nodes.push_back(d);
        }
        for (CDocNode* d : nodes) {
            if (core.FindRow(d) >= 0)
                d->OnOptionsChanged(hint);
        }
        tree_->viewport()->update();
    }
    info_->OnUpdate(hint);
    if (hint & (hint::kDisplayOptions | hint::kSymbolNames | hint::kCurrentNode))
        RefreshBytes();
}

void DocumentWindow::SetTreeFont(const QFont& font) {
    treeFont_ = font;
    tree_->SetTreeFont(font);
    path_->SetTreeFont(font);
}

bool DocumentWindow::Command(std::uint32_t id) {
    switch (id) {
    case kSetFont:
        if (info_->hasFocus()) {
            info_->ChooseFont();
        } else {
            bool ok = false;
            const QFont chosen = QFontDialog::getFont(&ok, treeFont_, this);
            if (ok)
                SetTreeFont(chosen);
        }
        return true;
    case kSaveOptions:
        SaveOptionsAsDefault();
        return true;
    case kCopy:
        if (CanCopy()) {
            info_->Copy();
            return true;
        }
        return false;
    default:
        return document_->RouteCommand(id);
    }
}

// The focus the main window keeps for its panes, which stays put while a menu is open.
bool DocumentWindow::InfoHasFocus() const {
    const QWidget* focus = window()->focusWidget();
    return focus != nullptr && (focus == info_ || info_->isAncestorOf(focus));
}

bool DocumentWindow::CanCopy() const {
    return InfoHasFocus() && document_->GetCurrentNode() != nullptr;
}

void DocumentWindow::SaveOptionsAsDefault() {
    CSettings& s = ProgramSettings();
    const bool ok = SaveTreeFont(s, FromQFont(treeFont_)) && document_->SaveOptions(s);
    if (!ok) {
        QMessageBox::critical(this, QStringLiteral("Error"), QString::fromStdString(s.LastError()));
    }
}
