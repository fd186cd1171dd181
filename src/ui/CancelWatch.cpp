#include "ui/CancelWatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

namespace cancelwatch {
namespace {

bool flag = false;
int depth = 0;

bool IsCancelKey(const QKeyEvent& e) {
    return e.key() == Qt::Key_Escape || ((e.modifiers() & Qt::ControlModifier) &&
                                         (e.key() == Qt::Key_Pause || e.key() == Qt::Key_Cancel));
}

// Installed while an operation runs: a cancel key sets the flag; every other input event is
// dropped, since handling it now would re-enter the operation (a click on a half-built tree).
class Filter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (IsCancelKey(*static_cast<QKeyEvent*>(event)))
                Set();
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

void ScheduleClear() {
    // Idle means no operation is running; the timer fires from the main loop only.
    QTimer::singleShot(0, [] {
        if (depth == 0) {
            Clear();
        } else {
            ScheduleClear();
        }
    });
}

} // namespace

bool IsSet() {
    return flag;
}

void Set() {
    if (!flag) {
        flag = true;
        if (QCoreApplication::instance() != nullptr)
            ScheduleClear();
    }
}

void Clear() {
    flag = false;
}

bool Check() {
    if (flag)
        return true;
    if (depth > 0 && QCoreApplication::instance() != nullptr) {
        // Looking at the queue costs little, but not nothing: at most every 30 ms.
        static QElapsedTimer last;
        if (!last.isValid() || last.elapsed() >= 30) {
            last.restart();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
    return flag;
}

Scope::Scope() {
    if (depth++ == 0 && QCoreApplication::instance() != nullptr) {
        filter = new Filter;
        QCoreApplication::instance()->installEventFilter(filter);
    }
}

Scope::~Scope() {
    if (--depth == 0 && filter != nullptr) {
        QCoreApplication::instance()->removeEventFilter(filter);
        delete filter;
        filter = nullptr;
    }
}

} // namespace cancelwatch
