#include "spotting/packetspotfrm.h"
#include "ui/fieldkeys.h"

#include "core/fieldfile.h"
#include "platform/dialogs.h"
#include "spotting/spothelp.h"
#include "spotting/spotstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {
const QString kTitle = QStringLiteral(" DX Spotting Setup");
const QString kBreak = QStringLiteral("\r\n");
const QString kTwoBreaks = QStringLiteral("\r\n\r\n");
const QStringList kBauds = {"1200", "2400", "4800", "9600", "14400", "19200"};
const QStringList kParities = {"N", "E", "O"};
const QStringList kPowers = {"N", "R", "D"};
}  // namespace

const QStringList PacketSpotfrm::kSources = {"None", "TNC", "Telnet", "AGW Packet Engine"};

PacketSpotfrm::PacketSpotfrm(const SpotWindowServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window),
      m_services(services),
      m_reception([this](const QString &f, const QString &c, const QString &r) { postSpot(f, c, r); }),
      m_telnet(new TelnetLink(this)),
      m_tnc(new TncLink(this)),
      m_agw(new AgwLink(this))
{
    setObjectName("PacketSpotfrm");
    setWindowTitle(kTitle);
    buildControls();

    connect(m_telnet, &SpotLink::textReceived, this, [this](const QString &text) {
        if (!m_reception.addTelnetText(text))
            linkFailed(QStringLiteral("ERROR: The cluster sent a line of more than %1 "
                                      "characters; the connection was closed.")
                           .arg(SpotReception::kMaxLine));
        syncTerminal();
    });
    connect(m_telnet, &SpotLink::failed, this, &PacketSpotfrm::linkFailed);
    connect(m_tnc, &SpotLink::textReceived, this, [this](const QString &text) {
        if (!m_reception.addTncText(text)) {
            append(kTwoBreaks + QStringLiteral("** The TNC sent a line of more than %1 "
                                               "characters; the port was closed. Check the "
                                               "speed and framing. **")
                                    .arg(SpotReception::kMaxLine));
            Command2_Click();
        }
        syncTerminal();
    });
    connect(m_tnc, &SpotLink::failed, this, [this](const QString &why) {
        append(kTwoBreaks + why + kTwoBreaks);
        Command2_Click();
    });
    connect(m_agw, &SpotLink::opened, this, [this] {
        Timer1->start();
        append(kBreak + "** Successfully connected to AGW Packet Engine **" + kTwoBreaks);
    });
    connect(m_agw, &SpotLink::failed, this, [this](const QString &why) {
        if (Timer1->isActive()) {
            // A registered link that broke: say why, and close the source.
            append(kTwoBreaks + QStringLiteral("** AGW Packet Engine: %1 **").arg(why));
            QApplication::beep();
            Command2_Click();
        } else {
            agwFailed();
        }
    });
    connect(m_agw, &AgwLink::frameReceived, this,
            [this](QChar kind, const QString &from, const QString &data) {
                m_reception.addAgwFrame(kind, from, data, m_agw->connectedCall());
                syncTerminal();
            });
    connect(m_agw, &AgwLink::stationConnected, this, [this](const QString &call) {
        append("** Connected to " + call + " **");
        setWindowTitle("DX Spotting Setup - Connected to " + call);
        QApplication::beep();
    });
    connect(m_agw, &AgwLink::stationDisconnected, this, [this](const QString &call) {
        QApplication::beep();
        QApplication::beep();
        append(kBreak + "** Disconnected from " + call + " **" + kBreak);
        setWindowTitle("DX Spotting Setup");
    });
    connect(m_agw, &AgwLink::callSignMissing, this, [this] {
        m_services.dialogs->message(this,
                                    "You must enter a call sign to connect to such as :C Korvex",
                                    "Call sign Required");
    });
    // Pasted text meets the same rules as typed text: nothing the files cannot hold.
    fieldkeys::guardTextFields(this);
}

PacketSpotfrm::~PacketSpotfrm()
{
    // Unloading: a connected station is told goodbye before the engine link goes.
    m_agw->close();
}

void PacketSpotfrm::showWindow()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void PacketSpotfrm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    // Form_Activate
    if (!m_settings.SpotTransport.isEmpty() && m_settings.SpotTransport != "None") {
        syncTerminal();
        txtSent->setFocus();
    }
}

