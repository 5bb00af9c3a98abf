#include "logging/backup.h"

#include "core/appfolders.h"
#include "core/fieldfile.h"
#include "core/logstore.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace backup {

namespace {
const QString kLogName = QStringLiteral("log.txt");
const QString kFilter = QStringLiteral("Log Files (*.log)");
const QString kArchiveError = QStringLiteral("Error Archiving Log");
const QString kRestoreError = QStringLiteral("Error Restoring Log");
}  // namespace

bool copyBytes(const QString &from, const QString &to, QString *error)
{
    QByteArray bytes;
    QString why;
    if (!fieldfile::readFile(from, bytes, &why)) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(from), why);
        return false;
    }
    if (!fieldfile::writeFileAtomic(to, bytes, &why)) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(to), why);
        return false;
    }
    return true;
}

QString backupFileName(const QDateTime &local)
{
    return local.toString(QStringLiteral("yyyyMMddhhmm")) + QStringLiteral(".log");
}

QString freeBackupPath(const AppFolders &folders, const QDateTime &local)
{
    // Two backups in one minute (File > New, then a close) must both stay: the second gets a
    // counter, the first keeps the plain name.
    const QDir dir(folders.backupFolder());
    const QString stem = local.toString(QStringLiteral("yyyyMMddhhmm"));
    QString path = dir.filePath(backupFileName(local));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1-%2.log").arg(stem).arg(n));
    return path;
}

QString proposedArchivePath(const AppFolders &folders, const QString &ownCall, const QDate &localDate)
{
    return QDir(folders.backupFolder())
        .filePath(fileNameStem(ownCall) + localDate.toString(QStringLiteral("yyyy-MM-dd"))
                  + QStringLiteral(".log"));
}

QString backupLog(const LogStore &store, const AppFolders &folders, const Clock &clock)
{
    if (store.count() == store.recordsAtStart() || store.count() <= 0)
        return QString();
    return backupFromMemory(store, folders, clock);
}

QString backupFromMemory(const LogStore &store, const AppFolders &folders, const Clock &clock)
{
    if (store.count() <= 0 || !QDir().mkpath(folders.backupFolder()))
        return QString();
    // Written from the contacts held in memory, not copied from log.txt: the file may have been
    // deleted, replaced or damaged behind the program's back.
    const QString target = freeBackupPath(folders, clock.localNow());
    return fieldfile::writeFileAtomic(target, store.fileBytes()) ? target : QString();
}

bool archiveCurrentLog(QWidget *parent, const AppFolders &folders, const QString &ownCall,
                       const Clock &clock, Dialogs &dialogs)
{
    dialogs.message(parent,
                    QStringLiteral("This function is used to create a permanent copy of your "
                                   "currently open log file.  To open your log file at a later "
                                   "date, click File > Restore from Archive or Backup."),
                    QStringLiteral("Archive Information"), Dialogs::Buttons::Ok,
                    Dialogs::Icon::Information);
    // So the dialog can open in it even if it was removed since start.
    QDir().mkpath(folders.backupFolder());
    const QString chosen =
        dialogs.saveFile(parent, QStringLiteral("Archive Current Log"),
                         proposedArchivePath(folders, ownCall, clock.localNow().date()), kFilter);
    if (chosen.isEmpty())
        return false;
    QString error;
    if (!copyBytes(folders.workFile(kLogName), chosen, &error)) {
        dialogs.message(parent, error, kArchiveError, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return false;
    }
    return true;
}

bool restoreFromArchive(QWidget *parent, const LogStore &store, const AppFolders &folders,
                        Dialogs &dialogs)
{
    dialogs.message(parent,
                    QStringLiteral("This action will open an archived log or backup file and "
                                   "creates a working file called log.txt.  If you make any "
                                   "changes to your archived data that you would like to "
                                   "permanently save, before you click File > New to start a new "
                                   "contest, be sure to click File > Archive to save your changes."),
                    QStringLiteral("Opening Archived Data Information"), Dialogs::Buttons::Ok,
                    Dialogs::Icon::Information);
    if (store.count() > 0) {
        const auto answer = dialogs.message(
            parent,
            QStringLiteral("Are you sure that you want to open an archived log?  This action "
                           "will clear and replace existing QSO data."),
            QStringLiteral("Are your sure?"), Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
        if (answer != Dialogs::Answer::Yes)
            return false;
    }
    const QString chosen = dialogs.openFile(parent, QStringLiteral("Restore from Archive or Backup"),
                                            folders.backupFolder(), kFilter);
    if (chosen.isEmpty())
        return false;

    QByteArray bytes;
    QString why;
    if (!fieldfile::readFile(chosen, bytes, &why)) {
        dialogs.message(parent, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(chosen), why),
                        kRestoreError, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return false;
    }
    // Loading a file that is not a log ends the program, so it never replaces the working log.
    QList<QsoRecord> records;
    if (!LogStore::parse(bytes, records, &why)) {
        dialogs.message(parent,
                        QStringLiteral("%1 is not a log file this program can read (%2).  Your "
                                       "current log was not changed.")
                            .arg(QFileInfo(chosen).fileName(), why),
                        kRestoreError, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return false;
    }
    const QString logPath = folders.workFile(kLogName);
    if (!fieldfile::writeFileAtomic(logPath, bytes, &why)) {
        dialogs.message(parent, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(logPath), why),
                        kRestoreError, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return false;
    }
    return true;
}

}  // namespace backup
