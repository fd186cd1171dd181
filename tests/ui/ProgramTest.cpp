// The main window, its commands and settings, the dump, the option page, fonts and cancelling.
#include "common/MemorySettings.h"
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/ProgramSettings.h"
#include "tree/Cancel.h"
#include "tree/CommandIds.h"
#include "tree/DumpToFile.h"
#include "ui/CancelWatch.h"
#include "ui/Dialogs.h"
#include "ui/FontText.h"
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

struct ProgramFixture : ::testing::Test {
    void SetUp() override {
        previous = OverrideProgramSettings(&settings);
        window = std::make_unique<MainWindow>();
        window->resize(900, 500);
    }
    void TearDown() override {
        window.reset();
        OverrideProgramSettings(previous);
    }
    CMemorySettings settings;
    CSettings* previous = nullptr;
    std::unique_ptr<MainWindow> window;
};

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
    EXPECT_TRUE(DumpSubtreeToFile(*root, deep, {true, {}}).written);
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
    EXPECT_TRUE(DumpSubtreeToFile(*root, cancelled, {true, {}}).cancelled);
    EXPECT_TRUE(read(cancelled).contains("*** Cancelled ***"));
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
    dialog.SetFileName(QString(300, 'a'));
    EXPECT_EQ(dialog.FileName().size(), 250);
}

} // namespace
