#include "rig/dgmessages.h"

#include "core/fieldfile.h"
#include "core/messagetext.h"
#include "core/preferences.h"

namespace dgmessages {

QStringList defaults(const Preferences &p)
{
    const QString own = p.ownCall.trimmed();
    QStringList m{QStringLiteral("CQ CQ 10-10 DE %1 %1 K").arg(own),
                  QStringLiteral("$ DE %1 %2 %3 %4 K").arg(own, p.ownFirstName, p.ownState, p.ownMemberNumber),
                  QStringLiteral("TU $ 73 DE %1 QRZ!").arg(own),
                  QStringLiteral("AGN AGN"),
                  own};
    while (m.size() < kCount)
        m << QString();
    return m;
}

QStringList load(const QString &path, const QStringList &fallback)
{
    QStringList messages = fallback;
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes))
        return messages;
    fieldfile::Reader r(bytes);
    for (int i = 0; i < kCount && i < messages.size(); ++i) {
        QString text;
        if (!r.nextText(text))
            break;
        messages[i] = text;
    }
    return messages;
}

bool save(const QString &path, const QStringList &messages, QString *error)
{
    fieldfile::Writer w;
    for (int i = 0; i < kCount; ++i) {
        // A double quote would end the field early; the file keeps what the line can hold.
        w.text(QString(messages.value(i)).remove(u'"'));
        w.endLine();
    }
    return fieldfile::writeFileAtomic(path, w.bytes(), error);
}

Expanded expand(const QString &message, const QString &call)
{
    Expanded e;
    e.text = messagetext::expand(message, call, QStringLiteral("599"));
    e.logs = e.text.contains(u'!') && !call.trimmed().isEmpty();
    e.text.remove(u'!');
    e.text = e.text.trimmed();
    return e;
}

}  // namespace dgmessages