void PacketSpotfrm::Form_Load()
{
    DisableSpotOptions();
    applySettingsToControls();
    LoadingSettings = true;
    LoadSpotSettings();
    LoadingSettings = false;
    m_reception.resetTncBuffer();
}

bool PacketSpotfrm::isListening() const { return !Label4->isHidden(); }
bool PacketSpotfrm::showListOnMainWindow() const { return OptList->isChecked(); }
bool PacketSpotfrm::listDxOnly() const { return chkDX->isChecked(); }

void PacketSpotfrm::applySettingsToControls()
{
    const SpotSettings &s = m_settings;
    QString baud = s.BaudText;
    while (baud.endsWith(u' '))
        baud.chop(1);
    if (kBauds.contains(baud))
        optBaud[kBauds.indexOf(baud)]->setChecked(true);
    if (kParities.contains(s.ParityLetter))
        optParity[kParities.indexOf(s.ParityLetter)]->setChecked(true);
    optData[s.DataBitsText == "7" ? 0 : 1]->setChecked(true);
    optStop[s.StopBitsText == "2" ? 1 : 0]->setChecked(true);
    optComm[std::clamp(s.CommPortNumber, 1, 10) - 1]->setChecked(true);
    if (kPowers.contains(s.PowerLine))
        optPower[kPowers.indexOf(s.PowerLine)]->setChecked(true);
    optHandshake[std::clamp(s.HandshakeCode, 1, 4) - 1]->setChecked(true);
    chkConvToHex->setChecked(s.convToHex);
    (s.showList ? OptList : OptBand)->setChecked(true);
    txtHex->setText(s.hexText);
    txtTelnetPort->setText(s.telnetPort);
    txtTelnetHost->setText(s.telnetHost);
    txtAgwHost->setText(s.agwHost);
    txtAgwPort->setText(QString::number(s.agwPort));
}

