#include "reports/tallisexport.h"

#include "core/fieldfile.h"
#include "reports/reportdata.h"

#include <QTreeWidget>

namespace {
QString quoted(const QString &s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}
// Tallis reads "yyyy/mm/dd" and "hh:mm[:ss]"; other stored forms the log accepts are put in
// that form, and what does not parse goes as stored.
QString tallisDate(const QString &stored)
{
    const QDate d = reports::parseStoredDate(stored);
    return d.isValid() ? d.toString(QStringLiteral("yyyy/MM/dd")) : stored;
}
QString tallisTime(const QString &stored)
{
    const QTime t = reports::parseStoredTime(stored);
    if (!t.isValid())
        return stored;
    return t.toString(stored.count(u':') == 2 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
}
bool isNumeric(const QString &s)
{
    double v = 0;
    return fieldfile::parseNumber(s, v);
}
}  // namespace

QString TallisExport::line(const QsoRecord &r, const Options &o)
{
    const QString country = r.qth.size() == 2 ? QStringLiteral("USA") : r.qth;
    QString state;
    if (r.qth.size() == 2)
        state = r.qth;
    else if (country.compare(QLatin1String("Alaska"), Qt::CaseInsensitive) == 0)
        state = QStringLiteral("AK");
    else if (country.compare(QLatin1String("Hawaii"), Qt::CaseInsensitive) == 0)
        state = QStringLiteral("HI");
    const bool numeric = isNumeric(r.memberNumber);
    QString comment = r.name + QStringLiteral("  10-10 Contest");
    if (!o.numberInOther)
        comment += QStringLiteral("  ") + (numeric ? r.memberNumber : QString());

    const QStringList fields{
        quoted(r.call),
        quoted(tallisDate(r.date)),
        quoted(QStringLiteral("10")),
        quoted(o.cw ? QStringLiteral("CW") : QStringLiteral("SSB")),
        quoted(o.power),
        quoted(tallisTime(r.time)),
        QString(), QString(), QString(),
        quoted(country),
        quoted(state),
        QString(),
        quoted(o.numberInOther && numeric ? r.memberNumber : QString()),
        QString(), QString(),
        quoted(comment),
    };
    return fields.join(u',');
}

QByteArray TallisExport::build(const QList<QsoRecord> &records, const Options &options)
{
    QString out;
    for (const QsoRecord &r : records)
        out += line(r, options) + QStringLiteral("\r\n");
    return fieldfile::encode1252(out);
}

QString listedItemsText(const QStringList &headers, const QList<QStringList> &rows)
{
    QString out;
    for (qsizetype c = 0; c < headers.size(); ++c)
        out += headers[c] + (c + 1 < headers.size() ? QStringLiteral("\t") : QStringLiteral("\r\n"));
    for (const QStringList &row : rows) {
        if (row.isEmpty())
            continue;
        // The first column is always followed by a tab; the others by a tab, the last by a line
        // end, so a one-column list gives "text<tab>" and no line end.
        out += row[0] + u'\t';
        for (qsizetype c = 1; c < row.size(); ++c)
            out += row[c] + (c + 1 < row.size() ? QStringLiteral("\t") : QStringLiteral("\r\n"));
    }
    return out;
}

QString listedItemsText(const QTreeWidget &list)
{
    QStringList headers;
    const int columns = list.columnCount();
    const QTreeWidgetItem *header = list.headerItem();
    for (int c = 0; c < columns; ++c)
        headers << (header ? header->text(c) : QString());
    QList<QStringList> rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list.topLevelItem(i);
        QStringList row;
        for (int c = 0; c < columns; ++c)
            row << item->text(c);
        rows << row;
    }
    return listedItemsText(headers, rows);
}
