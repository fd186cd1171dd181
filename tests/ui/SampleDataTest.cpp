// The program on the sample data: a real database opened, expanded and described, and a file
// that is no database reported without ending the program.
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/FrontEnd.h"
#include "common/MemorySettings.h"
#include "store/RecentPeeked.h"
#include "store/TNDatabase.h"
#include "ui/InfoPaneView.h"
#include "ui/MainWindow.h"
#include "ui/QtFrontEnd.h"
#include "ui/UiFixture.h"

namespace {

class RecordingFrontEnd : public CFrontEnd {
public:
    void ShowMessage(std::string_view title, std::string_view text) override {
        messages.emplace_back(std::string(title) + ": " + std::string(text));
    }
    int AskUser(std::string_view, store::MessageButtons) override { return store::kAnswerNone; }
    std::optional<DumpRequest> AskDumpFile() override { return std::nullopt; }
    std::vector<std::string> messages;
};

struct SampleFixture : ::testing::Test {
    void SetUp() override {
        qputenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR);
        window.SetFrontEnd(&frontEnd);
        window.resize(900, 500);
        window.show();
    }
    RecordingFrontEnd frontEnd;
    MainWindow window;
};

TEST_F(SampleFixture, ASampleDatabaseOpensExpandsAndDescribesItsRows) {
    const std::string path = std::string(DELVEX_SAMPLE_DATA_DIR) + "/contacts.vlt";
    ASSERT_TRUE(QFile::exists(QString::fromStdString(path)));
    DocumentWindow* doc = window.OpenDocument(path);
    TreeListWidget& tree = doc->Tree();
    ASSERT_EQ(tree.Core().RowCount(), 1);
    tree.setFocus();
    QTest::keyClick(tree.viewport(), Qt::Key_Right);
    EXPECT_GT(tree.Core().RowCount(), 3);
    // The database's recently peeked notes come first; its information block describes itself.
    QTest::keyClick(tree.viewport(), Qt::Key_Down);
    EXPECT_EQ(tree.Core().GetCurrent()->GetLabel(), "Recently Peeked Notes");
    QTest::keyClick(tree.viewport(), Qt::Key_Down);
    EXPECT_EQ(tree.Core().GetCurrent()->GetLabel(), "Database Information");
    EXPECT_EQ(doc->Document().GetCurrentNode(), tree.Core().GetCurrent());
    EXPECT_FALSE(doc->Info().PlainText().isEmpty());
    EXPECT_EQ(doc->Path().Labels().size(), 2);
    EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(SampleFixture, AFileThatIsNoDatabaseIsReportedAndTheProgramGoesOn) {
    QTemporaryDir dir;
    const QString junk = dir.filePath("junk.vlt");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is not a database at all");
    file.close();
    DocumentWindow* doc = window.OpenDocument(junk.toStdString());
    TreeListWidget& tree = doc->Tree();
    tree.setFocus();
    QTest::keyClick(tree.viewport(), Qt::Key_Right);
    // The failure hangs on the database as its only child, in the error colour, naming the
    // problem; the window goes on working.
    ASSERT_EQ(tree.Core().RowCount(), 2);
    CTreeListNode* error = tree.Core().NodeAt(1);
    EXPECT_EQ(error->GetLevel(), 1);
    EXPECT_TRUE(error->GetLabel().starts_with("Couldn't open database")) << error->GetLabel();
    QTest::keyClick(tree.viewport(), Qt::Key_Down);
    EXPECT_TRUE(doc->Info().PlainText().contains(QStringLiteral("The file is not a database")))
        << doc->Info().PlainText().toStdString();
    DocumentWindow* next = window.OpenDocument("");
    EXPECT_GE(next->Tree().Core().RowCount(), 1);
}

// A database opened in one window appears in the recently peeked databases of another: the
// add reaches every open window, whose row then offers to expand.
TEST(RecentInWindows, ADatabaseOpenedInOneWindowIsOfferedInAnother) {
    qputenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR);
    CMemorySettings settings;
    recent::CreateProgramLists(settings);
    {
        QtFrontEnd frontEnd;
        ASSERT_TRUE(frontEnd.CreateMainFrame());
        MainWindow& window = *frontEnd.Window();
        DocumentWindow* browse = window.OpenDocument("");
        CTreeListCore& rows = browse->Tree().Core();
        ASSERT_GE(rows.RowCount(), 1);
        CTreeListNode* recentRow = rows.NodeAt(0);
        ASSERT_EQ(recentRow->GetLabel(), "Recently Peeked Databases");
        EXPECT_FALSE(recentRow->ShowsExpandBox());

        const std::string path = std::string(DELVEX_SAMPLE_DATA_DIR) + "/contacts.vlt";
        DocumentWindow* doc = window.OpenDocument(path);
        doc->Tree().Core().Expand(doc->Tree().Core().NodeAt(0));
        EXPECT_TRUE(recentRow->ShowsExpandBox());
        rows.Expand(recentRow);
        ASSERT_NE(recentRow->GetFirstChild(), nullptr);
        // The title is kept to its first 33 characters; the path is whole.
        auto* listed = dynamic_cast<TNDatabase*>(recentRow->GetFirstChild());
        ASSERT_NE(listed, nullptr);
        EXPECT_EQ(listed->GetPath(), path);
        EXPECT_EQ(listed->GetLabel(), path.substr(0, 33));
    }
    EXPECT_TRUE(recent::SaveAndDestroyProgramLists(settings));
    EXPECT_FALSE(settings.GetString("Recent Databases", "DBs.a").empty());
}

} // namespace
