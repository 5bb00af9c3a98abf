#pragma once
#include "reports/reportdata.h"

#include <QByteArray>

// The fixed-column submission log the contest sponsor accepts by e-mail: 15 header lines, one
// "QSO:" line per contact, "END-OF-LOG:". Windows-1252, CR LF.
class CabrilloWriter {
public:
    CabrilloWriter(const reports::StationInfo &station, const reports::ReportFields &fields,
                   const QString &scoreText, const QString &windowTitle);

    // False (with the reason) when a points value is not a number; nothing is produced then.
    bool build(const QList<QsoRecord> &records, QByteArray &bytes, QString *error = nullptr) const;

    static QString qsoLine(const QsoRecord &record, const reports::StationInfo &station);
    // "None" -> "00000"; shorter than 5 characters -> left-padded with "0"; else unchanged.
    static QString normalisedMemberNumber(const QString &number);

private:
    reports::StationInfo m_station;
    reports::ReportFields m_fields;
    QString m_scoreText;
    QString m_windowTitle;
};
