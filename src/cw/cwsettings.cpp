#include "cw/cwsettings.h"
#include "core/fieldfile.h"
#include "platform/settingsstore.h"

#include <algorithm>
#include <cmath>

namespace {

double numberOr(const QString &text, double fallback)
{
    double v = 0;
    return fieldfile::parseNumber(text, v) ? v : fallback;
}

// A number from the file as a whole number. Casting a value past the int range (2e11, 1e300)
// is undefined, so it is held to a range no setting comes near first.
int wholeNumber(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int(std::clamp(v, -1e9, 1e9));
}

}  // namespace

bool CwSettings::load(const QString &folder)
{
    QByteArray bytes;
    if (!fieldfile::readFile(fieldfile::resolvePath(folder, fileName()), bytes))
        return false;
    fieldfile::Reader r(bytes);
    QString t;
    double n = 0;
    for (int i = 0; i < 9; ++i) {
        if (!r.nextText(t))
            return false;
        messages[i] = (i == 8 && t.isEmpty()) ? QStringLiteral("VVV DE ") : t;
    }
    if (!r.nextText(port) || !r.nextText(speed) || !r.nextText(messages[9])
        || !r.nextText(messages[10]) || !r.nextText(wordSpace))
        return false;
    if (!r.nextNumber(n))
        return false;
    const int kind = wholeNumber(n);
    keyingInterface = (kind >= 0 && kind <= 5 && kind != 4) ? KeyingInterface(kind)
                                                            : KeyingInterface::None;
    if (!r.nextText(parallelAddress) || !r.nextNumber(n))
        return false;
    showText = n != 0;
    return r.nextText(repeat);
}

bool CwSettings::save(const QString &folder, QString *error) const
{
    fieldfile::Writer w;
    for (int i = 0; i < 9; ++i)
        w.text(messages[i]).endLine();
    w.text(port).endLine().text(speed).endLine();
    w.text(messages[9]).endLine().text(messages[10]).endLine();
    w.text(wordSpace).endLine().integer(int(keyingInterface)).endLine();
    w.text(parallelAddress).endLine().integer(showText ? 1 : 0).endLine();
    w.text(repeat).endLine();
    return fieldfile::writeFileAtomic(fieldfile::resolvePath(folder, fileName()), w.bytes(), error);
}

void CwSettings::loadStore(const SettingsStore &store)
{
    const QString method = store.value(QStringLiteral("UserCWSelection"), QStringLiteral("Timer"));
    timingMethod = (method == QLatin1String("Loop") || method == QLatin1String("Sleep"))
        ? method : QStringLiteral("Timer");
    loopsPer60ms = numberOr(store.value(QStringLiteral("UserCWLoopOffset"), QStringLiteral("0")), 0);
}

void CwSettings::saveStore(SettingsStore &store) const
{
    store.setValue(QStringLiteral("UserCWSelection"), timingMethod);
    store.setValue(QStringLiteral("UserCWLoopOffset"), fieldfile::formatNumber(loopsPer60ms));
}

QString CwSettings::messageForKey(FKey key) const
{
    return messages.value(fkeyNumber(key) - 1);
}

int CwSettings::speedWpm() const
{
    return wholeNumber(numberOr(speed, 0));
}

int CwSettings::portNumber() const
{
    return wholeNumber(numberOr(port, 0));
}

double CwSettings::repeatSeconds() const
{
    const double v = numberOr(repeat, 0);
    return (v >= 0 && v < 60) ? v : 0;
}

KeyerSettings CwSettings::keyerSettings(const PortMap &map) const
{
    KeyerSettings s;
    s.portMap = map;
    switch (keyingInterface) {
    case KeyingInterface::Rts: s.line = KeyLineKind::SerialRts; break;
    case KeyingInterface::Dtr: s.line = KeyLineKind::SerialDtr; break;
    case KeyingInterface::Parallel: s.line = KeyLineKind::Parallel; break;
    case KeyingInterface::None:
    case KeyingInterface::WinKey: s.line = KeyLineKind::None; break;
    }
    if (s.line == KeyLineKind::Parallel) {
        int address = 0;
        s.port = parsePortAddress(parallelAddress, address) ? address : 0;
    } else {
        s.port = portNumber();
    }
    if (timingMethod == QLatin1String("Loop"))
        s.method = KeyTiming::Method::Loop;
    else if (timingMethod == QLatin1String("Sleep"))
        s.method = KeyTiming::Method::Sleep;
    s.wordSpace = qMax(-8, wholeNumber(numberOr(wordSpace, 0)));
    s.loopsPer60ms = loopsPer60ms;
    return s;
}
