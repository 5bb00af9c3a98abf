#pragma once
#include <QMap>
#include <QString>

class SettingsStore;

// Where a port number of the settings files opens on this machine.
//
// Serial: port N is /dev/ttyS(N-1) unless the operator maps it elsewhere (5=/dev/ttyUSB0, a
// /dev/serial/by-id path, a test's pseudo-terminal). Parallel: a base I/O address ("&H378")
// names /dev/parportN: an explicit mapping wins, then the kernel's own list of ports and their
// base addresses, then the usual PC assignment (&H378 = parport0, &H278 = parport1,
// &H3BC = parport2).
//
// A plain value: load it on the GUI thread and hand copies to whoever opens devices (the keyer
// thread keeps its own copy), so no thread reads the settings store behind another's back.
class PortMap {
public:
    // Settings store keys; each holds "N=/dev/path" entries separated by ";".
    static constexpr const char *kSerialKey = "SerialPortMap";
    static constexpr const char *kParallelKey = "ParallelPortMap";

    void load(const SettingsStore &store);
    void save(SettingsStore &store) const;

    // Empty for port numbers below 1.
    QString serialDevice(int port) const;
    QMap<int, QString> serialOverrides() const { return m_serial; }
    // An empty device removes the entry (the default applies again).
    void setSerialDevice(int port, const QString &device);

    // Empty for an address of 0 or below.
    QString parallelDevice(int baseAddress) const;
    QMap<int, QString> parallelOverrides() const { return m_parallel; }
    void setParallelDevice(int baseAddress, const QString &device);

    // Where the kernel lists parallel ports (parportN/base-addr); tests point it at a folder.
    void setParportInfoRoot(const QString &root) { m_parportRoot = root; }

    // "N=device;N=device" as the settings store and the setup window show it.
    static QString format(const QMap<int, QString> &entries);
    // False (and `error` says which entry) when an entry is not "number=path".
    static bool parse(const QString &text, QMap<int, QString> &entries, QString *error = nullptr);

private:
    QMap<int, QString> m_serial;
    QMap<int, QString> m_parallel;
    QString m_parportRoot = QStringLiteral("/proc/sys/dev/parport");
};

// A port address as the settings files write it: decimal, or hexadecimal after "&H"
// ("&H378" is 888). False for anything else.
bool parsePortAddress(const QString &text, int &value);
