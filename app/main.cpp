// Start-up: read the command line, enter the contest folder (the working directory), show the
// logo, set up the user folders and the shared preferences, place the shipped tables, then show
// the main window and run its load.
#include "cw/keyerthread.h"
#include "platform/keyline.h"
#include "platform/keytiming.h"
#include "shell/mainwindow.h"
#include "core/appfolders.h"
#include "core/folderlock.h"
#include "core/shippeddata.h"
#include "platform/clock.h"
#include "reports/exportcli.h"
#include "platform/childprocess.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "platform/speech.h"
#include "platform/termination.h"
#include "platform/waveplayer.h"
#include "rig/riglink.h"
#include "ui/captionfit.h"
#include "ui/logowindow.h"
#include "ui/sharedpreferences.h"
#include "ui/userfolders.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include <functional>
#include <memory>

namespace {
const char kUsage[] =
    "Usage: vardel [--folder DIR] [Qt options]\n"
    "       vardel export KIND [options]     (see vardel export --help)\n"
    "       vardel --help | --version\n"
    "\n"
    "Vardel logs the 10-10 QSO Party: one entry line, country lookup and dupe check as the call\n"
    "is typed, CW and voice keying, DX spots on a band map, and the sponsor's log files.\n"
    "\n"
    "The contest folder holds log.txt, tntnprf.txt and the keyer settings. It is the folder the\n"
    "program is started in; started in the home folder itself (as from the desktop menu), it is\n"
    "~/Documents/Vardel/contest, created when missing.\n"
    "\n"
    "Options:\n"
    "  --folder DIR   use DIR as the contest folder (created when missing)\n"
    "  -h, --help     show this help and end\n"
    "  -v, --version  show the version and end\n";

// Takes "--folder DIR" or "--folder=DIR" out of the arguments; false (with a message) when the
// folder is missing after the option.
bool takeFolderOption(int &argc, char *argv[], QString &folder)
{
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        int used = 0;
        if (std::strcmp(a, "--folder") == 0) {
            if (i + 1 >= argc) {
                std::fputs("vardel: --folder needs a folder\n", stderr);
                return false;
            }
            folder = QString::fromLocal8Bit(argv[i + 1]);
            used = 2;
        } else if (std::strncmp(a, "--folder=", 9) == 0) {
            folder = QString::fromLocal8Bit(a + 9);
            used = 1;
        }
        if (used) {
            for (int j = i; j + used <= argc; ++j)
                argv[j] = argv[j + used];
            argc -= used;
            --i;
        }
    }
    return true;
}
}  // namespace

int main(int argc, char *argv[])
{
    // "vardel export ..." writes a report file from the command line, without a window.
    if (argc > 1 && qstrcmp(argv[1], "export") == 0) {
        QCoreApplication app(argc, argv);
        return runExportCommand(app.arguments().mid(2));
    }
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::printf("vardel %s\n", VARDEL_VERSION);
            return 0;
        }
    }
    QString folder;
    if (!takeFolderOption(argc, argv, folder))
        return 2;
    QApplication app(argc, argv);
    // The desktop matches the window to its menu entry and icon by these.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vardel.Vardel"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vardel"), QIcon(QStringLiteral(":/icons/vardel.svg"))));
    captionfit::setUpApplication(app);
    QtDialogs dialogs;
    // The contest folder: named, or where the program was started unless that is the home folder.
    if (folder.isEmpty())
        folder = contestFolderFor(QDir::currentPath(), QDir::homePath(),
                                  QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (!QDir().mkpath(folder) || !QDir::setCurrent(folder)) {
        dialogs.message(nullptr, QStringLiteral("The contest folder %1 cannot be made or opened.")
                                     .arg(QDir::toNativeSeparators(folder)),
                        QStringLiteral("Contest Folder"), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return 1;
    }
    // A second program in this folder would lose the first one's contacts: it ends untouched.
    // Taken before the application name is set, so the lock names the program by its executable
    // and a live holder is told apart from a process id reused by something else.
    FolderLock folderLock;
    const FolderLock::Result lock = folderLock.acquire(QDir::currentPath());
    if (lock == FolderLock::Result::Stale) {
        if (dialogs.message(nullptr, folderLock.message(QDir::currentPath()), QStringLiteral("Stale Folder Lock"),
                            Dialogs::Buttons::YesNo, Dialogs::Icon::Warning)
            != Dialogs::Answer::Yes)
            return 1;
        folderLock.takeOver();
    } else if (lock != FolderLock::Result::Acquired) {
        const bool held = lock == FolderLock::Result::HeldByOther;
        dialogs.message(nullptr, folderLock.message(QDir::currentPath()),
                        held ? QStringLiteral("Folder in Use") : QStringLiteral("Folder Not Locked"),
                        Dialogs::Buttons::Ok, held ? Dialogs::Icon::Critical : Dialogs::Icon::Warning);
        if (held)
            return 1;
    }
    QApplication::setOrganizationName(QStringLiteral("Korvex_Software"));
    QApplication::setApplicationName(QStringLiteral("Vardel"));

    SystemClock clock;
    QtSettingsStore settings;
    SharedPreferences shared;
    RigLink rig;  // idle until Options > Rig Control names a rigctld
    RealChildProcess rigctld;  // stopped as the program ends

    Form1Services services;
    services.folders = setUpUserFolders(dialogs, shared);
    QString placeError;
    placeShippedData(services.folders, &placeError);
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.settings = &settings;
    services.shared = &shared;
    services.rig = &rig;
    services.rigctld = &rigctld;
    RealKeyLines keyLines;
    MonotonicTiming keyTiming;
    KeyerThread keyer(keyLines, keyTiming);
    services.keyer = &keyer;
    AudioSinkPlayer messagePlayer;
    AudioSinkPlayer promptPlayer;
    AudioSourceRecorder recorder;
    services.messagePlayer = &messagePlayer;
    services.promptPlayer = &promptPlayer;
    services.recorder = &recorder;
    EspeakSynth speech;
    services.speech = &speech;
    services.startInFolder = [](const QString &dir) {
        return QProcess::startDetached(QCoreApplication::applicationFilePath(), {QStringLiteral("--folder"), dir});
    };

    // The logo stays up for a moment on its own timer; the main window follows it.
    // Closing the logo must not end the program before the main window is up.
    QApplication::setQuitOnLastWindowClosed(false);
    frmKorvexLogo *logo = showLogo(services.folders.sharedFolder);
    Form1 window(services);
    auto startMain = [&window] {
        window.show();
        QApplication::setQuitOnLastWindowClosed(true);
        window.Form_Load();
    };
    if (logo)
        QObject::connect(logo, &QObject::destroyed, &window, startMain, Qt::QueuedConnection);
    else
        QTimer::singleShot(0, &window, startMain);

    // A logout or shutdown ends the program as its window's close does: the closing backup,
    // the keying lines released, rigctld stopped. A close refused while a CW message is being
    // cut short is asked again a moment later; the window never waits on its own.
    TerminationSignals termination;
    auto closeForSignal = std::make_shared<std::function<void(int)>>();
    *closeForSignal = [&window, &app, closeForSignal](int triesLeft) {
        if (!window.isVisible() || window.close() || triesLeft <= 0) {
            app.quit();
            return;
        }
        QTimer::singleShot(200, &window, [closeForSignal, triesLeft] { (*closeForSignal)(triesLeft - 1); });
    };
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window,
                     [closeForSignal] { (*closeForSignal)(10); });
    const int code = app.exec();
    *closeForSignal = nullptr;  // the lambda holds itself: let go
    return code;
}
