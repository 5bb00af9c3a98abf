#include "cw/wksettings.h"

#include "core/entryrules.h"
#include "core/fieldfile.h"

#include <cmath>

namespace wksettings {

namespace {
// A byte from a number read or typed; out of 0..255 it is no byte at all.
std::optional<int> byteValue(const QString &text)
{
    if (!entryrules::isNumeric(text))
        return std::nullopt;
    const double value = std::nearbyint(entryrules::numericValue(text));
    if (value < 0 || value > 255)
        return std::nullopt;
    return int(value);
}

std::optional<quint8> inRange(QString &box, int low, int high, const char *fallback)
{
    if (!entryrules::isNumeric(box)) {
        box = QString::fromLatin1(fallback);
        return std::nullopt;
    }
    const std::optional<int> value = byteValue(box);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return quint8(*value);
}
}  // namespace

WkSettings load(const QString &path)
{
    WkSettings s;
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes))
        return s;
    fieldfile::Reader reader(bytes);
    QString text;
    if (!reader.nextText(text))
        return s;
    s.comPort = byteValue(text).value_or(0);
    for (QString *box : {&s.wpm, &s.weight, &s.leadIn, &s.tail, &s.ratio}) {
        if (!reader.nextText(text))
            return s;
        *box = text;
    }
    if (reader.nextText(text))
        s.pinConfig = byteValue(text).value_or(0);
    if (reader.nextText(text))
        s.mode = byteValue(text).value_or(0);
    return s;
}

bool save(const QString &path, const WkSettings &s, QString *error)
{
    fieldfile::Writer w;
    w.integer(s.comPort).endLine();
    for (const QString &box : {s.wpm, s.weight, s.leadIn, s.tail, s.ratio})
        w.text(box).endLine();
    w.integer(s.pinConfig).endLine();
    w.integer(s.mode).endLine();
    return fieldfile::writeFileAtomic(path, w.bytes(), error);
}

std::optional<quint8> wpmToSend(QString &box) { return inRange(box, 0, 99, "18"); }
std::optional<quint8> weightToSend(QString &box) { return inRange(box, 0, 99, "50"); }
std::optional<quint8> ratioToSend(QString &box) { return inRange(box, 32, 67, "50"); }

std::optional<std::pair<quint8, quint8>> leadTailToSend(QString &leadIn, QString &tail,
                                                        bool leftLeadIn)
{
    if (!entryrules::isNumeric(leadIn) || !entryrules::isNumeric(tail)) {
        (leftLeadIn ? leadIn : tail) = QStringLiteral("0");
        return std::nullopt;
    }
    const std::optional<int> l = byteValue(leadIn);
    const std::optional<int> t = byteValue(tail);
    if (!l || !t)
        return std::nullopt;
    return std::pair{quint8(*l), quint8(*t)};
}

int comPortFrom(const QString &box) { return byteValue(box).value_or(0); }

}  // namespace wksettings
