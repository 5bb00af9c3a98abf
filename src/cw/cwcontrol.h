#pragma once
#include "cw/cwsettings.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class CwSender;
class KeyerThread;
class QKeyEvent;

// What the CW keys need from the main window, as plain calls.
struct CwHost {
    std::function<QString()> mode;  // "CW", "PH" or "DG"
    std::function<QString()> call;  // the call field as typed
    std::function<void(const QString &)> setStatus;
    std::function<void(const QColor &)> setStatusColour;
    std::function<bool()> logContact;  // the logging step Enter runs; true when logged
    std::function<void()> showSetup;
    std::function<void()> showStrings;
};

// The CW side of the main window: function-key messages with their wildcards, the F1 repeat,
// speed keys, keyboard CW, Esc and the close guard. It owns the setup values and hands the
// keying to a CwSender.
//
// Thread contract: GUI thread only.
class CwControl : public QObject {
    Q_OBJECT
public:
    static const QColor kKeyboardColour;  // light yellow while keyboard CW is on
    static const QColor kStatusColour;    // the status line's usual teal

    CwControl(CwSender &sender, KeyerThread *keyer, QObject *parent = nullptr);

    void setHost(const CwHost &host) { m_host = host; }
    CwSettings &settings() { return m_settings; }
    const CwSettings &settings() const { return m_settings; }
    PortMap &portMap() { return m_portMap; }
    CwSender &sender() { return *m_sender; }
    // The keyer thread, whichever sender keys now; null without one.
    KeyerThread *keyer() const { return m_keyer; }
    // The external keyer takes over (or hands back to the keyer thread).
    void setSender(CwSender &sender);

    // Sends the new settings to the keyer (speed, line, timing, word space, repeat interval).
    void applySettings();

    // The message of a function key; `withCall` false sends its "$" as nothing (my exchange
    // to a station whose call I do not repeat).
    void FKeyCW(FKey key, bool withCall = true);
    QString expandMessage(const QString &message, bool withCall = true) const;
    void changeSpeed(int delta);
    void toggleKeyboardMode();
    // Shows the keyboard-CW banner again while keyboard CW is on (after the entry line used the
    // status line for something else).
    void showKeyboardBanner();
    bool keyboardMode() const { return m_keyboardMode; }
    bool repeating() const { return m_repeat; }
    QTimer &repeatTimer() { return m_repeatTimer; }
    // The repeat timer's tick: sends F1 again.
    void tmrRepeat_Timer();

    // Key preview for the main window; true when the key was taken.
    bool handleKey(QKeyEvent *key);
    // The main window asks before closing: empties the buffer and refuses while keying.
    bool mayClose();

signals:
    void speedChanged(int wpm);
    // The sender in use (keyer thread or external keyer) started or ended a transmission.
    void sendingChanged(bool sending);

private:
    void stopRepeat();
    void onSendingChanged(bool sending);
    void onCharKeyed(QChar c, const QString &unsent);
    void onLogMark();
    void connectSender();
    bool m_refusalShown = false;  // a "!" could not log: its reason stays in the status line

    CwSender *m_sender;
    KeyerThread *m_keyer;
    CwHost m_host;
    CwSettings m_settings;
    PortMap m_portMap;
    QTimer m_repeatTimer;
    bool m_repeat = false;
    bool m_keyboardMode = false;
    QList<QMetaObject::Connection> m_connections;
};
