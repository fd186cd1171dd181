// Shared pieces of the widget tests: a node that describes itself with one field, and a main
// window whose document is built from descriptions instead of a store.
#pragma once

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"

#include "output/FieldWriter.h"
#include "support/FakeTree.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/PathPane.h"
#include "ui/TreeListWidget.h"

namespace uitest {

class DescribedNode : public fake::Node {
public:
    explicit DescribedNode(fake::Desc d) : fake::Node(d), desc_(std::move(d)) {}
    void AddChildren() override {
        for (const fake::Desc& c : desc_.children) {
            if (AcceptChild(c.type))
                AddChild(new DescribedNode(c));
        }
    }
    void WriteBegin(CFieldWriter& w) override { w.BeginField("node"); }
    void WriteFields(CFieldWriter& w) override { w.TextField("label", desc_.label.c_str()); }
    void WriteEnd(CFieldWriter& w) override { w.EndField(); }

private:
    fake::Desc desc_;
};

// Database > (Forms > Form A, Form B), Documents > Memo; then a second root.
inline fake::Desc SampleTree() {
    using fake::Desc;
    return Desc(9, "sample.vlt",
                {Desc(18, "Design Elements",
                      {Desc(19, "Form A", {}, false), Desc(19, "Form B", {}, false)}),
                 Desc(32, "Documents", {Desc(33, "Memo", {}, false)}), Desc(34, "Empty", {})});
}

// A document on the sample tree, with no front end.
inline std::unique_ptr<CDelvexDoc> SampleDocument() {
    auto doc = std::make_unique<CDelvexDoc>();
    doc->SetTitle("sample.vlt");
    doc->AddRoot(new DescribedNode(SampleTree()));
    return doc;
}

inline QPoint RowPoint(TreeListWidget& tree, CTreeListNode& node, int x) {
    const int row = tree.Core().RowOf(node) - tree.Core().TopRow();
    return QPoint(x, row * tree.Core().RowHeight() + tree.Core().RowHeight() / 2);
}

// A main window over settings of its own in memory, so no test reads or writes the user's.
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

} // namespace uitest
