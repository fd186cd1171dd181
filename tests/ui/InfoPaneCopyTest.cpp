// The info pane's popup copies the field under the pointer, its value or the whole
// description; Save Bytes As is offered only for nodes with bytes.
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "ui/InfoPaneView.h"
#include "ui/UiFixture.h"

using namespace uitest;

namespace {

using CopyFixture = ProgramFixture;

TEST_F(CopyFixture, PopupTextsAreTheFieldItsValueAndTheDescription) {
    DocumentWindow* doc = window->AddDocument(SampleDocument().release());
    window->ShowPlaced();
    CTreeListCore& core = doc->Tree().Core();
    doc->Tree().SelectAndNotify(core.NodeAt(0));
    InfoPaneView& info = doc->Info();
    const int firstLine = info.Metrics().lineHeight / 2;
    using What = InfoPaneView::CopyWhat;
    const QString field = info.CopyText(What::Field, firstLine);
    const QString value = info.CopyText(What::Value, firstLine);
    EXPECT_TRUE(field.startsWith(QStringLiteral("label"))) << field.toStdString();
    EXPECT_TRUE(field.contains(QStringLiteral("sample.vlt"))) << field.toStdString();
    EXPECT_TRUE(value.contains(QStringLiteral("sample.vlt"))) << value.toStdString();
    EXPECT_FALSE(value.contains(QStringLiteral("label"))) << value.toStdString();
    // Below the last line there is no field; the description is still there.
    EXPECT_EQ(info.CopyText(What::Field, 10000), QString());
    EXPECT_EQ(info.CopyText(What::Description, 10000), field + QLatin1Char('\n'));
}

TEST_F(CopyFixture, SaveBytesIsDisabledForANodeWithoutBytes) {
    DocumentWindow* doc = window->AddDocument(SampleDocument().release());
    window->ShowPlaced();
    doc->Tree().SelectAndNotify(doc->Tree().Core().NodeAt(0));
    QMenu* data = nullptr;
    for (QAction* a : window->menuBar()->actions())
        if (a->text() == QStringLiteral("&Data"))
            data = a->menu();
    ASSERT_NE(data, nullptr);
    emit data->aboutToShow();
    QAction* save = nullptr;
    for (QAction* a : data->actions())
        if (a->text().startsWith(QStringLiteral("Save &Bytes")))
            save = a;
    ASSERT_NE(save, nullptr);
    EXPECT_FALSE(save->isEnabled());
}

} // namespace
