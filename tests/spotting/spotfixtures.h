#pragma once
#include <QString>

// A spot line the way clusters lay it out: spotter to column 15, frequency right-aligned in
// 16-24, call from 27, comment from 40, grid-style prefix 65-69, time 71-74, origin 76-79.
inline QString clusterLine(const QString &spotter, const QString &kHz, const QString &call,
                           const QString &comment = QString(), const QString &hhmm = "1423",
                           const QString &prefix = QString(), const QString &from = QString())
{
    QString line = (QStringLiteral("DX de ") + spotter + u':').leftJustified(15, u' ', true);
    line += kHz.rightJustified(9, u' ', true) + QStringLiteral("  ");
    line += call.leftJustified(13, u' ', true);
    line += comment.leftJustified(25, u' ', true);
    line += prefix.leftJustified(6, u' ', true);
    line += hhmm + u'Z';
    if (!from.isEmpty())
        line += from;
    return line;
}
