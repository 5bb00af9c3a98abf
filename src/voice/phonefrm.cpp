#include "voice/phonefrm.h"
#include "ui/plaintext.h"
#include "ui/enterkeyseditor.h"
#include "core/entersends.h"
#include "ui/fieldkeys.h"

#include "core/fieldfile.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "platform/waveplayer.h"
#include "ui/keyfilter.h"
#include "voice/voicekeyer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace {
const QString kInvalidPortText = QStringLiteral(
    "The port you have selected for Phone keying is invalid.  Please select another or enter 0 "
    "for none.");
const QString kHelpText = QStringLiteral(
    "Caution, RF feedback can damage your PC!\n\n"
    "When playing the wave file, you can key your transmitter manually, use VOX, or an interface "
    "connected to your PC's serial or parallel (printer) port.  To use the serial port, please "
    "enter the valid comm setting (or 0 for none) and select whether you want to use the RTS or "
    "DTR line to key your radio.");
const QString kDefaultDevice = QStringLiteral("(System default)");

// Refilled whenever a device comes or goes. A device that is unplugged now stays chosen and
// says so, so plugging it in again brings it back and nothing plays elsewhere meanwhile.
void fillDevices(QComboBox *box, const QStringList &names, const QString &chosen)
{
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItem(kDefaultDevice, QString());
    for (const QString &n : names)
        box->addItem(n, n);
    if (!chosen.isEmpty() && box->findData(chosen) < 0)
        box->addItem(chosen + QStringLiteral(" (not connected)"), chosen);
    box->setCurrentIndex(qMax(0, box->findData(chosen)));
}

int storedMs(const SettingsStore &store, const char *key, int fallback)
{
    bool ok = false;
    const int v = store.value(QString::fromLatin1(key), QString::number(fallback)).toInt(&ok);
    return ok && v >= 0 && v <= PhoneSettings::kMaxLeadTailMs ? v : fallback;
}
}  // namespace

