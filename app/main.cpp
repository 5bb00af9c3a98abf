// Start-up: record the working directory, show the logo, set up the user folders and the shared
// preferences, place the shipped tables, then show the main window and run its load.
#include "shell/mainwindow.h"
#include "core/shippeddata.h"
#include "platform/clock.h"
#include "reports/exportcli.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "rig/riglink.h"
#include "ui/logowindow.h"
#include "ui/sharedpreferences.h"
#include "ui/userfolders.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    // "vardel export ..." writes a report file from the command line, without a window.
    if (argc > 1 && qstrcmp(argv[1], "export") == 0) {
        QCoreApplication app(argc, argv);
        return runExportCommand(app.arguments().mid(2));
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Korvex_Software"));
    QApplication::setApplicationName(QStringLiteral("Vardel"));

    QtDialogs dialogs;
    SystemClock clock;
    QtSettingsStore settings;
    SharedPreferences shared;
    RigLink rig;  // idle until Options > Rig Control names a rigctld

    Form1Services services;
    services.folders = setUpUserFolders(dialogs, shared);
    QString placeError;
    placeShippedData(services.folders, &placeError);
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.settings = &settings;
    services.shared = &shared;
    services.rig = &rig;

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
    return app.exec();
}
