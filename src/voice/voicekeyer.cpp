#include "voice/voicekeyer.h"
#include "voice/spokenmessage.h"
#include "platform/speech.h"

#include "platform/portmap.h"
#include "platform/waveplayer.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {
bool parseAddress(const QString &text, int &value)
{
    return parsePortAddress(text, value) && value > 0;
}
}  // namespace

VoiceKeyer::VoiceKeyer(WavePlayer &player, PttKeying &ptt, const QString &workingDir, QObject *parent)
    : QObject(parent), m_player(player), m_ptt(ptt), m_workingDir(workingDir)
{
    m_timer1 = new QTimer(this);
    m_timer1->setInterval(kPollMs);
    // A coarse timer may drift a few ms a tick; over a long message that would stretch the
    // release well past one check after the end.
    m_timer1->setTimerType(Qt::PreciseTimer);
    connect(m_timer1, &QTimer::timeout, this, &VoiceKeyer::Timer1_Timer);
    m_tmrRepeat = new QTimer(this);
    m_tmrRepeat->setInterval(0);
    connect(m_tmrRepeat, &QTimer::timeout, this, &VoiceKeyer::tmrRepeat_Timer);
    for (QTimer **t : {&m_lead, &m_tail}) {
        *t = new QTimer(this);
        (*t)->setSingleShot(true);
        (*t)->setTimerType(Qt::PreciseTimer);
    }
    connect(m_lead, &QTimer::timeout, this, &VoiceKeyer::startSound);
    connect(m_tail, &QTimer::timeout, this, &VoiceKeyer::messageDone);
}

VoiceKeyer::~VoiceKeyer()
{
    // Never leave the transmitter keyed behind us.
    m_player.stop();
    endMessage();
}

bool VoiceKeyer::applyLoop()
{
    if (!PhoneSettings::validLoop(m_settings.loop)) {
        m_settings.loop = QStringLiteral("0");
        m_tmrRepeat->setInterval(0);
        return false;
    }
    m_tmrRepeat->setInterval(int(m_settings.loopSeconds() * 1000));
    return true;
}

QString VoiceKeyer::messagePath(int index) const
{
    if (index < 0 || index >= int(m_settings.files.size()))
        return QString();
    const QString name = m_settings.files[size_t(index)].trimmed();
    if (name.isEmpty())
        return QString();
    return QDir(m_workingDir).absoluteFilePath(name);
}


void VoiceKeyer::setRepeat(bool on)
{
    if (m_phoneRepeat == on)
        return;
    m_phoneRepeat = on;
    emit repeatChanged(on);
}

void VoiceKeyer::cancelRepeat()
{
    m_tmrRepeat->stop();
    setRepeat(false);
}

bool VoiceKeyer::stopPlayback()
{
    ++m_spokenTicket;  // a spoken message still being written is not sent
    if (m_phase == Phase::Idle)
        return false;
    m_player.stop();
    cancelRepeat();
    endMessage();
    return true;
}

void VoiceKeyer::FKeyPhone(FKey key)
{
    const int index = fkeyNumber(key) - 1;
    if (index > 8)
        return;
    // A message still being sent is cut off; the transmitter stays keyed for the next one or is
    // released when the next one cannot be sent.
    m_player.stop();
    m_lead->stop();
    m_tail->stop();
    m_timer1->stop();
    ++m_spokenTicket;
    if (index == 0 && m_settings.loopSeconds() > 0)
        setRepeat(true);
    const QString text = index >= 0 && index < int(m_settings.files.size()) ? m_settings.files[size_t(index)].trimmed() : QString();
    if (spokenmessage::isSpoken(text))
        return speak(index, text);
    const QString path = messagePath(index);
    if (path.isEmpty()) {
        endMessage();
        return;
    }
    send(index, path);
}

void VoiceKeyer::setSpokenParts(std::function<QString()> call, std::function<QString()> number)
{
    m_call = std::move(call);
    m_number = std::move(number);
}

void VoiceKeyer::setSpeech(SpeechSynth *speech, const QString &cacheDir)
{
    m_speech = speech;
    m_cacheDir = cacheDir;
}

QString VoiceKeyer::lettersFolder() const
{
    return QDir(m_workingDir).filePath(QStringLiteral("letters"));
}

void VoiceKeyer::refuse(const QString &message)
{
    cancelRepeat();
    endMessage();
    emit playFailed(message);
}

void VoiceKeyer::speak(int index, const QString &text)
{
    const QStringList parts = spokenmessage::parts(text, m_call ? m_call() : QString(),
                                                   m_number ? m_number() : QString(), m_settings.phonetic);
    const QString folder = m_cacheDir.isEmpty() ? QDir(m_workingDir).filePath(QStringLiteral(".spoken")) : m_cacheDir;
    const QString out = QDir(folder).filePath(QStringLiteral("F%1.wav").arg(index + 1));
    QString why;
    if (spokenmessage::fromRecordings(parts, lettersFolder(), out, &why))
        return send(index, out);
    if (!m_speech || !m_speech->available())
        return refuse(QStringLiteral("The message for F%1 cannot be spoken: %2, and no speech synthesiser "
                                     "(espeak-ng) is installed.").arg(index + 1).arg(why));
    // Nothing is keyed while the synthesiser writes; an Esc or another key meanwhile drops it.
    const int ticket = m_spokenTicket;
    m_speech->speakToFile(spokenmessage::synthText(parts), out, this, [this, ticket, index, out](bool ok) {
        if (ticket != m_spokenTicket)
            return;
        if (!ok)
            return refuse(QStringLiteral("The message for F%1 could not be synthesised.").arg(index + 1));
        send(index, out);
    });
}

