// The desktop program: delvex [options] [PATH]. Without a path it opens a browsing document;
// with one, that database or server ("name!!"). --screenshot FILE expands a few rows, selects
// one, saves a picture of the window and ends.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <span>
#include <sstream>

#include "app/DelvexApp.h"
#include "common/CommandLine.h"
#include "common/ProgramSettings.h"
#include "tree/DocNode.h"
#include "ui/BytesPane.h"
#include "ui/CancelWatch.h"
#include "ui/Dialogs.h"
#include "ui/DocumentWindow.h"
#include "ui/InfoPaneView.h"
#include "ui/MainWindow.h"
#include "ui/ProgramIcon.h"
#include "ui/QtFrontEnd.h"
#include "ui/TreeListWidget.h"

namespace {

struct Options {
    std::string path;
    std::string screenshot;
};

// A fresh parser each time, so that a second parse starts from empty values.
std::optional<int> ParseCommandLine(const std::vector<std::string>& args, Options& o,
                                    std::ostream& err) {
    o = Options{};
    commandline::CCommandLine line({
        "delvex",
        "[options] [PATH]",
        "Browses the technical contents of document databases.",
        {{commandline::kOk, "the program was closed"},
         {commandline::kFailed, "the program could not start (the reason is shown)"},
         {commandline::kUsage, "a usage error"}},
        "Without PATH the data directory is browsed (the sample data when none is set).\n"
        "A relative PATH names a file of the current folder first, else one of the data\n"
        "directory. Qt's own options (-platform, -style, ...) are accepted as well.\n"
        "Environment: DELVEX_DATA_DIR (the data directory), DELVEX_SETTINGS (the settings\n"
        "file, default ~/.config/delvex/dvxtool.ini), DELVEX_STORE_SETTINGS.\n",
    });
    CLI::App& app = line.App();
    app.add_option("--screenshot", o.screenshot,
                   "save a picture of the window with a few rows expanded, then end")
        ->type_name("FILE");
    app.add_option("PATH", o.path, "a database file or a server path NAME!!");
    return line.Parse(args, std::cout, err);
}

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
        for (int r = 0; r < core.RowCount() && expanded < 6; ++r) {
            CTreeListNode* node = core.NodeAt(r);
            if (node->ShowsExpandBox() && !node->HasChildren()) {
                core.Expand(node);
                ++expanded;
            }
        }
        // A row with bytes of its own shows the bytes pane at work (the fullest that fits a
        // few rows of the pane); else one in the middle.
        CTreeListNode* shown = core.RowCount() > 0 ? core.NodeAt(core.RowCount() / 2) : nullptr;
        std::size_t shownBytes = 0;
        for (int r = 0; r < core.RowCount(); ++r) {
            std::span<const std::uint8_t> bytes;
            auto* node = dynamic_cast<CDocNode*>(core.NodeAt(r));
            if (node && node->NodeBytes(bytes) && bytes.size() > shownBytes &&
                bytes.size() <= 160) {
                shown = node;
                shownBytes = bytes.size();
            }
        }
        if (shown)
            doc->Tree().SelectAndNotify(shown);
        // Its last field with bytes, lit in both panes.
        const std::vector<InfoPaneField> fields = doc->Info().Fields();
        for (int f = int(fields.size()) - 1; f >= 0; --f) {
            if (fields[std::size_t(f)].hasRange) {
                doc->Info().SelectField(f);
                doc->Bytes().SelectField(f);
                break;
            }
        }
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
    // --help, --version and usage errors need no display: the arguments are read before Qt
    // starts. Qt's own options (one dash) are not known here, so when one of them may be the
    // reason of an error the arguments are read again once Qt has taken its own.
    Options options;
    {
        const std::vector<std::string> args(argv + 1, argv + argc);
        std::ostringstream problem;
        const std::optional<int> end = ParseCommandLine(args, options, problem);
        const bool qtOption = std::any_of(args.begin(), args.end(), [](const std::string& a) {
            return a.size() > 1 && a[0] == '-' && a[1] != '-';
        });
        if (end && (*end != commandline::kUsage || !qtOption)) {
            std::cerr << problem.str();
            return *end;
        }
    }
    QApplication app(argc, argv);
    {
        std::vector<std::string> args;
        for (const QString& a : QApplication::arguments().mid(1))
            args.push_back(a.toStdString());
        if (const std::optional<int> end = ParseCommandLine(args, options, std::cerr))
            return *end;
    }
    QApplication::setApplicationName(QStringLiteral("Delvex"));
    QApplication::setWindowIcon(ProgramIcon());
    // Without a data directory of the user's own, the sample data is browsed.
    const std::string samples = commandline::SampleDataDirectory();
    if (std::getenv("DELVEX_DATA_DIR") == nullptr &&
        std::getenv("DELVEX_STORE_SETTINGS") == nullptr && !samples.empty()) {
        qputenv("DELVEX_DATA_DIR", QByteArray::fromStdString(samples));
    }
    const QString screenshot = QString::fromStdString(options.screenshot);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QWidget* splash = screenshot.isEmpty() ? ShowSplash() : nullptr;

    cancelwatch::Install();
    QtFrontEnd frontEnd;
    CDelvexApp program(frontEnd);
    const bool started = program.Start(options.path);
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
