#pragma once
#include "core/qsorecord.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>

// Country name -> ADIF DXCC entity number, as read from "ADIFCnt.txt".
struct AdifCountryTable {
    static constexpr const char *kFileName = "ADIFCnt.txt";
    static constexpr int kCapacity = 1000;

    QStringList names;
    QList<int> numbers;

    // False (with the reason) when the file is missing, unreadable or longer than kCapacity.
    bool load(const QString &path, QString *error = nullptr);
    // The number of the first entry equal to `country` (trimmed) ignoring case; 0 when none.
    int lookup(const QString &country) const;
};

namespace adif {
// "<tag:length>value", the length counted in characters.
void appendField(QString &out, const char *tag, const QString &value);
}  // namespace adif

// The whole log as ADIF records, with an optional power and comment on every record.
class AdifWriter {
public:
    struct Options {
        QString power;    // empty: no Tx_Pwr field
        QString comment;  // empty: no Comment field
        QString windowTitle;
        QString exportedOn;  // the local date and time in the system's general form
        // Asked at a digital contact while the designator is still empty; the first non-empty
        // answer holds for the rest of the export.
        std::function<QString()> askDesignator;
    };

    AdifWriter(const AdifCountryTable &table, Options options);

    QByteArray build(const QList<QsoRecord> &records);
    QString record(const QsoRecord &record);
    QString header() const;

    // The parts of a record that depend on the contact alone.
    static QString adifDate(const QString &stored);
    static QString adifTime(const QString &stored);
    static void countryAndState(const QsoRecord &record, QString &country, QString &state);

    QString designator() const { return m_designator; }

private:
    QString mode(const QString &stored);

    // Country (case-folded) -> number of its first table entry; a log asks thousands of times.
    QHash<QString, int> m_dxcc;
    Options m_options;
    QString m_designator;
};
