#include "core/fieldfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <unistd.h>

namespace fieldfile {

namespace {
// Code points of bytes 0x80..0x9F in Windows-1252; 0 marks the five unassigned bytes.
constexpr char16_t k1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

QString decode1252(const QByteArray &bytes)
{
    // Most files are plain ASCII, which Latin-1 decodes the same, and much faster.
    if (std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F && k1252High[b - 0x80] != 0)
            out.append(QChar(k1252High[b - 0x80]));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

QByteArray encode1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        // The five bytes the code page leaves unassigned decode to U+0081 etc.; give them back
        // unchanged so a file read and written again keeps its bytes.
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)
            || (u >= 0x80 && u <= 0x9F && k1252High[u - 0x80] == 0)) {
            out.append(char(u));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (k1252High[i] == u && u != 0) {
                mapped = char(0x80 + i);
                break;
            }
        }
        out.append(mapped);
    }
    return out;
}

Reader::Reader(const QByteArray &bytes) : m_text(decode1252(bytes)) {}
Reader::Reader(const QString &text) : m_text(text) {}

static bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

void Reader::skipSeparatorsBefore()
{
    // Blanks and line ends before a field carry nothing.
    while (m_pos < m_text.size() && (isBlank(m_text[m_pos]) || isLineEnd(m_text[m_pos])))
        ++m_pos;
}

bool Reader::atEnd() const
{
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        const QChar c = m_text[i];
        if (!isBlank(c) && !isLineEnd(c) && c != QChar(0x1A))  // Ctrl-Z: old end-of-file mark
            return false;
    }
    return true;
}

bool Reader::next(Field &field)
{
    skipSeparatorsBefore();
    if (atEnd())
        return false;
    field = Field{};
    if (m_text[m_pos] == u'"') {
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        if (close < 0) {
            m_error = QStringLiteral("unterminated quoted field");
            m_pos = m_text.size();
            return false;
        }
        field.text = m_text.mid(m_pos + 1, close - m_pos - 1);
        field.quoted = true;
        m_pos = close + 1;
        // Only blanks may stand between the closing quote and the separator; anything else
        // means a quote got into the data.
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos])) {
            m_error = QStringLiteral("text after a closing quote: %1")
                          .arg(m_text.mid(m_pos, 20));
            m_pos = m_text.size();
            return false;
        }
    } else {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        field.text = m_text.mid(start, m_pos - start).trimmed();
    }
    if (m_pos < m_text.size() && m_text[m_pos] == u',')
        ++m_pos;
    else if (m_pos < m_text.size() && m_text[m_pos] == u'\r') {
        ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
    } else if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
        ++m_pos;
    return true;
}

bool Reader::nextText(QString &text)
{
    Field f;
    if (!next(f))
        return false;
    text = f.text;
    return true;
}

bool parseNumber(const QString &text, double &value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    qsizetype i = 0;
    if (t[i] == u'+' || t[i] == u'-')
        ++i;
    bool digits = false, dot = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128)
            digits = true;
        else if (c == u'.' && !dot)
            dot = true;
        else
            break;
    }
    if (!digits)
        return false;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        bool expDigits = false;
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
            expDigits = true;
            ++i;
        }
        if (!expDigits)
            return false;
    }
    if (i != t.size())
        return false;
    bool ok = false;
    value = t.toDouble(&ok);
    return ok && std::isfinite(value);
}

bool Reader::nextNumber(double &value)
{
    Field f;
    if (!next(f))
        return false;
    if (!parseNumber(f.text, value)) {
        m_error = QStringLiteral("not a number: %1").arg(f.text);
        return false;
    }
    return true;
}

bool Reader::nextFlag(bool &value)
{
    Field f;
    if (!next(f))
        return false;
    const QString t = f.text.trimmed().toUpper();
    if (t == u"#TRUE#") {
        value = true;
        return true;
    }
    if (t == u"#FALSE#") {
        value = false;
        return true;
    }
    m_error = QStringLiteral("not a flag: %1").arg(f.text);
    return false;
}

QString formatNumber(double value)
{
    // Single precision is what the stored values carry; print the shortest text that reads
    // back as the same float.
    const float f = float(value);
    for (int precision = 1; precision <= 9; ++precision) {
        const QString s = QString::number(double(f), 'g', precision);
        if (float(s.toDouble()) == f && !s.contains(u'e'))
            return s;
    }
    return QString::number(double(f), 'f', 6);
}

void Writer::separate()
{
    if (m_lineHasField)
        m_text.append(u',');
    m_lineHasField = true;
}

Writer &Writer::text(const QString &value)
{
    separate();
    m_text.append(u'"').append(value).append(u'"');
    return *this;
}

Writer &Writer::number(double value)
{
    separate();
    m_text.append(formatNumber(value));
    return *this;
}

Writer &Writer::integer(qint64 value)
{
    separate();
    m_text.append(QString::number(value));
    return *this;
}

Writer &Writer::flag(bool value)
{
    separate();
    m_text.append(value ? u"#TRUE#" : u"#FALSE#");
    return *this;
}

Writer &Writer::endLine()
{
    m_text.append(u"\r\n");
    m_lineHasField = false;
    return *this;
}

bool readFile(const QString &path, QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool writeFileAtomic(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

bool appendFlushed(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 before = file.size();
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        if (error)
            *error = file.errorString();
        // Take back a partial line so the file still holds only whole records.
        file.resize(before);
        return false;
    }
    return true;
}

QString resolvePath(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    const QString exact = dir.filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return exact;
}

}  // namespace fieldfile
