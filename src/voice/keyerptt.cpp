#include "voice/keyerptt.h"

#include "cw/keyerthread.h"

KeyerPtt::KeyerPtt(KeyerThread &keyer, std::function<void()> closeWinKeyer, QObject *parent)
    : QObject(parent), m_keyer(keyer), m_closeWinKeyer(std::move(closeWinKeyer))
{
    connect(&m_keyer, &KeyerThread::pttFailed, this, [this](const QString &reason) {
        m_serialPort = 0;
        m_serialOn = m_parallelOn = false;
        emit failed(reason);
    });
}

bool KeyerPtt::openSerial(int port, QString *)
{
    if (m_closeWinKeyer)
        m_closeWinKeyer();
    m_serialPort = port;
    m_serialOn = false;
    // The keyer thread opens the line when it is first keyed, closing the CW line on the same
    // device; an open that fails comes back through failed().
    update();
    return true;
}

void KeyerPtt::closeSerial()
{
    m_serialOn = false;
    update();
    m_serialPort = 0;
    // Let go of the device as well, for another owner of the port; a parallel PTT that is down
    // stays as it is.
    if (!m_parallelOn)
        m_keyer.setPtt(KeyLineKind::None, 0, false);
}

void KeyerPtt::setSerialLine(Signal line, bool on)
{
    if (m_serialPort <= 0)
        return;
    m_signal = line;
    m_serialOn = on;
    update();
}

bool KeyerPtt::keyParallel(int baseAddress, bool down, QString *)
{
    m_parallelBase = baseAddress;
    m_parallelOn = down;
    update();
    return true;
}

void KeyerPtt::update()
{
    const KeyLineKind serialKind = m_signal == Signal::Dtr ? KeyLineKind::SerialDtr : KeyLineKind::SerialRts;
    if (m_parallelOn) {
        m_lastWasParallel = true;
        m_keyer.setPtt(KeyLineKind::Parallel, m_parallelBase, true);
    } else if (m_serialOn) {
        m_lastWasParallel = false;
        m_keyer.setPtt(serialKind, m_serialPort, true);
    } else if (m_lastWasParallel) {
        m_keyer.setPtt(KeyLineKind::Parallel, m_parallelBase, false);
    } else if (m_serialPort > 0) {
        m_keyer.setPtt(serialKind, m_serialPort, false);
    }
}
