#include "core/entryrules.h"

#include "core/logstore.h"
#include "core/statetable.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace entryrules {

bool isNumeric(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    bool digits = false, dot = false;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9')
            digits = true;
        else if (c == u'.' && !dot)
            dot = true;
        else
            return false;
    }
    return digits;
}

double numericValue(const QString &text)
{
    if (!isNumeric(text))
        return 0;
    QString t = text.trimmed();
    if (t.startsWith(u'+'))
        t.remove(0, 1);
    return t.toDouble();
}

QString memberNumberOrNone(const QString &text)
{
    if (isNumeric(text) && numericValue(text) != 0)
        return text;
    return QStringLiteral("None");
}

QString pointsFor(const QString &memberNumber)
{
    return isNumeric(memberNumber) ? QStringLiteral("2") : QStringLiteral("1");
}

bool isValidDate(const QString &text, QDate *out)
{
    static const QRegularExpression yearFirst(
        QStringLiteral("^(\\d{4})([/-])(\\d{1,2})\\2(\\d{1,2})$"));
    static const QRegularExpression monthFirst(
        QStringLiteral("^(\\d{1,2})([/-])(\\d{1,2})\\2(\\d{4})$"));
    const QString t = text.trimmed();
    int y = 0, m = 0, d = 0;
    QRegularExpressionMatch match = yearFirst.match(t);
    if (match.hasMatch()) {
        y = match.captured(1).toInt();
        m = match.captured(3).toInt();
        d = match.captured(4).toInt();
    } else {
        match = monthFirst.match(t);
        if (!match.hasMatch())
            return false;
        m = match.captured(1).toInt();
        d = match.captured(3).toInt();
        y = match.captured(4).toInt();
    }
    // Year 0 has no calendar meaning here; a typo such as "0026" is refused rather than kept.
    if (y < 1)
        return false;
    const QDate date(y, m, d);
    if (!date.isValid())
        return false;
    if (out)
        *out = date;
    return true;
}

bool isValidTime(const QString &text, QTime *out)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const int h = match.captured(1).toInt();
    const int m = match.captured(2).toInt();
    const int s = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    const QTime time(h, m, s);
    if (!time.isValid())
        return false;
    if (out)
        *out = time;
    return true;
}

QString expandTimeDigits(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{3,4}$"));
    if (digits.match(text).hasMatch())
        return text.left(text.size() - 2) + u':' + text.right(2);
    return text;
}

bool isStateAbbreviation(const QString &text)
{
    return text.size() == 2 && statetable::find(text) != 0;
}

int findDupe(const LogStore &store, const QString &call, int skipRecord)
{
    const QString wanted = call.trimmed();
    for (int i = 1; i <= store.count(); ++i) {
        if (i == skipRecord)
            continue;
        if (store.record(i).call.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

}  // namespace entryrules
