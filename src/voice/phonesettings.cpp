#include "voice/phonesettings.h"

#include "core/fieldfile.h"

bool PhoneSettings::load(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes, error))
        return false;
    fieldfile::Reader r(bytes);
    auto fail = [&] {
        if (error)
            *error = r.error().isEmpty() ? QStringLiteral("%1 is incomplete").arg(path) : r.error();
        return false;
    };
    QString text;
    for (QString &f : files) {
        if (!r.nextText(text))
            return fail();
        f = text.trimmed();
    }
    if (!r.nextText(text))
        return fail();
    port = text;
    fieldfile::Field field;
    if (!r.next(field))
        return fail();
    // Compared as text: a value other than 0, 1 or 2 leaves the selection alone.
    const QString lineText = field.text.trimmed();
    if (lineText == u"0")
        line = Rts;
    else if (lineText == u"1")
        line = Dtr;
    else if (lineText == u"2")
        line = Parallel;
    if (!r.nextText(text))
        return fail();
    loop = text;
    if (!r.nextText(text))
        return fail();
    parallelAddress = text;
    return true;
}

QByteArray PhoneSettings::toBytes() const
{
    fieldfile::Writer w;
    for (const QString &f : files)
        w.text(f.trimmed()).endLine();
    w.text(port).endLine();
    w.integer(line).endLine();
    w.text(loop).endLine();
    w.text(parallelAddress).endLine();
    return w.bytes();
}

bool PhoneSettings::save(const QString &path, QString *error) const
{
    return fieldfile::writeFileAtomic(path, toBytes(), error);
}

int PhoneSettings::portNumber() const
{
    bool ok = false;
    const int n = port.trimmed().toInt(&ok);
    return ok && n > 0 && n <= 0x7fff ? n : 0;
}

bool PhoneSettings::validLoop(const QString &text)
{
    double v = 0;
    return fieldfile::parseNumber(text, v) && v >= 0 && v < 60;
}

double PhoneSettings::loopSeconds() const
{
    double v = 0;
    return validLoop(loop) && fieldfile::parseNumber(loop, v) ? v : 0;
}
