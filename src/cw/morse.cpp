#include "cw/morse.h"

#include <QHash>

namespace morse {
namespace {

// Dots and dashes; the unit strings are built from them so the two cannot disagree.
const QHash<QChar, const char *> &patterns()
{
    static const QHash<QChar, const char *> table = {
        {QLatin1Char('A'), ".-"},     {QLatin1Char('B'), "-..."},   {QLatin1Char('C'), "-.-."},
        {QLatin1Char('D'), "-.."},    {QLatin1Char('E'), "."},      {QLatin1Char('F'), "..-."},
        {QLatin1Char('G'), "--."},    {QLatin1Char('H'), "...."},   {QLatin1Char('I'), ".."},
        {QLatin1Char('J'), ".---"},   {QLatin1Char('K'), "-.-"},    {QLatin1Char('L'), ".-.."},
        {QLatin1Char('M'), "--"},     {QLatin1Char('N'), "-."},     {QLatin1Char('O'), "---"},
        {QLatin1Char('P'), ".--."},   {QLatin1Char('Q'), "--.-"},   {QLatin1Char('R'), ".-."},
        {QLatin1Char('S'), "..."},    {QLatin1Char('T'), "-"},      {QLatin1Char('U'), "..-"},
        {QLatin1Char('V'), "...-"},   {QLatin1Char('W'), ".--"},    {QLatin1Char('X'), "-..-"},
        {QLatin1Char('Y'), "-.--"},   {QLatin1Char('Z'), "--.."},
        {QLatin1Char('0'), "-----"},  {QLatin1Char('1'), ".----"},  {QLatin1Char('2'), "..---"},
        {QLatin1Char('3'), "...--"},  {QLatin1Char('4'), "....-"},  {QLatin1Char('5'), "....."},
        {QLatin1Char('6'), "-...."},  {QLatin1Char('7'), "--..."},  {QLatin1Char('8'), "---.."},
        {QLatin1Char('9'), "----."},
        {QLatin1Char('.'), ".-.-.-"}, {QLatin1Char(','), "--..--"}, {QLatin1Char('?'), "..--.."},
        {QLatin1Char('/'), "-..-."},
        // The hyphen sends BT like "=", not its own -....-; the brackets, ";" and "\" are the
        // prosigns AR, SK, KN and CL keyed as one character.
        {QLatin1Char('-'), "-...-"},  {QLatin1Char('='), "-...-"},  {QLatin1Char('['), ".-.-."},
        {QLatin1Char(']'), "...-.-"}, {QLatin1Char(';'), "-.--."},  {QLatin1Char('\\'), "-.-..-.."},
    };
    return table;
}

}  // namespace

QString units(QChar c)
{
    if (c == QLatin1Char(' '))
        return QStringLiteral("00000000");
    // Only a to z fold; other characters keep their meaning.
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        c = QChar(c.unicode() - 32);
    const char *pattern = patterns().value(c, nullptr);
    if (!pattern)
        return QString();
    QString out;
    for (const char *p = pattern; *p; ++p) {
        if (p != pattern)
            out += QLatin1Char('0');
        out += *p == '.' ? QStringLiteral("1") : QStringLiteral("111");
    }
    return out + QStringLiteral("000");
}

QString unitsWithWordSpace(QChar c, int wordSpace)
{
    QString u = units(c);
    if (c != QLatin1Char(' '))
        return u;
    if (wordSpace > 0)
        u += QString(wordSpace, QLatin1Char('0'));
    else if (wordSpace < 0)
        u.truncate(qMax(0, 8 + wordSpace));
    return u;
}

QString knownCharacters()
{
    QString out;
    for (auto it = patterns().cbegin(); it != patterns().cend(); ++it)
        out += it.key();
    return out;
}

}  // namespace morse
