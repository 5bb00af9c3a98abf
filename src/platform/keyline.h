#pragma once
#include "platform/portmap.h"

#include <QString>

#include <memory>

// One keying output: a serial port's RTS or DTR line, or the parallel port's control bits.
//
// Thread contract: a line is created, used and destroyed on one thread. In the program that is
// the keyer thread: it makes its lines inside its run() (a QSerialPort belongs to the thread
// that made it), and the voice keyer's PTT goes through the same thread, so a port shared by
// CW and PTT has one owner. Nothing here emits signals.
class KeyLine {
public:
    virtual ~KeyLine() = default;

    // Opens the device that `port` names through the port map: a serial port number, or for
    // the parallel line its base I/O address. The line starts key-up. On failure nothing stays
    // open and errorText() says why.
    virtual bool open(int port) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Key down (true) or up. Changes the physical line at once; ignored while closed. A device
    // found gone closes the line, with errorText() saying why.
    virtual void setKey(bool down) = 0;
    virtual QString errorText() const = 0;
    // The device path of the last open, for the setup window.
    virtual QString device() const = 0;
};

class QSerialPort;

// RTS or DTR of a serial port through QSerialPort, opened with both lines off.
class SerialKeyLine : public KeyLine {
public:
    enum class Signal { Rts, Dtr };
    SerialKeyLine(const PortMap &map, Signal signal);
    ~SerialKeyLine() override;
    bool open(int port) override;
    void close() override;
    bool isOpen() const override;
    void setKey(bool down) override;
    QString errorText() const override { return m_error; }
    QString device() const override { return m_device; }

private:
    PortMap m_map;
    Signal m_signal;
    std::unique_ptr<QSerialPort> m_port;
    QString m_error;
    QString m_device;
};

// The parallel port's control register through Linux ppdev: claim /dev/parportN, then write 3
// (strobe and auto-feed on) for key down and 2 for key up.
class ParportKeyLine : public KeyLine {
public:
    explicit ParportKeyLine(const PortMap &map) : m_map(map) {}
    ~ParportKeyLine() override;
    bool open(int baseAddress) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    void setKey(bool down) override;
    QString errorText() const override { return m_error; }
    QString device() const override { return m_device; }

private:
    PortMap m_map;
    int m_fd = -1;
    QString m_error;
    QString m_device;
};

enum class KeyLineKind { None = 0, SerialRts = 1, SerialDtr = 2, Parallel = 3 };

// Makes lines; the program uses RealKeyLines, tests a recording factory.
class KeyLineFactory {
public:
    virtual ~KeyLineFactory() = default;
    // Null for KeyLineKind::None.
    virtual std::unique_ptr<KeyLine> create(KeyLineKind kind, const PortMap &map) = 0;
};

class RealKeyLines : public KeyLineFactory {
public:
    std::unique_ptr<KeyLine> create(KeyLineKind kind, const PortMap &map) override;
};
