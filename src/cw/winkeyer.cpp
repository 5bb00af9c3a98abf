#include "cw/winkeyer.h"

#include "platform/clock.h"

#include <QSerialPort>
#include <QTimer>

#include <algorithm>

namespace {
constexpr quint8 kEchoProbe = 0x55;
constexpr int kTickMs = 20;
}  // namespace

WinKeyer::WinKeyer(Clock &clock, std::function<QString(int)> deviceForPort, QObject *parent)
    : QObject(parent), m_clock(clock), m_deviceForPort(std::move(deviceForPort))
{
    m_port = new QSerialPort(this);
    connect(m_port, &QSerialPort::readyRead, this, &WinKeyer::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        // Unplugged: the device is gone; anything else is left to the time limits.
        if (error == QSerialPort::ResourceError && m_port->isOpen()) {
            const bool wasOpen = isOpen();
            m_port->close();  // no flush: writing to a vanished device errors again
            dropPort();
            if (wasOpen)
                emit closed();
        }
    });
    m_tick = new QTimer(this);
    m_tick->setInterval(kTickMs);
    connect(m_tick, &QTimer::timeout, this, &WinKeyer::onTick);
}

WinKeyer::~WinKeyer()
{
    if (m_port->isOpen()) {
        if (isOpen())
            send(wkproto::hostClose());
        m_port->flush();
        m_port->close();
    }
}

QString WinKeyer::openCodeText(int code)
{
    switch (code) {
    case Success: return QStringLiteral("WK Success!");
    case NoEchoResponse: return QStringLiteral("No Echo Response");
    case EchoMismatch: return QStringLiteral("Echo Mismatch");
    case NoOpenResponse: return QStringLiteral("No Open Response");
    case ComOpenFailed: return QStringLiteral("Com Open Failed");
    case GetComStFailed: return QStringLiteral("Get Com ST Failed");
    case SetComStFailed: return QStringLiteral("Set Com ST Failed");
    case AlreadyOpen: return QStringLiteral("WK Already Open");
    case NotOpen: return QStringLiteral("WK Not Open");
    default: return {};
    }
}

void WinKeyer::wk_open(int port)
{
    if (isOpen()) {
        emit openFinished(AlreadyOpen, m_version);
        return;
    }
    if (isOpening())
        return;  // the handshake under way reports for both
    if (m_releaseShared)
        m_releaseShared();
    if (m_port->isOpen())
        m_port->close();
    const QString device = m_deviceForPort ? m_deviceForPort(port) : QString();
    if (port <= 0 || device.isEmpty()) {
        emit openFinished(ComOpenFailed, 0);
        return;
    }
    m_port->setPortName(device);
    m_deadline = m_clock.steadyMs() + kPortBusyMs;
    const int code = openPort();
    if (code < 0) {
        // The keyer thread closes the CW line on its own thread; try again for a moment.
        m_step = Step::PortBusy;
        updateTicking();
    } else if (code != Success) {
        emit openFinished(code, 0);
    }
}

int WinKeyer::openPort()
{
    if (!m_port->open(QIODevice::ReadWrite))
        return m_port->error() == QSerialPort::PermissionError ? -1 : ComOpenFailed;
    const bool set = m_port->setBaudRate(wkproto::kBaudRate) &&
                     m_port->setDataBits(QSerialPort::Data8) &&
                     m_port->setParity(QSerialPort::NoParity) &&
                     m_port->setStopBits(QSerialPort::TwoStop) &&
                     m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!set) {
        m_port->close();
        return SetComStFailed;
    }
    m_port->clear();
    m_decoder = {};
    m_decoder.expectAnswer();
    m_step = Step::EchoTest;
    m_deadline = m_clock.steadyMs() + kAnswerTimeoutMs;
    send(wkproto::echoTest(kEchoProbe));
    updateTicking();
    return Success;
}

void WinKeyer::finishOpen(int code, int version)
{
    // A keyer that answers the host open with version 0 has not opened: say so once, as a
    // failure, not "WK Success!" beside the failure box.
    if (code == Success && version == 0)
        code = NoOpenResponse;
    m_step = Step::Idle;
    m_decoder.cancelAnswer();
    if (code == Success && version != 0) {
        m_version = version;
        m_unechoed.clear();
        pendingChanged();
        m_xoff = false;
    } else {
        dropPort();
    }
    updateTicking();
    emit openFinished(code, version);
}

void WinKeyer::wk_close()
{
    const bool wasOpen = isOpen() || isOpening();
    if (m_port->isOpen() && isOpen())
        send(wkproto::hostClose());
    dropPort();
    if (wasOpen)
        emit closed();
}

void WinKeyer::dropPort()
{
    if (m_port->isOpen()) {
        m_port->flush();
        m_port->close();
    }
    m_step = Step::Idle;
    m_decoder.cancelAnswer();
    m_version = 0;
    m_xoff = false;
    m_unechoed.clear();
    pendingChanged();
    updateTicking();
}

void WinKeyer::send(const QByteArray &bytes)
{
    if (m_port->isOpen() && !bytes.isEmpty())
        m_port->write(bytes);
}

