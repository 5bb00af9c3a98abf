#include "cw/cwfrm.h"
#include "ui/plaintext.h"
#include "ui/enterkeyseditor.h"
#include "core/entersends.h"
#include "ui/fieldkeys.h"
#include "cw/codepractice.h"
#include "cw/cwcontrol.h"
#include "cw/cwsender.h"
#include "cw/keyerthread.h"
#include "platform/dialogs.h"
#include "ui/keyfilter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

QLineEdit *field(QWidget *parent, const QString &name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

bool isNumber(const QString &text, double *value = nullptr)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (ok && value)
        *value = v;
    return ok;
}

}  // namespace

CWFrm::CWFrm(CwControl &control, Dialogs &dialogs, SettingsStore &store, const QString &workingDir,
             QWidget *parent)
    : QDialog(parent), m_control(control), m_dialogs(dialogs), m_store(store),
      m_workingDir(workingDir)
{
    setObjectName(QStringLiteral("CWFrm"));
    if (KeyerThread *keyer = m_control.keyer())
        connect(keyer, &KeyerThread::loopsCalibrated, this, &CWFrm::loopsCalibrated);
    setWindowTitle(QStringLiteral("CW String Selections"));
    auto *top = new QVBoxLayout(this);

    top->addWidget(plainLabel(QStringLiteral(
        "Each text box corresponds to a function key.  Enter the characters you would like to "
        "associate with the function key. From the main logging page, press the appropriate "
        "function key each time you wish to send the string.  A ! in the string enters the "
        "contact."), this));
    qobject_cast<QLabel *>(top->itemAt(0)->widget())->setWordWrap(true);

    auto *grid = new QGridLayout;
    const QStringList names = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6",
                               "Text7", "Text8", "Text9", "Text12", "Text13"};
    for (int i = 0; i < names.size(); ++i) {
        // Messages are sent in capitals and the file has no escape for a double quote.
        QLineEdit *e = field(this, names[i]);
        e->setValidator(new TextFilter(true, e));
        m_messages << e;
        // F1-F6 and F7-F12 side by side, so the window fits a 768-pixel screen.
        grid->addWidget(plainLabel(QStringLiteral("F%1").arg(i + 1), this), i % 6, i / 6 * 2);
        grid->addWidget(e, i % 6, i / 6 * 2 + 1);
    }
    grid->addWidget(plainLabel(QStringLiteral("F12"), this), 5, 2);
    grid->addWidget(plainLabel(QStringLiteral("Keyboard"), this), 5, 3);
    top->addLayout(grid);
    top->addWidget(plainLabel(
        QStringLiteral("Wildcards are $ for Call, * for RST  and # for Number (where applicable)."), this));
    top->addWidget(plainLabel(QStringLiteral("Prosigns   AR [   CL \\   SK ]   KN ;   BT ="), this));

    // Keying line and port.
    auto *frame = new QGroupBox(QStringLiteral("Keying Options"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *fl = new QHBoxLayout(frame);
    auto *group = new QButtonGroup(this);
    const QList<std::pair<QString, QString>> options = {
        {"Option4", "None"}, {"Option1", "RTS"}, {"Option2", "DTR"}, {"Option3", "Printer"},
        {"Option5", "WinKey"}};
    const int kinds[] = {0, 1, 2, 3, 5};
    QRadioButton **targets[] = {&Option4, &Option1, &Option2, &Option3, &Option5};
    for (int i = 0; i < 5; ++i) {
        auto *r = new QRadioButton(options[i].second, frame);
        r->setObjectName(options[i].first);
        *targets[i] = r;
        group->addButton(r, kinds[i]);
        fl->addWidget(r);
    }
    connect(group, &QButtonGroup::idClicked, this, &CWFrm::interfaceChosen);
    connect(group, &QButtonGroup::idClicked, this, &CWFrm::interfaceClicked);
    top->addWidget(frame);
    cmdConfWinkey = button(this, QStringLiteral("cmdConfWinkey"), QStringLiteral("Configure Winkey"));
    cmdConfWinkey->hide();
    top->addWidget(cmdConfWinkey);
    connect(cmdConfWinkey, &QPushButton::clicked, this, &CWFrm::configureWinKeyClicked);

    auto *ports = new QGridLayout;
    Text10 = field(this, QStringLiteral("Text10"));
    Text10->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9:]*")), Text10));
    Text14 = field(this, QStringLiteral("Text14"));
    lblDevice = new QLabel(this);
    lblDevice->setTextFormat(Qt::PlainText);
    lblDevice->setObjectName(QStringLiteral("lblDevice"));
    txtPortMap = field(this, QStringLiteral("txtPortMap"));
    txtPortMap->setToolTip(QStringLiteral("Port numbers that open another device, e.g. 5=/dev/ttyUSB0"));
    ports->addWidget(plainLabel(QStringLiteral("Com Port"), this), 0, 0);
    ports->addWidget(Text10, 0, 1);
    ports->addWidget(lblDevice, 0, 2);
    ports->addWidget(plainLabel(QStringLiteral("Printer Port Address"), this), 1, 0);
    ports->addWidget(Text14, 1, 1);
    ports->addWidget(plainLabel(QStringLiteral("Port map"), this), 2, 0);
    ports->addWidget(txtPortMap, 2, 1, 1, 2);
    top->addLayout(ports);
    connect(Text10, &QLineEdit::editingFinished, this, &CWFrm::portLeft);
    connect(Text14, &QLineEdit::editingFinished, this, &CWFrm::portLeft);
    connect(txtPortMap, &QLineEdit::editingFinished, this, &CWFrm::portLeft);

    // Speed, word space, repeat.
    auto *speed = new QHBoxLayout;
    Text11 = field(this, QStringLiteral("Text11"));
    Text11->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9:]*")), Text11));
    txtSpace = field(this, QStringLiteral("txtSpace"));
    txtSpace->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-./0-9:]*")), txtSpace));
    txtCWLoop = field(this, QStringLiteral("txtCWLoop"));
    txtCWLoop->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), txtCWLoop));
    auto *faster = button(this, QStringLiteral("cmdFaster"), QStringLiteral("Faster"));
    auto *slower = button(this, QStringLiteral("cmdSlower"), QStringLiteral("Slower"));
    auto *more = button(this, QStringLiteral("cmdMore"), QStringLiteral("More"));
    auto *less = button(this, QStringLiteral("cmdLess"), QStringLiteral("Less"));
    speed->addWidget(plainLabel(QStringLiteral("WPM"), this));
    speed->addWidget(Text11);
    speed->addWidget(faster);
    speed->addWidget(slower);
    speed->addWidget(plainLabel(QStringLiteral("Word Space"), this));
    speed->addWidget(txtSpace);
    speed->addWidget(more);
    speed->addWidget(less);
    speed->addWidget(plainLabel(QStringLiteral("Loop (Sec)"), this));
    speed->addWidget(txtCWLoop);
    top->addLayout(speed);
    top->addWidget(plainLabel(QStringLiteral("Up / Down arrows on main form change speed."), this));
    connect(faster, &QPushButton::clicked, this, [this] { m_control.changeSpeed(1); });
    connect(slower, &QPushButton::clicked, this, [this] { m_control.changeSpeed(-1); });
    connect(&m_control, &CwControl::speedChanged, this,
            [this](int wpm) { Text11->setText(QString::number(wpm)); });
    auto bumpSpace = [this](int delta) {
        double v = 0;
        txtSpace->setText(QString::number(isNumber(txtSpace->text(), &v) ? qMax(-8, int(v) + delta) : 0));
        collect();
    };
    connect(more, &QPushButton::clicked, this, [bumpSpace] { bumpSpace(1); });
    connect(less, &QPushButton::clicked, this, [bumpSpace] { bumpSpace(-1); });
    connect(Text11, &QLineEdit::editingFinished, this, [this] {
        if (!isNumber(Text11->text()))
            Text11->setText(QStringLiteral("0"));
        collect();
    });
    connect(txtSpace, &QLineEdit::editingFinished, this, [this] {
        double v = 0;
        if (!isNumber(txtSpace->text(), &v))
            txtSpace->setText(QStringLiteral("0"));
        else if (v < -8)
            txtSpace->setText(QStringLiteral("-8"));
        collect();
    });
    connect(txtCWLoop, &QLineEdit::editingFinished, this, [this] {
        double v = 0;
        if (!isNumber(txtCWLoop->text(), &v) || v < 0 || v >= 60)
            txtCWLoop->setText(QStringLiteral("0"));
        collect();
    });

    // Timing.
    auto *timing = new QGroupBox(QStringLiteral("Timing Options:"), this);
    auto *tl = new QGridLayout(timing);
    optTimer = new QRadioButton(QStringLiteral("Timer"), timing);
    optTimer->setObjectName(QStringLiteral("optTimer"));
    optLoop = new QRadioButton(QStringLiteral("Loop"), timing);
    optLoop->setObjectName(QStringLiteral("optLoop"));
    OptSleep = new QRadioButton(QStringLiteral("Sleep"), timing);
    OptSleep->setObjectName(QStringLiteral("OptSleep"));
    lblLoop = new QLabel(QStringLiteral("Loop Delay"), timing);
    lblLoop->setTextFormat(Qt::PlainText);
    lblLoop->setObjectName(QStringLiteral("lblLoop"));
    txtLoop = field(timing, QStringLiteral("txtLoop"));
    txtLoop->setToolTip(QStringLiteral("Loops per 60 ms"));
    cmdLoopFaster = button(timing, QStringLiteral("cmdLoopFaster"), QStringLiteral("Speed up CW"));
    cmdLoopSlower = button(timing, QStringLiteral("cmdLoopSlower"), QStringLiteral("Slow Down CW"));
    tl->addWidget(optTimer, 0, 0);
    tl->addWidget(optLoop, 0, 1);
    tl->addWidget(OptSleep, 0, 2);
    tl->addWidget(lblLoop, 1, 0);
    tl->addWidget(txtLoop, 1, 1);
    tl->addWidget(cmdLoopFaster, 1, 2);
    tl->addWidget(cmdLoopSlower, 1, 3);
    tl->addWidget(plainLabel(QStringLiteral("Timer is the preferred option on most systems."), timing), 2, 0, 1, 4);
    tl->addWidget(plainLabel(QStringLiteral("For the most precise timing, do not run any other "
                                            "programs, virus software etc. while transmitting."), timing), 3, 0, 1, 4);
    top->addWidget(timing);
    m_enterKeys = new EnterKeysEditor(m_store, entersends::kCwKeysKey, this);
    top->addWidget(m_enterKeys);
    for (QRadioButton *r : {optTimer, optLoop, OptSleep})
        connect(r, &QRadioButton::clicked, this, &CWFrm::methodChosen);
    connect(txtLoop, &QLineEdit::textChanged, this, [this](const QString &t) {
        double v = 0;
        if (isNumber(t, &v))
            m_control.settings().loopsPer60ms = v;
    });
    connect(cmdLoopFaster, &QPushButton::clicked, this, [this] {
        txtLoop->setText(QString::number(qRound64(txtLoop->text().toDouble() * 0.9)));
        collect();
        cmdDone->setFocus();
    });
    connect(cmdLoopSlower, &QPushButton::clicked, this, [this] {
        txtLoop->setText(QString::number(qRound64(txtLoop->text().toDouble() * 1.111111111111)));
        collect();
        cmdDone->setFocus();
    });

    Check1 = new QCheckBox(QStringLiteral("Display CW text on main form (NA for WinKey)."), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    top->addWidget(Check1);
    top->addWidget(plainLabel(QStringLiteral("You must be in CW mode."), this));

    auto *buttons = new QHBoxLayout;
    auto *test = button(this, QStringLiteral("cmdTest"), QStringLiteral("&Test"));
    auto *practice = button(this, QStringLiteral("cmdCodePractice"), QStringLiteral("Send Code Practice"));
    cmdDone = button(this, QStringLiteral("cmdDone"), QStringLiteral("Done"));
    lblSending = new QLabel(QStringLiteral("Sending!"), this);
    lblSending->setTextFormat(Qt::PlainText);
    lblSending->setObjectName(QStringLiteral("lblSending"));
    lblSending->hide();
    buttons->addWidget(test);
    buttons->addWidget(lblSending);
    buttons->addWidget(practice);
    buttons->addStretch();
    buttons->addWidget(cmdDone);
    top->addLayout(buttons);
    connect(test, &QPushButton::clicked, this, &CWFrm::cmdTest_Click);
    connect(practice, &QPushButton::clicked, this, &CWFrm::cmdCodePractice_Click);
    connect(cmdDone, &QPushButton::clicked, this, &CWFrm::cmdDone_Click);
    // Pasted text meets the same rules as typed text: nothing the files cannot hold.
    fieldkeys::guardTextFields(this);
}

