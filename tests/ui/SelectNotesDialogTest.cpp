// The Select Notes dialog over its logic: what it shows and enables, what OK refuses and
// accepts, the recent list; and the road from the menu command to a new set of notes.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "output/CompiledFormula.h"
#include "output/StatusMessage.h"
#include "store/NoteSelectorMru.h"
#include "store/SelectNotesCore.h"
#include "tree/DocNode.h"
#include "ui/QtFrontEnd.h"
#include "ui/SelectNotesDialog.h"
#include "ui/UiFixture.h"

namespace {

class RecordingBox : public CMessageBox {
public:
    RecordingBox() : previous_(SetMessageBox(this)) {}
    ~RecordingBox() override { SetMessageBox(previous_); }
    void ShowError(std::string_view title, std::string_view text) override {
        shown.emplace_back(std::string(title) + ": " + std::string(text));
    }
    std::vector<std::string> shown;

private:
    CMessageBox* previous_;
};

NoteSelector Modified() {
    NoteSelector s;
    s.formula = "match #Form == \"Memo\"";
    s.onlyModified = true;
    s.dateOption = NoteSelector::kSince;
    s.dateText = "2026/01/01";
    s.documents = false;
    s.designElements = s.limitOn = true;
    s.limit = 40;
    return s;
}

struct DialogFixture : ::testing::Test {
    CMemorySettings settings;
    NoteSelectorMru mru;
    RecordingBox box;
};

TEST_F(DialogFixture, ShowsTheValuesAndEnablesByTheCheckBoxes) {
    CSelectNotesCore core(mru, settings, Modified(), false);
    SelectNotesDialog dlg(core);
    EXPECT_EQ(dlg.FormulaField()->text(), "match #Form == \"Memo\"");
    EXPECT_EQ(dlg.DateOptionCombo()->currentText(), "since");
    EXPECT_EQ(dlg.DateField()->text(), "2026/01/01");
    EXPECT_EQ(dlg.LimitField()->text(), "40");
    EXPECT_TRUE(!dlg.KindBox(0)->isChecked() && dlg.KindBox(1)->isChecked());
    EXPECT_TRUE(dlg.DateField()->isEnabled() && dlg.DateOptionCombo()->isEnabled());
    EXPECT_TRUE(dlg.LimitField()->isEnabled() && dlg.OkButton()->isEnabled());

    dlg.OnlyModifiedBox()->setChecked(false);
    dlg.LimitBox()->setChecked(false);
    EXPECT_FALSE(dlg.DateField()->isEnabled() || dlg.DateOptionCombo()->isEnabled());
    EXPECT_FALSE(dlg.LimitField()->isEnabled());
    dlg.KindBox(1)->setChecked(false);
    EXPECT_FALSE(dlg.OkButton()->isEnabled());
    dlg.KindBox(2)->setChecked(true);
    EXPECT_TRUE(dlg.OkButton()->isEnabled());
    // Every change reaches the logic as it happens.
    dlg.FormulaField()->clear();
    QTest::keyClicks(dlg.FormulaField(), "@All");
    dlg.DateOptionCombo()->setCurrentIndex(NoteSelector::kInTheLast);
    const CSelectNotesCore::Controls& v = core.Values();
    EXPECT_EQ(v.formula, "@All");
    EXPECT_EQ(v.dateOption, NoteSelector::kInTheLast);
    EXPECT_FALSE(v.onlyModified || v.limitOn || v.designElements || v.documents);
    EXPECT_TRUE(v.deletionStubs);
}

TEST_F(DialogFixture, RefusedValuesKeepTheDialogOpenAtTheFieldAtFault) {
    CSelectNotesCore core(mru, settings, NoteSelector{}, false);
    SelectNotesDialog dlg(core);
    dlg.show();
    dlg.LimitBox()->setChecked(true);
    dlg.LimitField()->setText("0");
    dlg.OkButton()->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.focusWidget(), dlg.LimitField());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].find("999999"), std::string::npos) << box.shown[0];
    dlg.LimitField()->setText("12");

    // A period the store cannot read: its status message alone.
    dlg.OnlyModifiedBox()->setChecked(true);
    dlg.DateField()->setText("2 weeks");
    dlg.OkButton()->click();
    EXPECT_EQ(dlg.focusWidget(), dlg.DateField());
    char expected[300];
    FormatStatusMessage(expected, sizeof expected, store::kInvalidTime, nullptr);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1], std::string("Error: ") + expected);
    dlg.DateField()->setText("2 d");

    // A syntax error selects the compiler's span, which counts bytes: the accented letter
    // before it is two bytes but one character of the field.
    const std::string bad = "match #Form == \"M\xC3\xA9mo\" and (";
    const FormulaCompileResult compiled = CompileFormulaText(bad);
    ASSERT_EQ(compiled.status, store::kFormulaSyntax);
    dlg.FormulaField()->setText(QString::fromStdString(bad));
    dlg.OkButton()->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.focusWidget(), dlg.FormulaField());
    EXPECT_EQ(box.shown.size(), 3u);
    EXPECT_EQ(dlg.FormulaField()->selectionStart(),
              QString::fromUtf8(bad.substr(0, compiled.errorOffset)).size());
    EXPECT_EQ(dlg.FormulaField()->selectedText(),
              QString::fromUtf8(bad.substr(compiled.errorOffset, compiled.errorLength)));
    EXPECT_EQ(mru.Count(), 0u);
}

