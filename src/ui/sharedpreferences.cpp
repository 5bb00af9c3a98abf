#include "ui/sharedpreferences.h"

#include "core/fieldfile.h"

#include <QFileInfo>

QString SharedPreferences::declaration()
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
}

void SharedPreferences::load(const QString &path)
{
    m_path = path;
    QByteArray bytes;
    if (QFileInfo::exists(path) && fieldfile::readFile(path, bytes)) {
        m_document = fieldfile::decode1252(bytes);
        if (m_document.endsWith(QStringLiteral("\r\n")))
            m_document.chop(2);  // the line end Save adds
    } else {
        m_document = declaration();
    }
}

bool SharedPreferences::setElement(const QString &name, const QString &rawValue, bool saveNow,
                                   QString *error)
{
    const QString upper = name.toUpper();
    // The other programs read this file as XML: an ampersand or angle bracket in a name must not
    // break it.
    const QString value = rawValue.toHtmlEscaped();
    const QString open = QLatin1Char('<') + upper + QLatin1Char('>');
    const QString close = QStringLiteral("</") + upper + QLatin1Char('>');
    const qsizetype at = m_document.indexOf(open);
    const qsizetype closeAt = at < 0 ? -1 : m_document.indexOf(close, at + open.size());
    if (at >= 0 && closeAt >= 0) {
        const qsizetype start = at + open.size();
        m_document.replace(start, closeAt - start, value);
    } else if (at >= 0) {
        // An opening tag without its closing tag: complete that line rather than append a
        // second element, so the document keeps its one-element-per-line form.
        qsizetype lineEnd = m_document.indexOf(QStringLiteral("\r\n"), at);
        if (lineEnd < 0)
            lineEnd = m_document.size();
        const qsizetype start = at + open.size();
        m_document.replace(start, lineEnd - start, value + close);
    } else {
        m_document += QStringLiteral("\r\n") + open + value + close;
    }
    return saveNow ? save(error) : true;
}

bool SharedPreferences::save(QString *error) const
{
    if (m_path.isEmpty()) {
        if (error)
            *error = QStringLiteral("no file");
        return false;
    }
    return fieldfile::writeFileAtomic(m_path, fieldfile::encode1252(m_document + QStringLiteral("\r\n")),
                                      error);
}
