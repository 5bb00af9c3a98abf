#pragma once
#include "core/qsorecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

struct AdifCountryTable;
class PrefixTable;

// The log as an ADIF 3.1 contest log, for contest tools and online logbooks: a header with
// ADIF_VER, PROGRAMID, PROGRAMVERSION and CREATED_TIMESTAMP; per contact CALL, QSO_DATE,
// TIME_ON with seconds, BAND, MODE and SUBMODE from the ADIF enumerations, STATION_CALLSIGN,
// OPERATOR, CONTEST_ID, SRX_STRING and STX_STRING (the exchange received and sent), NAME,
// STATE or VE_PROV, TEN_TEN, DXCC from the call's country, and the power and comment when given.
// The classic export (AdifWriter) stays as it is for the programs that read it.
class ContestAdifWriter {
public:
    struct Options {
        QString stationCall;
        QString contestId;     // the event's name, as the 3.0 Cabrillo file has it
        QString sentExchange;  // own name, state and 10-10 number
        QString power;         // empty: none
        QString comment;       // empty: none
        QString digitalMode;   // what a "DG" contact was: PSK31, RTTY, FT8 ...
        QString programVersion;
        QDateTime createdUtc;
        std::function<qint64(const QsoRecord &)> frequencyOf;  // 0 or none: not known
        std::function<QString(const QsoRecord &)> submodeOf;   // the modem's name when recorded
    };

    ContestAdifWriter(const AdifCountryTable &countries, const PrefixTable *prefixes, Options options);

    QByteArray build(const QList<QsoRecord> &records) const;
    QString header() const;
    QString record(const QsoRecord &record) const;

    // A digital designator as ADIF's MODE and SUBMODE ("PSK31" -> "PSK", "PSK31").
    static void modeAndSubmode(const QString &stored, const QString &digitalMode, QString &mode, QString &submode);

private:
    int dxccOf(const QsoRecord &record) const;

    const AdifCountryTable &m_countries;
    const PrefixTable *m_prefixes;
    Options m_options;
};
