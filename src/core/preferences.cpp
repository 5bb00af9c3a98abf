#include "core/preferences.h"

#include "core/fieldfile.h"
#include "platform/clock.h"

#include <QFile>
#include <QTimeZone>

#include <cmath>
#include <type_traits>

float recommendedUtcOffset(const Clock &clock)
{
    // Compare the wall-clock readings; the local reading is taken as if it were UTC so the
    // difference is the zone offset.
    QDateTime utc = clock.utcNow();
    QDateTime local = clock.localNow();
    utc = utc.toUTC();
    local = QDateTime(local.date(), local.time(), Qt::UTC);
    const qint64 minutes = local.secsTo(utc) / 60;
    return float(std::round(double(minutes) / 60.0 * 100.0) / 100.0);
}

Preferences Preferences::defaults(const Clock &clock)
{
    Preferences p;
    p.utcOffset = recommendedUtcOffset(clock);
    return p;
}

bool Preferences::load(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes, error))
        return false;
    fieldfile::Reader r(bytes);
    // Field by field: a short or partly damaged file keeps every value that was read, and only
    // what is missing or unusable keeps the value this object already holds.
    QString problem;
    auto text = [&](QString &out) {
        QString value;
        if (!r.nextText(value)) {
            if (problem.isEmpty())
                problem = r.error().isEmpty() ? QStringLiteral("%1 is incomplete").arg(path) : r.error();
            return;
        }
        out = value;
    };
    auto number = [&](auto &out, double low, double high) {
        fieldfile::Field f;
        if (!r.next(f)) {
            if (problem.isEmpty())
                problem = r.error().isEmpty() ? QStringLiteral("%1 is incomplete").arg(path) : r.error();
            return;
        }
        double v = 0;
        using T = std::remove_reference_t<decltype(out)>;
        // The range is checked on the value as it will be held and written back: 1e30 read into a
        // float is a little over 1e30, and would be refused when the file is next read.
        const bool parsed = fieldfile::parseNumber(f.text, v) && v >= low && v <= high;
        const double held = !parsed ? 0 : std::is_integral_v<T> ? double(std::llround(v)) : double(T(v));
        if (!parsed || held < low || held > high) {
            if (problem.isEmpty())
                problem = QStringLiteral("%1 holds a value out of range: %2").arg(path, f.text.left(20));
            return;
        }
        out = T(held);
    };
    const double any = 1e30;
    text(ownCall);
    text(ownState);
    number(utcOffset, -any, any);
    text(ownMemberNumber);
    text(ownCountry);
    number(ownLongitude, -any, any);
    number(ownLatitude, -any, any);
    number(formSizePercent, 0, 255);
    number(notWorkedColour, 0, 0xFFFFFF);
    number(workedColour, 0, 0xFFFFFF);
    text(currentMode);
    text(ownFirstName);
    number(voiceNavigationLevel, 0, 255);
    number(taskbarOption, 0, 255);
    if (!problem.isEmpty() && error)
        *error = problem;
    return problem.isEmpty();
}

QString Preferences::keepDamagedCopy(const QString &path)
{
    const QString copy = path + QStringLiteral(".damaged");
    QFile::remove(copy);
    return QFile::copy(path, copy) ? copy : QString();
}

bool Preferences::save(const QString &path, QString *error) const
{
    fieldfile::Writer w;
    w.text(ownCall).endLine();
    w.text(ownState).endLine();
    w.number(utcOffset).endLine();
    w.text(ownMemberNumber).endLine();
    w.text(ownCountry).endLine();
    w.number(ownLongitude).endLine();
    w.number(ownLatitude).endLine();
    w.integer(formSizePercent).endLine();
    w.integer(notWorkedColour).endLine();
    w.integer(workedColour).endLine();
    w.text(currentMode).endLine();
    w.text(ownFirstName).endLine();
    w.integer(voiceNavigationLevel).endLine();
    w.integer(taskbarOption).endLine();
    return fieldfile::writeFileAtomic(path, w.bytes(), error);
}
