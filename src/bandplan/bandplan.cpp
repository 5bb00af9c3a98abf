#include "bandplan/bandplan.h"

#include "core/appfolders.h"
#include "core/fieldfile.h"
#include "core/shippeddata.h"

#include <QFileInfo>

#include <algorithm>

QString bandPlanPath(const AppFolders &folders)
{
    const QString name = QStringLiteral("BandPlan.txt");
    const QString own = folders.workFile(name);
    if (QFileInfo::exists(own))
        return own;
    const QString dir = shippedDataDir();
    if (!dir.isEmpty()) {
        const QString shipped = fieldfile::resolvePath(dir, name);
        if (QFileInfo::exists(shipped))
            return shipped;
    }
    return own;
}

const QList<LicenceClass> &licenceClasses()
{
    static const QList<LicenceClass> classes{
        {"Command1", "Novice", "Novice Frequency Privileges", "N"},
        {"Command2", "Technician", "Technician Frequency Privileges", "T"},
        {"Command3", "Tech +", "Technician Plus Frequency Privileges", "P"},
        {"Command4", "General", "General Frequency Privileges", "G"},
        {"Command5", "Advanced", "Advanced Frequency Privileges", "A"},
        {"Command6", "Extra", "Extra Frequency Privileges", "E"},
    };
    return classes;
}

QString formatFrequency(float value, const QLocale &locale)
{
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    QString text = grouped.toString(double(value), 'f', 3);
    // The integer part is all optional digits: 0.5 shows as ".500".
    const QString zero = grouped.zeroDigit();
    if (text.startsWith(zero + grouped.decimalPoint()))
        text.remove(0, zero.size());
    else if (text.startsWith(grouped.negativeSign() + zero + grouped.decimalPoint()))
        text.remove(grouped.negativeSign().size(), zero.size());
    return text;
}

bool BandPlan::load(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes, error)) {
        m_date.clear();
        m_records.clear();
        return false;
    }
    return parse(bytes, error);
}

bool BandPlan::parse(const QByteArray &bytes, QString *error)
{
    m_date.clear();
    m_records.clear();
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        m_date.clear();
        m_records.clear();
        return false;
    };

    fieldfile::Reader reader(bytes);
    QString date;
    if (!reader.nextText(date))
        return fail(QStringLiteral("no effective date"));
    QList<BandPlanRecord> records;
    while (!reader.atEnd()) {
        if (records.size() == kCapacity)
            return fail(QStringLiteral("more than %1 records").arg(kCapacity));
        BandPlanRecord r;
        double low = 0, high = 0;
        if (!reader.nextText(r.band) || !reader.nextText(r.classCode) || !reader.nextText(r.mode)
            || !reader.nextNumber(low) || !reader.nextNumber(high)) {
            return fail(QStringLiteral("record %1 incomplete: %2")
                            .arg(records.size() + 1)
                            .arg(reader.error()));
        }
        r.low = float(low);
        r.high = float(high);
        records.append(r);
    }
    m_date = date;
    m_records = records;
    return true;
}

QList<BandPlan::Row> BandPlan::rowsFor(const QString &classCode, bool *truncated,
                                       const QLocale &locale) const
{
    if (truncated)
        *truncated = false;
    QList<Row> rows;
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        if (m_records[i].classCode != u"O")
            continue;
        const QString &band = m_records[i].band;
        bool held = false;
        for (qsizetype j = i + 1; j < m_records.size() && m_records[j].band == band; ++j)
            held = held || m_records[j].classCode == classCode;
        if (!held)
            continue;
        if (rows.size() == kMaxRows) {
            if (truncated)
                *truncated = true;
            break;
        }

        // The band's edges are those of the first record carrying its name.
        const auto edges = std::find_if(m_records.cbegin(), m_records.cend(),
                                        [&](const BandPlanRecord &r) { return r.band == band; });
        Row row;
        row.band = band;
        row.toolTip = band + QStringLiteral("  ") + formatFrequency(edges->low, locale)
                      + QStringLiteral(" - ") + formatFrequency(edges->high, locale);
        const double bandWidth = double(edges->high) - double(edges->low);
        for (const BandPlanRecord &r : m_records) {
            if (r.band != band || r.classCode != classCode)
                continue;
            Segment s;
            // A band without width cannot place anything; its segments then fill the row.
            if (bandWidth > 0) {
                s.start = std::clamp((double(r.low) - edges->low) / bandWidth, 0.0, 1.0);
                s.width = std::clamp((double(r.high) - r.low) / bandWidth, 0.0, 1.0 - s.start);
            } else {
                s.start = 0;
                s.width = 1;
            }
            s.cw = r.isCw();
            s.caption = formatFrequency(r.low, locale) + QStringLiteral(" - ")
                        + formatFrequency(r.high, locale);
            s.toolTip = (s.cw ? QStringLiteral("CW  ") : QStringLiteral("PH  ")) + s.caption;
            row.segments.append(s);
        }
        rows.append(row);
    }
    return rows;
}
