// The help window: What's This? on a row, the Help menu, F1 and context help mode, one window
// reused throughout, its pages read from the program's resources.
#include <QMdiArea>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "tree/CommandIds.h"
#include "ui/HelpViewer.h"
#include "ui/InfoPaneView.h"
#include "ui/QtFrontEnd.h"
#include "ui/UiFixture.h"

using namespace uitest;

namespace {

constexpr std::uint32_t kHelpContents = 57666;
constexpr std::uint32_t kContextHelp = 57669;
constexpr std::uint32_t kHelpCurrent = 57670;

struct HelpFixture : ::testing::Test {
    void SetUp() override {
        previous = OverrideProgramSettings(&settings);
        ASSERT_TRUE(frontEnd.CreateMainFrame());
        window = frontEnd.Window();
        window->resize(900, 500);
        // The document answers What's This? through the front end, as in the program.
        auto* doc = new CDelvexDoc(nullptr, &frontEnd);
        doc->SetTitle("sample.vlt");
        doc->AddRoot(new DescribedNode(SampleTree()));
        docWindow = window->AddDocument(doc);
        window->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        if (HelpViewer* viewer = HelpViewer::Instance())
            delete viewer;
        OverrideProgramSettings(previous);
    }
    CTreeListCore& core() { return docWindow->Tree().Core(); }
    CTreeListNode* Find(std::string_view label) {
        for (int r = 0; r < core().RowCount(); ++r) {
            if (core().NodeAt(r)->GetLabel() == label)
                return core().NodeAt(r);
        }
        return nullptr;
    }
    // The page shown and its title, read from the resource: an empty title means no page.
    static std::pair<QString, QString> Shown() {
        HelpViewer* viewer = HelpViewer::Instance();
        if (!viewer)
            return {};
        return {viewer->CurrentPage(), viewer->Browser().documentTitle()};
    }

    CMemorySettings settings;
    CSettings* previous = nullptr;
    QtFrontEnd frontEnd;
    MainWindow* window = nullptr;
    DocumentWindow* docWindow = nullptr;
};

using Page = std::pair<QString, QString>;

TEST_F(HelpFixture, WhatsThisOpensTheNodesTopicInOneReusedWindow) {
    ASSERT_EQ(HelpViewer::Instance(), nullptr);
    window->RunCommand(cmd::kWhatsThis); // the database root is selected
    HelpViewer* viewer = HelpViewer::Instance();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(Shown(), Page("databases.html", "Databases"));
    EXPECT_TRUE(viewer->Browser().toPlainText().contains(QStringLiteral("Database Information")));

    window->RunCommand(cmd::kExpand);
    docWindow->Tree().SelectAndNotify(Find("Design Elements"));
    window->RunCommand(cmd::kWhatsThis);
    EXPECT_EQ(HelpViewer::Instance(), viewer) << "a second window was opened";
    EXPECT_EQ(Shown(), Page("design-elements.html", "Design Elements"));

    // Back and forward walk the topics shown, links lead between them.
    viewer->Browser().backward();
    EXPECT_EQ(Shown().first, "databases.html");
    viewer->Browser().forward();
    EXPECT_EQ(Shown().first, "design-elements.html");
    viewer->Browser().setSource(QUrl(QStringLiteral("forms.html")));
    EXPECT_EQ(Shown(), Page("forms.html", "Forms"));

    // Closed, it comes back fresh on the next request.
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(HelpViewer::Instance(), nullptr);
    window->RunCommand(cmd::kWhatsThis);
    EXPECT_EQ(Shown().first, "design-elements.html");
}

TEST_F(HelpFixture, ContentsAndF1) {
    window->RunCommand(kHelpContents);
    EXPECT_EQ(Shown(), Page("contents.html", "Delvex Help"));

    // F1 is help on the current context: the selected node's topic.
    QAction* f1 = window->Action(kHelpCurrent);
    ASSERT_NE(f1, nullptr);
    EXPECT_TRUE(f1->shortcuts().contains(QKeySequence(Qt::Key_F1)));
    EXPECT_TRUE(window->Action(kHelpContents)->shortcuts().isEmpty());
    EXPECT_TRUE(
        window->Action(kContextHelp)->shortcuts().contains(QKeySequence(Qt::SHIFT | Qt::Key_F1)));
    window->RunCommand(cmd::kExpand);
    docWindow->Tree().SelectAndNotify(Find("Documents"));
    f1->trigger();
    EXPECT_EQ(Shown(), Page("documents.html", "Documents"));

    // With no document, F1 falls back to the contents.
    window->Area()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    f1->trigger();
    EXPECT_EQ(Shown().first, "contents.html");
}

TEST_F(HelpFixture, ContextHelpModeTakesOneClick) {
    window->RunCommand(cmd::kExpand);
    CTreeListNode* docs = Find("Documents");
    CTreeListNode* root = core().NodeAt(0);
    ASSERT_NE(docs, nullptr);
    TreeListWidget& tree = docWindow->Tree();

    window->RunCommand(kContextHelp);
    EXPECT_TRUE(HelpViewer::InContextHelp());
    EXPECT_EQ(HelpViewer::Instance(), nullptr) << "nothing opens before the click";
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, RowPoint(tree, *docs, 200));
    EXPECT_FALSE(HelpViewer::InContextHelp());
    EXPECT_EQ(Shown(), Page("documents.html", "Documents"));
    EXPECT_EQ(core().GetCurrent(), root) << "the help click also selected the row";

    // The mode is over: the next click is an ordinary one.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, RowPoint(tree, *docs, 200));
    EXPECT_EQ(core().GetCurrent(), docs);
    EXPECT_EQ(Shown().first, "documents.html");

    // A click away from the rows asks for the contents.
    window->RunCommand(kContextHelp);
    QTest::mouseClick(&docWindow->Info(), Qt::LeftButton);
    EXPECT_EQ(Shown().first, "contents.html");

    // Escape leaves the mode without help; the key does nothing else.
    window->RunCommand(kContextHelp);
    QTest::keyClick(tree.viewport(), Qt::Key_Escape);
    EXPECT_FALSE(HelpViewer::InContextHelp());
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, RowPoint(tree, *root, 200));
    EXPECT_EQ(core().GetCurrent(), root);
    EXPECT_EQ(Shown().first, "contents.html");
}

} // namespace