void CWFrm::showSettings()
{
    m_enterKeys->load();
    const CwSettings &s = m_control.settings();
    for (int i = 0; i < m_messages.size(); ++i)
        m_messages[i]->setText(s.messages.value(i));
    Text10->setText(s.port);
    Text11->setText(s.speed);
    Text14->setText(s.parallelAddress);
    txtSpace->setText(s.wordSpace);
    txtCWLoop->setText(s.repeat);
    txtLoop->setText(QString::number(s.loopsPer60ms, 'f', 0));
    Check1->setChecked(s.showText);
    txtPortMap->setText(PortMap::format(m_control.portMap().serialOverrides()));
    switch (s.keyingInterface) {
    case KeyingInterface::Rts: Option1->setChecked(true); break;
    case KeyingInterface::Dtr: Option2->setChecked(true); break;
    case KeyingInterface::Parallel: Option3->setChecked(true); break;
    case KeyingInterface::WinKey: Option5->setChecked(true); break;
    case KeyingInterface::None: Option4->setChecked(true); break;
    }
    cmdConfWinkey->setVisible(s.keyingInterface == KeyingInterface::WinKey);
    optLoop->setChecked(s.timingMethod == QLatin1String("Loop"));
    OptSleep->setChecked(s.timingMethod == QLatin1String("Sleep"));
    optTimer->setChecked(s.timingMethod == QLatin1String("Timer"));
    const bool loop = optLoop->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(txtLoop), static_cast<QWidget *>(lblLoop),
                       static_cast<QWidget *>(cmdLoopFaster), static_cast<QWidget *>(cmdLoopSlower)})
        w->setEnabled(loop);
    showDevice();
    calibrateIfNeeded();
}

