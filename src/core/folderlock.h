#pragma once
#include <QLockFile>
#include <QString>

#include <memory>

// One running program per working folder: two programs appending to and rewriting one log.txt
// would each write back their own memory and lose the other's contacts. The lock is a file in
// the folder holding the owner's process id; a lock left by a program that no longer runs is
// taken over. A stale lock that cannot be removed (another user's, in a shared folder with the
// sticky bit) is named as stale with its owner, and the operator may take the folder over.
// Lives on the GUI thread for the whole run.
class FolderLock {
public:
    static constexpr const char *kFileName = "vardel.lock";

    enum class Result { Acquired, HeldByOther, Stale, Failed };

    Result acquire(const QString &folder);

    // After Stale, when the operator agrees: the lock is removed and taken when this account may,
    // and otherwise the program runs without it. True when the lock is now held.
    bool takeOver();

    // After HeldByOther: which program holds the folder ("Vardel, process 1234 on host").
    // After Stale: whose lock it is ("user bob's vardel, process 1234, which no longer runs").
    // After Failed: why the lock file could not be made.
    QString holder() const { return m_holder; }
    // The operator's message: HeldByOther ends the start; Stale asks whether to take the folder
    // over; Failed is a warning (a folder that cannot be written cannot hold the log either,
    // and says so when logging).
    QString message(const QString &folder) const;

private:
    std::unique_ptr<QLockFile> m_lock;
    Result m_result = Result::Failed;
    QString m_holder;
};
