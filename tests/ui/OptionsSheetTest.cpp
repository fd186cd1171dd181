// The "View Options" sheet: its pages, the "Notes" page's enabling and formula check, the
// "Open" page's check-box rows, and options that change the labels of a real database's notes.
#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include "output/DocumentNodeOptions.h"
#include "output/MessageBox.h"
#include "store/TNDocument.h"
#include "ui/NotePages.h"
#include "ui/OptionsSheet.h"
#include "ui/QtFrontEnd.h"
#include "ui/UiFixture.h"

using namespace uitest;

namespace {

struct RecordingBox : CMessageBox {
    RecordingBox() { previous = SetMessageBox(this); }
    ~RecordingBox() override { SetMessageBox(previous); }
    void ShowError(std::string_view title, std::string_view text) override {
        shown.push_back(std::string(title) + ": " + std::string(text));
    }
    std::vector<std::string> shown;
    CMessageBox* previous = nullptr;
};

TEST(OptionsSheetTest, NotesPageEnablesOneWayOfLabellingAtATime) {
    auto doc = SampleDocument();
    OptionsSheet sheet(*doc);
    QStringList titles;
    for (int i = 0; i < sheet.Tabs().count(); ++i)
        titles << sheet.Tabs().tabText(i);
    EXPECT_EQ(titles, (QStringList{"Notes", "Open", "Items", "Info Pane"}));

    NotesPage& notes = sheet.Notes();
    ASSERT_TRUE(notes.SimpleButton()->isChecked());
    EXPECT_TRUE(notes.NoteIdBox()->isEnabled());
    EXPECT_TRUE(notes.DefaultBox()->isEnabled());
    EXPECT_FALSE(notes.FormulaField()->isEnabled());
    EXPECT_FALSE(notes.DesignBox()->isEnabled());
    notes.FormulaButton()->setChecked(true);
    EXPECT_FALSE(notes.NoteIdBox()->isEnabled());
    EXPECT_FALSE(notes.TitleBox()->isEnabled());
    EXPECT_TRUE(notes.FormulaField()->isEnabled());
    EXPECT_TRUE(notes.DesignBox()->isEnabled());
    EXPECT_TRUE(notes.CountBox()->isEnabled()) << "counting is independent of labels";
}

TEST(OptionsSheetTest, ABadLabelFormulaKeepsTheNotesPageWithTheFaultSelected) {
    auto doc = SampleDocument();
    RecordingBox box;
    OptionsSheet sheet(*doc);
    sheet.Tabs().setCurrentIndex(0);
    NotesPage& notes = sheet.Notes();
    notes.FormulaButton()->setChecked(true);
    notes.FormulaField()->setPlainText(QStringLiteral("#Subject .. (\"x\" + "));
    sheet.Tabs().setCurrentIndex(1);
    EXPECT_EQ(sheet.Tabs().currentIndex(), 0);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].rfind("Error: ", 0), 0u);
    const QTextCursor selected = notes.FormulaField()->textCursor();
    EXPECT_LE(selected.selectionEnd(), notes.FormulaField()->toPlainText().size());
    EXPECT_GT(selected.selectionStart(), 0) << "the fault is not at the start";

    // OK is refused the same way; a good formula lets the page go.
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
    EXPECT_EQ(box.shown.size(), 2u);
    notes.FormulaField()->setPlainText(QStringLiteral("#Subject .. \"!\""));
    sheet.Tabs().setCurrentIndex(2);
    EXPECT_EQ(sheet.Tabs().currentIndex(), 2);
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(sheet.Apply(), CDocumentNodeOptions::kLabelsChanged);
    EXPECT_FALSE(doc->DocumentOptions().Formula().Empty());
    EXPECT_EQ(doc->DocumentOptions().Values().titleType, 1);
}

