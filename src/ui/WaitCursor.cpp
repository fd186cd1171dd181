#include "ui/WaitCursor.h"

#include <QApplication>
#include <QCursor>

namespace waitcursor {
namespace {
int depth = 0;
}

void Begin() {
    ++depth;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void End() {
    if (depth > 0) {
        --depth;
        QApplication::restoreOverrideCursor();
    }
}

bool Active() {
    return depth > 0;
}

} // namespace waitcursor
