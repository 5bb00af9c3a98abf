#include "wkemulator.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTimer>

namespace {
// Arguments each command byte takes (admin 0x00 is handled apart).
int argumentCount(quint8 cmd)
{
    static const int counts[0x20] = {0, 1, 1, 1, 2, 3, 1, 0, 0, 1, 0, 1, 1, 1, 1, 15,
                                     1, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1, 2, 1, 1, 0, 0};
    return cmd < 0x20 ? counts[cmd] : 0;
}
}  // namespace

WkEmulator::WkEmulator(const QString &folder) : m_folder(folder) {}

WkEmulator::~WkEmulator()
{
    delete m_keyTimer;
    if (m_port) {
        m_port->close();
        delete m_port;
    }
    if (m_socat) {
        m_socat->terminate();
        if (!m_socat->waitForFinished(2000))
            m_socat->kill();
        m_socat->waitForFinished(1000);
        delete m_socat;
    }
}

QString WkEmulator::hostDevice() const { return QDir(m_folder).filePath("wk-host"); }

bool WkEmulator::start(QString *why)
{
    const QString socat = QStandardPaths::findExecutable("socat");
    if (socat.isEmpty()) {
        *why = "socat is not installed (scripts/install-deps.sh --tests)";
        return false;
    }
    const QString keyerSide = QDir(m_folder).filePath("wk-keyer");
    m_socat = new QProcess;
    m_socat->setProcessChannelMode(QProcess::MergedChannels);
    m_socat->start(socat, {"-d", "-d", "pty,raw,echo=0,link=" + hostDevice(),
                           "pty,raw,echo=0,link=" + keyerSide});
    QByteArray log;
    QDeadlineTimer deadline(5000);
    while (!log.contains("starting data transfer loop") && !deadline.hasExpired()) {
        if (m_socat->state() == QProcess::NotRunning)
            break;
        m_socat->waitForReadyRead(100);
        log += m_socat->readAll();
    }
    if (!log.contains("starting data transfer loop")) {
        *why = "socat did not start: " + QString::fromLocal8Bit(log);
        return false;
    }
    m_port = new QSerialPort;
    m_port->setPortName(QFileInfo(keyerSide).absoluteFilePath());
    if (!m_port->open(QIODevice::ReadWrite)) {
        *why = "cannot open the keyer side: " + m_port->errorString();
        return false;
    }
    QObject::connect(m_port, &QSerialPort::readyRead, m_port, [this] { onBytes(); });
    m_keyTimer = new QTimer;
    m_keyTimer->setSingleShot(true);
    QObject::connect(m_keyTimer, &QTimer::timeout, m_keyTimer, [this] {
        if (m_keying >= 0) {
            m_keyed.append(char(m_keying));
            if (m_mode & 0x04)
                reply(quint8(m_keying));
            m_keying = -1;
        }
        startNext();
    });
    return true;
}

void WkEmulator::unplug()
{
    if (m_port)
        m_port->close();
    if (m_socat) {
        m_socat->terminate();
        m_socat->waitForFinished(2000);
    }
}

void WkEmulator::reply(quint8 b)
{
    if (!m_silent && m_port && m_port->isOpen()) {
        m_port->write(QByteArray(1, char(b)));
        m_port->flush();
    }
}

void WkEmulator::onBytes()
{
    const QByteArray bytes = m_port->readAll();
    m_received += bytes;
    for (char c : bytes)
        handle(quint8(c));
}

void WkEmulator::handle(quint8 b)
{
    if (!m_partial.isEmpty()) {
        m_partial.append(char(b));
        const auto cmd = quint8(m_partial[0]);
        const int needed = cmd == 0x00 ? (m_partial.size() >= 2 && quint8(m_partial[1]) == 0x04 ? 3 : 2)
                                       : 1 + argumentCount(cmd);
        if (m_partial.size() >= needed) {
            const QByteArray whole = m_partial;
            m_partial.clear();
            command(whole);
        }
        return;
    }
    if (b == 0x00 || argumentCount(b) > 0) {
        m_partial.append(char(b));
        return;
    }
    if (b < 0x20) {
        command(QByteArray(1, char(b)));
        return;
    }
    if (!m_open)
        return;
    m_buffer.append(char(b));
    sendStatus();
    startNext();
}

void WkEmulator::command(const QByteArray &cmd)
{
    const auto op = quint8(cmd[0]);
    const auto arg = [&](int i) { return int(quint8(cmd.at(i))); };
    switch (op) {
    case 0x00:
        if (arg(1) == 0x02) {
            m_open = true;
            reply(m_version);
        } else if (arg(1) == 0x03) {
            m_open = false;
        } else if (arg(1) == 0x04) {
            reply(quint8(arg(2)));
        }
        break;
    case 0x02: m_speed = arg(1); break;
    case 0x03: m_weight = arg(1); break;
    case 0x04: m_leadIn = arg(1); m_tail = arg(2); break;
    case 0x08:
        ++m_backspaces;
        if (!m_buffer.isEmpty())
            m_buffer.chop(1);
        sendStatus();
        break;
    case 0x09: m_pinConfig = arg(1); break;
    case 0x0A:
        ++m_clears;
        m_buffer.clear();
        m_keying = -1;  // the character under way is abandoned, not echoed
        m_keyTimer->stop();
        sendStatus();
        break;
    case 0x0E: m_mode = arg(1); break;
    case 0x15: reply(quint8(0xC0 | statusBits())); break;
    case 0x17: m_ratio = arg(1); break;
    default: break;
    }
}

int WkEmulator::statusBits() const
{
    const bool xoff = m_xoffHeld || m_buffer.size() * 3 > m_capacity * 2;
    const bool busy = m_keying >= 0 || !m_buffer.isEmpty();
    return (xoff ? 0x01 : 0) | (busy ? 0x04 : 0);
}

void WkEmulator::sendStatus()
{
    // The keyer reports on its own whenever XOFF or BUSY changes.
    const int bits = statusBits();
    if (bits != m_lastStatus && m_open) {
        m_lastStatus = bits;
        reply(quint8(0xC0 | bits));
    }
}

void WkEmulator::holdXoff(bool hold)
{
    m_xoffHeld = hold;
    sendStatus();
    if (!hold)
        startNext();
}

void WkEmulator::moveSpeedPot(int value)
{
    m_pot = value;
    reply(quint8(0x80 | (value & 0x3F)));
}

void WkEmulator::sendRaw(const QByteArray &bytes)
{
    m_port->write(bytes);
    m_port->flush();
}

void WkEmulator::startNext()
{
    if (m_keying >= 0 || m_xoffHeld)
        return;
    if (m_buffer.isEmpty()) {
        sendStatus();
        return;
    }
    m_keying = quint8(m_buffer.at(0));
    m_buffer.remove(0, 1);
    // Speed 0 follows the pot (minimum 5 WPM plus its position), as the keyer does.
    const int wpm = m_speed > 0 ? m_speed : 5 + m_pot;
    const int units = m_keying == ' ' ? 7 : 10;
    m_keyTimer->start(units * 1200 / wpm);
    sendStatus();
}
