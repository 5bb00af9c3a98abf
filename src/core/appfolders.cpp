#include "core/appfolders.h"

#include "core/fieldfile.h"

#include <QDir>
#include <QFileInfo>

QString AppFolders::workFile(const QString &name) const
{
    return fieldfile::resolvePath(workingDir, name);
}

QString AppFolders::backupFolder() const
{
    return QDir(productDataFolder).filePath(QStringLiteral("BACKUP"));
}

QString fileNameStem(const QString &ownCall)
{
    qsizetype n = 0;
    while (n < ownCall.size()
           && ((ownCall[n] >= u'0' && ownCall[n] <= u'9') || (ownCall[n] >= u'A' && ownCall[n] <= u'Z')))
        ++n;
    return n == 0 ? QStringLiteral("YourCall") : ownCall.left(n);
}

QString proposedReportPath(const AppFolders &folders, const QString &ownCall, const QString &extension)
{
    return QDir(folders.productDataFolder).filePath(fileNameStem(ownCall) + extension);
}

QString proposedAdifPath(const AppFolders &folders)
{
    return QDir(folders.productDataFolder).filePath(QStringLiteral("Vardel.adi"));
}

QString locateDataFile(const AppFolders &folders, const QString &name)
{
    for (const QString &folder : {folders.sharedFolder, folders.productDataFolder, folders.workingDir}) {
        if (folder.isEmpty())
            continue;
        const QString path = fieldfile::resolvePath(folder, name);
        if (QFileInfo::exists(path))
            return path;
    }
    return fieldfile::resolvePath(folders.workingDir, name);
}

QString contestFolderFor(const QString &startDir, const QString &home, const QString &documents)
{
    const QString start = QDir(startDir).canonicalPath();
    if (start.isEmpty() || start != QDir(home).canonicalPath())
        return startDir;
    // Without a documents folder of its own, the documents location is the home folder.
    const QString base = documents.isEmpty() || QDir(documents).canonicalPath() == start
                             ? QDir(home).filePath(QStringLiteral("Documents"))
                             : documents;
    return QDir(base).filePath(QStringLiteral("Vardel/contest"));
}
