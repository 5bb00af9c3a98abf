#include "platform/keyline.h"

#include <QSerialPort>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

SerialKeyLine::SerialKeyLine(const PortMap &map, Signal signal) : m_map(map), m_signal(signal) {}

SerialKeyLine::~SerialKeyLine()
{
    close();
}

bool SerialKeyLine::open(int port)
{
    close();
    m_error.clear();
    m_device = m_map.serialDevice(port);
    if (m_device.isEmpty()) {
        m_error = QStringLiteral("No serial port %1.").arg(port);
        return false;
    }
    m_port = std::make_unique<QSerialPort>();
    m_port->setPortName(m_device);
    m_port->setBaudRate(QSerialPort::Baud9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_error = QStringLiteral("%1: %2").arg(m_device, m_port->errorString());
        m_port.reset();
        return false;
    }
    // Opening raises DTR on most drivers; the transmitter must not key before we say so. A
    // device that refuses modem-line control cannot key at all, so it is not left open.
    if (!m_port->setDataTerminalReady(false) || !m_port->setRequestToSend(false)) {
        m_error = QStringLiteral("%1: %2").arg(m_device, m_port->errorString());
        m_port->close();
        m_port.reset();
        return false;
    }
    return true;
}

void SerialKeyLine::close()
{
    if (!m_port)
        return;
    if (m_port->isOpen()) {
        m_port->setDataTerminalReady(false);
        m_port->setRequestToSend(false);
        m_port->close();
    }
    m_port.reset();
}

bool SerialKeyLine::isOpen() const
{
    return m_port && m_port->isOpen();
}

void SerialKeyLine::setKey(bool down)
{
    if (!isOpen())
        return;
    const bool ok = m_signal == Signal::Rts ? m_port->setRequestToSend(down)
                                            : m_port->setDataTerminalReady(down);
    // An adapter pulled out fails every later call: the line is gone, and says so. (A port
    // without modem lines fails too, in another way, and stays as it is.)
    if (!ok && m_port->error() == QSerialPort::ResourceError) {
        m_error = QStringLiteral("%1: %2").arg(m_device, m_port->errorString());
        m_port.reset();
    }
}

ParportKeyLine::~ParportKeyLine()
{
    close();
}

bool ParportKeyLine::open(int baseAddress)
{
    close();
    m_error.clear();
    m_device = m_map.parallelDevice(baseAddress);
    if (m_device.isEmpty()) {
        m_error = QStringLiteral("No parallel port at address %1.").arg(baseAddress);
        return false;
    }
    const QByteArray path = m_device.toLocal8Bit();
    int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        m_error = QStringLiteral("%1: %2").arg(m_device, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    if (::ioctl(fd, PPCLAIM) < 0) {
        m_error = QStringLiteral("%1: %2").arg(m_device, QString::fromLocal8Bit(strerror(errno)));
        ::close(fd);
        return false;
    }
    m_fd = fd;
    setKey(false);
    return true;
}

void ParportKeyLine::close()
{
    if (m_fd < 0)
        return;
    setKey(false);
    ::ioctl(m_fd, PPRELEASE);
    ::close(m_fd);
    m_fd = -1;
}

void ParportKeyLine::setKey(bool down)
{
    if (m_fd < 0)
        return;
    unsigned char value = down ? 3 : 2;
    ::ioctl(m_fd, PPWCONTROL, &value);
}

std::unique_ptr<KeyLine> RealKeyLines::create(KeyLineKind kind, const PortMap &map)
{
    switch (kind) {
    case KeyLineKind::SerialRts:
        return std::make_unique<SerialKeyLine>(map, SerialKeyLine::Signal::Rts);
    case KeyLineKind::SerialDtr:
        return std::make_unique<SerialKeyLine>(map, SerialKeyLine::Signal::Dtr);
    case KeyLineKind::Parallel:
        return std::make_unique<ParportKeyLine>(map);
    case KeyLineKind::None:
        break;
    }
    return nullptr;
}
