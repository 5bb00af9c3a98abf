#include "reports/coversheetwriter.h"

#include "core/fieldfile.h"

using namespace reports;

namespace {
QString joinLines(const QStringList &lines)
{
    QString out;
    for (const QString &l : lines)
        out += l + QLatin1String("\r\n");
    return out;
}
}  // namespace

CoverSheetWriter::CoverSheetWriter(const StationInfo &station, const ReportFields &fields,
                                   const QString &scoreText)
    : m_station(station), m_fields(fields), m_scoreText(scoreText)
{
    m_station.call = m_station.call.trimmed();
}

QStringList CoverSheetWriter::middleLines(const PointsTally &t, bool printed) const
{
    const ReportFields &f = m_fields;
    return {
        QString(),
        QStringLiteral("QSO Party Name: ") + contestCaption(f.contest),
        QString(),
        QStringLiteral("Year: ") + f.year,
        QString(),
        QStringLiteral("From 0000z: ") + f.startDate + QStringLiteral(" To 0000z: ") + f.endDate,
        QString(),
        QStringLiteral("Call: ") + m_station.call + QStringLiteral("  Name: ") + f.name
            + QStringLiteral("  10-10#: ") + m_station.memberNumber,
        QString(),
        QStringLiteral("Mailing Address:"),
        QString(),
        f.name,
        f.address1,
        f.address2,
        QString(),
        QStringLiteral("Call Area or ARRL Country from which you operated during the QSO Party: ")
            + f.operatingQth,
        QString(),
        QStringLiteral("Chapter assignment (if any): ") + f.chapter,
        QString(),
        QStringLiteral("Entry is: ") + entryCaption(f.entryClass),
        QString(),
        QStringLiteral("Scoring"),
        printed ? QStringLiteral("Total contacts, Number of Contacts, Multiplier - - - Points - - -")
                : QStringLiteral("Total contacts Number of Contacts Multiplier - - - Points - - -"),
        QString(),
        QStringLiteral("With 10-10 numbers: %1 X 2 = %2").arg(t.withNumbers).arg(t.withNumbers * 2),
        QString(),
        QStringLiteral("Without 10-10 numbers: %1 X 1 = %2").arg(t.withoutNumbers).arg(t.withoutNumbers),
        QString(),
        QStringLiteral("Total Score = ") + m_scoreText,
    };
}

bool CoverSheetWriter::build(const QList<QsoRecord> &records, QByteArray &bytes, QString *error) const
{
    const PointsTally tally = tallyPoints(records);
    if (!tally.ok) {
        if (error)
            *error = tally.error;
        return false;
    }
    QStringList lines{QStringLiteral("10-10 QSO PARTY COVER SHEET for: ") + m_station.call};
    lines += middleLines(tally, false);
    if (!m_fields.comment.isEmpty())
        lines << QString() << QStringLiteral("Comment: ") + m_fields.comment;
    bytes = fieldfile::encode1252(joinLines(lines));
    return true;
}

bool CoverSheetWriter::printLines(const QList<QsoRecord> &records, QString &heading,
                                  QStringList &body, QString *error) const
{
    const PointsTally tally = tallyPoints(records);
    if (!tally.ok) {
        if (error)
            *error = tally.error;
        return false;
    }
    heading = QStringLiteral("10-10 QSO PARTY COVER SHEET for: ") + m_station.call;
    body = middleLines(tally, true);
    body << QString();
    body += checklist();
    return true;
}

QStringList CoverSheetWriter::checklist()
{
    return {
        QStringLiteral("Logs must be postmarked no later than deadline date and sent to the correct scoring"),
        QStringLiteral("chapter. See the Contest Calendar or 10-10 News."),
        QString(),
        QStringLiteral("QSO Party Checklist"),
        QString(),
        QStringLiteral("The following items must be enclosed with log submission."),
        QString(),
        QStringLiteral("1. Proof of Membership ---------- Y N (circle)"),
        QStringLiteral("(Proof must be the mailing label on your newsletter cover sheet or a copy of your"),
        QStringLiteral("membership card)"),
        QString(),
        QStringLiteral("2. Dupe Sheet(s) enclosed (in Alphabetical Order/or Grid format) ---------- Y N (circle)"),
        QString(),
        QStringLiteral("3. Log in UTC Date/Time ---------- Y N (circle)"),
        QString(),
        QStringLiteral("4. All Cover Sheet blanks completed --------- Y N (circle)"),
        QString(),
        QStringLiteral("ALL CHECKLIST ITEMS MUST be circled YES and ALL blanks must be filled in to be an"),
        QStringLiteral("acceptable log submission."),
    };
}

QString DupeSheetWriter::heading() const
{
    return QStringLiteral("10-10 QSO Party Dupe Sheet for: ") + m_ownCall;
}

QByteArray DupeSheetWriter::build(const QList<QsoRecord> &records) const
{
    QStringList lines{heading(), QString()};
    lines += sortedCalls(records);
    return fieldfile::encode1252(joinLines(lines));
}