TEST(OptionsSheetTest, OpenRowsAreTickedByTheirBitsAndSpaceTogglesThem) {
    auto doc = SampleDocument();
    DocumentNodeValues v = doc->DocumentOptions().Values();
    v.openFlags = 0x0201; // Summary, Abstract
    doc->DocumentOptions().Apply(v, CompiledFormula());
    OptionsSheet sheet(*doc);
    CTreeListCore& rows = sheet.Open().Rows().Core();
    ASSERT_EQ(rows.RowCount(), 9);
    std::vector<std::string> labels;
    std::vector<bool> ticked;
    for (int r = 0; r < rows.RowCount(); ++r) {
        labels.emplace_back(rows.NodeAt(r)->GetLabel());
        ticked.push_back(rows.NodeAt(r)->IsChecked());
    }
    // Rows of flags that change nothing in what an open gives say so.
    EXPECT_EQ(labels, (std::vector<std::string>{
                          "Summary", "NoVerifyDefault (no effect)", "Expand (no effect)",
                          "NoObjects", "Share (no effect)", "Canonical (no effect)",
                          "MarkRead (no effect)", "Abstract", "ResponseIdTable (no effect)"}));
    EXPECT_EQ(ticked,
              (std::vector<bool>{true, false, false, false, false, false, false, true, false}));

    sheet.Tabs().setCurrentIndex(1);
    sheet.show();
    TreeListWidget& widget = sheet.Open().Rows();
    widget.setFocus();
    rows.Select(rows.NodeAt(2)); // Expand
    QTest::keyClick(widget.viewport(), Qt::Key_Space);
    rows.Select(rows.NodeAt(0)); // Summary
    QTest::keyClick(widget.viewport(), Qt::Key_Space);
    EXPECT_EQ(sheet.Apply(), 0u) << "open flags change no label";
    EXPECT_EQ(doc->DocumentOptions().Values().openFlags, 0x0204);
}

TEST(OptionsSheetTest, ItemsAndInfoPaneChangesReportTheirOwnHints) {
    auto doc = SampleDocument();
    {
        OptionsSheet sheet(*doc);
        sheet.Items().SortBox()->setChecked(false);
        EXPECT_EQ(sheet.Apply(), CDocumentNodeOptions::kLabelsChanged);
        EXPECT_EQ(doc->DocumentOptions().Values().sortItems, 0);
    }
    {
        OptionsSheet sheet(*doc);
        EXPECT_EQ(sheet.Apply(), 0u) << "nothing changed";
    }
}

TEST(OptionsSheetTest, TheSheetOpensOnThePageItWasLastClosedOn) {
    auto doc = SampleDocument();
    {
        OptionsSheet sheet(*doc);
        sheet.Tabs().setCurrentIndex(2);
        sheet.reject();
    }
    OptionsSheet again(*doc);
    EXPECT_EQ(again.Tabs().currentIndex(), 2);
    again.Tabs().setCurrentIndex(0);
    again.reject();
}

TNDocument* FirstNote(CTreeListCore& core) {
    for (int r = 0; r < core.RowCount(); ++r) {
        if (auto* note = dynamic_cast<TNDocument*>(core.NodeAt(r)))
            return note;
    }
    return nullptr;
}

TEST(OptionsSheetTest, OkOnTheMenuCommandRelabelsTheNotesOfAnOpenDatabase) {
    qputenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR);
    RecordingBox box;
    QtFrontEnd frontEnd; // the views hear of the change through it
    ASSERT_TRUE(frontEnd.CreateMainFrame());
    MainWindow& window = *frontEnd.Window();
    window.resize(900, 500);
    window.show();
    DocumentWindow* doc =
        window.OpenDocument(std::string(DELVEX_SAMPLE_DATA_DIR) + "/contacts.vlt");
    CTreeListCore& core = doc->Tree().Core();
    core.Expand(core.NodeAt(0));
    for (int r = 0; r < core.RowCount(); ++r) {
        if (core.NodeAt(r)->GetLabel().starts_with("Documents"))
            core.Expand(core.NodeAt(r));
    }
    TNDocument* note = FirstNote(core);
    ASSERT_NE(note, nullptr);
    const std::string before(note->GetLabel());
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x: ", unsigned(note->GetNoteId()));
    ASSERT_FALSE(before.starts_with(hex));

    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* sheet = qobject_cast<OptionsSheet*>(QApplication::activeModalWidget());
        if (sheet == nullptr)
            return;
        shown = true;
        sheet->Tabs().setCurrentIndex(0);
        sheet->Notes().NoteIdBox()->setChecked(true);
        sheet->accept();
    });
    window.RunCommand(32801);
    ASSERT_TRUE(shown);
    EXPECT_EQ(std::string(note->GetLabel()), std::string(hex) + before);
    EXPECT_TRUE(box.shown.empty());
}

} // namespace