void CWFrm::collect()
{
    CwSettings &s = m_control.settings();
    for (int i = 0; i < m_messages.size(); ++i)
        s.messages[i] = m_messages[i]->text();
    s.port = Text10->text();
    s.speed = Text11->text();
    s.parallelAddress = Text14->text();
    s.wordSpace = txtSpace->text();
    s.repeat = txtCWLoop->text();
    s.showText = Check1->isChecked();
    s.timingMethod = optLoop->isChecked() ? QStringLiteral("Loop")
        : OptSleep->isChecked() ? QStringLiteral("Sleep") : QStringLiteral("Timer");
    double loops = 0;
    if (isNumber(txtLoop->text(), &loops))
        s.loopsPer60ms = loops;
    m_control.applySettings();
    showDevice();
}

void CWFrm::showDevice()
{
    const CwSettings &s = m_control.settings();
    QString device;
    if (s.keyingInterface == KeyingInterface::Parallel) {
        int address = 0;
        if (parsePortAddress(s.parallelAddress, address))
            device = m_control.portMap().parallelDevice(address);
    } else {
        device = m_control.portMap().serialDevice(s.portNumber());
    }
    lblDevice->setText(device.isEmpty() ? QStringLiteral("(none)") : device);
}

void CWFrm::interfaceChosen(int kind)
{
    m_control.settings().keyingInterface = KeyingInterface(kind);
    cmdConfWinkey->setVisible(KeyingInterface(kind) == KeyingInterface::WinKey);
    collect();
}

