#pragma once
#include <QString>

class Clock;
class Dialogs;
class LogStore;
class QDate;
class QDateTime;
class QWidget;
struct AppFolders;

// Copies of the working log "log.txt": the automatic backup, the operator's archive, and the
// restore of either over the working log.
namespace backup {

// "yyyymmddhhnn.log" from the local time; two backups in one minute share a name.
// Copies a file byte for byte through a synced, atomic write; false with the cause in `error`.
bool copyBytes(const QString &from, const QString &to, QString *error);

QString backupFileName(const QDateTime &local);
// The backup folder's path for a backup made now that replaces none made before.
QString freeBackupPath(const AppFolders &folders, const QDateTime &local);
// The archive name proposed in the save dialog: backup folder / stem + "yyyy-mm-dd" + ".log".
QString proposedArchivePath(const AppFolders &folders, const QString &ownCall, const QDate &localDate);

// The automatic backup, at close and before a new log erases the old one: only when the count
// changed since start and the log is not empty. Silent: returns the backup written, or an empty
// string when none was due or it failed. Written from the contacts in memory.
QString backupLog(const LogStore &store, const AppFolders &folders, const Clock &clock);
// The same backup whenever the store holds contacts: before a failed reload would drop them.
QString backupFromMemory(const LogStore &store, const AppFolders &folders, const Clock &clock);

// File > Archive Current Log: explains, asks where to save (the dialog asks before
// overwriting), copies the working log there. True when a copy was written; a cancelled dialog
// is silent, a failure is reported under "Error Archiving Log".
bool archiveCurrentLog(QWidget *parent, const AppFolders &folders, const QString &ownCall,
                       const Clock &clock, Dialogs &dialogs);

// File > Restore from Archive or Backup: explains, asks for confirmation when the log has
// records, lets the operator choose a file and puts it in place of the working log. A file that
// is not a readable log is refused and the working log stays as it was; the replacement itself
// is atomic. True when the working log was replaced: the caller then reloads it.
bool restoreFromArchive(QWidget *parent, const LogStore &store, const AppFolders &folders,
                        Dialogs &dialogs);

}  // namespace backup
