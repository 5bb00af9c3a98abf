#include "voice/announcer.h"

#include "platform/waveplayer.h"

#include <QDir>
#include <QFileInfo>
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

void Announcer::start(const QString &prompt)
{
    // A prompt while the transmitter is keyed on this output would be transmitted.
    if (m_onAir && m_onAir())
        return;
    m_player.stop();
    m_current = prompt;
    // A recording the operator has not made is silence, as the prompts are optional.
    m_player.play(promptPath(prompt));
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
