// Start-up: record the working directory, show the logo, set up the user folders and the shared
// preferences, place the shipped tables, then show the main window and run its load.
#include "logging/mainwindow.h"
#include "logging/shippeddata.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "ui/sharedpreferences.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

static AppFolders provisionalFolders()
{
    AppFolders f;
    f.workingDir = QDir::currentPath();
    f.makerFolder = QDir::home().filePath(QStringLiteral("Documents/Korvex Software"));
    f.productDataFolder = f.makerFolder + QStringLiteral("/Vardel");
    f.sharedFolder = f.makerFolder + QStringLiteral("/Shared");
    QDir().mkpath(f.productDataFolder);
    QDir().mkpath(f.sharedFolder);
    QDir().mkpath(f.backupFolder());
    return f;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Korvex_Software"));
    QApplication::setApplicationName(QStringLiteral("Vardel"));

    static QtDialogs dialogs;
    static SystemClock clock;
    static QtSettingsStore settings;
    static SharedPreferences shared;

    Form1Services services;
    services.folders = provisionalFolders();
    shared.load(services.folders.sharedFolder + QStringLiteral("/") + QString::fromLatin1(SharedPreferences::kFileName));
    placeShippedData(services.folders);
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.settings = &settings;
    services.shared = &shared;

    Form1 window(services);
    window.show();
    QTimer::singleShot(0, &window, [&window] { window.Form_Load(); });
    return app.exec();
}
