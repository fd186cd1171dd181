// The desktop program: delvex [PATH] [--screenshot FILE]. Without a path it opens a browsing
// document; with one, that database or server ("name!!"). --screenshot expands a few rows,
// selects one, saves a picture of the window and ends.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

#include "app/DelvexApp.h"
#include "common/ProgramSettings.h"
#include "ui/CancelWatch.h"
#include "ui/Dialogs.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/ProgramIcon.h"
#include "ui/QtFrontEnd.h"
#include "ui/TreeListWidget.h"

namespace {

QWidget* ShowSplash() {
    if (ProgramSettings().GetInt("Splash Screen", "Suppress", 0) != 0)
        return nullptr;
    auto* splash = new QLabel;
    splash->setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    splash->setText(QStringLiteral("<h2>Delvex</h2><br><br>") +
                    QString::fromStdString(CDelvexApp::VersionText()));
    splash->setStyleSheet(QStringLiteral("background:#2d4a6b;color:white;padding:24px;"));
    splash->resize(300, 170);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        splash->move(area.left() + (area.width() - 300) / 2,
                     area.top() + (area.height() - 170) / 3);
    }
    splash->show();
    QCoreApplication::processEvents();
    return splash;
}

void ExpandSomeAndSave(MainWindow& window, const QString& file) {
    if (DocumentWindow* doc = window.ActiveDocument()) {
        CTreeListCore& core = doc->Tree().Core();
        // Open up the first few expandable rows, depth first.
        int expanded = 0;
        for (int r = 0; r < core.RowCount() && expanded < 4; ++r) {
            CTreeListNode* node = core.NodeAt(r);
            if (node->ShowsExpandBox() && !node->HasChildren()) {
                core.Expand(node);
                ++expanded;
            }
        }
        if (core.RowCount() > 0)
            doc->Tree().SelectAndNotify(core.NodeAt(core.RowCount() / 2));
        doc->Tree().setFocus();
    }
    // What the display shows (a grab of the widget alone leaves the document windows out).
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    QScreen* screen = window.screen();
    const QPixmap shot = screen ? screen->grabWindow(window.winId()) : QPixmap();
    (shot.isNull() ? window.grab() : shot).save(file);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Delvex"));
    QApplication::setWindowIcon(ProgramIcon());
    // Without a data directory of the user's own, the sample data is browsed.
    if (std::getenv("DELVEX_DATA_DIR") == nullptr &&
        std::getenv("DELVEX_STORE_SETTINGS") == nullptr &&
        QDir(QStringLiteral(DELVEX_SAMPLE_DATA_DIR)).exists()) {
        qputenv("DELVEX_DATA_DIR", DELVEX_SAMPLE_DATA_DIR);
    }
    QString path;
    QString screenshot;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size()) {
            screenshot = args[++i];
        } else if (path.isEmpty()) {
            path = args[i];
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QWidget* splash = screenshot.isEmpty() ? ShowSplash() : nullptr;

    cancelwatch::Install();
    QtFrontEnd frontEnd;
    CDelvexApp program(frontEnd);
    const bool started = program.Start(path.toStdString());
    delete splash;
    QApplication::restoreOverrideCursor();
    if (!started || frontEnd.Window() == nullptr)
        return 1;
    MainWindow& window = *frontEnd.Window();
    window.ShowPlaced();
    if (!screenshot.isEmpty())
        window.resize(1000, 640);
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(300, [&] {
            ExpandSomeAndSave(window, screenshot);
            window.close();
            QApplication::quit();
        });
    }
    QApplication::exec();
    return program.Shutdown();
}
