#include "rig/riglink.h"

#include <QTcpSocket>
#include <QTimer>

namespace {
// rigctld's answers are short lines; a longer run without a line end is not rigctld.
constexpr qsizetype kLongestLine = 1024;
}  // namespace

RigLink::RigLink(QObject *parent) : QObject(parent)
{
    m_socket = new QTcpSocket(this);
    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(kPollMs);
    m_retryTimer = new QTimer(this);
    m_retryTimer->setSingleShot(true);
    m_retryTimer->setInterval(kRetryMs);
    connect(m_pollTimer, &QTimer::timeout, this, &RigLink::poll);
    connect(m_retryTimer, &QTimer::timeout, this, &RigLink::connectNow);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_pending.clear();
        m_buffer.clear();
        m_unanswered = 0;
        m_wasConnected = true;
        emit connectedChanged(true);
        poll();
        m_pollTimer->start();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &RigLink::readAnswers);
    connect(m_socket, &QTcpSocket::disconnected, this, &RigLink::lost);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        // A refused or failed connect never reaches "disconnected".
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            lost();
    });
}

RigLink::~RigLink()
{
    m_socket->disconnect(this);
    m_socket->abort();
}

void RigLink::start(const QString &host, quint16 port)
{
    stop();
    m_host = host;
    m_port = port;
    m_active = true;
    emit statusChanged(statusText());
    connectNow();
}

void RigLink::stop()
{
    m_active = false;
    m_retryTimer->stop();
    m_pollTimer->stop();
    m_socket->abort();
    lost();
}

bool RigLink::isConnected() const { return m_socket->state() == QAbstractSocket::ConnectedState; }

void RigLink::connectNow()
{
    if (!m_active || m_socket->state() != QAbstractSocket::UnconnectedState)
        return;
    m_socket->connectToHost(m_host, m_port);
}

void RigLink::lost()
{
    // Aborting the socket reports "disconnected" again from inside.
    if (m_inLost)
        return;
    m_inLost = true;
    m_pollTimer->stop();
    m_pending.clear();
    m_buffer.clear();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
    const bool changed = m_wasConnected || m_frequencyHz != 0 || !m_mode.isEmpty();
    m_frequencyHz = 0;
    m_mode.clear();
    if (m_wasConnected) {
        m_wasConnected = false;
        emit connectedChanged(false);
    }
    if (changed)
        emit statusChanged(statusText());
    if (m_active && !m_retryTimer->isActive())
        m_retryTimer->start();
    m_inLost = false;
}

void RigLink::poll()
{
    if (!isConnected())
        return;
    // One round at a time: a slow rig must not pile up questions.
    if (!m_pending.isEmpty()) {
        if (++m_unanswered >= kUnansweredPolls)
            lost();
        return;
    }
    m_unanswered = 0;
    send("f\n", 'f', 1);
    send("m\n", 'm', 2);
}

void RigLink::send(const QByteArray &line, char command, int answerLines)
{
    m_pending.append({command, answerLines});
    m_socket->write(line);
}

bool RigLink::tune(qint64 hz)
{
    if (!isConnected() || hz <= 0)
        return false;
    send("F " + QByteArray::number(hz) + '\n', 'F', 1);
    return true;
}

void RigLink::readAnswers()
{
    m_buffer += m_socket->readAll();
    qsizetype end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_buffer.left(end).trimmed();
        m_buffer.remove(0, end + 1);
        answerLine(line);
        if (!isConnected())
            return;
    }
    if (m_buffer.size() > kLongestLine)
        lost();
}

void RigLink::answerLine(const QByteArray &line)
{
    if (m_pending.isEmpty())
        return;  // nothing asked: ignore
    Pending &p = m_pending.first();
    const bool report = line.startsWith("RPRT");
    if (!report) {
        const int index = (p.command == 'm' ? 2 : 1) - p.linesLeft;
        if (p.command == 'f' && index == 0) {
            bool ok = false;
            const double hz = line.toDouble(&ok);  // some backends answer "14074000.000000"
            if (ok && hz > 0)
                setFrequency(qint64(hz + 0.5));
        } else if (p.command == 'm' && index == 0) {
            setMode(QString::fromLatin1(line));
        }
    }
    // An error report ends the answer early; a set command's answer is one report.
    if (report || --p.linesLeft <= 0)
        m_pending.removeFirst();
    if (m_pending.isEmpty())
        m_unanswered = 0;
}

void RigLink::setFrequency(qint64 hz)
{
    if (hz == m_frequencyHz)
        return;
    m_frequencyHz = hz;
    emit frequencyChanged(hz);
    emit statusChanged(statusText());
}

void RigLink::setMode(const QString &mode)
{
    if (mode == m_mode || mode.isEmpty())
        return;
    m_mode = mode;
    emit modeChanged(mode);
    emit statusChanged(statusText());
}

QString RigLink::statusText() const
{
    if (!isConnected() || m_frequencyHz <= 0)
        return QStringLiteral("Rig: not connected");
    QString text = QStringLiteral("Rig: %1 kHz").arg(double(m_frequencyHz) / 1000.0, 0, 'f', 2);
    if (!m_mode.isEmpty())
        text += u' ' + m_mode;
    return text;
}

QString RigLink::loggerModeFor(const QString &rigMode)
{
    const QString m = rigMode.trimmed().toUpper();
    if (m == u"CW" || m == u"CWR")
        return QStringLiteral("CW");
    if (m == u"USB" || m == u"LSB" || m == u"AM" || m == u"FM" || m == u"WFM" || m == u"AMS"
        || m == u"DSB")
        return QStringLiteral("PH");
    // Hamlib's data modes: packet sideband and FM, RTTY, PSK and the rest.
    if (m.startsWith(u"PKT") || m.startsWith(u"RTTY") || m.startsWith(u"PSK") || m == u"FAX"
        || m == u"SAM" || m.startsWith(u"DD"))
        return QStringLiteral("DG");
    return QString();
}