void CWFrm::methodChosen()
{
    const bool loop = optLoop->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(txtLoop), static_cast<QWidget *>(lblLoop),
                       static_cast<QWidget *>(cmdLoopFaster), static_cast<QWidget *>(cmdLoopSlower)})
        w->setEnabled(loop);
    collect();
    calibrateIfNeeded();
}

void CWFrm::calibrateIfNeeded()
{
    // The count is made on the keyer thread, the way keying runs, and never holds the window.
    if (!optLoop->isChecked() || m_control.settings().loopsPer60ms > 0)
        return;
    if (KeyerThread *keyer = m_control.keyer())
        keyer->calibrateLoops();
}

void CWFrm::loopsCalibrated(double loopsPer60ms)
{
    if (loopsPer60ms <= 0 || m_control.settings().loopsPer60ms > 0)
        return;
    txtLoop->setText(QString::number(qRound64(loopsPer60ms)));
    collect();
}

void CWFrm::portLeft()
{
    if (!isNumber(Text10->text()))
        Text10->setText(QStringLiteral("0"));
    QMap<int, QString> entries;
    QString error;
    if (!PortMap::parse(txtPortMap->text(), entries, &error)) {
        m_dialogs.message(this, error, QStringLiteral("Port map"), Dialogs::Buttons::Ok,
                          Dialogs::Icon::Warning);
    }
    PortMap &map = m_control.portMap();
    for (int port : map.serialOverrides().keys())
        map.setSerialDevice(port, QString());
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        map.setSerialDevice(it.key(), it.value());
    collect();
    const KeyingInterface kind = m_control.settings().keyingInterface;
    if (kind != KeyingInterface::None && kind != KeyingInterface::WinKey)
        if (KeyerThread *keyer = qobject_cast<KeyerThread *>(&m_control.sender()))
            if (kind == KeyingInterface::Parallel || m_control.settings().portNumber() > 0)
                keyer->openLine();
}

