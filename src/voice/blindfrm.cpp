#include "voice/blindfrm.h"
#include "ui/plaintext.h"

#include "platform/settingsstore.h"
#include "platform/waveplayer.h"
#include "voice/announcer.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QMediaDevices>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

BlindFrm::BlindFrm(Announcer &announcer, WavePlayer &promptPlayer, SettingsStore &settings,
                   const QString &workingDir, std::function<int()> level,
                   std::function<void(int)> storeLevel, QWidget *parent)
    : QDialog(parent), m_announcer(announcer), m_player(promptPlayer), m_settings(settings),
      m_level(std::move(level)), m_storeLevel(std::move(storeLevel))
{
    setObjectName(QStringLiteral("BlindFrm"));
    setWindowTitle(QStringLiteral("Voice Navigation Settings"));
    auto *layout = new QVBoxLayout(this);
    auto *explain = plainLabel(
        QStringLiteral("Choose one of the options below.  Select Off to turn the navigation function "
                       "off, Call to indicate the Call field only and All Data Fields to provide "
                       "verbal prompts through all the data fields."),
        this);
    explain->setWordWrap(true);
    layout->addWidget(explain);
    auto *frame = new QGroupBox(QStringLiteral("Choose your preferred option:"), this);
    auto *frameLayout = new QVBoxLayout(frame);
    Option1 = new QRadioButton(QStringLiteral("Off"), frame);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("Call Only"), frame);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option3 = new QRadioButton(QStringLiteral("All Data Fields"), frame);
    Option3->setObjectName(QStringLiteral("Option3"));
    auto *group = new QButtonGroup(this);
    group->addButton(Option1, 0);
    group->addButton(Option2, 1);
    group->addButton(Option3, 2);
    connect(group, &QButtonGroup::idClicked, this, &BlindFrm::optionClicked);
    for (QRadioButton *o : {Option1, Option2, Option3})
        frameLayout->addWidget(o);
    layout->addWidget(frame);
    auto *label7 = new QLabel(
        QStringLiteral("Put the audio wave files in this program's working directory: ")
            + QDir::toNativeSeparators(workingDir),
        this);
    label7->setObjectName(QStringLiteral("Label7"));
    label7->setTextFormat(Qt::PlainText);
    label7->setWordWrap(true);
    layout->addWidget(label7);
    lblFiles = new QLabel(this);
    lblFiles->setTextFormat(Qt::PlainText);
    lblFiles->setObjectName(QStringLiteral("lblFiles"));
    lblFiles->setTextFormat(Qt::PlainText);
    lblFiles->setWordWrap(true);
    layout->addWidget(lblFiles);
    auto *outputRow = new QHBoxLayout;
    auto *outputLabel = new QLabel(QStringLiteral("Prompts play on"), this);
    outputLabel->setTextFormat(Qt::PlainText);
    cboOutput = new QComboBox(this);
    cboOutput->setObjectName(QStringLiteral("cboPromptOutput"));
    outputLabel->setBuddy(cboOutput);
    outputRow->addWidget(outputLabel);
    outputRow->addWidget(cboOutput, 1);
    layout->addLayout(outputRow);
    m_player.setOutput(m_settings.value(QString::fromLatin1(kOutputKey), QString()));
    refreshDevices();
    connect(cboOutput, &QComboBox::activated, this, [this](int index) {
        const QString name = cboOutput->itemData(index).toString();
        m_settings.setValue(QString::fromLatin1(kOutputKey), name);
        m_player.setOutput(name);
    });
    auto *devices = new QMediaDevices(this);
    connect(devices, &QMediaDevices::audioOutputsChanged, this, &BlindFrm::refreshDevices);
    refreshFiles();
    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("Command1"));
    connect(done, &QPushButton::clicked, this, &BlindFrm::Command1_Click);
    layout->addWidget(done, 0, Qt::AlignRight);
}

void BlindFrm::refreshDevices()
{
    const QSignalBlocker quiet(cboOutput);
    const QString chosen = m_settings.value(QString::fromLatin1(kOutputKey), QString());
    cboOutput->clear();
    cboOutput->addItem(QStringLiteral("(System default)"), QString());
    for (const QString &n : audioOutputNames())
        cboOutput->addItem(n, n);
    if (!chosen.isEmpty() && cboOutput->findData(chosen) < 0)
        cboOutput->addItem(chosen + QStringLiteral(" (not connected)"), chosen);
    cboOutput->setCurrentIndex(qMax(0, cboOutput->findData(chosen)));
}

void BlindFrm::refreshFiles()
{
    QStringList lines;
    const QStringList missing = m_announcer.missingFiles();
    for (const QString &prompt : Announcer::prompts()) {
        const QString names = Announcer::fileNames(prompt).join(QStringLiteral(" or "));
        lines << names + (missing.contains(names) ? QStringLiteral("  (missing)") : QString());
    }
    lblFiles->setText(QStringLiteral("Recordings looked for:\n") + lines.join(u'\n'));
}

void BlindFrm::showSettings()
{
    refreshFiles();
    const int level = m_level();
    QRadioButton *chosen = level == 0 ? Option1 : level == 1 ? Option2 : level == 2 ? Option3 : nullptr;
    if (chosen)
        chosen->setChecked(true);
    if (!m_loaded && chosen)
        optionClicked(level);
    m_loaded = true;
    show();
    raise();
    activateWindow();
}

void BlindFrm::optionClicked(int level)
{
    if (level == 0)
        m_announcer.say(QStringLiteral("NavDis"));
    else if (level == 1)
        m_announcer.sayThen(QStringLiteral("NavEn"), QStringLiteral("Call"));
    else
        m_announcer.say(QStringLiteral("NavEn"));
}

void BlindFrm::Command1_Click()
{
    const int level = Option2->isChecked() ? 1 : Option3->isChecked() ? 2 : 0;
    hide();
    m_storeLevel(level);
}
