#pragma once
#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>

// One line of "BandPlan.txt": a band's own edges (class "O") or one licence class's segment.
struct BandPlanRecord {
    QString band;       // compared exactly; every record of a band carries the same name
    QString classCode;  // "O", or "N", "T", "P", "G", "A", "E"
    QString mode;       // "CW", anything else is phone
    float low = 0;
    float high = 0;

    bool isCw() const { return mode == u"CW"; }
};

struct AppFolders;

// "BandPlan.txt" in the working directory; when the operator has none there, the copy installed
// with the program (or, run from the build tree, the one in the source tree).
QString bandPlanPath(const AppFolders &folders);

struct LicenceClass {
    const char *button;   // objectName of its button
    const char *caption;
    const char *heading;
    const char *code;
};

// The six class buttons in window order.
const QList<LicenceClass> &licenceClasses();

// "#,###.##0": grouped thousands, always three decimals, no leading zero below 1.
QString formatFrequency(float value, const QLocale &locale = QLocale::system());

// The band plan as read from its file, and what one class's drawing is made of.
class BandPlan {
public:
    static constexpr int kCapacity = 200;  // records
    static constexpr int kMaxRows = 20;    // bands shown at once

    // Reads the effective date then five-field records to the end. False on a missing,
    // unreadable or malformed file or more than kCapacity records; the plan is then empty.
    bool load(const QString &path, QString *error = nullptr);
    bool parse(const QByteArray &bytes, QString *error = nullptr);

    QString effectiveDate() const { return m_date; }
    const QList<BandPlanRecord> &records() const { return m_records; }

    struct Segment {
        double start = 0;  // share of the row's width from the band's lower edge, 0..1
        double width = 0;  // share of the row's width
        bool cw = false;
        QString caption;   // "7.025 - 7.125"
        QString toolTip;   // "CW  7.025 - 7.125" or "PH  ..."
    };
    struct Row {
        QString band;
        QString toolTip;  // band name, two blanks, its edges
        QList<Segment> segments;
    };
    // The bands in which `classCode` holds a segment, in file order, each with its segments.
    // Stops after kMaxRows rows; `truncated` then says more were due.
    QList<Row> rowsFor(const QString &classCode, bool *truncated = nullptr,
                       const QLocale &locale = QLocale::system()) const;

private:
    QString m_date;
    QList<BandPlanRecord> m_records;
};
