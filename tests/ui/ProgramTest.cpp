// The main window, its commands and settings, the dump, the option page, fonts and cancelling.
#include "common/MemorySettings.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/ProgramSettings.h"
#include "support/CollapsedDump.h"
#include "tree/Cancel.h"
#include "tree/CommandIds.h"
#include "tree/DumpToFile.h"
#include "ui/CancelWatch.h"
#include "ui/Dialogs.h"
#include "ui/FontText.h"
#include "ui/InfoPaneView.h"
#include "ui/UiFixture.h"

using namespace uitest;

namespace {

TEST(FontTextTest, SettingsFontsBecomeWindowFontsAndBack) {
    const FontDesc desc = *ParseFontText("-20,0,0,0,700,1,0,0,0,1,2,1,34,Nonexistent Face");
    const QFont font = ToQFont(desc);
    EXPECT_EQ(font.pixelSize(), 20);
    EXPECT_TRUE(font.italic());
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(ToFixedQFont(desc).fixedPitch());
    const FontDesc back = FromQFont(font);
    EXPECT_EQ(back.height, -20);
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.italic, 1);
    // A zero description (an unreadable font text) still gives a usable font.
    EXPECT_GT(QFontMetrics(ToQFont(FontDesc{})).height(), 0);
}

TEST_F(ProgramFixture, MenuCommandsGoToTheCurrentNode) {
    DocumentWindow* doc = window->AddDocument(SampleDocument().release());
    window->ShowPlaced();
    CTreeListCore& core = doc->Tree().Core();
    ASSERT_EQ(core.RowCount(), 1);
    window->RunCommand(cmd::kExpand);
    EXPECT_EQ(core.RowCount(), 4);
    window->RunCommand(cmd::kCollapse);
    EXPECT_EQ(core.RowCount(), 1);
    window->RunCommand(cmd::kExpandLots);
    EXPECT_GT(core.RowCount(), 4);
    // Menus ask the node what is possible; the status bar gets the prompts.
    EXPECT_EQ(window->Action(cmd::kDumpToFile)->statusTip(), "Dump this thing to a file");
    EXPECT_EQ(window->Action(cmd::kExpand)->text(), "&Expand\tNum +");
    EXPECT_NE(window->PopupMenu(139), nullptr);
    EXPECT_NE(window->PopupMenu(141), nullptr);
    EXPECT_EQ(window->PopupMenu(0), nullptr);
}

QMenu* MenuNamed(MainWindow& window, const QString& title) {
    for (QAction* a : window.menuBar()->actions()) {
        if (a->text() == title)
            return a->menu();
    }
    return nullptr;
}

CTreeListNode* FindRow(CTreeListCore& core, std::string_view label) {
    for (int r = 0; r < core.RowCount(); ++r) {
        if (core.NodeAt(r)->GetLabel() == label)
            return core.NodeAt(r);
    }
    return nullptr;
}

TEST_F(ProgramFixture, RowPopupShowsPlainExpandAndCollapse) {
    window->AddDocument(SampleDocument().release());
    window->ShowPlaced();
    QMenu* popup = window->PopupMenu(139);
    ASSERT_NE(popup, nullptr);
    emit popup->aboutToShow();
    const QList<QAction*> items = popup->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "&Expand");
    EXPECT_EQ(items[1]->text(), "&Collapse");
    EXPECT_TRUE(items[0]->isEnabled()) << "the root is collapsed";
    EXPECT_FALSE(items[1]->isEnabled());
    // The Data menu keeps the keys beside the texts.
    emit MenuNamed(*window, "&Data")->aboutToShow();
    EXPECT_EQ(window->Action(cmd::kExpand)->text(), "&Expand\tNum +");
    EXPECT_EQ(window->Action(cmd::kCollapse)->text(), "&Collapse\tNum -");
    // Both run the same command.
    items[0]->trigger();
    EXPECT_EQ(window->ActiveDocument()->Tree().Core().RowCount(), 4);
}

