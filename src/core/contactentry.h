#pragma once
#include "core/logstore.h"

#include <QString>

class Clock;
struct Preferences;

// The logging step of the entry line without its window: checks the typed fields, builds the
// record and appends it to the log. The window shows what it answers.
class ContactEntry {
public:
    // The entry line as typed. `postContest`: the date and time fields are shown and used.
    struct Fields {
        QString call;
        QString name;
        QString qth;
        QString number;
        QString date;
        QString time;
        bool postContest = false;
    };
    enum class Field { None, Call, Name, Qth, Date, Time };

    enum class Outcome {
        Logged,
        Incomplete,   // a field missing or an invalid state: the fields stay for correcting
        Dupe,         // the call is in the log already
        BadDateTime,  // post-contest date or time unreadable
        Full,
        WriteFailed,
    };

    struct Result {
        Outcome outcome = Outcome::Logged;
        QString status;          // the status line; `dupe` shows it as an alarm
        bool dupe = false;
        int dupeRecord = 0;
        Field focus = Field::None;  // where the operator goes to correct it
        int beeps = 0;
        QString error;           // why the write failed
        QString notice;          // log.txt had to be written again from memory first
        bool clearFields = false;  // the entry line starts afresh
        bool dxListGrew = false;
    };

    ContactEntry(LogStore &log, const Clock &clock, const Preferences &prefs, QString logPath);

    // Checks `fields`, normalising them on the way as the window shows them (the 10-10 number
    // "None", the post-contest date and time in their stored forms), and appends the contact
    // when nothing is wrong. `listAsNewEntity` as LogStore::appendQso.
    Result log(Fields &fields, bool listAsNewEntity);

    // The checks of log() without logging: what Enter would answer now (nothing is written,
    // `fields` are not changed). Outcome Logged means it would be logged.
    Result check(Fields fields) const;

    // The full dupe check on a call: the record number it repeats, or 0.
    int dupeOf(const QString &call) const;

    QString logPath() const { return m_logPath; }

private:
    // The field and dupe checks both share; false when the contact cannot be logged as it is.
    bool checkFields(Fields &f, Result &r) const;

    LogStore &m_log;
    const Clock &m_clock;
    const Preferences &m_prefs;
    QString m_logPath;
};
