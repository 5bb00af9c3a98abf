#include "cw/frmwinkey.h"

#include "cw/winkeyer.h"
#include "cw/winkeysender.h"
#include "platform/dialogs.h"
#include "ui/fieldkeys.h"
#include "ui/formscaler.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using formscale::px;

namespace {
QRect twips(int x, int y, int w, int h) { return QRect(px(x), px(y), px(w), px(h)); }
constexpr int kRowTop = 200;
constexpr int kRowStep = 420;

// Options and the numbers they store.
struct OptionDef {
    const char *name;
    const char *caption;
    int value;
};
constexpr OptionDef kPinOptions[] = {{"optPTT", "PTT", 5},
                                     {"optTone", "Tone", 6},
                                     {"optKey5Off3Out", "P5 Off, P3 Key Out", 4},
                                     {"optKey5Out3Off", "P5 Key Out, P3 Off", 8}};
constexpr OptionDef kModeOptions[] = {{"optIambicA", "Iambic A", 16},
                                      {"optIambicB", "Iambic B", 0},
                                      {"optUltimatic", "Ultimatic", 32},
                                      {"optBug", "Bug Keyer", 48}};
}  // namespace

frmWinKey::frmWinKey(const Context &context, QWidget *parent) : QDialog(parent), m_ctx(context)
{
    setObjectName(QStringLiteral("frmWinKey"));
    setWindowTitle(QStringLiteral(" WinKey Setup"));
    resize(twips(0, 0, 8400, 5600).size());

    txtWKWPM = addBox("txtWKWPM", QStringLiteral("WPM:"), QString(), 0);
    txtWeight = addBox("txtWeight", QStringLiteral("Weight:"),
                       QStringLiteral("Proportional amount added or subtracted (50 is standard)."), 1);
    txtLeadIn = addBox("txtLeadIn", QStringLiteral("Lead In:"),
                       QStringLiteral("Lead in time for transmitter (10 ms increments)."), 2);
    txtTail = addBox("txtTail", QStringLiteral("Tail:"),
                     QStringLiteral("Tail time after keying has stopped (10 ms increments)."), 3);
    txtRatio = addBox("txtRatio", QStringLiteral("Ratio:"),
                      QStringLiteral("Ratio of dits to dahs (Range: 33 - 66)."), 4);
    txtWKComPort = addBox("txtWKComPort", QStringLiteral("Com Port:"), QString(), 5);

    auto *pinFrame = new QGroupBox(QStringLiteral("Pin 5 Configuration"), this);
    pinFrame->setGeometry(twips(150, kRowTop + 6 * kRowStep, 3900, 1500));
    auto *modeFrame = new QGroupBox(QStringLiteral("Keyer Mode"), this);
    modeFrame->setGeometry(twips(4250, kRowTop + 6 * kRowStep, 3900, 1500));
    QRadioButton **pins[] = {&optPTT, &optTone, &optKey5Off3Out, &optKey5Out3Off};
    QRadioButton **modes[] = {&optIambicA, &optIambicB, &optUltimatic, &optBug};
    auto *pinGroup = new QButtonGroup(this);
    auto *modeGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        *pins[i] = addOption(pinFrame, kPinOptions[i].name, kPinOptions[i].caption, i);
        pinGroup->addButton(*pins[i], kPinOptions[i].value);
        *modes[i] = addOption(modeFrame, kModeOptions[i].name, kModeOptions[i].caption, i);
        modeGroup->addButton(*modes[i], kModeOptions[i].value);
    }
    connect(pinGroup, &QButtonGroup::idClicked, this, [this](int value) {
        m_settings.pinConfig = value;
        if (m_ctx.keyer->isOpen())
            PushWKSettings();
    });
    connect(modeGroup, &QButtonGroup::idClicked, this, [this](int value) {
        m_settings.mode = value;
        if (m_ctx.keyer->isOpen())
            PushWKSettings();
    });

    lblOpenStatus = new QLabel(this);
    lblOpenStatus->setTextFormat(Qt::PlainText);
    lblOpenStatus->setObjectName(QStringLiteral("lblOpenStatus"));
    lblOpenStatus->setGeometry(twips(5400, kRowTop, 2800, 300));
    lblVersion = new QLabel(QStringLiteral("Version #"), this);
    lblVersion->setTextFormat(Qt::PlainText);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    // On the port's row: the rows with notes need the window's width for them.
    lblVersion->setGeometry(twips(5400, kRowTop + 5 * kRowStep, 2800, 300));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twips(150, kRowTop + 6 * kRowStep + 1650, 8000, 300));
    Text1->installEventFilter(this);
    Text1->setAccessibleName(QStringLiteral("Text to send"));

    const struct {
        QPushButton **button;
        const char *name;
        const char *caption;
        void (frmWinKey::*click)();
    } buttons[] = {{&cmdOpenWinkey, "cmdOpenWinkey", "Open", &frmWinKey::cmdOpenWinkey_Click},
                   {&cmdCloseWinkey, "cmdCloseWinkey", "Close", &frmWinKey::cmdCloseWinkey_Click},
                   {&cmdTest, "cmdTest", "Test", &frmWinKey::cmdTest_Click},
                   {&cmdBufferTest, "cmdBufferTest", "Buffer Test", &frmWinKey::cmdBufferTest_Click},
                   {&cmdStop, "cmdStop", "Stop", &frmWinKey::cmdStop_Click},
                   {&cmdDone, "cmdDone", "&Done", &frmWinKey::cmdDone_Click}};
    int x = 150;
    for (const auto &b : buttons) {
        *b.button = new QPushButton(QString::fromLatin1(b.caption), this);
        (*b.button)->setObjectName(QString::fromLatin1(b.name));
        (*b.button)->setGeometry(twips(x, kRowTop + 6 * kRowStep + 2100, 1250, 420));
        (*b.button)->setAutoDefault(false);
        connect(*b.button, &QPushButton::clicked, this, b.click);
        x += 1350;
    }

    connect(m_ctx.keyer, &WinKeyer::openFinished, this, &frmWinKey::onOpenFinished);
    connect(m_ctx.keyer, &WinKeyer::closed, this, [this] {
        lblOpenStatus->setText(QStringLiteral("Closed"));
        lblVersion->setText(QStringLiteral("Version #"));
    });
    m_ctx.sender->setOpenKeyer([this] {
        m_openForMessage = true;
        cmdOpenWinkey_Click();
    });
    // Pasted text meets the same rules as typed text: nothing the files cannot hold.
    fieldkeys::guardTextFields(this);
}

