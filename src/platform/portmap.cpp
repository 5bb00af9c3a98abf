#include "platform/portmap.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

void PortMap::load(const SettingsStore &store)
{
    // A damaged entry drops only itself; the rest of the map still applies.
    m_serial.clear();
    m_parallel.clear();
    parse(store.value(QString::fromLatin1(kSerialKey), QString()), m_serial);
    parse(store.value(QString::fromLatin1(kParallelKey), QString()), m_parallel);
}

void PortMap::save(SettingsStore &store) const
{
    store.setValue(QString::fromLatin1(kSerialKey), format(m_serial));
    store.setValue(QString::fromLatin1(kParallelKey), format(m_parallel));
}

QString PortMap::serialDevice(int port) const
{
    if (port < 1)
        return QString();
    const QString mapped = m_serial.value(port);
    if (!mapped.isEmpty())
        return mapped;
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

void PortMap::setSerialDevice(int port, const QString &device)
{
    if (device.trimmed().isEmpty())
        m_serial.remove(port);
    else
        m_serial.insert(port, device.trimmed());
}

QString PortMap::parallelDevice(int baseAddress) const
{
    if (baseAddress <= 0)
        return QString();
    const QString mapped = m_parallel.value(baseAddress);
    if (!mapped.isEmpty())
        return mapped;
    // The kernel lists each port with "base-addr" holding its I/O base (and the ECP one).
    QDir root(m_parportRoot);
    const QStringList ports = root.entryList({QStringLiteral("parport*")}, QDir::Dirs, QDir::Name);
    for (const QString &name : ports) {
        QFile file(root.filePath(name + QStringLiteral("/base-addr")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> words = file.readAll().simplified().split(' ');
        bool ok = false;
        if (!words.isEmpty() && words.first().toInt(&ok) == baseAddress && ok)
            return QStringLiteral("/dev/") + name;
    }
    switch (baseAddress) {
    case 0x378: return QStringLiteral("/dev/parport0");
    case 0x278: return QStringLiteral("/dev/parport1");
    case 0x3BC: return QStringLiteral("/dev/parport2");
    default: return QString();
    }
}

void PortMap::setParallelDevice(int baseAddress, const QString &device)
{
    if (device.trimmed().isEmpty())
        m_parallel.remove(baseAddress);
    else
        m_parallel.insert(baseAddress, device.trimmed());
}

QString PortMap::format(const QMap<int, QString> &entries)
{
    QStringList parts;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        parts << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
    return parts.join(QLatin1Char(';'));
}

bool PortMap::parse(const QString &text, QMap<int, QString> &entries, QString *error)
{
    bool allOk = true;
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[;\\n]")),
                                         Qt::SkipEmptyParts);
    for (const QString &raw : parts) {
        const QString part = raw.trimmed();
        if (part.isEmpty())
            continue;
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        int number = 0;
        const bool numberOk = eq > 0 && parsePortAddress(part.left(eq).trimmed(), number) && number > 0;
        const QString device = eq > 0 ? part.mid(eq + 1).trimmed() : QString();
        if (!numberOk || device.isEmpty()) {
            if (error && allOk)
                *error = QStringLiteral("\"%1\" is not of the form number=device.").arg(part);
            allOk = false;
            continue;
        }
        entries.insert(number, device);
    }
    return allOk;
}

bool parsePortAddress(const QString &text, int &value)
{
    const QString t = text.trimmed();
    bool ok = false;
    int v = 0;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        v = t.mid(2).toInt(&ok, 16);
    else
        v = t.toInt(&ok, 10);
    if (!ok)
        return false;
    value = v;
    return true;
}
