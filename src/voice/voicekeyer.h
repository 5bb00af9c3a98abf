#pragma once
#include "core/fkey.h"
#include "voice/phonesettings.h"
#include "voice/pttkeying.h"

#include <QObject>
#include <QString>

#include <functional>

class QTimer;
class SpeechSynth;
class WavePlayer;

// Plays the phone messages on F1 .. F9, keying the transmitter around each: the line goes down,
// the sound starts after the PTT lead, and the line comes up the PTT tail after the sound device
// has played the last sample (looked at every 10 ms). A message that cannot be played (its file,
// the sound output) is refused before anything is keyed. F1 repeats after the loop interval
// until any key on the main window; Esc ends a message at once.
//
// Thread contract: GUI thread only; the player and the keying outputs are called from it.
class VoiceKeyer : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 10;

    VoiceKeyer(WavePlayer &player, PttKeying &ptt, const QString &workingDir,
               QObject *parent = nullptr);
    ~VoiceKeyer() override;

    PhoneSettings &settings() { return m_settings; }
    const PhoneSettings &settings() const { return m_settings; }
    // Applies the loop box to the repeat timer; false (interval 0) when the box is not valid.
    bool applyLoop();

    // Plays the message of F1 .. F9; other keys do nothing. A message with "$" (the call) or "#"
    // (the own 10-10 number) is spoken: from the recordings in the letters folder when every
    // part has one, else by the synthesiser, then sent like a recording.
    void FKeyPhone(FKey key);
    // Where spoken messages take the call and number from, and who speaks them without
    // recordings (`cacheDir` keeps the message being sent).
    void setSpokenParts(std::function<QString()> call, std::function<QString()> number);
    void setSpeech(SpeechSynth *speech, const QString &cacheDir);
    // The operator's recordings of letters, digits and words: <working dir>/letters.
    QString lettersFolder() const;
    // Opens the keying port; false when it cannot be opened (portFailed() has then been sent).
    bool OpenPhonePort();
    // Another owner (the external keyer) takes the port: a message being sent ends, the
    // transmitter is released and the port closed. The next message opens it again.
    void ClosePhonePort();
    // Esc: ends the message (sound and transmitter) at once. False when none was being sent.
    bool stopPlayback();
    // Any key on the main window ends the F1 loop.
    void cancelRepeat();

    // The keying port turned out not to open (reported later by the port's owner).
    void pttFailed(const QString &reason);

    // A message is being sent: from the key press through lead, sound and tail.
    bool isPlaying() const { return m_phase != Phase::Idle; }
    // The file of the message being sent ("" when none).
    QString sendingFile() const { return m_sendingFile; }
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
    enum class Phase { Idle, Lead, Sounding, Tail };
    void startSound();
    void endMessage();
    void messageDone();
    // False (with the reason) when the parallel output cannot be keyed.
    bool keyDown(QString *error);
    void keyUp();
    void setRepeat(bool on);
    void send(int index, const QString &path);
    void refuse(const QString &message);
    void speak(int index, const QString &text);

    WavePlayer &m_player;
    PttKeying &m_ptt;
    QString m_workingDir;
    PhoneSettings m_settings;
    QTimer *m_timer1 = nullptr;
    QTimer *m_tmrRepeat = nullptr;
    QTimer *m_lead = nullptr;
    QTimer *m_tail = nullptr;
    Phase m_phase = Phase::Idle;
    QString m_sendingFile;
    bool m_phoneRepeat = false;
    // What was keyed, so the release undoes exactly that even if the settings changed meanwhile.
    Keyed m_keyed = Keyed::None;
    PttKeying::Signal m_keyedSignal = PttKeying::Signal::Rts;
    int m_keyedAddress = 0;
    std::function<QString()> m_call, m_number;
    SpeechSynth *m_speech = nullptr;
    QString m_cacheDir;
    int m_spokenTicket = 0;  // a spoken message being synthesised is sent only if still wanted
};