frmWinKey::~frmWinKey()
{
    m_ctx.sender->setOpenKeyer({});
    m_ctx.keyer->wk_close();
}

QLineEdit *frmWinKey::addBox(const char *name, const QString &caption, const QString &note,
                             int row)
{
    const int y = kRowTop + row * kRowStep;
    auto *label = new QLabel(caption, this);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(twips(150, y, 1100, 300));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(twips(1350, y, 700, 300));
    label->setBuddy(box);
    box->installEventFilter(this);
    if (!note.isEmpty()) {
        auto *hint = new QLabel(note, this);
        hint->setTextFormat(Qt::PlainText);
        hint->setGeometry(twips(2150, y, 6100, 300));
        hint->setWordWrap(true);
    }
    return box;
}

QRadioButton *frmWinKey::addOption(QWidget *frame, const char *name, const QString &caption,
                                   int row)
{
    auto *option = new QRadioButton(caption, frame);
    option->setObjectName(QString::fromLatin1(name));
    option->setGeometry(twips(150, 270 + row * 290, 3600, 280));
    return option;
}

void frmWinKey::Form_Load()
{
    formscale::resizeFormCentred(this, *m_ctx.dialogs);
    m_settings = wksettings::load(m_ctx.settingsPath);
    txtWeight->setText(m_settings.weight);
    txtLeadIn->setText(m_settings.leadIn);
    txtTail->setText(m_settings.tail);
    txtRatio->setText(m_settings.ratio);
    txtWKWPM->setText(m_ctx.cwSpeed ? m_ctx.cwSpeed() : m_settings.wpm);
    txtWKComPort->setText(QString::number(m_settings.comPort));
    selectOptions();
}

void frmWinKey::selectOptions()
{
    // A number without an option selects none.
    for (QRadioButton *o : {optPTT, optTone, optKey5Off3Out, optKey5Out3Off, optIambicA,
                            optIambicB, optUltimatic, optBug}) {
        o->group()->setExclusive(false);
        o->setChecked(false);
        o->group()->setExclusive(true);
    }
    for (int i = 0; i < 4; ++i) {
        if (kPinOptions[i].value == m_settings.pinConfig)
            findChild<QRadioButton *>(kPinOptions[i].name)->setChecked(true);
        if (kModeOptions[i].value == m_settings.mode)
            findChild<QRadioButton *>(kModeOptions[i].name)->setChecked(true);
    }
}

WkSettings frmWinKey::settings() const
{
    WkSettings s = m_settings;
    s.wpm = txtWKWPM->text();
    s.weight = txtWeight->text();
    s.leadIn = txtLeadIn->text();
    s.tail = txtTail->text();
    s.ratio = txtRatio->text();
    return s;
}

void frmWinKey::focusDone()
{
    if (isVisible())
        cmdDone->setFocus();
}

