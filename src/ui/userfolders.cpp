#include "ui/userfolders.h"

#include "core/fieldfile.h"
#include "platform/dialogs.h"
#include "ui/sharedpreferences.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kAccessErrorTitle = QStringLiteral("User Access Directory Error");

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// The home folder from the user database, for a session started without HOME.
QString passwdHome()
{
    const passwd *pw = getpwuid(getuid());
    return pw && pw->pw_dir ? QString::fromLocal8Bit(pw->pw_dir) : QString();
}

}  // namespace

UserFolders::UserFolders(Dialogs &dialogs) : m_dialogs(dialogs) {}

QString UserFolders::existingFolder(const QString &pathIn, QString *error)
{
    const QString path = withoutTrailingSlash(pathIn);
    if (path.isEmpty())
        return QString();
    if (QFileInfo(path).isDir())
        return path;
    const QFileInfo info(path);
    const QString parentPath = info.path();
    const QFileInfo parent(parentPath);
    if (!parent.isDir())
        return QString();
    if (!parent.isReadable() || !parent.isExecutable()) {
        if (error)
            *error = QStringLiteral("Permission denied: %1").arg(parentPath);
        return QString();
    }
    // Folders made on a case-insensitive system, or by hand, may be spelt otherwise.
    const QDir dir(parentPath);
    const QStringList entries = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return QString();
}

QString UserFolders::ensureFolder(const QString &pathIn, bool report)
{
    const QString path = withoutTrailingSlash(pathIn);
    if (path.isEmpty()) {
        m_dialogs.message(nullptr, QStringLiteral("Invalid Path"),
                          QStringLiteral("Unable to Create Directory"));
        return QString();
    }
    QString listError;
    const QString existing = existingFolder(path, &listError);
    if (!existing.isEmpty())
        return existing;
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
        return path;
    const int err = errno;
    if (report) {
        const QString description = listError.isEmpty() ? QString::fromLocal8Bit(std::strerror(err))
                                                        : listError;
        m_dialogs.message(nullptr, description + QStringLiteral("  ") + path,
                          QStringLiteral("Unable to create directory."));
    }
    return QString();
}

QString UserFolders::resolveMakerFolder(const QString &maker, const QString &sub)
{
    // The maker folder and its sub-folder inside `documents`; empty when either cannot be made.
    auto under = [&](const QString &documents) -> QString {
        const QString makerPath = ensureFolder(joined(documents, maker), true);
        if (makerPath.isEmpty())
            return QString();
        return ensureFolder(joined(makerPath, sub), true).isEmpty() ? QString() : makerPath;
    };
    auto accessError = [&](const QString &description) {
        m_dialogs.message(nullptr, description, kAccessErrorTitle);
    };

    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) {
        // A session without HOME: the account's own documents folder, made when missing.
        const QString account = passwdHome();
        if (account.isEmpty()) {
            accessError(QStringLiteral("The home folder of this account is not known."));
            return QString();
        }
        const QString documents = ensureFolder(joined(account, QStringLiteral("Documents")), true);
        const QString found = documents.isEmpty() ? QString() : under(documents);
        return found.isEmpty() ? joined(joined(account, QStringLiteral("Documents")), maker) : found;
    }

    // The documents folder proper: configured, or HOME/Documents, made quietly when missing.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || QDir::cleanPath(documents) == QDir::cleanPath(home))
        documents = joined(home, QStringLiteral("Documents"));
    QString tried;
    {
        QString error;
        QString existing = existingFolder(documents, &error);
        if (!error.isEmpty()) {
            accessError(error);
        } else {
            if (existing.isEmpty())
                existing = ensureFolder(documents, false);
            if (!existing.isEmpty()) {
                const QString found = under(existing);
                if (!found.isEmpty())
                    return found;
                tried = existing;
            }
        }
    }

    // An existing HOME/Documents in any spelling, when the configured one was of no use.
    {
        QString error;
        const QString existing = existingFolder(joined(home, QStringLiteral("Documents")), &error);
        if (!error.isEmpty()) {
            accessError(error);
        } else if (!existing.isEmpty() && QDir::cleanPath(existing) != QDir::cleanPath(tried)) {
            const QString found = under(existing);
            if (!found.isEmpty())
                return found;
        }
    }

    // Last resort: beside the documents, in HOME and in the data folder; the data folder wins.
    under(home);
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = joined(home, QStringLiteral(".local/share"));
    if (!QDir().mkpath(data))
        accessError(QStringLiteral("Unable to create %1").arg(data));
    const QString found = under(data);
    return found.isEmpty() ? joined(data, maker) : found;
}

AppFolders setUpUserFolders(Dialogs &dialogs, SharedPreferences &shared)
{
    AppFolders folders;
    folders.workingDir = QDir::currentPath();
    UserFolders user(dialogs);
    const QString maker = QString::fromLatin1(UserFolders::kMakerFolder);
    user.resolveMakerFolder(maker, QString::fromLatin1(UserFolders::kProductFolder));
    folders.makerFolder = user.resolveMakerFolder(maker, QString::fromLatin1(UserFolders::kSharedFolder));

    auto inMaker = [&](const char *name) {
        const QString path = joined(folders.makerFolder, QString::fromLatin1(name));
        const QString existing = UserFolders::existingFolder(path);
        return existing.isEmpty() ? path : existing;
    };
    folders.productDataFolder = inMaker(UserFolders::kProductFolder);
    folders.sharedFolder = inMaker(UserFolders::kSharedFolder);

    // The shared file keeps whatever spelling another program gave it.
    shared.load(fieldfile::resolvePath(folders.sharedFolder,
                                       QString::fromLatin1(SharedPreferences::kFileName)));

    user.ensureFolder(folders.backupFolder(), false);
    return folders;
}