void WinKeyer::wk_char(quint8 code)
{
    if (!isOpen())
        return;
    const QByteArray bytes = wkproto::character(code);
    if (bytes.isEmpty())
        return;
    send(bytes);
    m_askedSinceLastChar = false;
    m_lastActivity = m_clock.steadyMs();
    m_unechoed.append(char(QChar::toUpper(code)));
    pendingChanged();
    updateTicking();
}

int WinKeyer::wk_getstatus() const
{
    if (!isOpen())
        return 0;
    return m_xoff ? std::max(m_pending, kBusyStatus) : m_pending;
}

void WinKeyer::wk_clearbuf()
{
    if (!isOpen())
        return;
    send(wkproto::clearBuffer());
    m_xoff = false;
    if (m_pending == 0)
        emit statusChanged();
    m_unechoed.clear();
    pendingChanged();
}

void WinKeyer::wk_backspace()
{
    if (!isOpen())
        return;
    send(wkproto::backspace());
    m_unechoed.chop(1);
    pendingChanged();
}

void WinKeyer::wk_wpm(quint8 wpm)
{
    if (isOpen())
        send(wkproto::speed(wpm));
}

void WinKeyer::wk_weight(quint8 weight)
{
    if (isOpen())
        send(wkproto::weight(weight));
}

void WinKeyer::wk_ptt_leadtail(quint8 leadIn, quint8 tail)
{
    if (isOpen())
        send(wkproto::leadTail(leadIn, tail));
}

void WinKeyer::wk_ditdah_ratio(quint8 ratio)
{
    if (isOpen())
        send(wkproto::ditDahRatio(ratio));
}

void WinKeyer::wk_pincfg(quint8 config)
{
    if (isOpen())
        send(wkproto::pinConfig(config));
}

void WinKeyer::wk_setmode(quint8 mode)
{
    if (isOpen())
        send(wkproto::mode(quint8(mode | wkproto::kSerialEchoBit)));
}

void WinKeyer::onReadyRead()
{
    const QList<wkproto::Event> events = m_decoder.feed(m_port->readAll());
    for (const wkproto::Event &e : events) {
        switch (e.kind) {
        case wkproto::Event::Answer:
            if (m_step == Step::EchoTest) {
                if (e.value != kEchoProbe) {
                    finishOpen(EchoMismatch, 0);
                    return;
                }
                m_step = Step::HostOpen;
                m_decoder.expectAnswer();
                m_deadline = m_clock.steadyMs() + kAnswerTimeoutMs;
                send(wkproto::hostOpen());
            } else if (m_step == Step::HostOpen) {
                finishOpen(Success, e.value);
            }
            break;
        case wkproto::Event::Status: {
            const bool xoff = e.value & wkproto::kStatusXoff;
            const bool changed = xoff != m_xoff;
            m_xoff = xoff;
            // Idle after our own question, asked after the last character: nothing is pending.
            if (!(e.value & wkproto::kStatusBusy) && !xoff && m_askedSinceLastChar && m_pending) {
                m_unechoed.clear();
                pendingChanged();
                updateTicking();
            } else if (changed) {
                emit statusChanged();
            }
            break;
        }
        case wkproto::Event::SpeedPot:
            m_speedPot = e.value;
            emit speedPotChanged(e.value);
            break;
        case wkproto::Event::Echo: {
            // An echo is one of the characters sent and not yet echoed; any other byte is line
            // noise and must not make room for more. Echoes lost on the way are taken as keyed
            // when a later character's echo arrives.
            const qsizetype at = m_unechoed.indexOf(char(QChar::toUpper(e.value)));
            if (at < 0)
                break;
            m_lastActivity = m_clock.steadyMs();
            m_unechoed.remove(0, at + 1);
            emit echoed(e.value);
            pendingChanged();
            updateTicking();
            break;
        }
        }
    }
}

void WinKeyer::onTick()
{
    const qint64 now = m_clock.steadyMs();
    if (m_step == Step::PortBusy) {
        const int code = openPort();
        if (code > 0)
            finishOpen(code, 0);
        else if (code < 0 && now >= m_deadline)
            finishOpen(ComOpenFailed, 0);
        return;
    }
    if (m_step != Step::Idle) {
        if (now >= m_deadline)
            finishOpen(m_step == Step::EchoTest ? NoEchoResponse : NoOpenResponse, 0);
        return;
    }
    if (isOpen() && m_pending > 0 && now - m_lastActivity >= kStatusPollMs) {
        send(wkproto::statusRequest());
        m_askedSinceLastChar = true;
        m_lastActivity = now;
    }
}

void WinKeyer::pendingChanged()
{
    const int pending = int(m_unechoed.size());
    if (pending == m_pending)
        return;
    m_pending = pending;
    emit statusChanged();
}

void WinKeyer::updateTicking()
{
    const bool need = m_step != Step::Idle || (isOpen() && m_pending > 0);
    if (need && !m_tick->isActive())
        m_tick->start();
    else if (!need && m_tick->isActive())
        m_tick->stop();
}
