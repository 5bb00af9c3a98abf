#include "spotting/packetspotfrm.h"
#include "ui/fieldkeys.h"

#include "core/fieldfile.h"
#include "platform/dialogs.h"
#include "spotting/spothelp.h"

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

namespace {
const QString kTitle = QStringLiteral(" DX Spotting Setup");
const QStringList kBauds = {"1200", "2400", "4800", "9600", "14400", "19200"};
const QStringList kParities = {"N", "E", "O"};
const QStringList kPowers = {"N", "R", "D"};
}  // namespace

PacketSpotfrm::PacketSpotfrm(const SpotWindowServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window), m_services(services), m_session(*services.session)
{
    setObjectName("PacketSpotfrm");
    setWindowTitle(kTitle);
    buildControls();
    connect(&m_session, &SpotSession::terminalChanged, this, &PacketSpotfrm::syncTerminal);
    connect(&m_session, &SpotSession::listeningChanged, Label4, &QWidget::setVisible);
    connect(&m_session, &SpotSession::alert, this, &PacketSpotfrm::showAlert);
    connect(&m_session, &SpotSession::connectedStationChanged, this, [this](const QString &call) {
        setWindowTitle(call.isEmpty() ? QStringLiteral("DX Spotting Setup")
                                      : "DX Spotting Setup - Connected to " + call);
    });
    Label4->setVisible(m_session.isListening());
    // Pasted text meets the same rules as typed text: nothing the files cannot hold.
    fieldkeys::guardTextFields(this);
}

PacketSpotfrm::~PacketSpotfrm() = default;

void PacketSpotfrm::showAlert(const QString &text, const QString &title, bool warning,
                              bool showWindow)
{
    m_services.dialogs->message(this, text, title, Dialogs::Buttons::Ok,
                                warning ? Dialogs::Icon::Warning : Dialogs::Icon::Information);
    if (showWindow && !isVisible())
        this->showWindow();
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
    if (m_session.source() != SpotSource::None) {
        syncTerminal();
        txtSent->setFocus();
    }
}

void PacketSpotfrm::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the window as Done does, as any setup window closes; the fields pass it on.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdDone_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PacketSpotfrm::Form_Load()
{
    DisableSpotOptions();
    applySettingsToControls();
    LoadingSettings = true;
    LoadSpotSettings();
    LoadingSettings = false;
    m_session.reception().resetTncBuffer();
}

bool PacketSpotfrm::showListOnMainWindow() const { return OptList->isChecked(); }
bool PacketSpotfrm::listDxOnly() const { return chkDX->isChecked(); }

void PacketSpotfrm::applySettingsToControls()
{
    const SpotSettings &s = m_session.settings();
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
    chkTenOnly->setChecked(s.contestBandOnly);
    m_session.setContestBandOnly(s.contestBandOnly);
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
    const int applied = m_session.settings().fromBytes(bytes);
    applySettingsToControls();
    if (applied < 7)
        return;
    const std::optional<SpotSource> source = spotSourceFromName(m_session.settings().SpotTransport);
    if (!source)
        return;
    m_session.setSource(*source);
    List1->setCurrentRow(int(*source));
    if (applied < 14)
        return;
    if (*source == SpotSource::Tnc)
        EnableTncOptions();
    if (*source != SpotSource::None)
        Command1_Click();
}

void PacketSpotfrm::readControls()
{
    SpotSettings &s = m_session.settings();
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
    s.contestBandOnly = chkTenOnly->isChecked();
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
    const SpotSettings &s = m_session.settings();
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
    const SpotSource chosen = spotSourceFromName(source).value_or(SpotSource::None);
    if (!LoadingSettings) {
        Command2_Click();
        DisableSpotOptions();
        m_session.setSource(chosen);
        if (chosen == SpotSource::Tnc) {
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
    if (chosen == SpotSource::Telnet)
        EnableTelnetOptions();
    else if (chosen == SpotSource::Agw)
        EnableAgwOptions();
    if (chosen == SpotSource::Tnc)
        Label6->setText("Send text  (Ctrl C or Esc for TNC Command mode):");
    else if (chosen == SpotSource::Agw)
        Label6->setText("Send text (use : to send cmds such as :C Korvex or :D)");
    else if (chosen == SpotSource::Telnet)
        Label6->setText("Type text to send and press enter:");
}

void PacketSpotfrm::ShowSpotHelp()
{
    const QString source = List1->currentItem() ? List1->currentItem()->text() : "None";
    m_session.setTerminalText(spotHelpText(source));
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
    if (m_session.source() != SpotSource::None && isVisible())
        txtSent->setFocus();
    readControls();
    m_session.open();
}

void PacketSpotfrm::Command2_Click() { m_session.close(); }

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
    if (m_session.source() != SpotSource::None && !m_session.isListening())
        Command1_Click();
    if (m_services.savepref)
        m_services.savepref();
    SaveSpotSettings();
    emit PacketResize();
    hide();
}

void PacketSpotfrm::txtSent_Enter()
{
    if (!m_session.isListening())
        Command1_Click();
    m_session.sendLine(txtSent->text());
    txtSent->clear();
}

void PacketSpotfrm::txtSent_Change(const QString &text)
{
    if (m_session.sendLongAgwLine(text))
        txtSent->clear();
}

bool PacketSpotfrm::Form_KeyDown(QKeyEvent *key)
{
    const bool esc = key->key() == Qt::Key_Escape;
    const bool ctrlC = key->key() == Qt::Key_C && key->modifiers() == Qt::ControlModifier;
    bool swallowed = false;
    if (esc || ctrlC) {
        chkDX->setChecked(false);
        if (!m_session.isListening())
            Command1_Click();
        if (m_session.sendTncCommandByte()) {
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
            if (m_session.source() == SpotSource::Agw)
                txtSent->insert(":");
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PacketSpotfrm::syncTerminal()
{
    const QString &text = m_session.terminal().text();
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
