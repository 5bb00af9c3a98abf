#pragma once
#include <QString>
#include <QStringList>

struct Preferences;

// The digital messages F1 .. F10 send through fldigi, kept in "DG.txt" in the working folder:
// ten quoted texts, one a line, the form CW.txt keeps its messages in. They take the CW
// messages' wildcards ("$" the call, "#" the serial number, "*" the report 599) and "!", which
// logs the contact.
namespace dgmessages {

inline constexpr char kFileName[] = "DG.txt";
inline constexpr int kCount = 10;

// The messages a new station starts with, from its own call, name, state and number.
QStringList defaults(const Preferences &prefs);
// DG.txt's messages over `fallback`: a file with fewer keeps the rest of `fallback`; a missing
// or unreadable file gives `fallback` whole.
QStringList load(const QString &path, const QStringList &fallback);
// Writes all ten (blank where `messages` has fewer) at once, so a failed write keeps the old file.
bool save(const QString &path, const QStringList &messages, QString *error = nullptr);

// What goes to fldigi for a message: its text with the wildcards filled and "!" taken out, and
// whether it logs the contact ("!" with a call in the entry line).
struct Expanded {
    QString text;
    bool logs = false;
};
Expanded expand(const QString &message, const QString &call);

}  // namespace dgmessages
