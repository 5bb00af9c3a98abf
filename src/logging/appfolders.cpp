#include "logging/appfolders.h"

#include "logging/fieldfile.h"

#include <QDir>

QString AppFolders::workFile(const QString &name) const
{
    return fieldfile::resolvePath(workingDir, name);
}

QString AppFolders::backupFolder() const
{
    return QDir(productDataFolder).filePath(QStringLiteral("BACKUP"));
}
