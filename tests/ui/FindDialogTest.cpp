// Find...: the matches of a search over a sample database, and choosing one expands the tree
// to its node and selects it.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "tree/NodeDocument.h"
#include "ui/FindDialog.h"
#include "ui/UiFixture.h"

namespace {

struct FindFixture : ::testing::Test {
    void SetUp() override {
        previous = OverrideProgramSettings(&settings);
        qputenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR);
        window = std::make_unique<MainWindow>();
        window->resize(900, 500);
        window->show();
    }
    void TearDown() override {
        window.reset();
        OverrideProgramSettings(previous);
    }
    CMemorySettings settings;
    CSettings* previous = nullptr;
    std::unique_ptr<MainWindow> window;
};

TEST_F(FindFixture, MatchesAreListedAndChoosingOneSelectsItsNode) {
    DocumentWindow* doc =
        window->OpenDocument(std::string(DELVEX_SAMPLE_DATA_DIR) + "/richtext.vlt");
    ASSERT_NE(doc, nullptr);
    CTreeListCore& core = doc->Tree().Core();
    const int rowsBefore = core.RowCount();

    FindDialog find(doc->Tree());
    EXPECT_FALSE(find.RunSearch()) << "no criteria";
    find.ItemType()->setText(QStringLiteral("NoSuchType"));
    EXPECT_FALSE(find.RunSearch());
    EXPECT_TRUE(find.Status()->text().contains(QStringLiteral("NoSuchType")));

    find.ItemType()->clear();
    find.RecordKind()->setText(QStringLiteral("Text"));
    find.Text()->setText(QStringLiteral("budget"));
    ASSERT_TRUE(find.RunSearch());
    ASSERT_EQ(find.Matches()->count(), 1);
    EXPECT_TRUE(find.Matches()->item(0)->text().endsWith(
        QStringLiteral("Documents (1)/Untitled Report/Body/\"Budget\"")))
        << find.Matches()->item(0)->text().toStdString();
    EXPECT_EQ(find.Progress()->value(), find.Progress()->maximum());
    // The search leaves the tree as it was.
    EXPECT_EQ(core.RowCount(), rowsBefore);

    ASSERT_TRUE(find.ShowMatch(0));
    CDocNode* current = doc->Document().GetCurrentNode();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->GetLabel(), "\"Budget\"");
    EXPECT_EQ(core.GetCurrent(), current);
    EXPECT_GT(core.RowCount(), rowsBefore);
}

} // namespace