PhoneFrm::PhoneFrm(VoiceKeyer &keyer, WavePlayer &player, WaveRecorder &recorder, Dialogs &dialogs,
                   SettingsStore &settings, const QString &workingDir, QWidget *parent)
    : QDialog(parent),
      m_keyer(keyer),
      m_player(player),
      m_recorder(recorder),
      m_dialogs(dialogs),
      m_settings(settings),
      m_workingDir(workingDir)
{
    setObjectName(QStringLiteral("PhoneFrm"));
    setWindowTitle(QStringLiteral("Phone Wave Selections"));
    auto *outer = new QVBoxLayout(this);

    auto *messages = new QGridLayout;
    for (int i = 0; i < 9; ++i) {
        messages->addWidget(plainLabel(QStringLiteral("F%1").arg(i + 1), this), i, 0);
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        box->setValidator(new TextFilter(false, box));
        box->setMinimumWidth(320);
        connect(box, &QLineEdit::textChanged, this,
                [this, i](const QString &t) { m_keyer.settings().files[size_t(i)] = t.trimmed(); });
        messages->addWidget(box, i, 1);
        Text << box;
        auto *browseButton = new QPushButton(QStringLiteral("Browse"), this);
        browseButton->setObjectName(QStringLiteral("Command%1").arg(i + 2));
        connect(browseButton, &QPushButton::clicked, this, [this, i] { browse(i); });
        messages->addWidget(browseButton, i, 2);
        auto *rec = new QPushButton(QStringLiteral("Record"), this);
        rec->setObjectName(QStringLiteral("cmdRecord%1").arg(i + 1));
        connect(rec, &QPushButton::clicked, this, [this, i] { record(i); });
        messages->addWidget(rec, i, 3);
        cmdRecord << rec;
    }
    outer->addLayout(messages);

    auto *keying = new QGroupBox(QStringLiteral("Keying"), this);
    auto *keyingLayout = new QGridLayout(keying);
    keyingLayout->addWidget(plainLabel(QStringLiteral("Comm Port (0 = none)"), keying), 0, 0);
    Text10 = new QLineEdit(keying);
    Text10->setObjectName(QStringLiteral("Text10"));
    Text10->installEventFilter(this);
    connect(Text10, &QLineEdit::textChanged, this, [this](const QString &t) { m_keyer.settings().port = t; });
    keyingLayout->addWidget(Text10, 0, 1);
    Option1 = new QRadioButton(QStringLiteral("RTS"), keying);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("DTR"), keying);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option3 = new QRadioButton(QStringLiteral("Parallel"), keying);
    Option3->setObjectName(QStringLiteral("Option3"));
    auto *lines = new QButtonGroup(this);
    lines->addButton(Option1, PhoneSettings::Rts);
    lines->addButton(Option2, PhoneSettings::Dtr);
    lines->addButton(Option3, PhoneSettings::Parallel);
    connect(lines, &QButtonGroup::idClicked, this, [this](int id) { m_keyer.settings().line = id; });
    keyingLayout->addWidget(Option1, 0, 2);
    keyingLayout->addWidget(Option2, 0, 3);
    keyingLayout->addWidget(Option3, 0, 4);
    keyingLayout->addWidget(plainLabel(QStringLiteral("Parallel Address"), keying), 1, 0);
    Text11 = new QLineEdit(keying);
    Text11->setObjectName(QStringLiteral("Text11"));
    Text11->setValidator(new TextFilter(true, Text11));
    connect(Text11, &QLineEdit::textChanged, this,
            [this](const QString &t) { m_keyer.settings().parallelAddress = t; });
    keyingLayout->addWidget(Text11, 1, 1);
    keyingLayout->addWidget(plainLabel(QStringLiteral("Loop (Sec)"), keying), 1, 2);
    txtPHLoop = new QLineEdit(keying);
    txtPHLoop->setObjectName(QStringLiteral("txtPHLoop"));
    txtPHLoop->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), txtPHLoop));
    txtPHLoop->installEventFilter(this);
    connect(txtPHLoop, &QLineEdit::textChanged, this, [this](const QString &t) { m_keyer.settings().loop = t; });
    keyingLayout->addWidget(txtPHLoop, 1, 3);
    // The transmitter's switching time: the sound waits for it, and the carrier stays for the
    // tail after the last sample.
    PhoneSettings &ks = m_keyer.settings();
    ks.pttLeadMs = storedMs(m_settings, PhoneSettings::kLeadKey, PhoneSettings::kDefaultLeadMs);
    ks.pttTailMs = storedMs(m_settings, PhoneSettings::kTailKey, PhoneSettings::kDefaultTailMs);
    auto msBox = [&](const QString &name, const QString &caption, int row, int column, int *value,
                     const char *key) {
        keyingLayout->addWidget(plainLabel(caption, keying), row, column);
        auto *box = new QLineEdit(QString::number(*value), keying);
        box->setObjectName(name);
        box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), box));
        connect(box, &QLineEdit::textChanged, this, [this, value, key](const QString &t) {
            bool ok = false;
            const int ms = t.toInt(&ok);
            if (!ok || ms > PhoneSettings::kMaxLeadTailMs)
                return;
            *value = ms;
            m_settings.setValue(QString::fromLatin1(key), QString::number(ms));
        });
        keyingLayout->addWidget(box, row, column + 1);
        return box;
    };
    txtPttLead = msBox(QStringLiteral("txtPttLead"), QStringLiteral("PTT lead (ms)"), 2, 0, &ks.pttLeadMs,
                       PhoneSettings::kLeadKey);
    txtPttTail = msBox(QStringLiteral("txtPttTail"), QStringLiteral("PTT tail (ms)"), 2, 2, &ks.pttTailMs,
                       PhoneSettings::kTailKey);
    outer->addWidget(keying);
    // Messages with $ (the call) and # (your 10-10 number) are spoken, not played from a file.
    auto *phonetic = new QCheckBox(QStringLiteral("Spell $ and # phonetically (Whiskey One Alfa Whiskey)"), this);
    phonetic->setObjectName(QStringLiteral("chkPhonetic"));
    phonetic->setToolTip(QStringLiteral("A message holding $ (the call) or # (your 10-10 number) is spoken: "
                                        "from your recordings in the \"letters\" folder (A.wav, 1.wav, "
                                        "stroke.wav, CQ.wav ...) when each part has one, else by the speech "
                                        "synthesiser."));
    ks.phonetic = m_settings.value(QString::fromLatin1(PhoneSettings::kPhoneticKey), QString()) == u"1";
    phonetic->setChecked(ks.phonetic);
    connect(phonetic, &QCheckBox::toggled, this, [this](bool on) {
        m_keyer.settings().phonetic = on;
        m_settings.setValue(QString::fromLatin1(PhoneSettings::kPhoneticKey), on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    outer->addWidget(phonetic);

    auto *sound = new QGridLayout;
    sound->addWidget(plainLabel(QStringLiteral("Sound output"), this), 0, 0);
    cboOutput = new QComboBox(this);
    cboOutput->setObjectName(QStringLiteral("cboOutput"));
    m_player.setOutput(m_settings.value(QString::fromLatin1(kOutputKey), QString()));
    connect(cboOutput, &QComboBox::activated, this, &PhoneFrm::chooseOutput);
    sound->addWidget(cboOutput, 0, 1);
    sound->addWidget(plainLabel(QStringLiteral("Record from"), this), 1, 0);
    cboInput = new QComboBox(this);
    cboInput->setObjectName(QStringLiteral("cboInput"));
    connect(cboInput, &QComboBox::activated, this, &PhoneFrm::chooseInput);
    refreshDevices();
    auto *devices = new QMediaDevices(this);
    connect(devices, &QMediaDevices::audioOutputsChanged, this, &PhoneFrm::refreshDevices);
    connect(devices, &QMediaDevices::audioInputsChanged, this, &PhoneFrm::refreshDevices);
    sound->addWidget(cboInput, 1, 1);
    outer->addLayout(sound);
    m_enterKeys = new EnterKeysEditor(m_settings, entersends::kPhoneKeysKey, this);
    outer->addWidget(m_enterKeys);

    auto *help = new QLabel(kHelpText, this);
    help->setTextFormat(Qt::PlainText);
    help->setObjectName(QStringLiteral("lblHelp"));
    help->setWordWrap(true);
    outer->addWidget(help);

    auto *buttons = new QHBoxLayout;
    Command11 = new QPushButton(QStringLiteral("Test"), this);
    Command11->setObjectName(QStringLiteral("Command11"));
    Command11->setToolTip(QStringLiteral("Plays F1 Command"));
    connect(Command11, &QPushButton::clicked, this, &PhoneFrm::Command11_Click);
    auto *testLabel = new QLabel(QStringLiteral("Plays F1 Command"), this);
    testLabel->setTextFormat(Qt::PlainText);
    Command12 = new QPushButton(QStringLiteral("Stop"), this);
    Command12->setObjectName(QStringLiteral("Command12"));
    Command12->hide();
    connect(Command12, &QPushButton::clicked, this, &PhoneFrm::Command12_Click);
    Command1 = new QPushButton(QStringLiteral("Done"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &PhoneFrm::Command1_Click);
    buttons->addWidget(Command11);
    buttons->addWidget(testLabel);
    buttons->addWidget(Command12);
    buttons->addStretch();
    buttons->addWidget(Command1);
    outer->addLayout(buttons);

    connect(&m_keyer, &VoiceKeyer::repeatChanged, this, [this](bool on) {
        if (!on)
            Command12->hide();
    });
    connect(&m_keyer, &VoiceKeyer::portFailed, this, &PhoneFrm::showPortError);
    connect(&m_keyer, &VoiceKeyer::playFailed, this, &PhoneFrm::showPlayError);
    refreshControls();
    // Pasted text meets the same rules as typed text: nothing the files cannot hold.
    fieldkeys::guardTextFields(this);
}

PhoneFrm::~PhoneFrm()
{
    m_recorder.stop();
    m_player.stop();
    // A recording still running when the program ends was never kept.
    if (m_recording >= 0)
        QFile::remove(pendingPath(m_recordingName));
}

QString PhoneFrm::settingsPath() const
{
    return fieldfile::resolvePath(m_workingDir, QString::fromLatin1(PhoneSettings::kFileName));
}

bool PhoneFrm::loadSettings()
{
    const QString path = settingsPath();
    bool ok = true;
    // No file yet is a first start: the defaults stand until Done writes them.
    if (QFileInfo::exists(path) && !m_keyer.settings().load(path)) {
        m_dialogs.message(this, QStringLiteral("Error opening file."), QStringLiteral("Error opening file"));
        ok = false;
    }
    m_keyer.applyLoop();
    refreshControls();
    return ok;
}

bool PhoneFrm::saveSettings()
{
    QString why;
    if (m_keyer.settings().save(settingsPath(), &why))
        return true;
    m_dialogs.message(this, QStringLiteral("The phone settings could not be saved: %1").arg(why),
                      QStringLiteral("Error saving file"), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
    return false;
}

void PhoneFrm::refreshControls()
{
    m_enterKeys->load();
    const PhoneSettings s = m_keyer.settings();  // the boxes write back as they change
    for (int i = 0; i < 9; ++i)
        Text[i]->setText(s.files[size_t(i)]);
    Text10->setText(s.port);
    Text11->setText(s.parallelAddress);
    txtPHLoop->setText(s.loop);
    Option1->setChecked(s.line == PhoneSettings::Rts);
    Option2->setChecked(s.line == PhoneSettings::Dtr);
    Option3->setChecked(s.line == PhoneSettings::Parallel);
}

void PhoneFrm::showModal()
{
    refreshControls();
    exec();
}

void PhoneFrm::showModeless()
{
    refreshControls();
    show();
    raise();
    activateWindow();
}

void PhoneFrm::Command1_Click()
{
    txtPHLoop_LostFocus();
    hide();
    saveSettings();
}

void PhoneFrm::Command11_Click()
{
    m_keyer.FKeyPhone(FKey::F1);
    if (isVisible())
        Command1->setFocus();
    Command12->setVisible(m_keyer.phoneRepeat());
}

void PhoneFrm::Command12_Click()
{
    m_keyer.cancelRepeat();
    Command12->hide();
}

void PhoneFrm::browse(int index)
{
    const QString chosen = m_dialogs.openFile(this, QStringLiteral("Open"), m_workingDir,
                                              QStringLiteral("(*.wav)"));
    if (chosen.isEmpty()) {
        QApplication::beep();
        return;
    }
    Text[index]->setText(chosen);
    Command1->setFocus();
}

QString PhoneFrm::recordingName(int index) const
{
    // A plain name in the working directory is recorded over; anything else gets its own file,
    // so a recording never replaces a file outside the working directory.
    const QString current = Text[index]->text().trimmed();
    if (!current.isEmpty() && !current.contains(u'/') && !current.contains(u'\\')
        && current.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive))
        return current;
    return QStringLiteral("F%1.wav").arg(index + 1);
}

QString PhoneFrm::pendingPath(const QString &name) const
{
    return QDir(m_workingDir).filePath(name + QStringLiteral(".recording"));
}

void PhoneFrm::record(int index)
{
    const int was = m_recording;
    if (was >= 0) {
        m_recorder.stop();
        cmdRecord[was]->setText(QStringLiteral("Record"));
        m_recording = -1;
        keepRecording(was);
        if (was == index)
            return;
    }
    const QString name = recordingName(index);
    // Into a file of its own: the prepared message stays until the new one is kept.
    QString why;
    if (!m_recorder.start(pendingPath(name), cboInput->currentData().toString(), &why)) {
        QFile::remove(pendingPath(name));
        m_dialogs.message(this, QStringLiteral("Recording %1 failed: %2").arg(name, why),
                          QStringLiteral("Record"), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        return;
    }
    m_recording = index;
    m_recordingName = name;
    cmdRecord[index]->setText(QStringLiteral("Stop"));
}

void PhoneFrm::keepRecording(int index)
{
    const QString name = m_recordingName;
    const QString pending = pendingPath(name);
    const QString target = QDir(m_workingDir).filePath(name);
    if (QFileInfo::exists(target)
        && m_dialogs.message(this,
                             QStringLiteral("Replace the F%1 message %2 with the new recording?")
                                 .arg(index + 1).arg(name),
                             QStringLiteral("Record"), Dialogs::Buttons::YesNo, Dialogs::Icon::Question)
               != Dialogs::Answer::Yes) {
        QFile::remove(pending);
        return;
    }
    // rename() replaces the old file in one step; a crash leaves one or the other whole.
    if (std::rename(QFile::encodeName(pending).constData(), QFile::encodeName(target).constData()) != 0) {
        m_dialogs.message(this, QStringLiteral("The recording could not be kept as %1.").arg(name),
                          QStringLiteral("Record"), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        return;
    }
    fieldfile::syncFolderOf(target);
    Text[index]->setText(name);
}

void PhoneFrm::Text10_LostFocus()
{
    bool ok = false;
    Text10->text().trimmed().toInt(&ok);
    if (!ok)
        Text10->setText(QStringLiteral("0"));
    m_keyer.OpenPhonePort();
}

void PhoneFrm::txtPHLoop_LostFocus()
{
    if (!m_keyer.applyLoop()) {
        QApplication::beep();
        txtPHLoop->setText(QStringLiteral("0"));
    }
}

void PhoneFrm::showPortError()
{
    QApplication::beep();
    m_dialogs.message(this, kInvalidPortText, QStringLiteral("Invalid port."), Dialogs::Buttons::Ok,
                      Dialogs::Icon::Information);
    if (!isVisible())
        showModal();
}

void PhoneFrm::showPlayError(const QString &message)
{
    m_dialogs.message(this, message, QStringLiteral("Phone message"), Dialogs::Buttons::Ok,
                      Dialogs::Icon::Warning);
}

void PhoneFrm::refreshDevices()
{
    fillDevices(cboOutput, audioOutputNames(), m_settings.value(QString::fromLatin1(kOutputKey), QString()));
    fillDevices(cboInput, audioInputNames(), m_settings.value(QString::fromLatin1(kInputKey), QString()));
}

void PhoneFrm::chooseOutput(int index)
{
    const QString name = cboOutput->itemData(index).toString();
    m_settings.setValue(QString::fromLatin1(kOutputKey), name);
    m_player.setOutput(name);
}

void PhoneFrm::chooseInput(int index)
{
    m_settings.setValue(QString::fromLatin1(kInputKey), cboInput->itemData(index).toString());
}

bool PhoneFrm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched == Text10)
        QTimer::singleShot(0, Text10, [this] { Text10->selectAll(); });
    if (event->type() == QEvent::FocusOut) {
        if (watched == Text10)
            Text10_LostFocus();
        else if (watched == txtPHLoop)
            txtPHLoop_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}
