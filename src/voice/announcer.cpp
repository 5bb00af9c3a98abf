#include "voice/announcer.h"

#include "platform/waveplayer.h"

#include <QDir>
#include <QTimer>

Announcer::Announcer(WavePlayer &player, const QString &workingDir, QObject *parent)
    : QObject(parent), m_player(player), m_workingDir(workingDir)
{
    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, &Announcer::pollTick);
}

QString Announcer::promptPath(const QString &prompt) const
{
    return QDir(m_workingDir).filePath(prompt + QStringLiteral(".wav"));
}

void Announcer::say(const QString &prompt)
{
    m_queue.clear();
    m_poll->stop();
    // A new prompt cuts off the one before; a recording the operator has not made is silence,
    // as the prompts are optional.
    m_player.stop();
    m_player.play(promptPath(prompt));
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
    m_player.play(promptPath(next));
    if (m_queue.isEmpty())
        m_poll->stop();
}
