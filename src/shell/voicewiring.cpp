#include "shell/voicewiring.h"

#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "platform/waveplayer.h"
#include "shell/mainwindow.h"
#include "voice/announcer.h"
#include "voice/blindfrm.h"
#include "voice/keyerptt.h"
#include "voice/phonefrm.h"
#include "voice/voicekeyer.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

// PTT when no keyer thread owns the lines: nothing to key, which the messages survive.
class NoPtt : public PttKeying {
public:
    bool openSerial(int, QString *error) override
    {
        if (error)
            *error = QStringLiteral("no keying lines are available");
        return false;
    }
    bool serialIsOpen() const override { return false; }
    void closeSerial() override {}
    void setSerialLine(Signal, bool) override {}
    bool keyParallel(int, bool, QString *error) override
    {
        if (error)
            *error = QStringLiteral("no keying lines are available");
        return false;
    }
};

struct VoiceParts : QObject {
    std::unique_ptr<PttKeying> ptt;
    SoundEffectPlayer *messagePlayer = nullptr;
    SoundEffectPlayer *promptPlayer = nullptr;
    AudioSourceRecorder *recorder = nullptr;
    VoiceKeyer *keyer = nullptr;
    PhoneFrm *phone = nullptr;
    Announcer *announcer = nullptr;
    BlindFrm *blind = nullptr;
};

QMenu *transmitMenu(Form1 &form)
{
    auto *options = form.menuBar()->findChild<QMenu *>(QStringLiteral("mnuOptions"));
    if (!options)
        return nullptr;
    if (auto *existing = options->findChild<QMenu *>(QStringLiteral("mnuTransmit")))
        return existing;
    auto *transmit = new QMenu(QStringLiteral("&Transmit"), options);
    transmit->setObjectName(QStringLiteral("mnuTransmit"));
    options->insertMenu(options->actions().value(0), transmit);
    return transmit;
}

}  // namespace

QObject *wireVoice(Form1 &form, const Form1Services &services)
{
    auto *parts = new VoiceParts;
    parts->setParent(&form);
    parts->setObjectName(QStringLiteral("voiceParts"));
    const QString dir = services.folders.workingDir;

    if (services.keyer)
        parts->ptt = std::make_unique<KeyerPtt>(*services.keyer);
    else
        parts->ptt = std::make_unique<NoPtt>();
    parts->messagePlayer = new SoundEffectPlayer(parts);
    parts->promptPlayer = new SoundEffectPlayer(parts);  // the operator's own ears: system default
    parts->recorder = new AudioSourceRecorder(parts);
    parts->keyer = new VoiceKeyer(*parts->messagePlayer, *parts->ptt, dir, parts);
    if (auto *keyerPtt = dynamic_cast<KeyerPtt *>(parts->ptt.get()))
        QObject::connect(keyerPtt, &KeyerPtt::failed, parts->keyer, &VoiceKeyer::pttFailed);
    parts->phone = new PhoneFrm(*parts->keyer, *parts->messagePlayer, *parts->recorder,
                                *services.dialogs, *services.settings, dir, &form);
    parts->phone->setWindowFlag(Qt::Window);
    parts->phone->loadSettings();

    parts->announcer = new Announcer(*parts->promptPlayer, dir, parts);
    parts->blind = new BlindFrm(
        *parts->announcer, dir, [&form] { return form.preferences().voiceNavigationLevel; },
        [&form](int level) { form.setVoiceNavigationLevel(level); }, &form);
    parts->blind->setWindowFlag(Qt::Window);
    QObject::connect(&form, &Form1::announcementRequested, parts->announcer, &Announcer::say);

    if (QMenu *transmit = transmitMenu(form)) {
        QAction *setup = transmit->addAction(QStringLiteral("&Phone Setup"));
        setup->setObjectName(QStringLiteral("mnuPhoneSetup"));
        QObject::connect(setup, &QAction::triggered, parts->phone, &PhoneFrm::showModal);
    }
    if (auto *options = form.menuBar()->findChild<QMenu *>(QStringLiteral("mnuOptions"))) {
        QAction *blind = options->addAction(QStringLiteral("&Voice Navigation"));
        blind->setObjectName(QStringLiteral("mnuBlind"));
        QObject::connect(blind, &QAction::triggered, parts->blind, &BlindFrm::showSettings);
    }

    VoiceKeyer *keyer = parts->keyer;
    PhoneFrm *phone = parts->phone;
    form.keys().add(KeyDispatcher::kCommands, [&form, keyer, phone](QObject *, QKeyEvent *key) {
        const int k = key->key();
        if ((key->modifiers() & Qt::ControlModifier) && k == Qt::Key_P) {
            phone->showModeless();
            return true;
        }
        // Any key ends the F1 loop, the one that starts the next message too.
        keyer->cancelRepeat();
        if (form.preferences().currentMode.toUpper() != QLatin1String("PH"))
            return false;
        if (k >= Qt::Key_F1 && k <= Qt::Key_F9) {
            keyer->FKeyPhone(112 + (k - Qt::Key_F1));
            return true;
        }
        if (k == Qt::Key_Escape)
            return keyer->stopPlayback();
        return false;
    });
    return parts;
}
