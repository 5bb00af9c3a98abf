#include "core/entersends.h"

#include <QStringList>

namespace entersends {

QString Keys::toText() const
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6")
        .arg(cq).arg(exchange).arg(thanks).arg(workedBefore).arg(ownCall).arg(spExchange);
}

Keys Keys::fromText(const QString &text)
{
    Keys k;
    const QStringList parts = text.split(u',');
    int *fields[] = {&k.cq, &k.exchange, &k.thanks, &k.workedBefore, &k.ownCall, &k.spExchange};
    for (int i = 0; i < int(std::size(fields)) && i < parts.size(); ++i) {
        bool ok = false;
        const int n = parts[i].trimmed().toInt(&ok);
        if (ok && n >= 0 && n <= kMaxKey)
            *fields[i] = n;
    }
    return k;
}

std::optional<FKey> fkeyOfNumber(int number)
{
    if (number >= 1 && number <= 9)
        return FKey(int(FKey::F1) + number - 1);
    if (number == 10)
        return FKey::F10;
    if (number == 11)
        return FKey::F11;
    return std::nullopt;
}

QString modeName(Mode mode) { return mode == Mode::Run ? QStringLiteral("Run") : QStringLiteral("S&P"); }

namespace {
// The first field the exchange still needs, in the order the operator types it.
ContactEntry::Field firstMissing(const ContactEntry::Fields &f, const ContactEntry::Result &check)
{
    if (f.name.trimmed().isEmpty())
        return ContactEntry::Field::Name;
    if (check.outcome == ContactEntry::Outcome::Incomplete && check.focus == ContactEntry::Field::Qth)
        return ContactEntry::Field::Qth;
    return check.focus == ContactEntry::Field::None ? ContactEntry::Field::Name : check.focus;
}

QString keyName(int number) { return number > 0 ? QStringLiteral(" (F%1)").arg(number) : QString(); }
}  // namespace

Step next(Mode mode, const ContactEntry::Fields &fields, const ContactEntry::Result &check,
          const Keys &keys)
{
    Step s;
    const bool noCall = fields.call.trimmed().isEmpty();
    const bool complete = check.outcome == ContactEntry::Outcome::Logged;
    if (mode == Mode::Run) {
        if (noCall) {
            s.send = fkeyOfNumber(keys.cq);
            s.caption = QStringLiteral("Enter: CQ") + keyName(keys.cq);
        } else if (check.dupe) {
            // The logging step raises the dupe alarm and logs nothing.
            s.send = fkeyOfNumber(keys.workedBefore);
            s.log = true;
            s.caption = keys.workedBefore > 0 ? QStringLiteral("Enter: worked before") + keyName(keys.workedBefore)
                                              : QStringLiteral("Enter: dupe");
        } else if (complete) {
            s.send = fkeyOfNumber(keys.thanks);
            s.log = true;
            s.caption = QStringLiteral("Enter: TU + log") + keyName(keys.thanks);
        } else {
            s.send = fkeyOfNumber(keys.exchange);
            s.focus = firstMissing(fields, check);
            s.caption = QStringLiteral("Enter: call + exchange") + keyName(keys.exchange);
        }
        return s;
    }
    if (noCall) {
        s.caption = QStringLiteral("Enter: type a call");
    } else if (check.dupe) {
        s.log = true;
        s.caption = QStringLiteral("Enter: dupe");
    } else if (complete) {
        s.send = fkeyOfNumber(keys.spExchange);
        s.withCall = false;
        s.log = true;
        s.caption = QStringLiteral("Enter: exchange + log") + keyName(keys.spExchange);
    } else {
        s.send = fkeyOfNumber(keys.ownCall);
        s.focus = firstMissing(fields, check);
        s.caption = QStringLiteral("Enter: my call") + keyName(keys.ownCall);
    }
    return s;
}

}  // namespace entersends
