#pragma once
#include <QString>

// The folders every part of the program builds its file paths from. Resolved once at start.
struct AppFolders {
    QString workingDir;         // current directory at start: log, preferences, keyer settings
    QString makerFolder;        // <documents>/Korvex Software
    QString productDataFolder;  // makerFolder/Vardel: BACKUP, report and export files
    QString sharedFolder;       // makerFolder/Shared: SharedUserPreferences.xml

    // A file in the working directory, accepting an existing one spelt in other letter case.
    QString workFile(const QString &name) const;
    QString backupFolder() const;
};

// The file-name stem of report, archive and export names: the leading run of digits and capital
// letters of the own call, or "YourCall" when that run is empty.
QString fileNameStem(const QString &ownCall);

// Where a report or export is proposed to go: `extension` (".log", ".sum", ".dup") after the
// stem of the own call, or the ADIF file, in the product data folder.
QString proposedReportPath(const AppFolders &folders, const QString &ownCall, const QString &extension);
QString proposedAdifPath(const AppFolders &folders);

// The first of shared folder, product data folder and working directory that holds `name`
// (any letter case); the working-directory path when none does.
QString locateDataFile(const AppFolders &folders, const QString &name);

// The contest folder a start uses: the folder it was started in, except the home folder itself
// (where a desktop launcher starts programs, and where contest files would be strewn among the
// user's own): there, <documents>/Vardel/contest.
QString contestFolderFor(const QString &startDir, const QString &home, const QString &documents);
