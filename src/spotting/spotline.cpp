#include "spotting/spotline.h"

#include "core/fieldfile.h"
#include "core/prefixtable.h"

#include <QRegularExpression>

#include <optional>

namespace {
// Characters `from`..`to` (1-based, inclusive) of `text`; whatever of them exists.
QString columns(const QString &text, qsizetype from, qsizetype to)
{
    if (from > text.size())
        return QString();
    return text.mid(from - 1, to - from + 1);
}
}  // namespace

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

bool isSpotLine(const QString &line)
{
    return line.startsWith(QLatin1String("DX"), Qt::CaseInsensitive);
}

SpotLine makeSpotLine(const QString &call, const QString &frequencyKHz, const QString &record)
{
    SpotLine line;
    line.spot.call = call;
    line.spot.prefix = CallPrefix(call);
    double kHz = 0;
    line.hasFrequency = fieldfile::parseNumber(frequencyKHz, kHz);
    // Clusters send tenths of a kHz; whole hertz keep anything finer a skimmer sends.
    if (line.hasFrequency)
        line.spot.hz = qRound64(kHz * 1000.0);
    line.record = record;
    return line;
}

bool isCallShaped(const QString &call)
{
    if (call.size() < 3 || call.size() > 15)
        return false;
    bool digit = false, letter = false;
    for (const QChar c : call) {
        if (c.unicode() >= u'0' && c.unicode() <= u'9')
            digit = true;
        else if ((c.unicode() >= u'A' && c.unicode() <= u'Z')
                 || (c.unicode() >= u'a' && c.unicode() <= u'z'))
            letter = true;
        else if (c != u'/')
            return false;
    }
    return digit && letter && !call.startsWith(u'/') && !call.endsWith(u'/');
}

namespace {
bool blankAt(const QString &line, qsizetype column)
{
    return column > line.size() || line.at(column - 1) == u' ';
}

// The spot by its fields, for a line that is not laid out in the usual columns:
// "DX de <spotter>: <kHz> <call> <comment> <hhmm>Z [<more>]". The result is laid out again in
// the usual columns, so everything that reads the record by column reads it right. Nothing
// when the line does not have those fields.
std::optional<SpotLine> spotLineByFields(const QString &line)
{
    static const QRegularExpression shape(QStringLiteral(
        "^DX\\s+de\\s+(\\S+?):?\\s+([0-9]+(?:\\.[0-9]*)?)\\s+(\\S+)(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = shape.match(line);
    if (!m.hasMatch() || !isCallShaped(m.captured(3)))
        return std::nullopt;
    QString rest = m.captured(4);
    // The line end stays with the record, as it does for a line read by its columns.
    qsizetype end = rest.size();
    while (end > 0 && (rest.at(end - 1) == u'\r' || rest.at(end - 1) == u'\n'))
        --end;
    const QString lineEnd = rest.mid(end);
    rest = rest.left(end).simplified();
    static const QRegularExpression time(QStringLiteral("(?:^| )([0-9]{4})Z(?: (.*))?$"));
    QString comment = rest, hhmm, more;
    if (const QRegularExpressionMatch t = time.match(rest); t.hasMatch()) {
        comment = rest.left(t.capturedStart(0));
        hhmm = t.captured(1);
        more = t.captured(2);
    }
    // Each field cut to its columns, so the time and the rest stay where they belong.
    QString laid = (QStringLiteral("DX de ") + m.captured(1) + u':').leftJustified(15, u' ', true);
    laid += m.captured(2).rightJustified(9, u' ', true) + QStringLiteral("  ");
    laid += m.captured(3).leftJustified(13, u' ', true);
    laid += comment.leftJustified(31, u' ', true);
    if (!hhmm.isEmpty())
        laid += hhmm + u'Z';
    if (!more.isEmpty())
        laid += u' ' + more;
    return makeSpotLine(m.captured(3), m.captured(2), trimBlanks(laid.mid(3)) + lineEnd);
}
}  // namespace

SpotLine splitSpotLine(const QString &line)
{
    SpotLine byColumns = makeSpotLine(columns(line, 27, 39).trimmed(),
                                      columns(line, 16, 24).trimmed(), trimBlanks(line.mid(3)));
    // The columns hold when they give a number and a whole call standing on its own.
    const bool aligned = byColumns.hasFrequency && isCallShaped(byColumns.spot.call)
                         && blankAt(line, 26);
    if (aligned)
        return byColumns;
    if (std::optional<SpotLine> byFields = spotLineByFields(line))
        return *byFields;
    return byColumns;
}

QString CallPrefix(const QString &call)
{
    const qsizetype length = call.size();
    if (length < 3)
        return QString();
    qsizetype lastDigit = 0;  // 1-based, 0 when none
    qsizetype slash = 0;
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = call.at(i);
        if (c.isDigit() && c.unicode() < 128)
            lastDigit = i + 1;
        else if (c == u'/')
            slash = i + 1;
    }
    const qsizetype end = lastDigit > 0 ? lastDigit : length;
    if (slash == 0)
        return call.left(end);
    if (double(slash) < double(length) / 2 + 1)
        return call.left(slash - 1);
    const QString after = call.mid(slash).left(end);
    bool number = !after.isEmpty();
    for (const QChar c : after)
        number = number && c.isDigit() && c.unicode() < 128;
    if (!number)
        return after;
    // A call-area number after the slash keeps the call's letters before it: W1AW/4 is W4.
    qsizetype firstDigit = 0;
    while (firstDigit < length && !(call.at(firstDigit).isDigit()
                                    && call.at(firstDigit).unicode() < 128))
        ++firstDigit;
    return call.left(firstDigit) + after;
}

QString SpotCountry(const PrefixTable &table, const QString &call)
{
    const int row = table.findRow(call);
    if (row == 0)
        return QString();
    if (call.startsWith(QLatin1String("KG4"), Qt::CaseInsensitive) && call.size() > 5)
        return QStringLiteral("USA");
    return table.row(row).country;
}

DxListRow makeDxListRow(const Spot &spot, const QString &country, const QString &record)
{
    // The record is the line from its fourth character on, so record column k is line
    // column k + 3.
    DxListRow row;
    row.call = spot.call;
    row.frequency = fieldfile::formatNumber(spot.mhz());
    row.qth = country;
    row.comments = columns(record, 1, 11).trimmed() + QLatin1String("  ")
                   + columns(record, 35, 59).trimmed();
    row.prefix = columns(record, 62, 66).trimmed();
    row.time = columns(record, 68, 71);
    row.from = columns(record, 73, 76).trimmed();
    return row;
}