void PacketSpotfrm::LoadSpotSettings()
{
    QByteArray bytes;
    const QString path = fieldfile::resolvePath(m_services.workingDir, SpotSettings::kFileName);
    // A missing or damaged file keeps the window's defaults; nothing opens.
    if (!fieldfile::readFile(path, bytes))
        return;
    const int applied = m_settings.fromBytes(bytes);
    applySettingsToControls();
    if (applied < 7)
        return;
    const int row = [&] {
        for (int i = 0; i < kSources.size(); ++i) {
            if (kSources[i].compare(m_settings.SpotTransport, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }();
    if (row < 0)
        return;
    m_settings.SpotTransport = kSources[row];
    List1->setCurrentRow(row);
    if (applied < 14)
        return;
    if (m_settings.SpotTransport == "TNC")
        EnableTncOptions();
    if (m_settings.SpotTransport != "None")
        Command1_Click();
}

void PacketSpotfrm::readControls()
{
    SpotSettings &s = m_settings;
    s.BaudText = kBauds.value(int(std::find_if(optBaud.begin(), optBaud.end(),
                                               [](auto *b) { return b->isChecked(); })
                                  - optBaud.begin()),
                              s.BaudText);
    for (int i = 0; i < optParity.size(); ++i)
        if (optParity[i]->isChecked())
            s.ParityLetter = kParities[i];
    s.DataBitsText = optData[0]->isChecked() ? "7" : "8";
    s.StopBitsText = optStop[1]->isChecked() ? "2" : "1";
    for (int i = 0; i < optComm.size(); ++i)
        if (optComm[i]->isChecked())
            s.CommPortNumber = i + 1;
    for (int i = 0; i < optPower.size(); ++i)
        if (optPower[i]->isChecked())
            s.PowerLine = kPowers[i];
    for (int i = 0; i < optHandshake.size(); ++i)
        if (optHandshake[i]->isChecked())
            s.HandshakeCode = i + 1;
    s.convToHex = chkConvToHex->isChecked();
    s.listDxOnly = chkDX->isChecked();
    s.showList = OptList->isChecked();
    s.hexText = txtHex->text();
    s.telnetPort = txtTelnetPort->text();
    s.telnetHost = txtTelnetHost->text();
    s.agwHost = txtAgwHost->text().trimmed();
    bool ok = false;
    const int port = txtAgwPort->text().trimmed().toInt(&ok);
    if (ok && port > 0 && port <= 65535)
        s.agwPort = port;
}

void PacketSpotfrm::SaveSpotSettings()
{
    readControls();
    const SpotSettings &s = m_settings;
    const QString path = fieldfile::resolvePath(m_services.workingDir, SpotSettings::kFileName);
    QString why;
    if (!fieldfile::writeFileAtomic(path, s.toBytes(), &why))
        m_services.dialogs->message(this, "The spotting settings could not be saved:\n" + why,
                                    "PackSpot.txt");
}

void PacketSpotfrm::List1_Click()
{
    chkDX->setChecked(false);
    const QString source = List1->currentItem() ? List1->currentItem()->text() : QString();
    if (!LoadingSettings) {
        Command2_Click();
        DisableSpotOptions();
        m_settings.SpotTransport = source;
        if (source == "TNC") {
            optBaud[3]->setChecked(true);
            optParity[0]->setChecked(true);
            optData[1]->setChecked(true);
            optStop[0]->setChecked(true);
            optHandshake[2]->setChecked(true);
            txtHex->setText("03");
            EnableTncOptions();
        }
    }
    ShowSpotHelp();
    if (source == "Telnet")
        EnableTelnetOptions();
    else if (source == "AGW Packet Engine")
        EnableAgwOptions();
    if (source == "TNC")
        Label6->setText("Send text  (Ctrl C or Esc for TNC Command mode):");
    else if (source == "AGW Packet Engine")
        Label6->setText("Send text (use : to send cmds such as :C Korvex or :D)");
    else if (source == "Telnet")
        Label6->setText("Type text to send and press enter:");
}

void PacketSpotfrm::ShowSpotHelp()
{
    const QString source = List1->currentItem() ? List1->currentItem()->text() : "None";
    m_reception.terminal().setText(spotHelpText(source));
    syncTerminal();
    txtUnProcessed->moveCursor(QTextCursor::Start);
}

void PacketSpotfrm::DisableSpotOptions()
{
    for (QWidget *w : QList<QWidget *>{Frame2, chkDX, chkConvToHex, txtSent, Label6, txtHex,
                                       Label2, Frame1, fraBaud, fraParity, fraData, fraStop,
                                       fraPort, fraPower, Label7, Label3, txtTelnetHost,
                                       txtTelnetPort, lblAgwHost, lblAgwPort, txtAgwHost,
                                       txtAgwPort, Command1, Command2})
        w->setEnabled(false);
}

void PacketSpotfrm::EnableTncOptions()
{
    for (QWidget *w : QList<QWidget *>{Frame2, chkDX, chkConvToHex, txtSent, Label6, txtHex,
                                       Label2, Frame1, fraBaud, fraParity, fraData, fraStop,
                                       fraPort, fraPower, Command1, Command2})
        w->setEnabled(true);
}

void PacketSpotfrm::EnableTelnetOptions()
{
    for (QWidget *w : QList<QWidget *>{Label7, Label3, txtTelnetHost, txtTelnetPort, Label6,
                                       txtSent, Command1, Command2, Frame2, chkDX})
        w->setEnabled(true);
}

void PacketSpotfrm::EnableAgwOptions()
{
    for (QWidget *w : QList<QWidget *>{Label6, txtSent, Command1, Command2, Frame2, chkDX,
                                       lblAgwHost, lblAgwPort, txtAgwHost, txtAgwPort})
        w->setEnabled(true);
}

void PacketSpotfrm::serialOptionClicked()
{
    if (!LoadingSettings)
        Command2_Click();
}

void PacketSpotfrm::Command1_Click()
{
    m_reception.terminal().setText("** Attempting to Open Port **" + kTwoBreaks);
    syncTerminal();
    m_tnc->close();
    const QString source = m_settings.SpotTransport;
    if (source.isEmpty() || source == "None")
        return;
    Label4->show();
    if (isVisible())
        txtSent->setFocus();
    if (source == "TNC")
        ApplySerialSettings();
    else if (source == "AGW Packet Engine")
        OpenAgwEngine();
    else if (source == "Telnet")
        OpenTelnet();
}

void PacketSpotfrm::ApplySerialSettings()
{
    Label4->show();
    readControls();
    const SpotSettings &s = m_settings;
    TncLink::Settings t;
    t.device = m_services.serialDevice ? m_services.serialDevice(s.CommPortNumber) : QString();
    t.baud = s.BaudText.trimmed().toInt();
    t.parity = s.ParityLetter.isEmpty() ? u'N' : s.ParityLetter.front();
    t.dataBits = s.DataBitsText.toInt();
    t.stopBits = s.StopBitsText.toInt();
    t.powerLine = s.PowerLine.isEmpty() ? u'N' : s.PowerLine.front();
    t.handshake = s.HandshakeCode;
    m_tnc->setSettings(t);
    m_tnc->open();
    if (m_tnc->isOpen()) {
        Timer1->start();
        append("** TNC Serial Port Open **" + kTwoBreaks);
        return;
    }
    QApplication::beep();
    append("** Unable to open TNC Serial Port **" + kTwoBreaks);
    m_services.dialogs->message(
        this,
        "The comm port that you selected for DX Spotting is either in use, invalid or the "
        "settings that you have selected are invalid.  Please select another combination or "
        "choose None for your DX Spot selection.",
        "Invalid Comm Settings.", Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
    if (!isVisible())
        showWindow();
    Command2_Click();
    Timer1->stop();
}

void PacketSpotfrm::OpenTelnet()
{
    m_telnet->close();
    m_telnet->setAddress(txtTelnetHost->text(), txtTelnetPort->text());
    m_telnet->open();
    m_reception.terminal().setText("Attempting connection to: " + txtTelnetHost->text().trimmed()
                                   + ":" + txtTelnetPort->text().trimmed() + kTwoBreaks);
    syncTerminal();
    Timer1->start();
}

void PacketSpotfrm::OpenAgwEngine()
{
    const QString call = m_services.ownCall ? m_services.ownCall().trimmed() : QString();
    if (call.isEmpty()) {
        QApplication::beep();
        m_services.dialogs->message(this, "Please enter your call sign on the setup form to "
                                          "transmit!",
                                    "Call Sign Required!");
        Command2_Click();
        return;
    }
    m_agw->setOwnCall(call);
    bool ok = false;
    const int port = txtAgwPort->text().trimmed().toInt(&ok);
    const QString host = txtAgwHost->text().trimmed();
    m_agw->setAddress(host.isEmpty() ? QStringLiteral("127.0.0.1") : host,
                      ok && port > 0 && port <= 65535 ? quint16(port) : 8000);
    m_agw->open();
}

namespace {
const QString kAgwDownload =
    "- Download the freely available software from https://github.com/wb2osz/direwolf";
const QString kAgwFirst =
    "Unable to connect to the AGW Packet Engine.  To use the AGW Packet Engine to send and "
    "receive packet with your soundcard or devices such a Baypac:";
}  // namespace

void PacketSpotfrm::agwFailed()
{
    m_services.dialogs->message(this,
                                kAgwFirst + "\n\n" + kAgwDownload + "\n\n"
                                    + "- Make sure the AGW Packet Engine software is running "
                                      "and configure it as described on the AGW Packet Engine "
                                      "website.",
                                "Unable to connect to the AGW Packet Engine.");
    Label4->hide();
    append(kAgwFirst + kBreak + kAgwDownload + kTwoBreaks
           + "- Run the Packet Engine software and configure it as described on the AGW "
             "Packet Engine website for your sound card or TNC."
           + kBreak + "- Click Open from this program." + kTwoBreaks);
    if (!isVisible())
        showWindow();
    Command2_Click();
    Timer1->stop();
}

void PacketSpotfrm::Command2_Click()
{
    if (Label4->isHidden())
        return;
    Label4->hide();
    append(kTwoBreaks + "** Port Closed **");
    m_tnc->close();
    m_telnet->close();
    if (m_settings.SpotTransport == "AGW Packet Engine") {
        if (!m_agw->connectedCall().isEmpty())
            setWindowTitle("DX Spotting Setup");
        m_agw->close();
    }
    Timer1->stop();
}

void PacketSpotfrm::Command3_Click()
{
    const QString last = m_services.lastLoggedCall ? m_services.lastLoggedCall() : QString();
    const qint64 hz = m_services.rigFrequencyHz ? m_services.rigFrequencyHz() : 0;
    txtSent->setFocus();
    if (hz > 0) {
        // The rig knows where the contact was: the spot is ready to send or to add a comment to.
        txtSent->setText("DX " + QString::number(double(hz) / 1000.0, 'f', 1) + ' ' + last);
        txtSent->end(false);
        return;
    }
    txtSent->setText("DX Frequency in kHz " + last);
    txtSent->setSelection(3, 16);
}

void PacketSpotfrm::cmdDone_Click()
{
    if (!m_settings.SpotTransport.isEmpty() && m_settings.SpotTransport != "None"
        && Label4->isHidden())
        Command1_Click();
    if (m_services.savepref)
        m_services.savepref();
    SaveSpotSettings();
    emit PacketResize();
    hide();
}

void PacketSpotfrm::txtSent_Enter()
{
    if (Label4->isHidden())
        Command1_Click();
    const QString text = txtSent->text();
    const QString source = m_settings.SpotTransport;
    if (source == "TNC") {
        m_tnc->sendLine(text);
    } else if (source == "Telnet") {
        if (!m_telnet->sendLine(text))
            append("**  Connection not yet established.  Please wait a moment and try again."
                   + kTwoBreaks);
    } else if (source == "AGW Packet Engine" && Timer1->isActive()) {
        m_agw->sendLine(text);
    }
    txtSent->clear();
}

void PacketSpotfrm::txtSent_Change(const QString &text)
{
    if (m_settings.SpotTransport != "AGW Packet Engine" || !Timer1->isActive())
        return;
    if (text.size() > 70 && text.endsWith(u' ')) {
        m_agw->sendLine(text.chopped(1));
        txtSent->clear();
    }
}

bool PacketSpotfrm::Form_KeyDown(QKeyEvent *key)
{
    const bool esc = key->key() == Qt::Key_Escape;
    const bool ctrlC = key->key() == Qt::Key_C && key->modifiers() == Qt::ControlModifier;
    bool swallowed = false;
    if (esc || ctrlC) {
        chkDX->setChecked(false);
        if (Label4->isHidden())
            Command1_Click();
        if (m_tnc->isOpen() && m_settings.SpotTransport == "TNC") {
            bool ok = false;
            const int code = txtHex->text().trimmed().toInt(&ok, 16);
            if (ok && code >= 0 && code <= 255)
                m_tnc->sendByte(char(code));
            txtSent->setFocus();
            swallowed = true;
        }
    }
    if (txtSent->text().isEmpty() && txtSent->isEnabled())
        txtSent->setFocus();
    return swallowed;
}

bool PacketSpotfrm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (Form_KeyDown(key))
        return true;
    if (watched == txtSent) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            txtSent_Enter();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            if (m_settings.SpotTransport == "AGW Packet Engine")
                txtSent->insert(":");
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PacketSpotfrm::Timer1_Timer()
{
    LabelUpdateTimeCounter += 1;
    if (LabelUpdateTimeCounter > 360) {
        LabelUpdateTimeCounter = 0;
        emit bandMapRefreshDue();
    }
}

void PacketSpotfrm::linkFailed(const QString &message)
{
    append(message);
    Command2_Click();
    QApplication::beep();
}

void PacketSpotfrm::append(const QString &text)
{
    m_reception.terminal().append(text);
    syncTerminal();
}

void PacketSpotfrm::syncTerminal()
{
    const QString &text = m_reception.terminal().text();
    auto display = [](QString t) {
        return t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    };
    if (!m_shownText.isEmpty() && text.startsWith(m_shownText)) {
        if (text.size() == m_shownText.size())
            return;
        QTextCursor end(txtUnProcessed->document());
        end.movePosition(QTextCursor::End);
        end.insertText(display(text.mid(m_shownText.size())));
    } else {
        txtUnProcessed->setPlainText(display(text));
    }
    m_shownText = text;
    txtUnProcessed->moveCursor(QTextCursor::End);
    txtUnProcessed->ensureCursorVisible();
}

void PacketSpotfrm::postSpot(const QString &frequency, const QString &call,
                             const QString &record)
{
    LabelUpdateTimeCounter = 0;
    if (m_services.store)
        m_services.store->BandMapSpots(call, frequency, record);
}
