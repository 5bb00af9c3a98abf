#pragma once
#include <QString>

namespace hostport {
// Splits "host[:port]" (an IPv6 address, with its colons, takes the default port); false with
// the reason when the port is not a number from 1 to 65535.
bool split(const QString &text, quint16 defaultPort, QString &host, quint16 &port, QString *error = nullptr);
}  // namespace hostport
