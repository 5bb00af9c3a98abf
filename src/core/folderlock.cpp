#include "core/folderlock.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Whether a process of this computer still runs; one of another user answers EPERM.
bool processRuns(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

QString ownerOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    struct passwd pw {}, *found = nullptr;
    char buffer[1024];
    if (::getpwuid_r(st.st_uid, &pw, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QStringLiteral("uid %1").arg(st.st_uid);
}
}  // namespace

FolderLock::Result FolderLock::acquire(const QString &folder)
{
    m_lock = std::make_unique<QLockFile>(QDir(folder).filePath(QString::fromLatin1(kFileName)));
    // A contest runs for days: only a dead owner makes a lock stale, never its age.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return m_result = Result::Acquired;
    qint64 pid = 0;
    QString host, app;
    // A lock file without an owner in it (cut short by a crash or a full disk) holds nothing.
    if (m_lock->error() == QLockFile::LockFailedError && !m_lock->getLockInfo(&pid, &host, &app)
        && m_lock->removeStaleLockFile() && m_lock->tryLock(0))
        return m_result = Result::Acquired;
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->getLockInfo(&pid, &host, &app)
        && (host.isEmpty() || host == QSysInfo::machineHostName()) && !processRuns(pid)) {
        // Left by a program that has ended, and still there: not this account's to remove.
        m_holder = QStringLiteral("user %1's %2, process %3, which no longer runs")
                       .arg(ownerOf(QDir(folder).filePath(QString::fromLatin1(kFileName))),
                            app.isEmpty() ? QStringLiteral("program") : app)
                       .arg(pid);
        return m_result = Result::Stale;
    }
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->getLockInfo(&pid, &host, &app)) {
        m_holder = QStringLiteral("%1, process %2 on %3")
                       .arg(app.isEmpty() ? QStringLiteral("another program") : app)
                       .arg(pid)
                       .arg(host.isEmpty() ? QStringLiteral("this computer") : host);
        return m_result = Result::HeldByOther;
    }
    m_holder = m_lock->error() == QLockFile::PermissionError
                   ? QStringLiteral("the folder cannot be written")
                   : QStringLiteral("the lock file could not be made or read");
    return m_result = Result::Failed;
}

bool FolderLock::takeOver()
{
    if (m_result != Result::Stale)
        return m_result == Result::Acquired;
    if (m_lock->removeStaleLockFile() && m_lock->tryLock(0))
        m_result = Result::Acquired;
    return m_result == Result::Acquired;
}

QString FolderLock::message(const QString &folder) const
{
    const QString where = QDir::toNativeSeparators(folder);
    if (m_result == Result::Stale)
        return QStringLiteral("The working folder %1 holds a stale lock (%2) left by %3. This account "
                              "cannot remove it; the folder's owner or that user can.\r\n\r\nTake the "
                              "folder over and log here? Answer Yes only when no one else is logging "
                              "in this folder: until the lock is removed, nothing stops a second "
                              "program from using the same log.txt.")
            .arg(where, QString::fromLatin1(kFileName), m_holder);
    if (m_result == Result::HeldByOther)
        return QStringLiteral("The working folder %1 is already in use by %2.\r\n\r\nOnly one program "
                              "may log in a folder at a time. This one ends now without changing "
                              "anything; switch to the program that is running.")
            .arg(where, m_holder);
    return QStringLiteral("The working folder %1 cannot be locked for this program (%2). Nothing "
                          "will stop a second program from using the same log.txt, so start only one.")
        .arg(where, m_holder);
}
