#pragma once
#include "voice/pttkeying.h"

#include <QObject>

#include <functional>

class KeyerThread;

// PTT through the CW keyer's thread, which owns every keying line: a port shared by CW keying
// and PTT then has one owner, and opening either closes the other. The thread holds one PTT
// line, so each change sends the whole wanted state (the parallel output wins when both are
// asked for) and the latest request is always complete.
//
// Thread contract: GUI thread; failures come back through failed() on the GUI thread.
class KeyerPtt : public QObject, public PttKeying {
    Q_OBJECT
public:
    // `closeWinKeyer` runs before the serial port opens (the WinKeyer may use the same port).
    explicit KeyerPtt(KeyerThread &keyer, std::function<void()> closeWinKeyer = {},
                      QObject *parent = nullptr);

    bool openSerial(int port, QString *error = nullptr) override;
    bool serialIsOpen() const override { return m_serialPort > 0; }
    void closeSerial() override;
    void setSerialLine(Signal line, bool on) override;
    bool keyParallel(int baseAddress, bool down, QString *error = nullptr) override;

signals:
    void failed(const QString &reason);

private:
    void update();

    KeyerThread &m_keyer;
    std::function<void()> m_closeWinKeyer;
    int m_serialPort = 0;
    Signal m_signal = Signal::Rts;
    bool m_serialOn = false;
    int m_parallelBase = 0;
    bool m_parallelOn = false;
    bool m_lastWasParallel = false;
};
