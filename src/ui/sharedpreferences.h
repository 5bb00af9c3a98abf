#pragma once
#include <QString>

// "SharedUserPreferences.xml": facts about the operator that the maker's programs share. This
// program only publishes into it. Held in memory as one text for the whole run.
class SharedPreferences {
public:
    static constexpr const char *kFileName = "SharedUserPreferences.xml";

    // Remembers the path; reads the file (less its last two characters) when it exists, else
    // starts with the declaration line alone. Nothing is written yet.
    void load(const QString &path);
    // Replaces the value of the first <NAME> element (name in capitals), or appends the element
    // on a new line; the value is written escaped for XML. With `saveNow` the file is written
    // at once.
    bool setElement(const QString &name, const QString &value, bool saveNow, QString *error = nullptr);
    // Writes the document and a final CR LF, replacing the file.
    bool save(QString *error = nullptr) const;

    QString document() const { return m_document; }
    QString path() const { return m_path; }
    static QString declaration();

private:
    QString m_path;
    QString m_document = declaration();
};
