#pragma once
#include "core/appfolders.h"
#include "core/logstore.h"
#include "core/preferences.h"
#include "reports/reportdata.h"

#include <QDir>
#include <QList>

// A small log that walks the awkward cases of the reports: a contact without a number, a DX
// country, a post-contest time, a name longer than its column, an invalid date, a lower-case call.
namespace fixtures {

inline QList<QsoRecord> smallLog()
{
    return {
        {"K1ABC", "JOE", "MA", "1234", "2", "2009/08/01", "18:05:30", "PH"},
        {"VE3XYZ", "BOB", "ON", "None", "1", "2009/08/01", "18:07:00", "PH"},
        {"JA1AAA", "TARO", "Japan", "7", "2", "2009/08/02", "01:02", "PH"},
        {"W6LONGNAME", "BARTHOLOMEWS", "CA", "123456", "2", "2009/08/02", "02:00:00", "CW"},
        {"k1abc", "ann", "X", "", "1", "2009/13/45", "03:04:05", "DG"},
    };
}

inline reports::StationInfo station()
{
    return {"K1XYZ", "12345", "ANN", "CT"};
}

inline Preferences prefs()
{
    Preferences p;
    p.ownCall = "K1XYZ";
    p.ownMemberNumber = "12345";
    p.ownFirstName = "ANN";
    p.ownState = "CT";
    return p;
}

inline reports::ReportFields fields()
{
    reports::ReportFields f;
    f.contest = reports::Contest::SummerPhone;
    f.entryClass = reports::EntryClass::Club;
    f.year = "2009";
    f.startDate = "08/01";
    f.endDate = "08/02";
    f.name = "Ann Smith";
    f.address1 = "1 Main St";
    f.address2 = "Hartford CT 06101";
    f.operatingQth = "CT";
    f.operators = "ANN/12345";
    f.chapter = "Nutmeg";
    f.comment = "Great fun";
    return f;
}

// Writes the records as the program's log file.
inline void writeLog(const QString &path, const QList<QsoRecord> &records)
{
    QByteArray bytes;
    for (const QsoRecord &r : records)
        bytes += LogStore::formatLine(r);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

inline AppFolders folders(const QString &root)
{
    AppFolders f;
    f.workingDir = root;
    f.makerFolder = QDir(root).filePath("Documents/Korvex Software");
    f.productDataFolder = QDir(f.makerFolder).filePath("Vardel");
    f.sharedFolder = QDir(f.makerFolder).filePath("Shared");
    QDir().mkpath(f.productDataFolder);
    QDir().mkpath(f.sharedFolder);
    return f;
}

}  // namespace fixtures
