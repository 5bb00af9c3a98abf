#pragma once
#include "core/fkey.h"
#include "voice/phonesettings.h"
#include "voice/pttkeying.h"

#include <QObject>
#include <QString>

class QTimer;
class WavePlayer;

// Plays the phone messages on F1 .. F9, keying the transmitter for exactly the length of each:
// the line goes down before playback starts and up at the first end-of-playback check after it
// ends (every 40 ms). F1 repeats after the loop interval until any key on the main window.
//
// Thread contract: GUI thread only; the player and the keying outputs are called from it.
class VoiceKeyer : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 40;

    VoiceKeyer(WavePlayer &player, PttKeying &ptt, const QString &workingDir,
               QObject *parent = nullptr);
    ~VoiceKeyer() override;

    PhoneSettings &settings() { return m_settings; }
    const PhoneSettings &settings() const { return m_settings; }
    // Applies the loop box to the repeat timer; false (interval 0) when the box is not valid.
    bool applyLoop();

    // Plays the message of F1 .. F9; other keys do nothing.
    void FKeyPhone(FKey key);
    // Opens the keying port; false when it cannot be opened (portFailed() has then been sent).
    bool OpenPhonePort();
    // Another owner (the external keyer) takes the port: a message being sent ends, the
    // transmitter is released and the port closed. The next message opens it again.
    void ClosePhonePort();
    // Esc: ends the message; the transmitter is released by the next end-of-playback check.
    // False when nothing was playing.
    bool stopPlayback();
    // Any key on the main window ends the F1 loop.
    void cancelRepeat();

    // The keying port turned out not to open (reported later by the port's owner).
    void pttFailed(const QString &reason);

    bool isPlaying() const;
    bool phoneRepeat() const { return m_phoneRepeat; }
    bool transmitting() const { return m_keyed != Keyed::None; }

    // The timers' ticks, public so tests can step them.
    void Timer1_Timer();
    void tmrRepeat_Timer();
    QTimer *Timer1() const { return m_timer1; }
    QTimer *tmrRepeat() const { return m_tmrRepeat; }

    QString messagePath(int index) const;  // F1 = 0; empty when the box is empty

signals:
    void repeatChanged(bool repeating);
    void transmittingChanged(bool on);
    // A message could not be played; the transmitter has not stayed keyed.
    void playFailed(const QString &message);
    // The keying port could not be opened.
    void portFailed(const QString &reason);

private:
    enum class Keyed { None, Serial, Parallel, Both };
    // False (with the reason) when the parallel output cannot be keyed.
    bool keyDown(QString *error);
    void keyUp();
    void setRepeat(bool on);

    WavePlayer &m_player;
    PttKeying &m_ptt;
    QString m_workingDir;
    PhoneSettings m_settings;
    QTimer *m_timer1 = nullptr;
    QTimer *m_tmrRepeat = nullptr;
    bool m_phoneRepeat = false;
    // What was keyed, so the release undoes exactly that even if the settings changed meanwhile.
    Keyed m_keyed = Keyed::None;
    PttKeying::Signal m_keyedSignal = PttKeying::Signal::Rts;
    int m_keyedAddress = 0;
};
