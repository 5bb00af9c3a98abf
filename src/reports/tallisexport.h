#pragma once
#include "core/qsorecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QTreeWidget;

// "LogExp.txt": the contacts in the import form of the maker's general logbook, 16
// comma-separated fields a line.
class TallisExport {
public:
    static constexpr const char *kFileName = "LogExp.txt";

    struct Options {
        QString power = QStringLiteral("100");
        bool cw = true;           // else "SSB"
        bool numberInOther = true;  // else the number goes into the comment
    };

    static QString line(const QsoRecord &record, const Options &options);
    static QByteArray build(const QList<QsoRecord> &records, const Options &options);
};

// The rows of a list as tab-separated text: the column headers, then one line per row.
QString listedItemsText(const QStringList &headers, const QList<QStringList> &rows);
QString listedItemsText(const QTreeWidget &list);
