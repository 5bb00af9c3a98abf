#include "spotting/spotsettings.h"

#include "core/fieldfile.h"

QString SpotSettings::CommSettings() const
{
    QString baud = BaudText;
    while (baud.endsWith(u' '))
        baud.chop(1);
    return QStringList{baud, ParityLetter, DataBitsText, StopBitsText}.join(u',');
}

QByteArray SpotSettings::toBytes() const
{
    fieldfile::Writer w;
    w.text(BaudText).endLine().text(ParityLetter).endLine().text(DataBitsText).endLine();
    w.text(StopBitsText).endLine().integer(CommPortNumber).endLine().text(PowerLine).endLine();
    w.text(SpotTransport).endLine().integer(convToHex ? 1 : 0).endLine();
    w.integer(HandshakeCode).endLine().integer(listDxOnly ? 1 : 0).endLine();
    w.flag(showList).endLine().text(hexText).endLine().text(telnetPort).endLine();
    w.text(telnetHost).endLine().text(agwHost).endLine().integer(agwPort).endLine();
    w.flag(contestBandOnly).endLine();
    return w.bytes();
}

int SpotSettings::fromBytes(const QByteArray &bytes)
{
    fieldfile::Reader r(bytes);
    int applied = 0;
    QString text;
    double number = 0;
    bool flag = false;
    auto nextInt = [&](int low, int high, int &target) {
        if (!r.nextNumber(number) || number < low || number > high)
            return false;
        target = int(number);
        return true;
    };
    // A check box value written as 0/1; -1 is how a ticked box once came out.
    auto nextBox = [&](bool &target) {
        if (!r.nextNumber(number))
            return false;
        target = number != 0;
        return true;
    };
    if (!r.nextText(text)) return applied;
    BaudText = text, ++applied;
    // A settings file without the 10 m choice comes from a setup that always had every band.
    contestBandOnly = false;
    if (!r.nextText(text)) return applied;
    ParityLetter = text, ++applied;
    if (!r.nextText(text)) return applied;
    DataBitsText = text, ++applied;
    if (!r.nextText(text)) return applied;
    StopBitsText = text, ++applied;
    if (!nextInt(1, 10, CommPortNumber)) return applied;
    ++applied;
    if (!r.nextText(text)) return applied;
    PowerLine = text, ++applied;
    if (!r.nextText(text)) return applied;
    SpotTransport = text, ++applied;
    if (!nextBox(convToHex)) return applied;
    ++applied;
    if (!nextInt(1, 4, HandshakeCode)) return applied;
    ++applied;
    if (!nextBox(listDxOnly)) return applied;
    ++applied;
    if (!r.nextFlag(flag)) return applied;
    showList = flag, ++applied;
    if (!r.nextText(text)) return applied;
    hexText = text, ++applied;
    if (!r.nextText(text)) return applied;
    telnetPort = text, ++applied;
    if (!r.nextText(text)) return applied;
    telnetHost = text, ++applied;
    if (!r.nextText(text)) return applied;
    agwHost = text, ++applied;
    int port = 0;
    if (!nextInt(1, 65535, port)) return applied;
    agwPort = port, ++applied;
    if (!r.nextFlag(flag))
        return applied;
    contestBandOnly = flag, ++applied;
    return applied;
}
