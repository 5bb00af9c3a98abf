#include "reports/contestadif.h"

#include "core/fieldfile.h"
#include "core/prefixtable.h"
#include "reports/adifwriter.h"
#include "reports/reportdata.h"

#include <QHash>

namespace {
void field(QString &out, const char *tag, const QString &value)
{
    if (value.isEmpty())
        return;
    adif::appendField(out, tag, value);
    out += u' ';
}
}  // namespace

ContestAdifWriter::ContestAdifWriter(const AdifCountryTable &countries, const PrefixTable *prefixes, Options options)
    : m_countries(countries), m_prefixes(prefixes), m_options(std::move(options))
{
}

void ContestAdifWriter::modeAndSubmode(const QString &stored, const QString &digitalMode, QString &mode, QString &submode)
{
    mode.clear();
    submode.clear();
    const QString s = stored.trimmed().toUpper();
    if (s == u"CW") {
        mode = s;
        return;
    }
    if (s == u"PH") {
        mode = QStringLiteral("SSB");
        return;
    }
    if (s != u"DG") {
        mode = s;
        return;
    }
    // The digital designators an operator types, as ADIF's mode and submode enumerations have them.
    static const QHash<QString, std::pair<QString, QString>> digital{
        {QStringLiteral("PSK31"), {QStringLiteral("PSK"), QStringLiteral("PSK31")}},
        {QStringLiteral("BPSK31"), {QStringLiteral("PSK"), QStringLiteral("PSK31")}},
        {QStringLiteral("PSK63"), {QStringLiteral("PSK"), QStringLiteral("PSK63")}},
        {QStringLiteral("PSK125"), {QStringLiteral("PSK"), QStringLiteral("PSK125")}},
        {QStringLiteral("QPSK31"), {QStringLiteral("PSK"), QStringLiteral("QPSK31")}},
        {QStringLiteral("QPSK63"), {QStringLiteral("PSK"), QStringLiteral("QPSK63")}},
        {QStringLiteral("RTTY"), {QStringLiteral("RTTY"), QString()}},
        {QStringLiteral("RY"), {QStringLiteral("RTTY"), QString()}},
        {QStringLiteral("FT8"), {QStringLiteral("FT8"), QString()}},
        {QStringLiteral("FT4"), {QStringLiteral("MFSK"), QStringLiteral("FT4")}},
        {QStringLiteral("JT65"), {QStringLiteral("JT65"), QString()}},
        {QStringLiteral("JT9"), {QStringLiteral("JT9"), QString()}},
        {QStringLiteral("MFSK16"), {QStringLiteral("MFSK"), QStringLiteral("MFSK16")}},
        {QStringLiteral("OLIVIA"), {QStringLiteral("OLIVIA"), QString()}},
        {QStringLiteral("CONTESTIA"), {QStringLiteral("CONTESTI"), QString()}},
        {QStringLiteral("DOMINO"), {QStringLiteral("DOMINO"), QString()}},
        {QStringLiteral("HELL"), {QStringLiteral("HELL"), QString()}},
        {QStringLiteral("FELDHELL"), {QStringLiteral("HELL"), QStringLiteral("FMHELL")}},
    };
    const QString d = digitalMode.trimmed().toUpper().remove(u' ').remove(u'-');
    const auto it = digital.constFind(d);
    if (it != digital.cend()) {
        mode = it->first;
        submode = it->second;
    } else {
        mode = d.isEmpty() ? QStringLiteral("RTTY") : d;
    }
}

int ContestAdifWriter::dxccOf(const QsoRecord &r) const
{
    // The call says where the station is; the typed state or country only when it does not.
    if (m_prefixes) {
        const CountryLookup found = m_prefixes->lookup(r.call);
        if (found.found) {
            const int n = m_countries.lookup(found.country.isEmpty() ? QStringLiteral("USA") : found.country);
            if (n > 0)
                return n;
        }
    }
    QString country, state;
    AdifWriter::countryAndState(r, country, state);
    return m_countries.lookup(country);
}

QString ContestAdifWriter::header() const
{
    QString out = QStringLiteral("Vardel contest log, ADIF 3.1\r\n");
    field(out, "ADIF_VER", QStringLiteral("3.1.4"));
    field(out, "PROGRAMID", QStringLiteral("Vardel"));
    field(out, "PROGRAMVERSION", m_options.programVersion);
    field(out, "CREATED_TIMESTAMP", m_options.createdUtc.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss")));
    out += QStringLiteral("<EOH>\r\n\r\n");
    return out;
}

QString ContestAdifWriter::record(const QsoRecord &r) const
{
    QString out;
    const QDate date = reports::parseStoredDate(r.date);
    const QTime time = reports::parseStoredTime(r.time);
    QString mode, submode;
    const QString recordedModem = m_options.submodeOf ? m_options.submodeOf(r) : QString();
    modeAndSubmode(r.mode, recordedModem.isEmpty() ? m_options.digitalMode : recordedModem, mode, submode);
    const qint64 hz = m_options.frequencyOf ? m_options.frequencyOf(r) : 0;
    QString country, state;
    AdifWriter::countryAndState(r, country, state);
    const bool none = r.memberNumber.trimmed().compare(QLatin1String("None"), Qt::CaseInsensitive) == 0;
    const QString number = none ? QString() : r.memberNumber.trimmed();

    field(out, "CALL", r.call.trimmed().toUpper());
    field(out, "QSO_DATE", date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")) : QString());
    field(out, "TIME_ON", time.isValid() ? time.toString(QStringLiteral("HHmmss")) : QString());
    field(out, "BAND", QStringLiteral("10m"));
    if (hz > 0)
        field(out, "FREQ", QString::number(double(hz) / 1e6, 'f', 6));  // MHz
    field(out, "MODE", mode);
    field(out, "SUBMODE", submode);
    field(out, "STATION_CALLSIGN", m_options.stationCall);
    field(out, "OPERATOR", m_options.stationCall);
    field(out, "CONTEST_ID", m_options.contestId);
    field(out, "SRX_STRING", QStringList{r.name.trimmed(), r.qth.trimmed(), number}.join(u' ').simplified());
    field(out, "STX_STRING", m_options.sentExchange.simplified());
    field(out, "NAME", r.name.trimmed());
    if (country == u"Canada")
        field(out, "VE_PROV", r.qth.trimmed().toUpper());
    else
        field(out, "STATE", state.toUpper());
    field(out, "TEN_TEN", number);
    if (const int dxcc = dxccOf(r); dxcc > 0)
        field(out, "DXCC", QString::number(dxcc));
    field(out, "TX_PWR", m_options.power.trimmed());
    field(out, "COMMENT", m_options.comment);
    out += QStringLiteral("<EOR>\r\n");
    return out;
}

QByteArray ContestAdifWriter::build(const QList<QsoRecord> &records) const
{
    QString out = header();
    out.reserve(out.size() + 260 * records.size());
    for (const QsoRecord &r : records)
        out += record(r);
    return fieldfile::encode1252(out);
}
