#pragma once
#include <QString>

// The transmitter-keying outputs the voice keyer drives: a serial port's RTS or DTR line and the
// parallel port's control bits. The program passes one that opens real devices and that closes
// the CW keying port and the WinKeyer before opening its serial port (they may be one physical
// port); tests pass a recording one.
//
// Thread contract: GUI thread only.
class PttKeying {
public:
    enum class Signal { Rts, Dtr };
    virtual ~PttKeying() = default;

    // Opens serial port `port` with both lines off, after closing the other users of the keying
    // ports and this port itself. False (with the reason) when the port cannot be opened.
    virtual bool openSerial(int port, QString *error = nullptr) = 0;
    virtual bool serialIsOpen() const = 0;
    virtual void closeSerial() = 0;
    // Ignored while the serial port is closed.
    virtual void setSerialLine(Signal line, bool on) = 0;
    // Writes the control register of the parallel port at `baseAddress`: key down 3, up 2.
    virtual bool keyParallel(int baseAddress, bool down, QString *error = nullptr) = 0;
};
