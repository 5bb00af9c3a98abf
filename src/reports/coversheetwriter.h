#pragma once
#include "reports/reportdata.h"

#include <QByteArray>

// The cover sheet: entry details, mailing address and the claimed score, as an ASCII file and as
// the printed page with the sponsor's checklist.
class CoverSheetWriter {
public:
    CoverSheetWriter(const reports::StationInfo &station, const reports::ReportFields &fields,
                     const QString &scoreText);

    bool build(const QList<QsoRecord> &records, QByteArray &bytes, QString *error = nullptr) const;

    // The printed page: the heading, then the body lines (empty strings are empty lines).
    // False when a points value is not a number.
    bool printLines(const QList<QsoRecord> &records, QString &heading, QStringList &body,
                    QString *error = nullptr) const;

    static QStringList checklist();

private:
    // Lines 2 to 30 of the sheet; the printed form puts commas in the scoring caption.
    QStringList middleLines(const reports::PointsTally &tally, bool printed) const;

    reports::StationInfo m_station;
    reports::ReportFields m_fields;
    QString m_scoreText;
};

// The dupe sheet file: a header, an empty line and every logged call in sorted order.
class DupeSheetWriter {
public:
    explicit DupeSheetWriter(const QString &ownCall) : m_ownCall(ownCall.trimmed()) {}
    QByteArray build(const QList<QsoRecord> &records) const;
    QString heading() const;

private:
    QString m_ownCall;
};
