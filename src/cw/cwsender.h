#pragma once
#include <QObject>
#include <QString>

// The one CW object the shell talks to. The keyer thread (keying a line itself) implements it,
// and so does the external keyer. The buffer is the text still to be sent; the character being
// keyed is no longer in it and is always finished.
//
// Thread contract: every function is called on the GUI thread and returns at once; signals
// arrive on the GUI thread (queued when the implementation works on another thread).
class CwSender : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Replaces the unsent text (a function key): the new text follows the current character.
    virtual void send(const QString &text) = 0;
    // Keyboard CW: appends typed text; starts sending when idle.
    virtual void append(const QString &text) = 0;
    // Takes back the last unsent character; false when nothing was left to take back.
    virtual bool backspace() = 0;
    // Esc: empties the buffer; sending stops after the current character.
    virtual void stop() = 0;
    virtual QString unsent() const = 0;
    virtual bool isSending() const = 0;

    // Words per minute; takes effect at the next element.
    virtual void setSpeed(int wpm) = 0;
    virtual int speed() const = 0;

signals:
    // A "!" was reached in the text: the contact in the entry line is to be logged now.
    void logMarkReached();
    // True when sending starts, false when the buffer has run empty (or was emptied).
    void sendingChanged(bool sending);
    // One character has been keyed in full; `unsent` is what remains.
    void charKeyed(QChar c, const QString &unsent);
};
