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

// The first of shared folder, product data folder and working directory that holds `name`
// (any letter case); the working-directory path when none does.
QString locateDataFile(const AppFolders &folders, const QString &name);
