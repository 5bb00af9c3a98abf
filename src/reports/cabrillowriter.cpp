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
                               const QString &scoreText, const QString &windowTitle, Format format)
    : m_station(station), m_fields(fields), m_scoreText(scoreText), m_windowTitle(windowTitle),
      m_format(format)
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

QString CabrilloWriter::qsoLine(const QsoRecord &r, const StationInfo &s, qint64 hz)
{
    // A frequency on the band, in kHz; the band edge where none was recorded.
    const qint64 khz = (hz + 500) / 1000;
    QString line = QStringLiteral("QSO: ")
                   + (khz >= 28000 && khz <= 29700 ? QString::number(khz) : QStringLiteral("28000"));
    placeAt(line, 12, r.mode);
    placeAt(line, 15, cabrilloDate(r.date));
    placeAt(line, 26, storedTimeHhmm(r.time));
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
    if (m_format == Format::Cabrillo3) {
        header3(out, tally, records);
    } else {
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
    }
    for (const QsoRecord &r : records)
        line(qsoLine(r, m_station, m_frequencyOf ? m_frequencyOf(r) : 0), QString());
    line(QStringLiteral("END-OF-LOG:"), QString());
    bytes = fieldfile::encode1252(out);
    return true;
}

QString CabrilloWriter::contest3(Contest contest, const QList<QsoRecord> &records)
{
    const bool digitalOnly = !records.isEmpty() && categoryMode3(records) == QLatin1String("DIGI");
    switch (contest) {
    case Contest::WinterPhone:
        return QStringLiteral("10-10-WINTER-PHONE");
    case Contest::SpringCw:
        return digitalOnly ? QStringLiteral("10-10-SPRING-DIGITAL") : QStringLiteral("10-10-SPRING-CW");
    case Contest::SummerPhone:
        return QStringLiteral("10-10-SUMMER-PHONE");
    case Contest::FallCw:
        return digitalOnly ? QStringLiteral("10-10-FALL-DIGITAL") : QStringLiteral("10-10-FALL-CW");
    case Contest::Sprint:
        return QStringLiteral("10-10-SPRINT");
    case Contest::SpringDigital:
        return QStringLiteral("10-10-SPRING-DIGITAL");
    case Contest::OpenSeason:
        return QStringLiteral("10-10-OPEN-SEASON");
    case Contest::SpiritOf76:
        return QStringLiteral("10-10-SPIRIT-OF-76");
    case Contest::FallDigital:
        return QStringLiteral("10-10-FALL-DIGITAL");
    }
    return {};
}

QString CabrilloWriter::categoryMode3(const QList<QsoRecord> &records)
{
    QString mode;
    for (const QsoRecord &r : records) {
        const QString m = r.mode.trimmed().toUpper();
        const QString category = m == u"CW" ? QStringLiteral("CW")
                                 : m == u"PH" ? QStringLiteral("SSB")
                                 : m == u"DG" ? QStringLiteral("DIGI")
                                              : QStringLiteral("MIXED");
        if (mode.isEmpty())
            mode = category;
        else if (mode != category)
            return QStringLiteral("MIXED");
    }
    return mode.isEmpty() ? QStringLiteral("MIXED") : mode;
}

QString CabrilloWriter::categoryOperator3(EntryClass entry)
{
    return entry == EntryClass::Club ? QStringLiteral("MULTI-OP") : QStringLiteral("SINGLE-OP");
}

QString CabrilloWriter::categoryPower3(EntryClass entry)
{
    // QRP and Low claim their power limit; the others claim none.
    return entry == EntryClass::Qrp ? QStringLiteral("QRP") : entry == EntryClass::Low ? QStringLiteral("LOW") : QStringLiteral("HIGH");
}

QString CabrilloWriter::categoryStation3(EntryClass entry)
{
    return entry == EntryClass::Mobile ? QStringLiteral("MOBILE") : QStringLiteral("FIXED");
}

QString CabrilloWriter::createdBy(const QString &windowTitle)
{
    // "Korvex's Vardel 2.9" and blanks: the words after the maker's name.
    QString title = windowTitle.trimmed();
    const qsizetype mark = title.indexOf(QLatin1String("'s "));
    if (mark >= 0)
        title = title.mid(mark + 3);
    return title;
}

void CabrilloWriter::header3(QString &out, const PointsTally &tally, const QList<QsoRecord> &records) const
{
    auto line = [&out](const QString &tag, const QString &value) {
        out += tag;
        out += QLatin1String(": ");
        out += value;
        out += QLatin1String("\r\n");
    };
    // Optional tags are left out when empty rather than written bare.
    auto optional = [&line](const QString &tag, const QString &value) {
        if (!value.trimmed().isEmpty())
            line(tag, value.trimmed());
    };
    line(QStringLiteral("START-OF-LOG"), QStringLiteral("3.0"));
    line(QStringLiteral("CREATED-BY"), createdBy(m_windowTitle));
    line(QStringLiteral("CONTEST"), contest3(m_fields.contest, records));
    line(QStringLiteral("CALLSIGN"), m_station.call);
    line(QStringLiteral("CATEGORY-OPERATOR"), categoryOperator3(m_fields.entryClass));
    line(QStringLiteral("CATEGORY-POWER"), categoryPower3(m_fields.entryClass));
    line(QStringLiteral("CATEGORY-STATION"), categoryStation3(m_fields.entryClass));
    line(QStringLiteral("CATEGORY-BAND"), QStringLiteral("10M"));
    line(QStringLiteral("CATEGORY-MODE"), categoryMode3(records));
    line(QStringLiteral("CLAIMED-SCORE"), m_scoreText);
    optional(QStringLiteral("OPERATORS"), m_fields.operators);
    optional(QStringLiteral("NAME"), m_fields.name);
    optional(QStringLiteral("ADDRESS"), m_fields.address1);
    optional(QStringLiteral("ADDRESS"), m_fields.address2);
    optional(QStringLiteral("SOAPBOX"), m_fields.comment);
    optional(QStringLiteral("X-TEN-TEN-NUMBER"), m_station.memberNumber);
    optional(QStringLiteral("X-OPERATING-QTH"), m_fields.operatingQth);
    optional(QStringLiteral("X-CHAPTER-ASSIGNMENT"), m_fields.chapter);
    line(QStringLiteral("X-QSOS-WITH-10-10-NUMBERS"), QString::number(tally.withNumbers));
    line(QStringLiteral("X-QSOS-WITHOUT-10-10-NUMBERS"), QString::number(tally.withoutNumbers));
}