void frmWinKey::cmdOpenWinkey_Click()
{
    // The keyer frees the CW and voice ports itself before it opens (they may be this port).
    m_ctx.keyer->wk_open(m_settings.comPort);
}

void frmWinKey::onOpenFinished(int code, int version)
{
    const bool forMessage = m_openForMessage && !isVisible() && m_ctx.alarm;
    m_openForMessage = false;
    if (code != WinKeyer::AlreadyOpen && version == 0 && forMessage)
        m_ctx.alarm(QStringLiteral("WinKey on com port %1 did not open (%2); nothing was sent.")
                        .arg(m_settings.comPort)
                        .arg(WinKeyer::openCodeText(code)));
    else if (code != WinKeyer::AlreadyOpen && version == 0)
        m_ctx.dialogs->message(
            this,
            QStringLiteral("Unable to establish connection with WinKey on com port %1.  Please check "
                           "to make sure that you have specified the correct port and that the "
                           "Winkey device is properly connected.")
                .arg(m_settings.comPort),
            QStringLiteral("Unable to establish connection with Winkey."), Dialogs::Buttons::Ok,
            Dialogs::Icon::Warning);
    const QString text = WinKeyer::openCodeText(code);
    if (!text.isEmpty())
        lblOpenStatus->setText(text);
    if (code == WinKeyer::AlreadyOpen)
        return;
    PushWKSettings();
    if (version != 0) {
        lblVersion->setText(QStringLiteral("Version # %1").arg(version));
        focusDone();
    }
}

void frmWinKey::cmdCloseWinkey_Click()
{
    m_ctx.keyer->wk_close();
    lblOpenStatus->setText(QStringLiteral("Closed"));
    lblVersion->setText(QStringLiteral("Version #"));
    focusDone();
}

void frmWinKey::PushWKSettings()
{
    for (QLineEdit *box : {txtWKWPM, txtWeight, txtLeadIn, txtRatio})
        boxLeft(box);
    m_ctx.keyer->wk_pincfg(quint8(m_settings.pinConfig));
    m_ctx.keyer->wk_setmode(quint8(m_settings.mode));
}

void frmWinKey::boxLeft(QLineEdit *box)
{
    QString text = box->text();
    WinKeyer &keyer = *m_ctx.keyer;
    if (box == txtWKWPM) {
        if (auto v = wksettings::wpmToSend(text))
            keyer.wk_wpm(*v);
    } else if (box == txtWeight) {
        if (auto v = wksettings::weightToSend(text))
            keyer.wk_weight(*v);
    } else if (box == txtRatio) {
        if (auto v = wksettings::ratioToSend(text))
            keyer.wk_ditdah_ratio(*v);
    } else if (box == txtLeadIn || box == txtTail) {
        QString lead = txtLeadIn->text();
        QString tail = txtTail->text();
        if (auto v = wksettings::leadTailToSend(lead, tail, box == txtLeadIn))
            keyer.wk_ptt_leadtail(v->first, v->second);
        txtLeadIn->setText(lead);
        txtTail->setText(tail);
        return;
    } else if (box == txtWKComPort) {
        m_settings.comPort = wksettings::comPortFrom(text);
        text = QString::number(m_settings.comPort);
    }
    box->setText(text);
}

void frmWinKey::cmdDone_Click()
{
    const WkSettings s = settings();
    m_settings = s;
    wksettings::save(m_ctx.settingsPath, s);  // a failed write just hides the window
    hide();
}

void frmWinKey::cmdTest_Click()
{
    const QString call = m_ctx.ownCall ? m_ctx.ownCall() : QString();
    m_ctx.sender->append(QStringLiteral("VVV TEST DE ") + call);
    focusDone();
}

void frmWinKey::cmdBufferTest_Click()
{
    QString text;
    for (int i = 0; i < 3; ++i) {
        for (char c = 'A'; c <= 'Z'; ++c)
            text += QLatin1Char(c);
        text += u' ';
    }
    m_ctx.sender->append(text);
}

void frmWinKey::cmdStop_Click()
{
    m_ctx.sender->stop();
    focusDone();
}

bool frmWinKey::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut && box != Text1) {
        boxLeft(box);
    } else if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (box != Text1)
            return fieldkeys::apply(box, key, fieldkeys::Rule::Digits);
        // Typed CW: capitals, shown in the box and sent; control keys are not sent.
        const QChar typed = fieldkeys::typedChar(key);
        if (!typed.isNull() && typed.unicode() > 13) {
            const QChar c = fieldkeys::filter(fieldkeys::Rule::Capital, typed);
            Text1->insert(QString(c));
            m_ctx.sender->append(QString(c));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
