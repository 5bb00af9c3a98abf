#include "reports/adifwriter.h"

#include "core/fieldfile.h"
#include "reports/reportconstants.h"
#include "reports/reportdata.h"

#include <QFileInfo>

bool AdifCountryTable::load(const QString &path, QString *error)
{
    names.clear();
    numbers.clear();
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!QFileInfo::exists(path))
        return fail(QStringLiteral("File not found: %1").arg(path));
    QByteArray bytes;
    QString why;
    if (!fieldfile::readFile(path, bytes, &why))
        return fail(why);
    fieldfile::Reader reader(bytes);
    while (!reader.atEnd()) {
        QString name;
        double number = 0;
        if (!reader.nextText(name)) {
            if (!reader.error().isEmpty())
                return fail(QStringLiteral("%1: %2").arg(path, reader.error()));
            break;  // only separators were left
        }
        if (!reader.nextNumber(number))
            return fail(QStringLiteral("%1: entry %2 (\"%3\") has no valid number.")
                            .arg(path).arg(names.size() + 1).arg(name));
        if (names.size() == kCapacity)
            return fail(QStringLiteral("%1 holds more than %2 entries.").arg(path).arg(kCapacity));
        names << name;
        numbers << int(number);
    }
    return true;
}

int AdifCountryTable::lookup(const QString &country) const
{
    const QString key = country.trimmed();
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(key, Qt::CaseInsensitive) == 0)
            return numbers[i];
    return 0;
}

AdifWriter::AdifWriter(const AdifCountryTable &table, Options options) : m_options(std::move(options))
{
    for (qsizetype i = table.names.size() - 1; i >= 0; --i)  // backwards: the first entry wins
        m_dxcc.insert(table.names[i].toCaseFolded(), table.numbers[i]);
}

QString AdifWriter::header() const
{
    return QStringLiteral("ADIF Export from ") + m_options.windowTitle.left(45).trimmed()
           + QStringLiteral("\r\n")
           + QStringLiteral("Vardel contest logger, written by %1.\r\n").arg(QLatin1String(reports::kProgramAuthor))
           + QStringLiteral("Web: %1  E-mail: %2\r\n")
                 .arg(QLatin1String(reports::kMakerWebAddress), QLatin1String(reports::kMakerSupportAddress))
           + QStringLiteral("Log exported on: ") + m_options.exportedOn + QStringLiteral("\r\n")
           + QStringLiteral("\r\n<EOH>\r\n\r\n");
}

QString AdifWriter::adifDate(const QString &stored)
{
    const QDate d = reports::parseStoredDate(stored);
    return d.isValid() ? d.toString(QStringLiteral("yyyyMMdd")) : QString();
}

QString AdifWriter::adifTime(const QString &stored)
{
    const QTime parsed = reports::parseStoredTime(stored);
    if (parsed.isValid())
        return parsed.toString(QStringLiteral("HHmm"));
    QString t = stored.trimmed();
    const qsizetype colon = t.indexOf(u':');
    if (colon >= 0)
        t = t.left(colon) + t.mid(colon + 1, 2);
    t = t.left(4);
    return QString(4 - t.size(), u'0') + t;
}

void AdifWriter::countryAndState(const QsoRecord &r, QString &country, QString &state)
{
    country.clear();
    state.clear();
    if (r.qth.size() > 2) {
        country = r.qth;
    } else if (r.qth.size() == 2) {
        const QChar first = r.call.isEmpty() ? QChar() : r.call.at(0).toUpper();
        if (first == u'A' || first == u'K' || first == u'N' || first == u'W') {
            state = r.qth;
            if (r.qth.compare(QLatin1String("HI"), Qt::CaseInsensitive) == 0)
                country = QStringLiteral("Hawaii");
            else if (r.qth.compare(QLatin1String("AK"), Qt::CaseInsensitive) == 0)
                country = QStringLiteral("Alaska");
            else
                country = QStringLiteral("USA");
        } else {
            country = QStringLiteral("Canada");
        }
    }
}

QString AdifWriter::mode(const QString &stored)
{
    if (stored == QLatin1String("CW"))
        return stored;
    if (stored.compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("SSB");
    if (stored.compare(QLatin1String("DG"), Qt::CaseInsensitive) == 0) {
        if (m_designator.isEmpty() && m_options.askDesignator)
            m_designator = m_options.askDesignator();
        return m_designator.toUpper();
    }
    return stored.toUpper();
}

void adif::appendField(QString &out, const char *tag, const QString &value)
{
    out += u'<';
    out += QLatin1String(tag);
    out += u':';
    out += QString::number(value.size());
    out += u'>';
    out += value;
}

namespace {
void field(QString &out, const char *tag, const QString &value) { adif::appendField(out, tag, value); }
QString rightTrimmed(QString s)
{
    while (!s.isEmpty() && s.back() == u' ')
        s.chop(1);
    return s;
}
}  // namespace

QString AdifWriter::record(const QsoRecord &r)
{
    static const QString crlf = QStringLiteral("\r\n");
    QString out;
    const QString date = adifDate(r.date);
    const QString time = adifTime(r.time);
    QString country, state;
    countryAndState(r, country, state);
    const int dxcc = m_dxcc.value(country.trimmed().toCaseFolded(), 0);
    const QString modeText = mode(r.mode);
    const QString power = rightTrimmed(m_options.power);

    if (!r.call.isEmpty()) {
        field(out, "Call", r.call);
        out += u' ';
    }
    if (!date.isEmpty()) {
        out += QStringLiteral("<Qso_Date:%1:d>").arg(date.size()) + date + u' ';
    }
    out += QStringLiteral("<Band:3>10M ");
    if (!modeText.isEmpty()) {
        field(out, "Mode", modeText);
        out += u' ';
    }
    if (!power.isEmpty()) {
        field(out, "Tx_Pwr", power);
        out += u' ' + crlf;
    }
    if (time >= QLatin1String("0000")) {
        field(out, "Time_On", time);
        out += u' ';
    }
    if (dxcc > 0) {
        field(out, "DXCC", QString::number(dxcc));
        out += u' ';
    }
    if (!state.isEmpty()) {
        field(out, "State", state);
        out += u' ';
    }
    if (!r.name.isEmpty()) {
        field(out, "Name", r.name);
        out += u' ' + crlf;
    }
    if (r.memberNumber.compare(QLatin1String("None"), Qt::CaseInsensitive) != 0) {
        field(out, "Ten_Ten", r.memberNumber);
        out += u' ';
    }
    if (!m_options.comment.isEmpty()) {
        field(out, "Comment", m_options.comment);
        out += crlf;
    }
    out += QStringLiteral("<eor>") + crlf + crlf;
    return out;
}

QByteArray AdifWriter::build(const QList<QsoRecord> &records)
{
    QString out = header();
    out.reserve(out.size() + 160 * records.size());
    for (const QsoRecord &r : records)
        out += record(r);
    return fieldfile::encode1252(out);
}