TEST_F(ProgramFixture, CopyIsEnabledOnlyWhereItCopies) {
    DocumentWindow* doc = window->AddDocument(SampleDocument().release());
    window->ShowPlaced();
    QMenu* edit = MenuNamed(*window, "&Edit");
    ASSERT_NE(edit, nullptr);
    QAction* copy = window->Action(57634);
    doc->Tree().setFocus();
    emit edit->aboutToShow();
    EXPECT_FALSE(copy->isEnabled()) << "the tree pane copies nothing";
    doc->Info().setFocus();
    emit edit->aboutToShow();
    EXPECT_TRUE(copy->isEnabled());
    doc->Tree().setFocus();
    emit edit->aboutToShow();
    EXPECT_FALSE(copy->isEnabled());
}

TEST_F(ProgramFixture, ViewCommandsOnHiddenTypesAreEnabledAndWork) {
    DocumentWindow* doc = window->AddDocument(SampleDocument().release());
    window->ShowPlaced();
    CTreeListCore& core = doc->Tree().Core();
    window->RunCommand(cmd::kExpandLots);
    ASSERT_NE(FindRow(core, "Design Elements"), nullptr);
    doc->Tree().SelectAndNotify(FindRow(core, "Design Elements"));
    QMenu* view = MenuNamed(*window, "&View");
    ASSERT_NE(view, nullptr);
    QAction* showAllData = window->Action(cmd::kShowAllData);
    QAction* placeholders = window->Action(cmd::kPlaceholders);
    emit view->aboutToShow();
    EXPECT_FALSE(showAllData->isEnabled()) << "nothing is hidden";
    EXPECT_TRUE(placeholders->isEnabled());
    EXPECT_TRUE(placeholders->isChecked());

    window->RunCommand(cmd::kHideAll);
    EXPECT_EQ(FindRow(core, "Form A"), nullptr);
    EXPECT_EQ(FindRow(core, "Design Elements"), nullptr);
    ASSERT_NE(FindRow(core, "(- Hidden Design Elements -)"), nullptr);
    emit view->aboutToShow();
    EXPECT_TRUE(showAllData->isEnabled());

    window->RunCommand(cmd::kPlaceholders);
    EXPECT_EQ(FindRow(core, "(- Hidden Design Elements -)"), nullptr);
    emit view->aboutToShow();
    EXPECT_FALSE(placeholders->isChecked());
    window->RunCommand(cmd::kPlaceholders);
    ASSERT_NE(FindRow(core, "(- Hidden Design Elements -)"), nullptr);

    doc->Tree().SelectAndNotify(FindRow(core, "(- Hidden Design Elements -)"));
    QMenu* popup = window->PopupMenu(141);
    emit popup->aboutToShow();
    QAction* hidePlaceholders = window->Action(cmd::kHidePlaceholders);
    EXPECT_TRUE(hidePlaceholders->isEnabled());
    window->RunCommand(cmd::kHidePlaceholders);
    EXPECT_EQ(FindRow(core, "(- Hidden Design Elements -)"), nullptr);

    window->RunCommand(cmd::kShowAllData);
    EXPECT_NE(FindRow(core, "Design Elements"), nullptr);
    emit view->aboutToShow();
    EXPECT_FALSE(showAllData->isEnabled());
}

TEST_F(ProgramFixture, SavedDocumentWindowStateIsUsed) {
    settings.WriteString("KelmarMDI", "WindowPos", "0,1,-1,-1,-1,-1,60,70,760,570,0");
    window->AddDocument(SampleDocument().release());
    window->ShowPlaced();
    QList<QMdiSubWindow*> subs = window->Area()->subWindowList();
    ASSERT_EQ(subs.size(), 1);
    EXPECT_FALSE(subs[0]->isMaximized());
    EXPECT_TRUE(window->PlacementText().endsWith(",0")) << window->PlacementText().toStdString();
    // A document opened later takes the state of the active one.
    window->AddDocument(SampleDocument().release());
    subs = window->Area()->subWindowList();
    ASSERT_EQ(subs.size(), 2);
    EXPECT_FALSE(subs[1]->isMaximized());

    // A stored 1 (or none at all) maximises the document window.
    settings.WriteString("KelmarMDI", "WindowPos", "0,1,-1,-1,-1,-1,60,70,760,570,1");
    MainWindow again;
    again.AddDocument(SampleDocument().release());
    again.ShowPlaced();
    EXPECT_TRUE(again.Area()->subWindowList().at(0)->isMaximized());
}