void VoiceKeyer::send(int index, const QString &path)
{
    auto fileFailed = [&](const QString &why) {
        refuse(QStringLiteral("The wave file for F%1 (%2) cannot be played: %3.")
                   .arg(index + 1)
                   .arg(QDir::toNativeSeparators(path), why));
    };
    // Checked before keying, so a file or an output that cannot sound never puts the
    // transmitter on the air.
    QString error;
    if (!m_player.load(path, &error))
        return fileFailed(error);

    const bool wasKeyed = transmitting();
    m_sendingFile = QFileInfo(path).fileName();
    if (!keyDown(&error))
        return refuse(QStringLiteral("The transmitter cannot be keyed: %1.").arg(error));
    // A transmitter already keyed (the next message at once) has switched already.
    const int lead = wasKeyed || !transmitting() ? 0 : qBound(0, m_settings.pttLeadMs, PhoneSettings::kMaxLeadTailMs);
    if (lead > 0) {
        m_phase = Phase::Lead;
        m_lead->start(lead);
    } else {
        startSound();
    }
}

void VoiceKeyer::startSound()
{
    m_phase = Phase::Sounding;
    m_player.start();
    m_timer1->start();
}

void VoiceKeyer::endMessage()
{
    m_lead->stop();
    m_tail->stop();
    m_timer1->stop();
    m_phase = Phase::Idle;
    m_sendingFile.clear();
    keyUp();
}

bool VoiceKeyer::OpenPhonePort()
{
    const int port = m_settings.portNumber();
    if (port <= 0)
        return true;
    QString error;
    if (m_ptt.openSerial(port, &error))
        return true;
    emit portFailed(error);
    return false;
}

void VoiceKeyer::ClosePhonePort()
{
    m_player.stop();
    cancelRepeat();
    endMessage();
    m_ptt.closeSerial();
}

bool VoiceKeyer::keyDown(QString *error)
{
    const bool wasKeyed = transmitting();
    const int port = m_settings.portNumber();
    const auto signal =
        m_settings.line == PhoneSettings::Dtr ? PttKeying::Signal::Dtr : PttKeying::Signal::Rts;
    bool serial = m_keyed == Keyed::Serial || m_keyed == Keyed::Both;
    bool parallel = m_keyed == Keyed::Parallel || m_keyed == Keyed::Both;
    // The settings may have changed since the line went down: take down only what is set now.
    if (serial && (port <= 0 || signal != m_keyedSignal)) {
        m_ptt.setSerialLine(m_keyedSignal, false);
        serial = false;
    }
    if (port > 0 && !serial && (m_ptt.serialIsOpen() || OpenPhonePort())) {
        m_ptt.setSerialLine(signal, true);
        m_keyedSignal = signal;
        serial = true;
    }
    int address = 0;
    bool ok = true;
    const bool wantParallel = m_settings.line == PhoneSettings::Parallel;
    if (wantParallel && !parseAddress(m_settings.parallelAddress, address)) {
        *error = QStringLiteral("the parallel port address \"%1\" is not valid")
                     .arg(m_settings.parallelAddress);
        ok = false;
    }
    if (parallel && (!ok || !wantParallel || address != m_keyedAddress)) {
        m_ptt.keyParallel(m_keyedAddress, false);
        parallel = false;
    }
    if (ok && wantParallel && !parallel) {
        if (m_ptt.keyParallel(address, true, error)) {
            m_keyedAddress = address;
            parallel = true;
        } else {
            ok = false;
        }
    }
    m_keyed = serial && parallel ? Keyed::Both
              : serial           ? Keyed::Serial
              : parallel         ? Keyed::Parallel
                                 : Keyed::None;
    if (transmitting() != wasKeyed)
        emit transmittingChanged(transmitting());
    return ok;
}

void VoiceKeyer::keyUp()
{
    if (m_keyed == Keyed::None)
        return;
    if (m_keyed == Keyed::Serial || m_keyed == Keyed::Both)
        m_ptt.setSerialLine(m_keyedSignal, false);
    if (m_keyed == Keyed::Parallel || m_keyed == Keyed::Both)
        m_ptt.keyParallel(m_keyedAddress, false);
    m_keyed = Keyed::None;
    emit transmittingChanged(false);
}

void VoiceKeyer::pttFailed(const QString &reason)
{
    // The keying port could not be opened: nothing is keyed, the message plays on.
    const bool was = transmitting();
    m_keyed = Keyed::None;
    if (was)
        emit transmittingChanged(false);
    emit portFailed(reason);
}

void VoiceKeyer::Timer1_Timer()
{
    if (m_phase != Phase::Sounding || m_player.isPlaying())
        return;
    m_timer1->stop();
    const int tail = transmitting() ? qBound(0, m_settings.pttTailMs, PhoneSettings::kMaxLeadTailMs) : 0;
    if (tail > 0) {
        m_phase = Phase::Tail;
        m_tail->start(tail);
    } else {
        messageDone();
    }
}

void VoiceKeyer::messageDone()
{
    endMessage();
    // The F1 loop waits from the transmitter's release.
    if (m_phoneRepeat)
        m_tmrRepeat->start();
}

void VoiceKeyer::tmrRepeat_Timer()
{
    m_tmrRepeat->stop();
    FKeyPhone(FKey::F1);
}