TEST_F(DialogFixture, OkWithGoodValuesGivesTheSelectorEvenWhenItCannotBeRemembered) {
    settings.FailWritesAfter(0);
    CSelectNotesCore core(mru, settings, NoteSelector{}, false);
    SelectNotesDialog dlg(core);
    dlg.show();
    dlg.KindBox(1)->setChecked(true);
    dlg.OnlyModifiedBox()->setChecked(true);
    dlg.DateField()->setText("30 days");
    dlg.LimitBox()->setChecked(true);
    dlg.LimitField()->setText("7");
    dlg.OkButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(core.Selector().Description(), "Notes in the last 30 days (at most 7)");
    ASSERT_EQ(box.shown.size(), 1u); // the user learns that the recent list was not saved
    EXPECT_NE(box.shown[0].find("Couldn't save"), std::string::npos) << box.shown[0];
}

TEST_F(DialogFixture, TheRecentComboLoadsItsEntriesAndClearEmptiesIt) {
    ASSERT_TRUE(mru.Add(Modified(), settings));
    NoteSelector own; // accepted before: it joins the front of the list
    own.limitOn = true;
    own.limit = 3;
    CSelectNotesCore core(mru, settings, own, true);
    SelectNotesDialog dlg(core);
    QComboBox* recent = dlg.RecentCombo();
    ASSERT_EQ(recent->count(), 2);
    EXPECT_EQ(recent->itemText(0), "All Documents (at most 3)");
    EXPECT_EQ(recent->currentIndex(), 0);
    EXPECT_EQ(dlg.LimitField()->text(), "3");

    recent->setCurrentIndex(1);
    emit recent->activated(1);
    EXPECT_EQ(dlg.DateField()->text(), "2026/01/01");
    EXPECT_TRUE(dlg.DateField()->isEnabled());
    EXPECT_EQ(dlg.LimitField()->text(), "40");
    EXPECT_TRUE(core.Values().designElements);

    dlg.ClearButton()->click();
    EXPECT_EQ(recent->currentIndex(), -1);
    EXPECT_EQ(dlg.DateField()->text(), "90 days");
    EXPECT_FALSE(dlg.DateField()->isEnabled() || dlg.LimitField()->isEnabled());
    EXPECT_EQ(core.Values().formula, "");
}

// "&Select Notes..." on a sample database in the desktop program: OK adds a set labelled by
// the choice and holding no more notes than its limit; Cancel adds nothing.
TEST(SelectNotesProgram, SelectNotesAddsASetToTheDatabase) {
    qputenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR);
    const std::string path = std::string(DELVEX_SAMPLE_DATA_DIR) + "/contacts.vlt";
    ASSERT_TRUE(QFile::exists(QString::fromStdString(path)));
    CSelectNotesPrompt* before = GetSelectNotesPrompt();
    CMessageBox* boxBefore = GetMessageBox();
    {
        QtFrontEnd frontEnd;
        ASSERT_TRUE(frontEnd.CreateMainFrame());
        RecordingBox box;
        MainWindow& window = *frontEnd.Window();
        window.show();
        DocumentWindow* doc = window.OpenDocument(path);
        CTreeListCore& tree = doc->Tree().Core();
        CTreeListNode* database = tree.NodeAt(0);
        tree.Select(database);
        tree.SendSelectionNotifications(true);
        ASSERT_EQ(doc->Document().GetCurrentNode(), database);

        bool seen = false;
        QTimer::singleShot(0, &window, [&] {
            if (auto* dlg = qobject_cast<SelectNotesDialog*>(QApplication::activeModalWidget())) {
                seen = true;
                dlg->ClearButton()->click();
                dlg->LimitBox()->setChecked(true);
                dlg->LimitField()->setText("2");
                dlg->OkButton()->click();
            }
        });
        window.RunCommand(docsetcmd::kSelectNotes);
        ASSERT_TRUE(seen) << "no Select Notes dialog";
        EXPECT_TRUE(box.shown.empty());
        CTreeListNode* set = database->GetLastChild();
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(set->GetLabel(), "All Documents (at most 2)");
        tree.Expand(set);
        EXPECT_EQ(set->ChildCount(), 2u);

        const std::size_t children = database->ChildCount();
        tree.Select(database);
        tree.SendSelectionNotifications(true);
        QTimer::singleShot(0, &window, [] {
            if (auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dlg->reject();
        });
        window.RunCommand(docsetcmd::kSelectNotes);
        EXPECT_EQ(database->ChildCount(), children);
    }
    // Both go with the main window.
    EXPECT_EQ(GetSelectNotesPrompt(), before);
    EXPECT_EQ(GetMessageBox(), boxBefore);
}

} // namespace
