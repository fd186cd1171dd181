#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>

#include "app/ExtractBytes.h"
#include "common/ProgramSettings.h"
#include "tree/CommandIds.h"
#include "ui/Dialogs.h"
#include "ui/DocumentWindow.h"
#include "ui/FindDialog.h"
#include "ui/HelpViewer.h"
#include "ui/ProgramIcon.h"
#include "ui/TreeListWidget.h"

namespace {

// Commands the windows handle themselves; every other id goes to the document and its node.
enum : std::uint32_t {
    kNew = 57600,
    kOpen = 57601,
    kClose = 57602,
    kExit = 57665,
    kHelpContents = 57666,
    kContextHelp = 57669,
    kHelpCurrent = 57670,
    kHelpDefault = 57671,
    kAbout = 57664,
    kOpenServer = 32773,
    kCopy = 57634,
    kRemove = 32786,
    kSetFont = 32768,
    kOptions = 32801,
    kSaveOptions = 32796,
    kSelectNotes = 32785,
    kNextPane = 57680,
    kPrevPane = 57681,
    kSaveBytes = 32803,
    kFind = 32804,
};

struct Prompt {
    std::uint32_t id;
    const char* text;
};
constexpr Prompt kPrompts[] = {
    {32768, "Change the font used in this view"},
    {32769, "Dump this thing to a file"},
    {32803, "Save the bytes of this thing to a file"},
    {32804, "Find items and records in the tree"},
    {32773, "Open a Corvane server"},
    {32774, "Expand the current node in the tree"},
    {32777, "Expand the current node in the tree a number of levels"},
    {32778, "Collapse the current node in the tree"},
    {32785, "Add or modify a note selector"},
    {32786, "Remove the selected node."},
    {32787, "Remove data of this type from the display"},
    {32788, "Show all types of data in the view"},
    {32793, "Show data of this type in the display"},
    {32794, "Turn on or off the display of placeholders for hidden types of data"},
    {32795, "Hide all placeholders for hidden types of data"},
    {32796, "Save this view's options as the default options"},
    {32800, "Get help on this type of node"},
    {32801, "Set options for how to display data"},
    {57600, "Create a new document"},
    {57601, "Open an existing document"},
    {57602, "Close the active document"},
    {57665, "Quit the application"},
    {57666, "List Help topics"},
    {57669, "Display help for clicked on buttons, menus and windows"},
    {57664, "Display program information, version number and copyright"},
    {57634, "Copy the selection and put it on the Clipboard"},
};

// Shown texts drop what the "|" form keeps for typed names.
QString ShownText(const QString& text) {
    const int bar = text.indexOf(QLatin1Char('|'));
    QString shown = bar < 0 ? text : text.mid(bar + 1);
    return shown;
}

// Windows that are not minimised share the area in equal strips side by side (Horizontal) or
// one above the other (Vertical).
void TileWindows(QMdiArea& area, Qt::Orientation orientation) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::StackingOrder)) {
        if (!w->isMinimized() && w->isVisible())
            windows.push_back(w);
    }
    if (windows.isEmpty())
        return;
    const QRect all = area.viewport()->rect();
    const int n = int(windows.size());
    const int length = orientation == Qt::Horizontal ? all.width() : all.height();
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows[i];
        if (w->isMaximized())
            w->showNormal();
        const int from = length * i / n;
        const int to = length * (i + 1) / n;
        w->setGeometry(orientation == Qt::Horizontal
                           ? QRect(all.left() + from, all.top(), to - from, all.height())
                           : QRect(all.left(), all.top() + from, all.width(), to - from));
    }
}

// Minimised windows in a row along the bottom of the area, wrapping upwards.
void ArrangeIcons(QMdiArea& area) {
    const QRect all = area.viewport()->rect();
    int x = all.left();
    int y = all.bottom();
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized())
            continue;
        const QSize size = w->size();
        if (x > all.left() && x + size.width() > all.right()) {
            x = all.left();
            y -= size.height();
        }
        w->move(x, y - size.height() + 1);
        x += size.width();
    }
}

constexpr const char* kPlacementSection = "KelmarMDI";
constexpr const char* kPlacementKey = "WindowPos";

} // namespace

