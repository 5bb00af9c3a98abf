#pragma once
#include "core/contactentry.h"

#include <QList>
#include <QSet>
#include <QPointer>
#include <QWidget>

class Clock;
class QColor;
class Dialogs;
class KeyDispatcher;
class PrefixTable;
struct Preferences;
class QKeyEvent;
class LiveRegion;
class QLabel;
class QLineEdit;
class QTimer;

// The main window's entry line: call, name, state or country, 10-10 number and the post-contest
// date and time, the lookup labels under them, the status line (lblDialog) and the partial-dupe
// line (lblDupe). It owns the dupe alarm and its hold, and logs through ContactEntry.
//
// Laid out in design twips relative to its own top-left corner; the form scaler stretches it
// with the window. Thread contract: GUI thread only.
class EntryLineWidget : public QWidget {
    Q_OBJECT

public:
    struct Services {
        LogStore *log = nullptr;
        Preferences *prefs = nullptr;
        const PrefixTable *prefixes = nullptr;
        const Clock *clock = nullptr;
        Dialogs *dialogs = nullptr;
        QString logPath;
    };

    // Registers the dupe hold and the entry keys with `keys`.
    EntryLineWidget(const Services &services, KeyDispatcher &keys, QWidget *parent);
    ~EntryLineWidget() override;

    // Where the widget sits in the window, in design twips.
    static constexpr int kLeft = 0, kTop = 480, kWidth = 9600, kHeight = 1870;

    // The call field as typed.
    QString call() const;
    // The call into the call field, then the field's leave step as Tab runs it: the dupe check
    // and lookup, and the cursor on to the name (a band-map or DX-list pick).
    void offerCall(const QString &call);

    // The exchange fields as they stand.
    struct Exchange {
        QString name;
        QString qth;
        QString number;
    };
    Exchange exchange() const;
    // Puts each non-empty part into its field, selected whole with the caret at its start, so
    // the first key typed there replaces it (the call history's pre-fill).
    void prefillExchange(const Exchange &fill);

    // The fields as the logging step takes them, and its answer for them now (nothing logged).
    ContactEntry::Fields fields() const;
    ContactEntry::Result checkEntry() const;
    // The record a call would repeat, 0 when it is not in the log.
    int dupeOf(const QString &call) const { return m_entry.dupeOf(call); }
    void focusField(ContactEntry::Field field);
    // Post-contest fields shown: contacts are typed from paper, nothing goes on the air.
    bool postContest() const;

    // Logs the contact in the entry line as Enter does. Ignored while held keys are replayed:
    // keys typed during a dupe alarm never log a contact.
    // The logging step Enter runs; true when the contact went into the log.
    bool logCurrentContact();
    // Empties the fields, both lines and the lookup labels; the call field gets the focus.
    void clearEntry();
    void focusCall();
    // Puts a state abbreviation into the state/country field (a click on the state grid).
    void setQth(const QString &text);
    // Text for the partial-dupe line (also the state grid's hover line).
    void showPartialLine(const QString &text);
    void setStatus(const QString &text, bool alarm = false);
    // The status line's text, its colour left as it is (the CW keyer's lines).
    void setStatusText(const QString &text);
    // The status line's background (the CW keyboard mode's yellow, its usual teal).
    void setStatusColour(const QColor &colour);
    // Something the operator must see at once: the status line and the partial-dupe line, both
    // on white ("You've been spotted!").
    void showAlert(const QString &status, const QString &line);
    // For a screen reader: `text` announced once now, or once typing has paused (a line that
    // changes with each key). Status-line alarms, the dupe warning, "New" and alerts are
    // announced by the entry line itself.
    void announce(const QString &text);
    void announceWhenSettled(const QString &text);
    LiveRegion &liveRegion() { return *m_live; }
    // A line of the window's own under the entry fields (check partial, the rig), placed in
    // the window's design twips like the entry line's own labels; hidden until shown.
    QLabel *addInfoLine(const QString &name, int left, int top, int width, int height);
    void setPartialDupes(bool on);
    bool partialDupes() const { return m_partialDupes; }
    // Shows or hides the post-contest date and time; true when they are shown now.
    bool togglePostContest();
    // Back to the state of a fresh start: no "New" mark, empty status line, partial dupes on.
    void reset();

