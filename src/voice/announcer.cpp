#include "voice/announcer.h"

#include "platform/speech.h"
#include "platform/waveplayer.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTimer>

Announcer::Announcer(WavePlayer &player, const QString &workingDir, QObject *parent)
    : QObject(parent), m_player(player), m_workingDir(workingDir)
{
    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, &Announcer::pollTick);
}

QStringList Announcer::fileNames(const QString &prompt)
{
    if (prompt == u"1010" || prompt == u"Vardel")
        return {QStringLiteral("Vardel.wav"), QStringLiteral("1010.wav")};
    return {prompt + QStringLiteral(".wav")};
}

QStringList Announcer::prompts()
{
    return {QStringLiteral("Call"), QStringLiteral("Name"), QStringLiteral("StCntry"),
            QStringLiteral("1010"), QStringLiteral("Dupe"), QStringLiteral("NavEn"),
            QStringLiteral("NavDis")};
}

QString Announcer::promptPath(const QString &prompt) const
{
    const QDir dir(m_workingDir);
    const QStringList names = fileNames(prompt);
    for (const QString &name : names) {
        if (QFileInfo::exists(dir.filePath(name)))
            return dir.filePath(name);
    }
    return dir.filePath(names.first());
}

QStringList Announcer::missingFiles() const
{
    QStringList missing;
    for (const QString &p : prompts()) {
        if (!QFileInfo::exists(promptPath(p)))
            missing << fileNames(p).join(QStringLiteral(" or "));
    }
    return missing;
}

QString Announcer::spokenText(const QString &prompt)
{
    static const QHash<QString, QString> words{
        {QStringLiteral("Call"), QStringLiteral("Call")},
        {QStringLiteral("Name"), QStringLiteral("Name")},
        {QStringLiteral("StCntry"), QStringLiteral("State or country")},
        {QStringLiteral("1010"), QStringLiteral("Ten ten number")},
        {QStringLiteral("Vardel"), QStringLiteral("Ten ten number")},
        {QStringLiteral("Dupe"), QStringLiteral("Duplicate")},
        {QStringLiteral("NavEn"), QStringLiteral("Voice navigation on")},
        {QStringLiteral("NavDis"), QStringLiteral("Voice navigation off")},
    };
    return words.value(prompt, prompt);
}

void Announcer::setSpeech(SpeechSynth *speech, const QString &cacheDir)
{
    m_speech = speech;
    m_cacheDir = cacheDir;
    if (!m_speech || !m_speech->available())
        return;
    for (const QString &p : prompts()) {
        if (QFileInfo::exists(promptPath(p)) || QFileInfo::exists(QDir(m_cacheDir).filePath(p + ".wav")))
            continue;
        m_synthesising << p;
        m_speech->speakToFile(spokenText(p), QDir(m_cacheDir).filePath(p + ".wav"), this, [this, p](bool) {
            m_synthesising.removeAll(p);
            // Asked for while it was being written: heard now, unless that moment has passed.
            if (m_current == p && !m_player.isPlaying() && m_queue.isEmpty())
                start(p);
        });
    }
}

QString Announcer::playablePath(const QString &prompt) const
{
    const QString recorded = promptPath(prompt);
    if (QFileInfo::exists(recorded))
        return recorded;
    const QString spoken = m_cacheDir.isEmpty() ? QString() : QDir(m_cacheDir).filePath(prompt + ".wav");
    return !spoken.isEmpty() && QFileInfo::exists(spoken) ? spoken : QString();
}

void Announcer::start(const QString &prompt)
{
    // A prompt while the transmitter is keyed on this output would be transmitted.
    if (m_onAir && m_onAir())
        return;
    m_player.stop();
    m_current = prompt;
    // Without a recording or speech the prompt is silence, as the prompts are optional.
    const QString path = playablePath(prompt);
    if (!path.isEmpty())
        m_player.play(path);
}

void Announcer::say(const QString &prompt)
{
    m_queue.clear();
    // The dupe warning is heard whole: what comes next (the call field's prompt) follows it.
    if (m_current == u"Dupe" && prompt != u"Dupe" && m_player.isPlaying()) {
        m_queue << prompt;
        m_poll->start();
        return;
    }
    m_poll->stop();
    start(prompt);
}

void Announcer::sayThen(const QString &first, const QString &then)
{
    say(first);
    m_queue << then;
    m_poll->start();
}

void Announcer::pollTick()
{
    if (m_player.isPlaying())
        return;
    if (m_queue.isEmpty()) {
        m_poll->stop();
        return;
    }
    const QString next = m_queue.takeFirst();
    start(next);
    if (m_queue.isEmpty())
        m_poll->stop();
}