TEST_F(ProgramFixture, HighlightedMenuItemsShowTheirPromptInTheTitle) {
    window->AddDocument(SampleDocument().release());
    window->ShowPlaced();
    QMenu* view = nullptr;
    for (QAction* a : window->menuBar()->actions()) {
        if (a->text() == QStringLiteral("&View"))
            view = a->menu();
    }
    ASSERT_NE(view, nullptr);
    const QString title = window->windowTitle();
    ASSERT_TRUE(title.startsWith(QStringLiteral("Delvex")));
    emit view->hovered(window->Action(32768));
    EXPECT_TRUE(
        window->windowTitle().startsWith(QStringLiteral("Change the font used in this view")));
    emit view->hovered(view->actions().at(2)); // a separator has no prompt
    EXPECT_EQ(window->windowTitle(), title);
    emit view->hovered(window->Action(32801));
    emit view->hovered(window->Action(32796));
    emit view->aboutToHide();
    EXPECT_EQ(window->windowTitle(), title);

    emit view->hovered(window->Action(32801));
    window->SetMessageText(QStringLiteral(" "));
    EXPECT_EQ(window->windowTitle(), title) << "the idle text restores";
    window->showMinimized();
    window->SetMessageText(QStringLiteral("Dump this thing to a file"));
    EXPECT_EQ(window->windowTitle(), title) << "nothing while minimised";
}

TEST_F(ProgramFixture, PlacementIsWrittenOnCloseAndReadBack) {
    window->OpenDocument("");
    window->ShowPlaced();
    window->setGeometry(40, 50, 700, 450);
    window->close();
    const std::string text = settings.GetString("KelmarMDI", "WindowPos", "");
    const QStringList parts = QString::fromStdString(text).split(',');
    ASSERT_EQ(parts.size(), 11) << text;
    EXPECT_EQ(parts[0], "0");
    EXPECT_EQ(parts[1], "1");
    EXPECT_EQ(parts[10], "1"); // the document window was maximised

    // A window closed while minimised comes back normal, where it was.
    settings.WriteString("KelmarMDI", "WindowPos", "0,2,-1,-1,-1,-1,60,70,760,570,1");
    MainWindow again;
    again.ShowPlaced();
    EXPECT_FALSE(again.isMinimized());
    EXPECT_EQ(again.normalGeometry().width(), 700);
    // Junk is no placement at all.
    settings.WriteString("KelmarMDI", "WindowPos", "0,1,junk");
    MainWindow third;
    third.ShowPlaced();
    EXPECT_TRUE(third.isVisible());
}

TEST_F(ProgramFixture, DumpWritesTheSubtreeAndLeavesTheTreeAsItWas) {
    DocumentWindow* doc = window->AddDocument(SampleDocument().release());
    CTreeListCore& core = doc->Tree().Core();
    auto* root = dynamic_cast<CDocNode*>(core.NodeAt(0));
    ASSERT_NE(root, nullptr);
    QTemporaryDir dir;
    const std::string shallow = dir.filePath("shallow.txt").toStdString();
    const std::string deep = dir.filePath("deep.txt").toStdString();
    EXPECT_TRUE(DumpSubtreeToFile(*root, shallow, {}).written);
    EXPECT_TRUE(DumpSubtreeToFile(*root, deep, CollapsedDump()).written);
    EXPECT_EQ(core.RowCount(), 1) << "the dump collapses what it expanded";
    auto read = [](const std::string& f) {
        QFile file(QString::fromStdString(f));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    };
    EXPECT_TRUE(read(shallow).contains("sample.vlt"));
    EXPECT_FALSE(read(shallow).contains("Memo"));
    EXPECT_TRUE(read(deep).contains("Memo"));
    EXPECT_EQ(read(deep).count('('), read(deep).count(')'));
    // A file that cannot be written is reported, not passed off as written.
    EXPECT_FALSE(
        DumpSubtreeToFile(*root, dir.filePath("no/such/dir/x.txt").toStdString(), {}).written);
    // A cancel stops the walk with a marker.
    cancel::Request();
    const std::string cancelled = dir.filePath("cancelled.txt").toStdString();
    EXPECT_TRUE(DumpSubtreeToFile(*root, cancelled, CollapsedDump()).cancelled);
    EXPECT_TRUE(read(cancelled).contains("*** Cancelled ***"));
    cancel::Clear();
}