MainWindow::MainWindow() : area_(new QMdiArea) {
    setWindowTitle(QStringLiteral("Delvex"));
    setWindowIcon(ProgramIcon());
    setCentralWidget(area_);
    setAcceptDrops(true);
    area_->setViewMode(QMdiArea::SubWindowView);
    BuildMenus();
    menutexts::SetSource(this);
    connect(area_, &QMdiArea::subWindowActivated, this, [this] {
        const bool doc = ActiveDocument() != nullptr;
        for (QMenu* m : documentMenus_)
            m->menuAction()->setVisible(doc);
    });
    for (QMenu* m : documentMenus_)
        m->menuAction()->setVisible(false);
    // Ctrl+C follows the focus between the panes, not only what a menu showed last.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        DocumentWindow* doc = ActiveDocument();
        Action(kCopy)->setEnabled(doc != nullptr && doc->CanCopy());
    });
}

MainWindow::~MainWindow() {
    disconnect(qApp, nullptr, this, nullptr);
    menutexts::SetSource(nullptr);
    // Documents' nodes go while the menus they may look up still exist.
    area_->closeAllSubWindows();
}

namespace {
// The menu string an item was made with, which its updates start from.
constexpr const char* kMenuText = "menuText";
} // namespace

QAction* MainWindow::MakeItem(std::uint32_t id, const QString& text) {
    auto* action = new QAction(ShownText(text), this);
    action->setData(id);
    action->setProperty(kMenuText, text);
    for (const Prompt& p : kPrompts) {
        if (p.id == id)
            action->setStatusTip(QString::fromLatin1(p.text));
    }
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    return action;
}

QAction* MainWindow::MakeAction(std::uint32_t id, const QString& text) {
    QAction* action = MakeItem(id, text);
    actions_.emplace(id, action);
    menuTexts_.emplace(id, text);
    return action;
}

