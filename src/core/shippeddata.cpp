#include "core/shippeddata.h"

#include "core/fieldfile.h"
#include "core/prefixtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
bool holdsTable(const QString &dir)
{
    return !dir.isEmpty() && QFileInfo::exists(QDir(dir).filePath(QLatin1String(PrefixTable::kFileName)));
}

// Copies `name` from `sourceDir` to `destDir` unless the source is missing or the destination
// already exists. The copy gets owner write permission, as an installed original may be
// read-only, and the operator may want to edit the copy.
bool copyMissing(const QString &sourceDir, const QString &name, const QString &destDir,
                 QStringList &written, QString *error)
{
    const QString source = fieldfile::resolvePath(sourceDir, name);
    if (!QFileInfo(source).isFile())
        return true;
    if (destDir.isEmpty()) {
        if (error)
            error->append(QStringLiteral("%1: no folder to copy it to\n").arg(source));
        return false;
    }
    const QString dest = fieldfile::resolvePath(destDir, name);
    if (QFileInfo::exists(dest))
        return true;
    auto fail = [&](const QString &why) {
        if (error)
            error->append(QStringLiteral("%1 -> %2: %3\n").arg(source, dest, why));
        return false;
    };
    if (!QDir().mkpath(destDir))
        return fail(QStringLiteral("cannot create the folder"));
    QFile in(source);
    if (!in.copy(dest))
        return fail(in.errorString());
    QFile::setPermissions(dest, QFile::permissions(dest) | QFileDevice::WriteOwner
                                    | QFileDevice::ReadOwner);
    written.append(dest);
    return true;
}
}  // namespace

QString shippedDataDir()
{
    const QString fromEnv = qEnvironmentVariable("VARDEL_DATA_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates << QDir(QCoreApplication::applicationDirPath())
                          .absoluteFilePath(QStringLiteral("../share/vardel"));
#ifdef VARDEL_INSTALL_DATA_DIR
    candidates << QStringLiteral(VARDEL_INSTALL_DATA_DIR);
#endif
#ifdef VARDEL_SOURCE_DATA_DIR
    candidates << QStringLiteral(VARDEL_SOURCE_DATA_DIR);
#endif
    for (const QString &dir : candidates) {
        if (holdsTable(dir))
            return QDir::cleanPath(dir);
    }
    return {};
}

QStringList placeShippedData(const AppFolders &folders, QString *error)
{
    return placeShippedData(folders, shippedDataDir(), error);
}

QStringList placeShippedData(const AppFolders &folders, const QString &sourceDir, QString *error)
{
    QStringList written;
    if (sourceDir.isEmpty())
        return written;
    // The tables the program searches for in the shared folder, then the product data folder,
    // then the working directory.
    for (const QString &name : {QString::fromLatin1(PrefixTable::kFileName), QStringLiteral("ADIFCnt.txt")}) {
        if (!QFileInfo::exists(locateDataFile(folders, name)))
            copyMissing(sourceDir, name, folders.sharedFolder, written, error);
    }
    // Files read from the working directory only.
    for (const QString &name : {QStringLiteral("readten.txt"), QStringLiteral("BandPlan.txt")})
        copyMissing(sourceDir, name, folders.workingDir, written, error);
    return written;
}
