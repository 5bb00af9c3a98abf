#include "core/fieldfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
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

bool canHold(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F))
        return false;
    if (u <= 0xFF)
        return true;
    for (char16_t mapped : k1252High)
        if (mapped == u)
            return true;
    return false;
}

Reader::Reader(const QByteArray &bytes) : Reader(decode1252(bytes)) {}

static bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

Reader::Reader(const QString &text) : m_text(text)
{
    // Editors put a UTF-8 byte-order mark before the first field; it is not part of the data.
    static const QString bomAs1252 = decode1252(QByteArrayLiteral("\xEF\xBB\xBF"));
    if (m_text.startsWith(bomAs1252))
        m_pos = bomAs1252.size();
    else if (m_text.startsWith(QChar(0xFEFF)))
        m_pos = 1;
    // Where the trailing run of blanks, line ends and Ctrl-Z end-of-file marks begins, found once:
    // asking it again at every mark of a long run of them took time growing with its square.
    m_endMarksFrom = m_text.size();
    while (m_endMarksFrom > m_pos) {
        const QChar c = m_text[m_endMarksFrom - 1];
        if (!isBlank(c) && !isLineEnd(c) && c != QChar(0x1A))
            break;
        --m_endMarksFrom;
    }
}

void Reader::skipSeparatorsBefore()
{
    // Blanks and line ends before a field carry nothing.
    const QString &t = m_text;  // read only: no detach check at every character
    while (m_pos < t.size() && (isBlank(t[m_pos]) || isLineEnd(t[m_pos])))
        ++m_pos;
}

bool Reader::atEnd() const { return onlyEndMarksFrom(m_pos); }

bool Reader::onlyEndMarksFrom(qsizetype from) const { return from >= m_endMarksFrom; }

bool Reader::next(Field &field)
{
    skipSeparatorsBefore();
    if (atEnd())
        return false;
    const QString &t = m_text;  // read only: no detach check at every character
    field = Field{};
    if (t[m_pos] == u'"') {
        const qsizetype close = t.indexOf(u'"', m_pos + 1);
        if (close < 0) {
            m_error = QStringLiteral("unterminated quoted field");
            m_pos = t.size();
            return false;
        }
        field.text = t.mid(m_pos + 1, close - m_pos - 1);
        field.quoted = true;
        m_pos = close + 1;
        // Only blanks may stand between the closing quote and the separator; anything else
        // means a quote got into the data.
        while (m_pos < t.size() && isBlank(t[m_pos]))
            ++m_pos;
        if (m_pos < t.size() && t[m_pos] != u',' && !isLineEnd(t[m_pos])
            && !onlyEndMarksFrom(m_pos)) {
            m_error = QStringLiteral("text after a closing quote: %1")
                          .arg(t.mid(m_pos, 20));
            m_pos = t.size();
            return false;
        }
    } else {
        const qsizetype start = m_pos;
        while (m_pos < t.size() && t[m_pos] != u',' && !isLineEnd(t[m_pos])
               && !(t[m_pos] == QChar(0x1A) && onlyEndMarksFrom(m_pos)))
            ++m_pos;
        field.text = t.mid(start, m_pos - start).trimmed();
        // Nothing is escaped, so a quote in a bare field (or text before an opening quote) can
        // only be damage; taking it as data would write back a file that never loads again.
        if (field.text.contains(u'"')) {
            m_error = QStringLiteral("a double quote inside a field: %1").arg(field.text.left(20));
            m_pos = t.size();
            return false;
        }
    }
    if (onlyEndMarksFrom(m_pos))
        m_pos = t.size();
    else if (m_pos < t.size() && t[m_pos] == u',')
        ++m_pos;
    else if (m_pos < t.size() && t[m_pos] == u'\r') {
        ++m_pos;
        if (m_pos < t.size() && t[m_pos] == u'\n')
            ++m_pos;
    } else if (m_pos < t.size() && t[m_pos] == u'\n')
        ++m_pos;
    return true;
}

bool Reader::nextText(QString &text)
{
    Field f;
    if (!next(f))
        return false;
    text = std::move(f.text);
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

bool syncFolderOf(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
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
    // The contents were synced before the rename; the rename itself lives in the folder.
    syncFolderOf(path);
    return true;
}

namespace {
// The bytes at the end of an open file, at most `count` of them.
QByteArray tailOf(int fd, qint64 size, qint64 count)
{
    const qint64 n = qMin(size, count);
    QByteArray tail(n, Qt::Uninitialized);
    const ssize_t got = ::pread(fd, tail.data(), size_t(n), off_t(size - n));
    tail.resize(got < 0 ? 0 : qsizetype(got));
    return tail;
}

bool tailHasEofMark(const QByteArray &tail)
{
    for (qsizetype i = tail.size() - 1; i >= 0; --i) {
        const char c = tail[i];
        if (c == '\x1A')
            return true;
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t')
            return false;
    }
    return false;
}

QString errnoText(int code) { return qt_error_string(code); }
}  // namespace

bool endsWithEofMark(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool marked = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)
                        && tailHasEofMark(tailOf(fd, st.st_size, 64));
    ::close(fd);
    return marked;
}

FileStamp stamp(const QString &path)
{
    FileStamp s;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.regular = S_ISREG(st.st_mode);
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

bool appendFlushed(const QString &path, const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    // Plain descriptors: every short write and its errno must be seen, which a buffered QFile
    // hides until close (and then reports as "Unknown error").
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC,
                          0666);
    if (fd < 0)
        return fail(errnoText(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int code = errno;
        ::close(fd);
        return fail(S_ISREG(st.st_mode) ? errnoText(code) : QStringLiteral("it is not a regular file"));
    }
    const qint64 before = st.st_size;
    const QByteArray tail = tailOf(fd, before, 64);
    if (tailHasEofMark(tail)) {
        ::close(fd);
        return fail(QStringLiteral("it ends with an end-of-file mark (Ctrl-Z)"));
    }
    QByteArray out;
    if (before > 0 && (tail.isEmpty() || !tail.endsWith('\n')))
        out = tail.endsWith('\r') ? QByteArray("\n") : QByteArray("\r\n");
    out += bytes;

    qsizetype done = 0;
    int code = 0;
    while (done < out.size()) {
        const ssize_t n = ::write(fd, out.constData() + done, size_t(out.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            code = n < 0 ? errno : ENOSPC;
            break;
        }
        done += n;
    }
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (code == 0) {
        ::close(fd);
        if (before == 0)
            syncFolderOf(path);  // a new file's name is only safe once its folder is synced
        return true;
    }
    // Take back whatever part of the line got out, so the file holds exactly what it held.
    QString why = errnoText(code);
    struct stat after {};
    if (::ftruncate(fd, off_t(before)) != 0 || ::fsync(fd) != 0 || ::fstat(fd, &after) != 0
        || qint64(after.st_size) != before)
        why += QStringLiteral("; the partly written line could not be removed again");
    ::close(fd);
    return fail(why);
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
