#pragma once
#include <QString>

#include <functional>

class QObject;

// Text spoken into a WAV file, for a prompt or message the operator has not recorded.
//
// Thread contract: GUI thread only; the synthesiser runs in a process of its own, so nothing
// here waits for it.
class SpeechSynth {
public:
    virtual ~SpeechSynth() = default;
    virtual bool available() const = 0;
    // Starts writing `text`, spoken, into `wavPath`, and returns at once; `done(ok)` follows on
    // the GUI thread, unless `context` has gone by then.
    virtual void speakToFile(const QString &text, const QString &wavPath, QObject *context,
                             std::function<void(bool ok)> done) = 0;
};

// espeak-ng, Debian's packaged synthesiser, as a child process.
class EspeakSynth : public SpeechSynth {
public:
    EspeakSynth();
    bool available() const override { return !m_program.isEmpty(); }
    void speakToFile(const QString &text, const QString &wavPath, QObject *context,
                     std::function<void(bool ok)> done) override;

private:
    QString m_program;
};
