#include "core/preferences.h"

#include "core/fieldfile.h"
#include "platform/clock.h"

#include <QTimeZone>

#include <cmath>

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
    Preferences p;
    double offset = 0, lon = 0, lat = 0, size = 0, notWorked = 0, worked = 0, voice = 0, taskbar = 0;
    const bool ok = r.nextText(p.ownCall) && r.nextText(p.ownState) && r.nextNumber(offset)
                    && r.nextText(p.ownMemberNumber) && r.nextText(p.ownCountry)
                    && r.nextNumber(lon) && r.nextNumber(lat) && r.nextNumber(size)
                    && r.nextNumber(notWorked) && r.nextNumber(worked)
                    && r.nextText(p.currentMode) && r.nextText(p.ownFirstName)
                    && r.nextNumber(voice) && r.nextNumber(taskbar);
    if (!ok) {
        if (error)
            *error = r.error().isEmpty() ? QStringLiteral("%1 is incomplete").arg(path) : r.error();
        return false;
    }
    auto inByte = [](double v) { return v >= 0 && v <= 255; };
    auto inColour = [](double v) { return v >= 0 && v <= 0xFFFFFF; };
    if (!inByte(size) || !inByte(voice) || !inByte(taskbar) || !inColour(notWorked) || !inColour(worked)) {
        if (error)
            *error = QStringLiteral("%1 holds a value out of range").arg(path);
        return false;
    }
    p.utcOffset = float(offset);
    p.ownLongitude = float(lon);
    p.ownLatitude = float(lat);
    p.formSizePercent = int(std::lround(size));
    p.notWorkedColour = qint32(notWorked);
    p.workedColour = qint32(worked);
    p.voiceNavigationLevel = int(std::lround(voice));
    p.taskbarOption = int(std::lround(taskbar));
    *this = p;
    return true;
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