QAction* MainWindow::Action(std::uint32_t id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

std::optional<std::string> MainWindow::FindMenuString(std::uint32_t id) const {
    auto it = menuTexts_.find(id);
    if (it == menuTexts_.end())
        return std::nullopt;
    return it->second.toStdString();
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(MakeAction(kNew, QStringLiteral("&New\tCtrl+N")));
    file->addAction(MakeAction(kOpen, QStringLiteral("Open &File...")));
    file->addAction(MakeAction(kOpenServer, QStringLiteral("Open &Server...")));
    file->addAction(MakeAction(kClose, QStringLiteral("&Close")));
    file->addSeparator();
    file->addAction(MakeAction(kExit, QStringLiteral("E&xit Delvex")));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(MakeAction(kCopy, QStringLiteral("&Copy\tCtrl+C")));
    edit->addAction(MakeAction(kRemove, QStringLiteral("&Remove\tDel")));
    edit->addAction(MakeAction(kFind, QStringLiteral("&Find...\tCtrl+F")));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->addAction(MakeAction(kSetFont, QStringLiteral("Set &Font...")));
    view->addAction(MakeAction(kOptions, QStringLiteral("&Options...")));
    view->addSeparator();
    view->addAction(MakeAction(cmd::kHideAll, QStringLiteral("&Hide All: %s|&Hide All")));
    view->addAction(MakeAction(cmd::kShowAll, QStringLiteral("&Show All: %s|&Show All")));
    view->addAction(MakeAction(cmd::kShowAllData, QStringLiteral("Show &All Data")));
    view->addAction(
        MakeAction(cmd::kPlaceholders, QStringLiteral("&Placeholders for Hidden Data")));
    // Shown or hidden in every window at once, and so in the next program too.
    QAction* bytesPane = view->addAction(QStringLiteral("&Bytes Pane"));
    bytesPane->setObjectName(QStringLiteral("bytesPaneAction"));
    bytesPane->setCheckable(true);
    bytesPane->setChecked(ProgramSettings().GetInt("Bytes Pane", "Show", 1) != 0);
    connect(bytesPane, &QAction::toggled, this, [this](bool shown) {
        for (QMdiSubWindow* sub : area_->subWindowList())
            if (auto* doc = qobject_cast<DocumentWindow*>(sub->widget()))
                doc->ShowBytesPane(shown);
        ProgramSettings().WriteInt("Bytes Pane", "Show", shown ? 1 : 0);
    });
    view->addSeparator();
    view->addAction(MakeAction(kSaveOptions, QStringLiteral("Save Options as &Default")));

    QMenu* dataMenu = menuBar()->addMenu(QStringLiteral("&Data"));
    dataMenu->addAction(MakeAction(cmd::kExpand, QStringLiteral("&Expand\tNum +")));
    dataMenu->addAction(MakeAction(cmd::kCollapse, QStringLiteral("&Collapse\tNum -")));
    dataMenu->addAction(MakeAction(cmd::kExpandLots, QStringLiteral("Expand &Lots\tNum *")));
    dataMenu->addSeparator();
    dataMenu->addAction(MakeAction(kSelectNotes, QStringLiteral("&Select Notes...")));
    dataMenu->addSeparator();
    dataMenu->addAction(MakeAction(cmd::kDumpToFile, QStringLiteral("&Dump to File...")));
    dataMenu->addAction(MakeAction(kSaveBytes, QStringLiteral("Save &Bytes As...")));

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    window->addAction(QStringLiteral("&Cascade"), area_, &QMdiArea::cascadeSubWindows);
    window->addAction(QStringLiteral("Tile &Left-Right"), this,
                      [this] { TileWindows(*area_, Qt::Horizontal); });
    window->addAction(QStringLiteral("Tile &Top-Bottom"), this,
                      [this] { TileWindows(*area_, Qt::Vertical); });
    window->addAction(QStringLiteral("&Arrange Icons"), this, [this] { ArrangeIcons(*area_); });
    documentMenus_ = {edit, view, dataMenu, window};

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(MakeAction(kHelpContents, QStringLiteral("&Contents\tF1")));
    help->addAction(MakeAction(kContextHelp, QStringLiteral("&Tell Me About...")));
    help->addSeparator();
    help->addAction(MakeAction(kAbout, QStringLiteral("&About Delvex...")));
    // Help on the current context has a key but no menu item.
    MakeAction(kHelpCurrent, QString());

    // Popup menus of rows, by the menu id their nodes report.
    QMenu* node = new QMenu(this);
    // Popup items show no keys: they are items of their own running the same commands.
    node->addAction(MakeItem(cmd::kExpand, QStringLiteral("&Expand")));
    node->addAction(MakeItem(cmd::kCollapse, QStringLiteral("&Collapse")));
    node->addSeparator();
    node->addAction(Action(kSelectNotes));
    node->addAction(Action(cmd::kHideAll));
    node->addAction(Action(kSaveBytes));
    node->addSeparator();
    node->addAction(MakeAction(cmd::kWhatsThis, QStringLiteral("&What's This?")));
    popups_[menu::kNodePopup] = node;
    QMenu* placeholder = new QMenu(this);
    placeholder->addAction(Action(cmd::kShowAll));
    placeholder->addAction(
        MakeAction(cmd::kHidePlaceholders, QStringLiteral("&Hide All: Placeholders")));
    popups_[menu::kPlaceholderPopup] = placeholder;

    for (QMenu* m : {file, edit, view, dataMenu, window, help, node, placeholder}) {
        connect(m, &QMenu::aboutToShow, this, [this, m] { UpdateActions(m); });
        connect(m, &QMenu::hovered, this, [this](QAction* a) { SetMessageText(a->statusTip()); });
        connect(m, &QMenu::aboutToHide, this, [this] { SetMessageText(QStringLiteral(" ")); });
    }

    // Accelerators.
    const std::pair<std::uint32_t, QList<QKeySequence>> keys[] = {
        {kNew, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {kFind, {QKeySequence(Qt::CTRL | Qt::Key_F)}},
        {kOpen, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {kCopy, {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {kRemove, {QKeySequence(Qt::Key_Delete)}},
        {kHelpCurrent, {QKeySequence(Qt::Key_F1)}},
        {kContextHelp, {QKeySequence(Qt::SHIFT | Qt::Key_F1)}},
    };
    for (const auto& [id, seqs] : keys) {
        QAction* a = Action(id);
        a->setShortcuts(seqs);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    // F6 and Shift+F6 move between the panes of the active document.
    for (auto [id, key] : {std::pair{kNextPane, QKeySequence(Qt::Key_F6)},
                           std::pair{kPrevPane, QKeySequence(Qt::SHIFT | Qt::Key_F6)}}) {
        auto* a = new QAction(this);
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
        addAction(a);
    }
}

void MainWindow::SetMessageText(const QString& text) {
    if (isMinimized())
        return;
    if (!text.isEmpty() && !text.startsWith(QLatin1Char(' '))) {
        if (!prompting_)
            title_ = windowTitle(); // with the maximised document's name, if any
        prompting_ = true;
        setWindowTitle(text);
    } else if (prompting_) {
        prompting_ = false;
        setWindowTitle(title_);
    }
}

void MainWindow::UpdateActions(QMenu* menu) {
    DocumentWindow* doc = ActiveDocument();
    for (QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->data().isValid())
            continue;
        const std::uint32_t id = a->data().toUInt();
        switch (id) {
        case kNew:
        case kOpen:
        case kOpenServer:
        case kExit:
        case kAbout:
        case kHelpContents:
        case kContextHelp:
            a->setEnabled(true);
            continue;
        case kCopy:
            a->setEnabled(doc != nullptr && doc->CanCopy());
            continue;
        case kSaveBytes: {
            const CDocNode* node = doc ? doc->Document().GetCurrentNode() : nullptr;
            std::vector<std::uint8_t> bytes;
            a->setEnabled(node != nullptr && node->GetBytes(bytes));
            continue;
        }
        case kFind:
        case kClose:
        case kSetFont:
        case kOptions:
        case kSaveOptions:
            a->setEnabled(doc != nullptr);
            continue;
        default:
            break;
        }
        CCmdUI ui;
        ui.id = id;
        bool known = doc != nullptr && doc->Document().RouteUpdate(ui);
        if (!known && (id == cmd::kHideAll || id == cmd::kShowAll)) {
            menutexts::UpdatePlain(ui);
            known = true;
        }
        if (!known) {
            ui.enabled = false; // no handler
        }
        a->setEnabled(ui.enabled);
        if (ui.checked) {
            a->setCheckable(true);
            a->setChecked(*ui.checked);
        }
        a->setText(ui.text ? QString::fromStdString(*ui.text)
                           : ShownText(a->property(kMenuText).toString())
                                 .replace(QStringLiteral("%s"), QString()));
    }
}

DocumentWindow* MainWindow::ActiveDocument() const {
    QMdiSubWindow* sub = area_->activeSubWindow();
    if (sub == nullptr && !area_->subWindowList().isEmpty())
        sub = area_->subWindowList().last();
    return sub ? qobject_cast<DocumentWindow*>(sub->widget()) : nullptr;
}

DocumentWindow* MainWindow::OpenDocument(const std::string& path) {
    auto* document = new CDelvexDoc(nullptr, frontEnd_);
    if (path.empty()) {
        document->NewDocument();
    } else {
        document->OpenDocument(path);
    }
    return AddDocument(document);
}

DocumentWindow* MainWindow::AddDocument(CDelvexDoc* document) {
    if (document->Title().empty())
        document->SetTitle("Delvex" + std::to_string(++untitled_));
    auto* window = new DocumentWindow(std::unique_ptr<CDelvexDoc>(document));
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = area_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &DocumentWindow::popupMenuRequested, this,
            [this](quint32 id, const QPoint& at) {
                if (QMenu* m = PopupMenu(id))
                    m->popup(at);
            });
    // A new document window takes the state of the active one; the first the saved state.
    QMdiSubWindow* active = area_->activeSubWindow();
    if (active == nullptr || active == sub) {
        const QList<QMdiSubWindow*> others = area_->subWindowList();
        active = others.size() > 1 ? others.at(others.size() - 2) : nullptr;
    }
    if (active ? active->isMaximized() : maximiseDocuments_) {
        sub->showMaximized();
    } else {
        sub->show();
    }
    window->Tree().setFocus();
    return window;
}

QMenu* MainWindow::PopupMenu(std::uint32_t menuId) {
    auto it = popups_.find(menuId);
    return it == popups_.end() ? nullptr : it->second;
}

void MainWindow::RunCommand(std::uint32_t id) {
    DocumentWindow* doc = ActiveDocument();
    switch (id) {
    case kNew:
        OpenDocument("");
        return;
    case kOpen:
        OpenFile();
        return;
    case kOpenServer:
        OpenServer();
        return;
    case kClose:
        if (area_->activeSubWindow())
            area_->activeSubWindow()->close();
        return;
    case kExit:
        close();
        return;
    case kAbout: {
        AboutDialog about(this);
        about.exec();
        return;
    }
    case kHelpContents:
    case kHelpDefault:
        HelpViewer::ShowContext(this, 0);
        return;
    case kContextHelp:
        HelpViewer::EnterContextHelp(this);
        return;
    case kHelpCurrent: {
        // The selected node's help, when it has any; otherwise the contents.
        const CDocNode* node = doc ? doc->Document().GetCurrentNode() : nullptr;
        HelpViewer::ShowContext(this, node ? node->GetHelpContext() : 0);
        return;
    }
    case kFind:
        if (doc) {
            FindDialog find(doc->Tree(), this);
            find.exec();
        }
        return;
    case kSaveBytes:
        if (doc)
            SaveBytes(*doc);
        return;
    case kNextPane:
    case kPrevPane:
        if (doc) {
            QWidget* panes[] = {&doc->Tree(), reinterpret_cast<QWidget*>(&doc->Info())};
            const bool inTree = doc->Tree().hasFocus();
            (inTree ? panes[1] : panes[0])->setFocus();
        }
        return;
    default:
        break;
    }
    if (doc) {
        doc->Command(id);
        doc->Tree().Refresh();
    }
}

void MainWindow::SaveBytes(DocumentWindow& doc) {
    const CDocNode* node = doc.Document().GetCurrentNode();
    if (node == nullptr)
        return;
    const QString suggested = QString::fromStdString(extract::SafeFileName(node->GetLabel()));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Bytes As"),
                                                      suggested, QStringLiteral("All Files (*)"));
    if (path.isEmpty())
        return;
    std::string error;
    if (!extract::SaveNodeBytes(*node, path.toStdString(), &error))
        QMessageBox::warning(this, QStringLiteral("Error"), QString::fromStdString(error));
}

void MainWindow::OpenFile() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(),
                                     QStringLiteral("Corvanefile (*.vlt);;All Files (*)"));
    if (!path.isEmpty())
        OpenDocument(path.toStdString());
}

void MainWindow::OpenServer() {
    const auto name = PromptForText(this, QStringLiteral("Open Server"),
                                    QStringLiteral("Please enter a server name:"));
    if (!name || name->isEmpty())
        return;
    // The formed path has room for 259 characters.
    const std::string path = (name->toStdString() + "!!").substr(0, 259);
    OpenDocument(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            OpenDocument(url.toLocalFile().toStdString());
    }
}

QString MainWindow::PlacementText() const {
    const QRect normal = normalGeometry();
    const int flags = isMaximized() ? 2 : 0;
    const int show = isMinimized() ? 2 : (isMaximized() ? 3 : 1);
    QMdiSubWindow* sub = area_->activeSubWindow();
    const int childMax = (sub == nullptr || sub->isMaximized()) ? 1 : 0;
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11")
        .arg(flags)
        .arg(show)
        .arg(-1)
        .arg(-1)
        .arg(-1)
        .arg(-1)
        .arg(normal.left())
        .arg(normal.top())
        .arg(normal.right() + 1)
        .arg(normal.bottom() + 1)
        .arg(childMax);
}

void MainWindow::ShowPlaced(Qt::WindowState requested) {
    const std::string text = ProgramSettings().GetString(kPlacementSection, kPlacementKey, "");
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(','));
    std::vector<long> n;
    for (const QString& p : parts) {
        bool ok = false;
        const long v = p.trimmed().toLong(&ok);
        if (!ok)
            break;
        n.push_back(v);
    }
    Qt::WindowState state = requested;
    maximiseDocuments_ = true;
    if (n.size() == 11 && parts.size() == 11) {
        maximiseDocuments_ = n[10] != 0;
        long show = n[1] == 2 ? 1 : n[1]; // a minimised window comes back normal
        if (requested == Qt::WindowNoState)
            state = show == 3 ? Qt::WindowMaximized : Qt::WindowNoState;
        const QRect normal{QPoint{int(n[6]), int(n[7])}, QPoint{int(n[8]) - 1, int(n[9]) - 1}};
        if (normal.width() > 50 && normal.height() > 50)
            setGeometry(normal);
    }
    if (QMdiSubWindow* sub =
            area_->activeSubWindow()
                ? area_->activeSubWindow()
                : (area_->subWindowList().isEmpty() ? nullptr : area_->subWindowList().last())) {
        if (maximiseDocuments_) {
            sub->showMaximized();
        } else if (sub->isMaximized()) {
            sub->showNormal();
        }
    }
    if (state == Qt::WindowMaximized) {
        showMaximized();
    } else if (state == Qt::WindowMinimized) {
        showMinimized();
    } else {
        show();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    ProgramSettings().WriteString(kPlacementSection, kPlacementKey, PlacementText().toStdString());
    area_->closeAllSubWindows();
    event->accept();
}
