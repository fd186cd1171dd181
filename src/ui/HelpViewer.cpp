#include "ui/HelpViewer.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/TreeListWidget.h"

namespace {
// Where the pages live among the program's resources.
constexpr const char* kHelpRoot = ":/help";

QUrl PageUrl(const HelpTopic& topic) {
    QUrl url(QString::fromStdString(topic.page));
    if (!topic.anchor.empty())
        url.setFragment(QString::fromStdString(topic.anchor));
    return url;
}
// The help context under a point of the screen: a tree row's (through the control's help hit
// test on labels), otherwise none.
std::uint32_t ContextAt(QWidget* widget, const QPoint& globalPos) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* tree = qobject_cast<TreeListWidget*>(w)) {
            const QPoint p = tree->viewport()->mapFromGlobal(globalPos);
            if (!tree->viewport()->rect().contains(p))
                return 0;
            return tree->Core().HelpContextAt({p.x(), p.y()});
        }
    }
    return 0;
}

// Watches the whole application for the one click that ends context help mode. The click is
// taken, not passed on: it asks for help and must not also select or expand anything.
class ContextHelpFilter : public QObject {
public:
    explicit ContextHelpFilter(QWidget* owner) : QObject(owner), owner_(owner) {
        QApplication::setOverrideCursor(Qt::WhatsThisCursor);
        qApp->installEventFilter(this);
    }
    ~ContextHelpFilter() override { Finish(); }

    bool Active() const { return state_ == State::Waiting; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (state_ == State::AwaitRelease) {
                Finish(); // the release of the help click never came
            }
            if (state_ != State::Waiting || !widget) {
                return false;
            }
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const std::uint32_t context = ContextAt(widget, mouse->globalPosition().toPoint());
            state_ = State::AwaitRelease;
            HelpViewer::ShowContext(owner_, context);
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (state_ != State::AwaitRelease) {
                return false;
            }
            Finish(); // the rest of the click that asked for help
            return true;
        case QEvent::KeyPress:
            if (state_ == State::Waiting &&
                static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                Finish();
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    enum class State { Waiting, AwaitRelease, Done };

    void Finish() {
        if (state_ == State::Done) {
            return;
        }
        state_ = State::Done;
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
        deleteLater();
    }

    QPointer<QWidget> owner_;
    State state_ = State::Waiting;
};

QPointer<ContextHelpFilter> contextHelp;

} // namespace

QPointer<HelpViewer> HelpViewer::instance_;

void HelpViewer::EnterContextHelp(QWidget* owner) {
    if (!InContextHelp())
        contextHelp = new ContextHelpFilter(owner);
}

bool HelpViewer::InContextHelp() {
    return contextHelp && contextHelp->Active();
}

HelpViewer::HelpViewer(QWidget* owner)
    : QWidget(owner, Qt::Window), browser_(new QTextBrowser), back_(new QToolButton),
      forward_(new QToolButton) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("HelpViewer"));
    auto* contents = new QToolButton;
    contents->setText(QStringLiteral("&Contents"));
    back_->setText(QStringLiteral("&Back"));
    forward_->setText(QStringLiteral("&Forward"));
    back_->setEnabled(false);
    forward_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    browser_->setSearchPaths({QString::fromLatin1(kHelpRoot)});
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    connect(contents, &QToolButton::clicked, this, &HelpViewer::ShowContents);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpViewer::UpdateTitle);
    resize(640, 560);
}

HelpViewer* HelpViewer::Instance() {
    return instance_.data();
}

HelpViewer* HelpViewer::ShowContext(QWidget* owner, std::uint32_t context) {
    return ShowTopic(owner, help::TopicForContext(context));
}

HelpViewer* HelpViewer::ShowTopic(QWidget* owner, const HelpTopic& topic) {
    if (!instance_)
        instance_ = new HelpViewer(owner);
    instance_->Open(topic);
    instance_->show();
    instance_->raise();
    instance_->activateWindow();
    return instance_.data();
}

void HelpViewer::Open(const HelpTopic& topic) {
    const QUrl url = PageUrl(topic);
    // The same page again: go to the anchor without a new history entry for an unchanged place.
    if (browser_->source() != url)
        browser_->setSource(url);
    else if (!topic.anchor.empty())
        browser_->scrollToAnchor(QString::fromStdString(topic.anchor));
}

void HelpViewer::ShowContents() {
    Open({std::string(help::kContentsPage), {}});
}

QString HelpViewer::CurrentPage() const {
    return browser_->source().path();
}

QString HelpViewer::CurrentAnchor() const {
    return browser_->source().fragment();
}

void HelpViewer::UpdateTitle() {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Delvex Help")
                                   : QStringLiteral("Delvex Help - %1").arg(title));
}