// Counts what it paints.
struct PaintCounter : QWidget {
    void paintEvent(QPaintEvent*) override { ++paints; }
    int paints = 0;
};

// The root of the sample tree, which presses Escape while it is written and then takes long
// enough for the dump to look at the input again.
class EscapeNode : public DescribedNode {
public:
    EscapeNode(QWidget& target) : DescribedNode(SampleTree()), target_(target) {}
    void WriteFields(CFieldWriter& w) override {
        DescribedNode::WriteFields(w);
        target_.update();
        QCoreApplication::postEvent(
            &target_, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        QTest::qSleep(60);
    }

private:
    QWidget& target_;
};

TEST(CancelWatchTest, EscapeCancelsADumpWhichRepaintsMeanwhile) {
    PaintCounter target;
    target.resize(50, 50);
    target.show();
    QCoreApplication::processEvents();
    auto doc = std::make_unique<CDelvexDoc>();
    doc->AddRoot(new EscapeNode(target));
    DocumentWindow window(std::move(doc));
    auto* root = dynamic_cast<CDocNode*>(window.Tree().Core().NodeAt(0));
    ASSERT_NE(root, nullptr);
    QTemporaryDir dir;
    const QString file = dir.filePath("escaped.txt");
    const int paintsBefore = target.paints;
    const DumpResult result = DumpSubtreeToFile(*root, file.toStdString(), CollapsedDump());
    const int paintsDuring = target.paints - paintsBefore;
    EXPECT_TRUE(result.cancelled);
    EXPECT_GT(paintsDuring, 0) << "the window is repainted while the dump runs";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains("*** Cancelled ***")) << text.toStdString();
    EXPECT_FALSE(text.contains("Memo"));
    EXPECT_EQ(window.Tree().Core().RowCount(), 1) << "what the dump expanded is collapsed";
    QCoreApplication::processEvents();
    EXPECT_FALSE(cancel::Requested()) << "forgotten once the program is idle";
    cancel::Clear();
}

TEST(CancelWatchTest, EscapeDuringAnOperationCancelsUntilIdle) {
    QWidget target;
    target.show();
    {
        cancelwatch::Scope scope;
        EXPECT_FALSE(cancel::Check());
        // Other keys are held back and do not cancel.
        QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
        QCoreApplication::sendEvent(&target, &shift);
        EXPECT_FALSE(cancel::Requested());
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &esc);
        EXPECT_TRUE(cancel::Check());
        QCoreApplication::processEvents();
        EXPECT_TRUE(cancel::Requested()) << "cleared while the operation still runs";
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(cancel::Requested());
}

TEST(InfoPanePageTest, SpareBytesFollowUninterpretedAndChangesAreReported) {
    CInfoPaneOptions options;
    InfoPanePage page(options);
    QCheckBox* uninterpreted = page.Box(4);
    QCheckBox* spare = page.Box(5);
    EXPECT_TRUE(spare->isEnabled());
    uninterpreted->setChecked(false);
    EXPECT_FALSE(spare->isEnabled());
    EXPECT_FALSE(InfoPanePage(options).ReadBack(options)) << "nothing changed";
    EXPECT_TRUE(page.ReadBack(options));
    EXPECT_EQ(options.ShowUninterpreted, 0);
    EXPECT_EQ(options.ShowComments, 1);
}

TEST(DumpDialogTest, StartsEmptyAndKeepsAtMost250Characters) {
    DumpDialog dialog;
    EXPECT_TRUE(dialog.FileName().isEmpty());
    EXPECT_FALSE(dialog.IncludeCollapsed());
    EXPECT_EQ(dialog.Format(), DumpFormat::Text);
    dialog.FormatBox()->setCurrentIndex(1);
    EXPECT_EQ(dialog.Format(), DumpFormat::Json);
    dialog.FormatBox()->setCurrentIndex(2);
    EXPECT_EQ(dialog.Format(), DumpFormat::JsonLines);
    dialog.SetFileName(QString(300, 'a'));
    EXPECT_EQ(dialog.FileName().size(), 250);
}

} // namespace
