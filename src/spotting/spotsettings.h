#pragma once
#include <QString>

// The spotting window's settings, kept in "PackSpot.txt" in the working directory: the serial
// framing of the TNC, the chosen source, the display choices, the Telnet address and the
// packet engine's address, and whether the band maps keep 10 m spots only.
struct SpotSettings {
    static constexpr const char *kFileName = "PackSpot.txt";

    QString BaudText = QStringLiteral("19200");
    QString ParityLetter = QStringLiteral("N");
    QString DataBitsText = QStringLiteral("8");
    QString StopBitsText = QStringLiteral("1");
    int CommPortNumber = 1;
    QString PowerLine = QStringLiteral("N");
    QString SpotTransport;  // empty until chosen or loaded
    bool convToHex = false;
    int HandshakeCode = 1;
    bool listDxOnly = false;  // stored, but the window always starts with it cleared
    bool showList = false;    // false: the band map
    QString hexText;
    QString telnetPort;
    QString telnetHost;
    QString agwHost = QStringLiteral("127.0.0.1");
    int agwPort = 8000;
    // Spots outside 10 m stay off the band maps' 50 slots. On for a new setup; a file from
    // before the choice existed keeps every band, as it always did.
    bool contestBandOnly = true;

    // "9600,N,8,1"
    QString CommSettings() const;

    QByteArray toBytes() const;
    // Applies the fields in file order and stops at the first that is missing or damaged,
    // keeping what was read before it (older files end before the packet engine's address).
    // Returns the number of fields applied.
    int fromBytes(const QByteArray &bytes);
};
