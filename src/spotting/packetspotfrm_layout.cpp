// The controls of the spotting window and their placement.
#include "spotting/packetspotfrm.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
const QStringList kBaudCaptions = {"1.2k", "2.4k", "4.8k", "9.6k", "14.4k", "19.2k"};
const QStringList kBaudNames = {"optBaud12", "optBaud24", "optBaud48",
                                "optBaud96", "optBaud144", "optBaud192"};
}  // namespace

void PacketSpotfrm::buildControls()
{
    auto *grid = new QGridLayout(this);
    auto radio = [this](QGroupBox *box, const QString &name, const QString &caption) {
        auto *b = new QRadioButton(caption, box);
        b->setObjectName(name);
        box->layout()->addWidget(b);
        connect(b, &QRadioButton::clicked, this, &PacketSpotfrm::serialOptionClicked);
        return b;
    };
    auto group = [this](const QString &name, const QString &caption) {
        auto *g = new QGroupBox(caption, this);
        g->setObjectName(name);
        new QVBoxLayout(g);
        return g;
    };
    auto label = [this](const QString &name, const QString &caption) {
        auto *l = new QLabel(caption, this);
        l->setTextFormat(Qt::PlainText);
        l->setObjectName(name);
        return l;
    };
    auto edit = [this](const QString &name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        return e;
    };
    auto button = [this](const QString &name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };

    auto *left = new QVBoxLayout;
    left->addWidget(label("Label1", "Select Option:"));
    List1 = new QListWidget(this);
    List1->setObjectName("List1");
    for (SpotSource source : {SpotSource::None, SpotSource::Tnc, SpotSource::Telnet, SpotSource::Agw})
        List1->addItem(spotSourceName(source));
    List1->setMaximumHeight(80);
    left->addWidget(List1);
    Command1 = button("Command1", "Open Port");
    Command2 = button("Command2", "Close Port");
    Command3 = button("Command3", "&Spot Last");
    cmdDone = button("cmdDone", "&Done");
    for (QPushButton *b : {Command1, Command2, Command3, cmdDone})
        left->addWidget(b);
    Label4 = label("Label4", "Listening");
    Label4->hide();
    left->addWidget(Label4);
    Frame2 = group("Frame2", "Main Form Display");
    OptBand = new QRadioButton("Band Map", Frame2);
    OptBand->setObjectName("OptBand");
    OptList = new QRadioButton("List", Frame2);
    OptList->setObjectName("OptList");
    Frame2->layout()->addWidget(OptBand);
    Frame2->layout()->addWidget(OptList);
    OptBand->setChecked(true);
    left->addWidget(Frame2);
    chkDX = new QCheckBox("List DX Only (also controls main form)", this);
    chkDX->setObjectName("chkDX");
    chkConvToHex = new QCheckBox("Convert to Hex", this);
    chkConvToHex->setObjectName("chkConvToHex");
    chkTenOnly = new QCheckBox("Band maps: 10 m spots only", this);
    chkTenOnly->setObjectName("chkTenOnly");
    chkTenOnly->setToolTip("Spots on other bands still show here and in the DX list, but do not "
                           "push 10 m spots off the band maps.");
    left->addWidget(chkDX);
    left->addWidget(chkConvToHex);
    left->addWidget(chkTenOnly);
    left->addStretch();
    grid->addLayout(left, 0, 0, 3, 1);

    auto *serial = new QGridLayout;
    fraPort = new QGroupBox("Comm Port", this);
    fraPort->setObjectName("fraPort");
    auto *portGrid = new QGridLayout(fraPort);
    for (int i = 0; i < 10; ++i) {
        auto *b = new QRadioButton(QString::number(i + 1), fraPort);
        b->setObjectName(QStringLiteral("optComm%1").arg(i));
        portGrid->addWidget(b, i / 5, i % 5);
        connect(b, &QRadioButton::clicked, this, &PacketSpotfrm::serialOptionClicked);
        optComm << b;
    }
    fraBaud = group("fraBaud",
                    "Baud Rate of Com Port to TNC (not necessarily transmitted baud rate)");
    for (int i = 0; i < kBaudNames.size(); ++i)
        optBaud << radio(fraBaud, kBaudNames[i], kBaudCaptions[i]);
    fraParity = group("fraParity", "Parity");
    optParity << radio(fraParity, "optParityNone", "None")
              << radio(fraParity, "optParityEven", "Even")
              << radio(fraParity, "optParityOdd", "Odd");
    fraData = group("fraData", "Data Bits");
    optData << radio(fraData, "optData7", "7") << radio(fraData, "optData8", "8");
    fraStop = group("fraStop", "Stop Bits");
    optStop << radio(fraStop, "optStop1", "1") << radio(fraStop, "optStop2", "2");
    fraPower = group("fraPower", "Connection Power");
    optPower << radio(fraPower, "optPowerNone", "None") << radio(fraPower, "optPowerRTS", "RTS")
             << radio(fraPower, "optPowerDTR", "DTR");
    Frame1 = group("Frame1", "Handshaking");
    optHandshake << radio(Frame1, "Option1", "None") << radio(Frame1, "Option2", "Xon Xoff")
                 << radio(Frame1, "Option3", "RTS") << radio(Frame1, "Option4", "RTS OnOff");
    serial->addWidget(fraPort, 0, 0, 1, 3);
    serial->addWidget(fraBaud, 1, 0, 1, 3);
    serial->addWidget(fraParity, 2, 0);
    serial->addWidget(fraData, 2, 1);
    serial->addWidget(fraStop, 2, 2);
    serial->addWidget(fraPower, 3, 0);
    serial->addWidget(Frame1, 3, 1, 1, 2);
    auto *addresses = new QGridLayout;
    Label2 = label("Label2", "TNC cmd mode hex character:");
    txtHex = edit("txtHex");
    Label7 = label("Label7", "Telnet Host:");
    txtTelnetHost = edit("txtTelnetHost");
    Label3 = label("Label3", "Telnet Port:");
    txtTelnetPort = edit("txtTelnetPort");
    lblAgwHost = label("lblAgwHost", "AGW Host:");
    txtAgwHost = edit("txtAgwHost");
    lblAgwPort = label("lblAgwPort", "AGW Port:");
    txtAgwPort = edit("txtAgwPort");
    const QList<QPair<QLabel *, QLineEdit *>> pairs = {{Label2, txtHex},
                                                       {Label7, txtTelnetHost},
                                                       {Label3, txtTelnetPort},
                                                       {lblAgwHost, txtAgwHost},
                                                       {lblAgwPort, txtAgwPort}};
    for (int i = 0; i < pairs.size(); ++i) {
        addresses->addWidget(pairs[i].first, i, 0);
        addresses->addWidget(pairs[i].second, i, 1);
    }
    serial->addLayout(addresses, 4, 0, 1, 3);
    grid->addLayout(serial, 0, 1, 3, 1);

    Label6 = label("Label6", "Type text to send and press enter:");
    txtSent = edit("txtSent");
    txtUnProcessed = new QPlainTextEdit(this);
    txtUnProcessed->setObjectName("txtUnProcessed");
    txtUnProcessed->setReadOnly(true);
    txtUnProcessed->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // About 36 columns at least, so the window fits a 1024-pixel screen; it widens with the window.
    txtUnProcessed->setMinimumSize(txtUnProcessed->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 36, 300);
    grid->setColumnStretch(2, 1);
    txtSent->setAccessibleName("Text to send");
    txtUnProcessed->setAccessibleName("Cluster terminal");
    grid->addWidget(Label6, 0, 2);
    grid->addWidget(txtSent, 1, 2);
    grid->addWidget(txtUnProcessed, 2, 2);


    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(Command1, &QPushButton::clicked, this, &PacketSpotfrm::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PacketSpotfrm::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &PacketSpotfrm::Command3_Click);
    connect(cmdDone, &QPushButton::clicked, this, &PacketSpotfrm::cmdDone_Click);
    connect(chkDX, &QCheckBox::toggled, this, [this](bool on) { m_session.reception().listDxOnly = on; });
    connect(chkTenOnly, &QCheckBox::toggled, this,
            [this](bool on) { m_session.setContestBandOnly(on); });
    connect(txtSent, &QLineEdit::textChanged, this, &PacketSpotfrm::txtSent_Change);
    // The window sees keys before its controls (the TNC command-mode keys, Enter, Esc).
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}
