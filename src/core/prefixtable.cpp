#include "core/prefixtable.h"

#include "core/fieldfile.h"

#include <algorithm>

bool PrefixTable::load(const QString &path, QString *error)
{
    m_rows.clear();
    QByteArray bytes;
    QString why;
    if (!fieldfile::readFile(path, bytes, &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }

    // A half-read table would answer wrong countries for whole letter blocks, so any damage
    // rejects the file and the lookup answers "Not Found" instead.
    auto fail = [&](qsizetype rowNumber, const QString &what) {
        if (error)
            *error = QStringLiteral("%1, row %2: %3").arg(path).arg(rowNumber).arg(what);
        return false;
    };

    fieldfile::Reader reader(bytes);
    QList<PrefixRow> rows;
    rows.reserve(2048);
    while (!reader.atEnd()) {
        const qsizetype n = rows.size() + 1;
        if (rows.size() == kCapacity)
            return fail(n, QStringLiteral("more than %1 rows").arg(kCapacity));
        PrefixRow row;
        double longitude = 0, latitude = 0;
        auto reason = [&](const char *field) {
            const QString detail = reader.error().isEmpty() ? QStringLiteral("missing")
                                                            : reader.error();
            return QStringLiteral("%1: %2").arg(QLatin1String(field), detail);
        };
        if (!reader.nextText(row.prefix))
            return fail(n, reason("prefix"));
        if (!reader.nextText(row.country))
            return fail(n, reason("country"));
        if (!reader.nextText(row.continent))
            return fail(n, reason("continent"));
        if (!reader.nextNumber(longitude))
            return fail(n, reason("longitude"));
        if (!reader.nextNumber(latitude))
            return fail(n, reason("latitude"));
        if (!reader.nextText(row.cqZone) || !reader.nextText(row.ituZone)
            || !reader.nextText(row.utcOffset))
            return fail(n, reason("the three trailing fields"));
        row.longitude = float(longitude);
        row.latitude = float(latitude);
        rows.append(std::move(row));
    }
    m_rows = std::move(rows);
    return true;
}

namespace {
QChar firstUpper(const QString &text)
{
    return text.isEmpty() ? QChar() : text.front().toUpper();
}
}  // namespace

int PrefixTable::findRow(const QString &callText) const
{
    // A short designator after the slash (a portable prefix) decides the country; a one-
    // character suffix, or a long part after the slash, leaves the call itself to decide.
    QString s = callText;
    const qsizetype slash = s.indexOf(u'/');
    if (slash >= 0) {
        const qsizetype tail = s.size() - (slash + 1);
        if (tail > 1 && 2 * tail < s.size())
            s = s.right(tail);
    }
    const int count = this->count();
    if (s.isEmpty() || count == 0)
        return 0;

    // Jump to an estimated row from the first character's place in the alphabet. Characters
    // below "A" (digits) start as "A" does; the clamp keeps odd characters inside the table.
    const QChar first = s.front().toUpper();
    const int c = std::max<int>(first.unicode(), 65);
    int start = int(std::clamp<qint64>(qint64(count) * (c - 64) / 26, 1, count));

    // Back up in steps of 5 until the row is outside this character's block (or the top).
    do {
        if (firstUpper(row(start).prefix) != first)
            break;
        start = std::max(start - 5, 1);
    } while (start > 1);

    const int step = firstUpper(row(start).prefix) > first ? -1 : 1;
    int best = 0;
    qsizetype bestLength = 0;
    for (int i = start; i >= 1 && i <= count; i += step) {
        const QString &prefix = row(i).prefix;
        if (prefix.size() > bestLength && s.startsWith(prefix, Qt::CaseInsensitive)) {
            best = i;
            bestLength = prefix.size();
        }
        const QChar f = firstUpper(prefix);
        if (step > 0 ? f > first : f < first)
            break;
    }
    return best;
}

CountryLookup PrefixTable::lookup(const QString &callText) const
{
    CountryLookup result;
    const int best = findRow(callText);
    const int count = this->count();
    if (best == 0)
        return result;

    result.found = true;
    result.country = row(best).country;
    int coordinateRow = best;
    // KG4 calls of 4 or of 6 and more characters are US stations; only the 5-character ones
    // are Guantanamo Bay.
    if (callText.startsWith(QLatin1String("KG4"), Qt::CaseInsensitive)
        && (callText.size() == 4 || callText.size() > 5)) {
        result.country.clear();
        for (int i = 1; i <= count; ++i) {
            if (row(i).country == QLatin1String("USA")) {
                coordinateRow = i;
                break;
            }
        }
    }
    const PrefixRow &where = row(coordinateRow);
    result.continent = where.continent;
    result.latitude = where.latitude;
    result.longitude = where.longitude;
    return result;
}

const QList<std::pair<QString, QString>> &PrefixTable::usualCountryNames()
{
    static const QList<std::pair<QString, QString>> names{
        {QStringLiteral("United States"), QStringLiteral("USA")},
        {QStringLiteral("United States of America"), QStringLiteral("USA")},
        {QStringLiteral("U.S.A."), QStringLiteral("USA")},
        {QStringLiteral("U.S."), QStringLiteral("USA")},
        {QStringLiteral("US"), QStringLiteral("USA")},
        {QStringLiteral("America"), QStringLiteral("USA")},
        {QStringLiteral("United Kingdom"), QStringLiteral("England")},
        {QStringLiteral("UK"), QStringLiteral("England")},
        {QStringLiteral("Great Britain"), QStringLiteral("England")},
        {QStringLiteral("Germany"), QStringLiteral("Fed. Rep. of Germany")},
        {QStringLiteral("Deutschland"), QStringLiteral("Fed. Rep. of Germany")},
        {QStringLiteral("Russia"), QStringLiteral("European Russia")},
        {QStringLiteral("South Korea"), QStringLiteral("Republic of Korea")},
        {QStringLiteral("Korea"), QStringLiteral("Republic of Korea")},
        {QStringLiteral("Holland"), QStringLiteral("Netherlands")},
        {QStringLiteral("Czechia"), QStringLiteral("Czech Republic")},
    };
    return names;
}

int PrefixTable::findCountry(const QString &name) const
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return 0;
    auto exact = [this](const QString &country) {
        for (int i = count(); i >= 1; --i)
            if (row(i).country.trimmed().compare(country, Qt::CaseInsensitive) == 0)
                return i;
        return 0;
    };
    if (const int r = exact(wanted))
        return r;
    for (const auto &[usual, table] : usualCountryNames())
        if (usual.compare(wanted, Qt::CaseInsensitive) == 0)
            return exact(table);
    return 0;
}

int PrefixTable::completeCountryName(const QString &typed, QString *shown) const
{
    if (const int r = completeCountry(typed)) {
        if (shown)
            *shown = row(r).country;
        return r;
    }
    for (const auto &[usual, table] : usualCountryNames()) {
        if (!usual.startsWith(typed, Qt::CaseInsensitive))
            continue;
        if (const int r = findCountry(table)) {
            if (shown)
                *shown = usual;
            return r;
        }
    }
    return 0;
}

int PrefixTable::completeCountry(const QString &typed) const
{
    for (int i = count(); i >= 1; --i) {
        if (row(i).country.startsWith(typed, Qt::CaseInsensitive))
            return i;
    }
    return 0;
}
