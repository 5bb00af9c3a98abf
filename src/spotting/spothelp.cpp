#include "spotting/spothelp.h"

#include <QStringList>

namespace {
const QStringList kGeneral = {
    "Use this form to configure your DX spotting options.  Choose the source of your spots "
    "from the list, set its options and click Open Port.",
    "The list will show the last 2-3 posts on the main form depending on your screen size.  "
    "Choose Band Map or List under Main Form Display.",
    "The program keeps the last 50 DX posts regardless of band in memory.  The list on the "
    "main form keeps the last 200.",
};
const QStringList kTelnet = {
    "If you have an Internet connection, choose Telnet, enter the host name and port of a DX "
    "cluster, click Open Port, then log in by typing your call sign in the send box and "
    "pressing Enter.",
};
const QStringList kTnc = {
    "To use a Packet TNC, choose TNC, select the comm port, the speed and framing of the "
    "serial link, the handshaking and the line that powers the TNC, then click Open Port.  "
    "Connect to your local cluster with the TNC's own commands.",
    "One nice feature with the packet option is that repeated spots are shown only once, and "
    "List DX Only hides everything but the spots.",
};
const QStringList kAgw = {
    "This program will also interface with the AGW Packet Engine.",
    "- Download a packet engine that offers the AGW TCP/IP interface (direwolf does, and is "
    "packaged for most Linux distributions).",
    "- Run the Packet Engine software and configure it as described on the AGW Packet Engine "
    "website for your sound card or TNC.",
    "- Click Open from this program.",
    "To send a connect request using the AGW packet engine, type in the format of",
    ":C Korvex     or to disconnect :D",
    "and press enter (you can also use the Esc key to add a colon).",
};
const QStringList kClosing = {
    "When you have configured your DX spotting options, click Open to initiate the "
    "communication.  Then click Done to return to the main form.",
    "If the list is being displayed on the main form, you can click on it to quickly return "
    "to this form.  To return the main form to the original display, select None from the "
    "spotting options.",
};
const QStringList kHardware = {
    "This code was developed and tested with a Kantronics KPC3+ TNC.  I look forward to "
    "hearing about your experiences with different hardware.",
};
}  // namespace

QString spotHelpText(const QString &source)
{
    QList<QStringList> parts;
    if (source == QLatin1String("TNC"))
        parts = {kTnc, kClosing, kHardware};
    else if (source == QLatin1String("Telnet"))
        parts = {kTelnet, kClosing};
    else if (source == QLatin1String("AGW Packet Engine"))
        parts = {kAgw, kClosing, kHardware};
    else
        parts = {kGeneral, kTelnet, kTnc, kAgw, kClosing, kHardware};
    QString text;
    for (const QStringList &paragraphs : parts) {
        for (const QString &p : paragraphs)
            text += p + QLatin1String("\r\n\r\n");
    }
    return text;
}
