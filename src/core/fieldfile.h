#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// The one text form every file of the program uses: fields separated by commas or line ends,
// text in double quotes (nothing escaped), numbers bare with "." as decimal separator, flags as
// #TRUE# / #FALSE#, CR LF line ends, Windows-1252 bytes.
namespace fieldfile {

QString decode1252(const QByteArray &bytes);
QByteArray encode1252(const QString &text);  // characters outside the code page become '?'
// Whether a text field can hold `c` as itself: a printable character of the code page. Control
// characters would break the one-record-per-line form; others would be written as '?'.
bool canHold(QChar c);

struct Field {
    QString text;
    bool quoted = false;
};

// Splits a whole file into fields. A quoted field runs to the next double quote (commas and line
// ends inside belong to it); an unquoted field runs to the next comma or line end, trimmed. Line
// ends separate fields like commas; empty lines are skipped.
class Reader {
public:
    explicit Reader(const QByteArray &bytes);
    explicit Reader(const QString &text);

    bool atEnd() const;
    // False at end of input or on a quoted field that never closes (`error()` then says so).
    bool next(Field &field);
    bool nextText(QString &text);
    // Strict: a field that is not a number (after trimming) fails.
    bool nextNumber(double &value);
    bool nextFlag(bool &value);
    QString error() const { return m_error; }

private:
    void skipSeparatorsBefore();
    // Only blanks, line ends and Ctrl-Z end-of-file marks from `from` on.
    bool onlyEndMarksFrom(qsizetype from) const;
    QString m_text;
    qsizetype m_pos = 0;
    qsizetype m_endMarksFrom = 0;
    QString m_error;
};

// Strict number parse used by the reader; accepts a leading sign, digits, one "." and an
// exponent, with surrounding blanks.
bool parseNumber(const QString &text, double &value);

class Writer {
public:
    Writer &text(const QString &value);
    Writer &number(double value);    // shortest form that reads back as the same single float
    Writer &integer(qint64 value);
    Writer &flag(bool value);
    Writer &endLine();
    QByteArray bytes() const { return encode1252(m_text); }
    QString str() const { return m_text; }

private:
    void separate();
    QString m_text;
    bool m_lineHasField = false;
};

QString formatNumber(double value);

// File helpers shared by every reader and writer of these files.
// Reads the whole file; false (with a message) when it cannot be opened.
bool readFile(const QString &path, QByteArray &bytes, QString *error = nullptr);
// Writes to a new file, synced, and renames it over the old one, so a crash never leaves half a
// file; the folder is synced after the rename so a power cut cannot undo it.
bool writeFileAtomic(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// Syncs the folder holding `path`, so a file created or renamed there survives a power cut.
bool syncFolderOf(const QString &path);
// Appends and flushes to the disk before returning. A last line left without its line end is
// ended first, so the new line never glues onto it. On any failure (a short write on a full
// disk) the file is cut back to its length before the call and `error` names the cause. A file
// that ends with a Ctrl-Z end-of-file mark is refused: text after the mark would be lost to
// old readers and glue onto it here.
bool appendFlushed(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// True when the file ends with a Ctrl-Z mark (possibly followed by blanks and line ends).
bool endsWithEofMark(const QString &path);

// Which file a path names and how long it is, to notice one changed behind the program's back.
struct FileStamp {
    bool exists = false;
    bool regular = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    bool sameFileAs(const FileStamp &other) const
    {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
    bool operator==(const FileStamp &) const = default;
};
FileStamp stamp(const QString &path);

// `folder`/`name`, or the existing file in `folder` whose name differs from `name` only in
// letter case (files written on case-insensitive systems keep their old spelling).
QString resolvePath(const QString &folder, const QString &name);

}  // namespace fieldfile
