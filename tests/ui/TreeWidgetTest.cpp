// The tree list widget with real key and mouse events, the path pane and the info pane.
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "ui/InfoPaneView.h"
#include "ui/UiFixture.h"

using namespace uitest;

namespace {

struct DocFixture : ::testing::Test {
    void SetUp() override {
        window = std::make_unique<DocumentWindow>(SampleDocument());
        window->resize(800, 400);
        window->show();
        tree = &window->Tree();
        tree->setFocus();
        QCoreApplication::processEvents();
    }
    CTreeListCore& core() { return tree->Core(); }
    CTreeListNode* Find(std::string_view label) {
        for (int r = 0; r < core().RowCount(); ++r) {
            if (core().NodeAt(r)->GetLabel() == label)
                return core().NodeAt(r);
        }
        return nullptr;
    }
    std::unique_ptr<DocumentWindow> window;
    TreeListWidget* tree = nullptr;
};

TEST_F(DocFixture, KeysExpandAndMoveAndNotifyOnRelease) {
    ASSERT_EQ(core().RowCount(), 1);
    QSignalSpy spy(tree, &TreeListWidget::selectionChanged);
    QTest::keyClick(tree->viewport(), Qt::Key_Right); // expands the database
    EXPECT_EQ(core().RowCount(), 4);
    QTest::keyPress(tree->viewport(), Qt::Key_Down);
    EXPECT_EQ(spy.count(), 0) << "notified while the key is still down";
    QTest::keyRelease(tree->viewport(), Qt::Key_Down);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(core().GetCurrent()->GetLabel(), "Design Elements");
    EXPECT_EQ(window->Document().GetCurrentNode(), core().GetCurrent());
    // Keypad plus expands, keypad minus collapses.
    QTest::keyClick(tree->viewport(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(core().RowCount(), 6);
    QTest::keyClick(tree->viewport(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(core().RowCount(), 4);
    // Type-ahead finds the next label starting with the typed text.
    QTest::keyClicks(tree->viewport(), "Em");
    EXPECT_EQ(core().GetCurrent()->GetLabel(), "Empty");
}

TEST_F(DocFixture, MouseOnExpandBoxTogglesOnlyWhenReleasedOnIt) {
    CTreeListNode* root = core().NodeAt(0);
    const QPoint box = RowPoint(*tree, *root, core().Indent() / 2);
    // Pressed on the box, released far away: nothing happens.
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, box);
    QTest::mouseMove(tree->viewport(), box + QPoint(300, 0));
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, box + QPoint(300, 0));
    EXPECT_EQ(core().RowCount(), 1);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box);
    EXPECT_EQ(core().RowCount(), 4);
    // A click on a label selects its row; a double click expands it.
    CTreeListNode* docs = Find("Documents");
    ASSERT_NE(docs, nullptr);
    const QPoint label = RowPoint(*tree, *docs, core().Layout(*docs).labelLeft + 3);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, label);
    EXPECT_EQ(core().GetCurrent(), docs);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, label);
    EXPECT_NE(Find("Memo"), nullptr);
}

TEST_F(DocFixture, PathPaneShowsOneRowPerLevelAndClicksSelectInTheTree) {
    QTest::keyClick(tree->viewport(), Qt::Key_Asterisk, Qt::KeypadModifier);
    CTreeListNode* memo = Find("Memo");
    ASSERT_NE(memo, nullptr);
    tree->SelectAndNotify(memo);
    EXPECT_EQ(window->Path().Labels(), (QStringList{"sample.vlt", "Documents", "Memo"}));
    tree->SelectAndNotify(core().NodeAt(0));
    EXPECT_EQ(window->Path().Labels(), QStringList{"sample.vlt"});
    // Collapsing the selected chain leaves no path row naming a deleted node.
    tree->SelectAndNotify(memo);
    tree->SelectAndNotify(Find("Documents"));
    QTest::keyClick(tree->viewport(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(window->Path().Labels(), (QStringList{"sample.vlt", "Documents"}));
    PathPane& path = window->Path();
    QTest::mouseClick(path.viewport(), Qt::LeftButton, {},
                      RowPoint(path, *path.Core().NodeAt(0),
                               path.Core().Layout(*path.Core().NodeAt(0)).labelLeft + 2));
    QCoreApplication::processEvents();
    EXPECT_EQ(core().GetCurrent(), core().NodeAt(0));
}

TEST_F(DocFixture, InfoPaneShowsTheSelectedNodesFields) {
    EXPECT_TRUE(window->Info().PlainText().contains("sample.vlt"));
    QTest::keyClick(tree->viewport(), Qt::Key_Right);
    QTest::keyClick(tree->viewport(), Qt::Key_Down);
    const QString text = window->Info().PlainText();
    EXPECT_TRUE(text.contains("label")) << text.toStdString();
    EXPECT_TRUE(text.contains("Design Elements")) << text.toStdString();
    EXPECT_FALSE(text.contains("sample.vlt"));
    // A larger font moves the value column to the right.
    const int before = window->Info().Metrics().valueColumn;
    FontDesc big = window->Info().FontDescription();
    big.height = -26;
    window->Info().SetFontDescription(big);
    EXPECT_GT(window->Info().Metrics().valueColumn, before);
}

TEST_F(DocFixture, RightClickOnRowAsksForItsPopupMenu) {
    CTreeListNode* root = core().NodeAt(0);
    root->SetMenuId(139);
    QSignalSpy spy(window.get(), &DocumentWindow::popupMenuRequested);
    const QPoint label = RowPoint(*tree, *root, core().Layout(*root).labelLeft + 2);
    QTest::mousePress(tree->viewport(), Qt::RightButton, {}, label);
    QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, label);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toUInt(), 139u);
}

} // namespace
