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