void CWFrm::cmdDone_Click()
{
    collect();
    m_control.settings().save(m_workingDir);
    m_control.settings().saveStore(m_store);
    m_control.portMap().save(m_store);
    hide();
    emit doneClicked();
}

void CWFrm::cmdTest_Click()
{
    collect();
    const KeyingInterface kind = m_control.settings().keyingInterface;
    if ((kind == KeyingInterface::Rts || kind == KeyingInterface::Dtr)
        && m_control.settings().portNumber() < 1) {
        QApplication::beep();
        m_dialogs.message(this, QStringLiteral("Please enter a com port for CW rig interface."),
                          QStringLiteral("A com port is required."));
        Text10->setFocus();
        return;
    }
    lblSending->show();
    m_control.FKeyCW(FKey::F9);
    lblSending->hide();
    if (isVisible())
        m_messages.first()->setFocus();
}

void CWFrm::portFailed(const QString &)
{
    QApplication::beep();
    m_dialogs.message(this,
                      QStringLiteral("The port you have selected for CW keying is invalid.  Please "
                                     "select another or enter 0 for none."),
                      QStringLiteral("Invalid port."));
    if (!isVisible()) {
        showSettings();
        exec();
    }
}

void CWFrm::cmdCodePractice_Click()
{
    collect();
    frmCodePractice practice(m_control, this);
    practice.exec();
    m_control.sender().stop();
}
