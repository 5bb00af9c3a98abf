#include "core/messagetext.h"

namespace messagetext {

QString expand(const QString &message, const QString &call, const QString &report)
{
    QString out = message;
    out.replace(QLatin1Char('$'), call.trimmed());
    out.remove(QLatin1Char('#'));
    out.replace(QLatin1Char('*'), report);
    return out;
}

}  // namespace messagetext