    bool dupeFound() const { return m_dupeFound; }

signals:
    void callTextChanged(const QString &call);
    void announcementRequested(const QString &prompt);
    // The call field got the focus.
    void callFieldEntered();
    // Any entry field's text changed.
    void entryChanged();
    // The operator moved on from a call that is not a dupe (Space, Tab or a click elsewhere).
    void callFieldLeft(const QString &call);
    // An Enter ran to its end; `logged` when a contact was appended.
    void enterFinished(bool logged, bool dxListGrew);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *makeLabel(const QString &name, const QString &text, int left, int top, int width, int height);
    QLineEdit *makeField(const QString &name, int left, int top, int width, int height);
    void buildControls();
    bool isEntryField(const QObject *o) const;

    // The keys of the call field that wait out a dupe alarm: those that would edit the call.
    static bool isHoldableKey(const QKeyEvent *key);
    bool holdKey(QObject *target, QKeyEvent *key);
    void leaveCallField();
    void holdTimeout();
    void releaseHeldKeys();
    qint64 holdLeftMs() const;

    bool handleEntryKey(QLineEdit *field, QKeyEvent *key);
    bool handleCallKey(QKeyEvent *key);
    bool handleCountryKey(QKeyEvent *key);
    void scanPartialDupes(const QString &before, QChar key);
    void thirdCharacterCheck(const QString &before, QChar key);
    void callChanged(const QString &text);
    void countryChanged(const QString &text);
    void lookupCountry(const QString &call);
    void clearLookupLabels();
    void clearFields();
    void dupcheck();
    void raiseDupeAlarm(int record);
    void fieldFocusIn(QLineEdit *field);
    void fieldFocusOut(QLineEdit *field, Qt::FocusReason reason);
    QLineEdit *fieldFor(ContactEntry::Field f) const;

    Services m_s;
    ContactEntry m_entry;
    // Fields holding the call history's proposal, not yet typed into: selected whole whenever
    // they get the focus, by key or by mouse, so typing replaces them.
    QSet<QLineEdit *> m_prefilled;
    KeyDispatcher &m_keys;
    QList<int> m_keyIds;

    bool m_partialDupes = true;
    bool m_inMains = false;
    bool m_callChecked = false;  // the full dupe check ran as the call field was left

    // The dupe alarm holds keys that would edit the call for three seconds, so the next call
    // is not typed into a field the alarm just emptied.
    bool m_dupeFound = false;
    qint64 m_dupeAtMs = 0;
    bool m_replaying = false;
    struct HeldKey {
        QPointer<QObject> target;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    QList<HeldKey> m_heldKeys;
    QTimer *m_holdTimer = nullptr;

    QLineEdit *txtCall = nullptr;
    QLineEdit *txtRSTR = nullptr;
    QLineEdit *txtCntry = nullptr;
    QLineEdit *txtRSTS = nullptr;
    QLineEdit *txtPostConDate = nullptr;
    QLineEdit *txtPostConTime = nullptr;
    QLabel *lblPostConDate = nullptr;
    QLabel *lblPostConTime = nullptr;
    QLabel *lblDialog = nullptr;
    QLabel *lblDupe = nullptr;
    QLabel *Label3 = nullptr;   // "New"
    LiveRegion *m_live = nullptr;
    bool m_possibleDupeSaid = false;  // "Possible Duplicate!" announced for the call being typed
    QLabel *Label19 = nullptr;  // continent
    QLabel *Label22 = nullptr;  // bearing
    QLabel *Label23 = nullptr;  // miles
};
