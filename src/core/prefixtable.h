#pragma once
#include <QList>
#include <QString>

#include <utility>

// One row of "arrlpre2.txt".
struct PrefixRow {
    QString prefix;
    QString country;    // as shown in the state/country field: "USA", "Alaska", "Japan", ...
    QString continent;
    float longitude = 0;  // degrees, west positive
    float latitude = 0;   // degrees, north positive
    QString cqZone;       // the three extra fields: read, not used by the lookup
    QString ituZone;
    QString utcOffset;
};

// What the call-to-country lookup found for a call.
struct CountryLookup {
    bool found = false;
    QString country;    // empty for the KG4 rule (the station is in the USA)
    QString continent;
    float latitude = 0;
    float longitude = 0;
};

// The prefix table, sorted by prefix (digits before letters, by character code).
class PrefixTable {
public:
    static constexpr int kCapacity = 10000;
    static constexpr const char *kFileName = "arrlpre2.txt";

    // Reads the rows (at most kCapacity); false with a message when the file cannot be read or
    // a row is malformed. A failed load leaves the table empty.
    bool load(const QString &path, QString *error = nullptr);

    int count() const { return int(m_rows.size()); }
    const PrefixRow &row(int n) const { return m_rows.at(n - 1); }  // 1-based
    const QList<PrefixRow> &rows() const { return m_rows; }
    void setRows(const QList<PrefixRow> &rows) { m_rows = rows; }

    // `lookupCountry`: jump to the first character's block, scan it, longest prefix wins.
    CountryLookup lookup(const QString &callText) const;
    // The row of the longest prefix the call (or its portable designator) begins with, 0 when
    // none; the search `lookup` runs, for callers that want a row of their own.
    int findRow(const QString &callText) const;
    // Country completion: the last row (in file order) whose country begins with `typed`,
    // ignoring case; 0 when none.
    int completeCountry(const QString &typed) const;

    // The row of the country named `name`: the table's own name, ignoring case and blanks at
    // the ends, or a usual name of it ("United States", "U.S.A.", "Germany", "UK"); 0 when none.
    int findCountry(const QString &name) const;
    // Completion that also offers the usual names: the table's names first (as completeCountry),
    // then a usual name beginning with `typed`. The name to show goes to `shown`; 0 when none.
    int completeCountryName(const QString &typed, QString *shown) const;
    // The usual names the program knows, each with the table's name for it.
    static const QList<std::pair<QString, QString>> &usualCountryNames();

private:
    QList<PrefixRow> m_rows;
};
