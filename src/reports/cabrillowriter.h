#pragma once
#include "reports/reportdata.h"

#include <QByteArray>

#include <functional>

// The fixed-column submission log the contest sponsor accepts by e-mail: 15 header lines, one
// "QSO:" line per contact, "END-OF-LOG:". Windows-1252, CR LF.
class CabrilloWriter {
public:
    // The sponsor's own header (the default, kept byte for byte), or a standard Cabrillo 3.0
    // header that strict checkers read: known tags only, the 10-10 data in X- tags.
    enum class Format { Sponsor, Cabrillo3 };

    CabrilloWriter(const reports::StationInfo &station, const reports::ReportFields &fields,
                   const QString &scoreText, const QString &windowTitle,
                   Format format = Format::Sponsor);

    // False (with the reason) when a points value is not a number; nothing is produced then.
    bool build(const QList<QsoRecord> &records, QByteArray &bytes, QString *error = nullptr) const;

    // `hz`: the contact's frequency when known (written in kHz), else the band edge 28000.
    static QString qsoLine(const QsoRecord &record, const reports::StationInfo &station, qint64 hz = 0);
    // Where each contact's frequency is known (the frequency file beside the log).
    void setFrequencyOf(std::function<qint64(const QsoRecord &)> frequencyOf) { m_frequencyOf = std::move(frequencyOf); }
    // "None" -> "00000"; shorter than 5 characters -> left-padded with "0"; else unchanged.
    static QString normalisedMemberNumber(const QString &number);
    // The contest name of the Cabrillo 3.0 contest list; a Spring or Fall CW log that holds only
    // digital contacts is entered in the digital contest.
    static QString contest3(reports::Contest contest, const QList<QsoRecord> &records);
    // "CW", "SSB", "DIGI" when every contact has that mode, otherwise "MIXED".
    static QString categoryMode3(const QList<QsoRecord> &records);
    // The 3.0 categories of an entry class: SINGLE-OP or MULTI-OP; QRP, LOW or HIGH; MOBILE
    // or FIXED.
    static QString categoryOperator3(reports::EntryClass entry);
    static QString categoryPower3(reports::EntryClass entry);
    static QString categoryStation3(reports::EntryClass entry);
    // "Vardel 2.9": the program name and version from the window title.
    static QString createdBy(const QString &windowTitle);

private:
    reports::StationInfo m_station;
    reports::ReportFields m_fields;
    QString m_scoreText;
    QString m_windowTitle;
    Format m_format;
    std::function<qint64(const QsoRecord &)> m_frequencyOf;

    void header3(QString &out, const reports::PointsTally &tally, const QList<QsoRecord> &records) const;
};
