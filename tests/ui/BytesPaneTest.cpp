// The bytes pane: the selected node's bytes beside the fields that explain them. A field
// chosen in the info pane lights its bytes, a byte clicked or reached with the keys chooses
// the innermost field over it, and whether the pane is shown outlives the program.
#include <QAction>
#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "ui/BytesPane.h"
#include "ui/InfoPaneView.h"
#include "ui/UiFixture.h"

using namespace uitest;

namespace {

// Ten bytes: "outer" holds 0-3 with "inner" at 2-3 inside it, "tail" holds 4-5, and 6-9 are
// explained by no field.
class RangedNode : public fake::Node {
public:
    RangedNode() : fake::Node(fake::Desc(33, "Ranged", {}, false)) {}
    bool NodeBytes(std::span<const std::uint8_t>& bytes) const override {
        bytes = bytes_;
        return true;
    }
    void WriteFields(CFieldWriter& w) override {
        w.NextRange(0, 4);
        w.BeginField("outer");
        w.NumberField("plain", 1);
        w.NextRange(2, 2);
        w.Hex4Field("inner", 0x0403);
        w.EndField();
        w.NextRange(4, 2);
        w.NumberField("tail", 0xBBAA);
        w.NumberField("computed", 7);
    }

private:
    const std::uint8_t bytes_[10] = {1, 2, 3, 4, 0xAA, 0xBB, 'x', 'y', 'z', 0};
};

struct BytesFixture : ::testing::Test {
    void SetUp() override {
        previous = OverrideProgramSettings(&settings);
        window = std::make_unique<MainWindow>();
        window->resize(900, 600);
        auto* doc = new CDelvexDoc;
        doc->SetTitle("ranged");
        node = new RangedNode;
        doc->AddRoot(node);
        docWindow = window->AddDocument(doc);
        window->show();
        QCoreApplication::processEvents();
        ASSERT_EQ(docWindow->Document().GetCurrentNode(), node);
    }
    void TearDown() override {
        window.reset();
        OverrideProgramSettings(previous);
    }
    // The index of the field of that label in the info pane's layout.
    int FieldOfLine(int line) {
        InfoPaneView& info = docWindow->Info();
        return FieldAtY(info.Fields(), 3 + line * info.Metrics().lineHeight);
    }
    void ClickInfoLine(int line) {
        InfoPaneView& info = docWindow->Info();
        QTest::mouseClick(info.viewport(), Qt::LeftButton, {},
                          QPoint(20, 3 + line * info.Metrics().lineHeight + 2));
    }

    CMemorySettings settings;
    CSettings* previous = nullptr;
    std::unique_ptr<MainWindow> window;
    RangedNode* node = nullptr;
    DocumentWindow* docWindow = nullptr;
};

TEST_F(BytesFixture, TheNodesBytesAreShownWithTheUnexplainedOnesShaded) {
    BytesPane& bytes = docWindow->Bytes();
    ASSERT_EQ(bytes.ByteCount(), 10u);
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(bytes.Explained(i), i < 6) << i;
}

TEST_F(BytesFixture, SelectingAFieldHighlightsItsBytes) {
    BytesPane& bytes = docWindow->Bytes();
    // Lines: outer, plain, inner, tail, computed.
    ClickInfoLine(2);
    EXPECT_EQ(docWindow->Info().SelectedField(), FieldOfLine(2));
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(bytes.Highlighted(i), i == 2 || i == 3) << i;
    ClickInfoLine(0);
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(bytes.Highlighted(i), i < 4) << i;
    // A field that carries no range lights nothing.
    ClickInfoLine(4);
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_FALSE(bytes.Highlighted(i)) << i;
}

TEST_F(BytesFixture, ClickingAByteSelectsTheInnermostFieldOverIt) {
    BytesPane& bytes = docWindow->Bytes();
    InfoPaneView& info = docWindow->Info();
    QTest::mouseClick(bytes.viewport(), Qt::LeftButton, {}, bytes.ByteCentre(3));
    EXPECT_EQ(info.SelectedField(), FieldOfLine(2)); // inner, not outer
    QTest::mouseClick(bytes.viewport(), Qt::LeftButton, {}, bytes.ByteCentre(1));
    EXPECT_EQ(info.SelectedField(), FieldOfLine(0)); // outer
    QTest::mouseClick(bytes.viewport(), Qt::LeftButton, {}, bytes.ByteCentre(8));
    EXPECT_EQ(info.SelectedField(), -1);
    // The arrow keys walk the bytes and choose as a click does.
    QTest::keyClick(bytes.viewport(), Qt::Key_Left);
    QTest::keyClick(bytes.viewport(), Qt::Key_Left);
    EXPECT_EQ(bytes.CursorByte(), 6u);
    QTest::keyClick(bytes.viewport(), Qt::Key_Left);
    EXPECT_EQ(bytes.CursorByte(), 5u);
    EXPECT_EQ(info.SelectedField(), FieldOfLine(3)); // tail
    EXPECT_TRUE(bytes.Highlighted(4));
    // Tab leaves the pane for the next one.
    window->activateWindow();
    bytes.setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(bytes.hasFocus());
    QTest::keyClick(&bytes, Qt::Key_Tab);
    EXPECT_FALSE(bytes.hasFocus());
}

TEST_F(BytesFixture, TheViewMenuHidesThePaneAndTheSettingsKeepIt) {
    auto* action = window->findChild<QAction*>(QStringLiteral("bytesPaneAction"));
    ASSERT_TRUE(action);
    EXPECT_EQ(action->text(), QStringLiteral("&Bytes Pane"));
    EXPECT_TRUE(action->isChecked());
    EXPECT_TRUE(docWindow->BytesPaneShown());
    action->trigger();
    EXPECT_FALSE(docWindow->BytesPaneShown());
    EXPECT_EQ(settings.GetInt("Bytes Pane", "Show", 1), 0);
    // The next window starts as the last one was left.
    auto next = std::make_unique<MainWindow>();
    auto* nextAction = next->findChild<QAction*>(QStringLiteral("bytesPaneAction"));
    ASSERT_TRUE(nextAction);
    EXPECT_FALSE(nextAction->isChecked());
    auto* doc = new CDelvexDoc;
    doc->AddRoot(new RangedNode);
    EXPECT_FALSE(next->AddDocument(doc)->BytesPaneShown());
    action->trigger();
    EXPECT_EQ(settings.GetInt("Bytes Pane", "Show", 0), 1);
}

} // namespace
