#pragma once
#include "core/appfolders.h"

#include <QString>

class Dialogs;
class SharedPreferences;

// Finds and creates the per-user folders: the maker folder "Korvex Software" in the documents
// folder, the product data folder "Vardel" and the shared folder "Shared" inside it.
//
// Where the documents folder is, on Linux: the XDG documents folder when it is configured apart
// from HOME; otherwise HOME/Documents, created when missing (an unconfigured XDG setup reports
// HOME itself, and we do not want the maker folder loose in HOME). Then an existing
// HOME/Documents in any letter case; finally the XDG data folder (~/.local/share).
class UserFolders {
public:
    static constexpr const char *kMakerFolder = "Korvex Software";
    static constexpr const char *kProductFolder = "Vardel";
    static constexpr const char *kSharedFolder = "Shared";
    static constexpr const char *kBackupFolder = "BACKUP";

    explicit UserFolders(Dialogs &dialogs);

    // The maker folder, with `maker` and `sub` (e.g. "Vardel") created inside the first usable
    // documents folder. Problems are reported through the dialogs; the search goes on with the
    // next candidate.
    QString resolveMakerFolder(const QString &maker, const QString &sub);

    // Creates `path` when no folder of that name (in any letter case) exists. Returns the path
    // of the existing folder (its actual spelling) or of the created one; empty on failure,
    // reported when `report` is set.
    QString ensureFolder(const QString &path, bool report);

    // The existing directory `path` names, ignoring letter case in its last component; empty
    // when there is none. `error` is set when the parent cannot be listed.
    static QString existingFolder(const QString &path, QString *error = nullptr);

private:
    Dialogs &m_dialogs;
};

// Start-up: records the working directory, resolves the folders (maker folder with "Vardel",
// then with "Shared"), loads the shared preferences document from the shared folder and makes
// sure the product data folder has its BACKUP folder (silently).
AppFolders setUpUserFolders(Dialogs &dialogs, SharedPreferences &shared);
