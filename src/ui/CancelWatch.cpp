#include "ui/CancelWatch.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

#include "tree/Cancel.h"
#include "tree/WaitCursor.h"

namespace cancelwatch {
namespace {

int depth = 0;
bool seen = false; // a cancel key arrived during the current poll

bool IsCancelKey(const QKeyEvent& e) {
    return e.key() == Qt::Key_Escape || ((e.modifiers() & Qt::ControlModifier) &&
                                         (e.key() == Qt::Key_Pause || e.key() == Qt::Key_Cancel));
}

void ScheduleClear() {
    // Idle means no operation is running; the timer fires from the main loop only.
    QTimer::singleShot(0, [] {
        if (depth == 0) {
            cancel::Clear();
        } else {
            ScheduleClear();
        }
    });
}

// Installed while an operation runs: a cancel key requests a cancel; every other input event
// is dropped, since handling it now would re-enter the operation (a click on a half-built tree).
class Filter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (IsCancelKey(*static_cast<QKeyEvent*>(event))) {
                seen = true;
                cancel::Request();
                ScheduleClear();
            }
            return true;
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

Filter* filter = nullptr;

bool PollKeys() {
    if (depth == 0 || QCoreApplication::instance() == nullptr)
        return false;
    // Looking at the queue costs little, but not nothing: at most every 30 ms.
    static QElapsedTimer last;
    if (last.isValid() && last.elapsed() < 30)
        return false;
    last.restart();
    seen = false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return seen;
}

void Enter() {
    if (depth++ == 0 && QCoreApplication::instance() != nullptr) {
        filter = new Filter;
        QCoreApplication::instance()->installEventFilter(filter);
    }
}

void Leave() {
    if (--depth == 0 && filter != nullptr) {
        QCoreApplication::instance()->removeEventFilter(filter);
        delete filter;
        filter = nullptr;
        if (cancel::Requested())
            ScheduleClear();
    }
}

void OnOperation(bool starts) {
    if (starts) {
        Enter();
    } else {
        Leave();
    }
}

class Display : public CWaitCursorDisplay {
public:
    void SetForcedCursor(bool hourglass) override {
        if (hourglass && !shown_) {
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        } else if (!hourglass && shown_) {
            QApplication::restoreOverrideCursor();
        }
        shown_ = hourglass;
    }

private:
    bool shown_ = false;
};

} // namespace

void Install() {
    static Display display;
    CWaitCursor::SetDisplay(&display);
    cancel::SetKeyPoll(&PollKeys);
    cancel::SetOperationHook(&OnOperation);
}

Scope::Scope() {
    Enter();
}

Scope::~Scope() {
    Leave();
}

} // namespace cancelwatch
