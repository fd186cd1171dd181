#include "ui/FindDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "tree/Cancel.h"
#include "treelist/TreeListCore.h"
#include "ui/TreeListWidget.h"

FindDialog::FindDialog(TreeListWidget& tree, QWidget* parent) : QDialog(parent), tree_(tree) {
    setWindowTitle(QStringLiteral("Find"));
    name_ = new QLineEdit(this);
    type_ = new QLineEdit(this);
    text_ = new QLineEdit(this);
    kind_ = new QLineEdit(this);
    name_->setPlaceholderText(QStringLiteral("* and ? match any"));
    type_->setPlaceholderText(QStringLiteral("TextList, Composite, 0x501..."));
    kind_->setPlaceholderText(QStringLiteral("Text, Paragraph, 0xFF85..."));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Item &name:"), name_);
    form->addRow(QStringLiteral("Item &type:"), type_);
    form->addRow(QStringLiteral("Te&xt in values:"), text_);
    form->addRow(QStringLiteral("&Record kind:"), kind_);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    status_ = new QLabel(this);
    list_ = new QListWidget(this);
    find_ = new QPushButton(QStringLiteral("&Find"), this);
    find_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(find_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(progress_);
    layout->addWidget(status_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(520, 420);
    connect(find_, &QPushButton::clicked, this, [this] { RunSearch(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { CancelOrClose(); });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { ShowMatch(row); });
}

void FindDialog::CancelOrClose() {
    if (running_)
        cancel::Request();
    else
        reject();
}

bool FindDialog::RunSearch() {
    if (running_)
        return false;
    nodesearch::Criteria criteria;
    criteria.itemName = name_->text().trimmed().toStdString();
    criteria.text = text_->text().toStdString();
    const QString type = type_->text().trimmed();
    if (!type.isEmpty()) {
        std::uint16_t value = 0;
        if (!nodesearch::ParseItemType(type.toStdString(), &value)) {
            status_->setText(QStringLiteral("Unknown item type \"%1\"").arg(type));
            return false;
        }
        criteria.itemType = value;
    }
    const QString kind = kind_->text().trimmed();
    if (!kind.isEmpty())
        nodesearch::SetRecordKind(criteria, kind.toStdString());
    if (criteria.Empty()) {
        status_->setText(QStringLiteral("Give a name, a type, a text or a record kind"));
        return false;
    }

    list_->clear();
    matches_.clear();
    running_ = true;
    find_->setEnabled(false);
    list_->setEnabled(false);
    cancel_->setText(QStringLiteral("Cancel"));
    progress_->setValue(0);
    CTreeListCore& core = tree_.Core();
    std::vector<CTreeListNode*> roots;
    for (CTreeListNode* n = core.Root().GetFirstChild(); n; n = n->GetNextSibling())
        roots.push_back(n);
    bool cancelled = false;
    unsigned long nodes = 0;
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    for (std::size_t i = 0; i < roots.size() && !cancelled; ++i) {
        nodesearch::CNodeSearch search(criteria);
        search.onMatch = [this](const nodesearch::Match& m) {
            matches_.push_back(m);
            list_->addItem(QString::fromStdString(m.Path(true)));
        };
        search.onProgress = [&](const nodesearch::Progress& p) {
            // The dialog is modal: only it takes input while the walk hands out events, and
            // its Cancel button sets the request that the walk's cancel check sees.
            if (sinceEvents.elapsed() < 50)
                return;
            sinceEvents.restart();
            const double done = (double(i) + p.fraction) / double(roots.size());
            progress_->setValue(int(done * 1000));
            status_->setText(
                QStringLiteral("%1 nodes, %2 found").arg(nodes + p.nodes).arg(matches_.size()));
            QApplication::processEvents();
        };
        const nodesearch::Result result = search.Run(*roots[i]);
        nodes += result.nodes;
        cancelled = result.cancelled;
    }
    cancel::Clear();
    tree_.Refresh();
    running_ = false;
    find_->setEnabled(true);
    list_->setEnabled(true);
    cancel_->setText(QStringLiteral("Close"));
    progress_->setValue(cancelled ? progress_->value() : 1000);
    status_->setText((cancelled ? QStringLiteral("Cancelled: %1 found in %2 nodes")
                                : QStringLiteral("%1 found in %2 nodes"))
                         .arg(matches_.size())
                         .arg(nodes));
    return true;
}

bool FindDialog::ShowMatch(int row) {
    if (running_ || row < 0 || std::size_t(row) >= matches_.size())
        return false;
    CTreeListNode* node = nodesearch::LocateMatch(tree_.Core(), matches_[std::size_t(row)]);
    tree_.Refresh();
    if (!node) {
        status_->setText(QStringLiteral("The tree no longer holds this match"));
        return false;
    }
    tree_.SelectAndNotify(node);
    tree_.Core().SelectAndShow(node);
    return true;
}
