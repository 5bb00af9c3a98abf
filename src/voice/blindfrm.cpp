#include "voice/blindfrm.h"

#include "voice/announcer.h"

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

BlindFrm::BlindFrm(Announcer &announcer, const QString &workingDir, std::function<int()> level,
                   std::function<void(int)> storeLevel, QWidget *parent)
    : QDialog(parent), m_announcer(announcer), m_level(std::move(level)), m_storeLevel(std::move(storeLevel))
{
    setObjectName(QStringLiteral("BlindFrm"));
    setWindowTitle(QStringLiteral("Voice Navigation Settings"));
    auto *layout = new QVBoxLayout(this);
    auto *explain = new QLabel(
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
    label7->setWordWrap(true);
    layout->addWidget(label7);
    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("Command1"));
    connect(done, &QPushButton::clicked, this, &BlindFrm::Command1_Click);
    layout->addWidget(done, 0, Qt::AlignRight);
}

void BlindFrm::showSettings()
{
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
