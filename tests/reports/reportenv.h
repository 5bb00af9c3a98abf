#pragma once
// A temporary working folder with a loaded log, station data, scripted dialogs and the report
// context the windows and jobs take.
#include "fakes.h"
#include "reportfixtures.h"
#include "reports/reportcontext.h"
#include "ui/sharedpreferences.h"

#include <QDir>
#include <QFile>

namespace fixtures {

struct ReportEnv {
    TestEnv env;
    AppFolders folders = fixtures::folders(env.path());
    LogStore log;
    Preferences prefs = fixtures::prefs();
    FakeDialogs dialogs;
    FakeSettingsStore settings;
    SharedPreferences shared;
    FakeClock clock;
    ReportContext ctx;

    explicit ReportEnv(const QList<QsoRecord> &records = fixtures::smallLog())
    {
        fixtures::writeLog(env.file("log.txt"), records);
        log.load(env.file("log.txt"));
        shared.load(QDir(folders.sharedFolder).filePath(SharedPreferences::kFileName));
        ctx = {&log, &prefs, folders, &dialogs, &settings, &shared, &clock, reports::scoreText(log)};
    }
    QString data(const QString &name) const { return QDir(folders.productDataFolder).filePath(name); }
    QByteArray readData(const QString &name) const
    {
        QFile f(data(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace fixtures
