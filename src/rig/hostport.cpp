#include "rig/hostport.h"

namespace hostport {
bool split(const QString &text, quint16 defaultPort, QString &host, quint16 &port, QString *error)
{
    host = text.trimmed();
    port = defaultPort;
    const qsizetype colon = host.lastIndexOf(u':');
    if (colon > 0 && host.count(u':') == 1) {
        bool ok = false;
        const uint p = host.mid(colon + 1).toUInt(&ok);
        if (!ok || p == 0 || p > 65535) {
            if (error)
                *error = QStringLiteral("\"%1\": the port must be a number from 1 to 65535").arg(text.trimmed());
            return false;
        }
        port = quint16(p);
        host = host.left(colon);
    }
    return true;
}
}  // namespace hostport
