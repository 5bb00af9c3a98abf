#include "reports/cabrillowriter.h"

#include "core/fieldfile.h"

using namespace reports;

namespace {

// Places `value` so it starts at the 1-based `column`. A value longer than its slot pushes the
// rest of the line right, but one blank always separates two values so the line still splits
// into the same tokens; the next value that fits returns to its column.
void placeAt(QString &line, int column, const QString &value)
{
    const int start = column - 1;
    if (line.size() < start)
        line.append(QString(start - line.size(), u' '));
    else if (!line.isEmpty())
        line.append(u' ');
    line.append(value);
}

QString cabrilloDate(const QString &stored)
{
    const QDate d = parseStoredDate(stored);
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : stored;
}

}  // namespace

CabrilloWriter::CabrilloWriter(const StationInfo &station, const ReportFields &fields,
                               const QString &scoreText, const QString &windowTitle)
    : m_station(station), m_fields(fields), m_scoreText(scoreText), m_windowTitle(windowTitle)
{
    m_station.call = m_station.call.trimmed();
}

QString CabrilloWriter::normalisedMemberNumber(const QString &number)
{
    if (number == QLatin1String("None"))
        return QStringLiteral("00000");
    if (number.size() < 5)
        return QString(5 - number.size(), u'0') + number;
    return number;
}

QString CabrilloWriter::qsoLine(const QsoRecord &r, const StationInfo &s)
{
    QString line = QStringLiteral("QSO: 28000");
    placeAt(line, 12, r.mode);
    placeAt(line, 15, cabrilloDate(r.date));
    placeAt(line, 26, r.time.mid(0, 2) + r.time.mid(3, 2));
    placeAt(line, 31, s.call.trimmed());
    placeAt(line, 42, s.memberNumber);
    placeAt(line, 48, s.firstName);
    placeAt(line, 59, s.state.size() <= 2 ? s.state : QStringLiteral("DX"));
    placeAt(line, 63, r.call);
    placeAt(line, 74, normalisedMemberNumber(r.memberNumber));
    placeAt(line, 80, r.name);
    placeAt(line, 91, r.qth.size() == 2 ? r.qth : QStringLiteral("DX"));
    return line;
}

bool CabrilloWriter::build(const QList<QsoRecord> &records, QByteArray &bytes, QString *error) const
{
    const PointsTally tally = tallyPoints(records);
    if (!tally.ok) {
        if (error)
            *error = tally.error;
        return false;
    }
    QString out;
    out.reserve(200 * (records.size() + 8));
    auto line = [&out](const QString &label, const QString &value) {
        out += label;
        out += value;
        out += QLatin1String("\r\n");
    };
    line(QStringLiteral("START-OF-LOG: "), m_windowTitle.left(50));
    line(QStringLiteral("CONTEST: "), cabrilloContest(m_fields.contest));
    line(QStringLiteral("CALLSIGN: "), m_station.call);
    line(QStringLiteral("TEN TEN NUMBER: "), m_station.memberNumber);
    line(QStringLiteral("CATEGORY: "), cabrilloCategory(m_fields.entryClass));
    line(QStringLiteral("OPERATORS: "), m_fields.operators);
    line(QStringLiteral("OPERATING QTH: "), m_fields.operatingQth);
    line(QStringLiteral("CHAPTER ASSIGNMENT: "), m_fields.chapter);
    line(QStringLiteral("CLAIMED SCORE: "), m_scoreText);
    line(QStringLiteral("QSOs WITH 10-10 NUMBERS: "), QString::number(tally.withNumbers));
    line(QStringLiteral("QSOs WITHOUT 10-10 NUMBERS: "), QString::number(tally.withoutNumbers));
    line(QStringLiteral("NAME: "), m_fields.name);
    line(QStringLiteral("ADDRESS: "), m_fields.address1);
    line(QStringLiteral("ADDRESS: "), m_fields.address2);
    line(QStringLiteral("SOAPBOX: "), m_fields.comment);
    for (const QsoRecord &r : records)
        line(qsoLine(r, m_station), QString());
    line(QStringLiteral("END-OF-LOG:"), QString());
    bytes = fieldfile::encode1252(out);
    return true;
}
