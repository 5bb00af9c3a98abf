#include "core/folderlock.h"

#include <QDir>

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

QString FolderLock::message(const QString &folder) const
{
    const QString where = QDir::toNativeSeparators(folder);
    if (m_result == Result::HeldByOther)
        return QStringLiteral("The working folder %1 is already in use by %2.\r\n\r\nOnly one program "
                              "may log in a folder at a time. This one ends now without changing "
                              "anything; switch to the program that is running.")
            .arg(where, m_holder);
    return QStringLiteral("The working folder %1 cannot be locked for this program (%2). Nothing "
                          "will stop a second program from using the same log.txt, so start only one.")
        .arg(where, m_holder);
}
