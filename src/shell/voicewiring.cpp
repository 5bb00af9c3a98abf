#include "shell/voicewiring.h"
#include "logging/entrylinewidget.h"

#include <QDir>

#include "cw/winkeyer.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "platform/waveplayer.h"
#include "shell/mainwindow.h"
#include "shell/wkwiring.h"
#include "voice/announcer.h"
#include "voice/blindfrm.h"
#include "voice/keyerptt.h"
#include "voice/phonefrm.h"
#include "voice/voicekeyer.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPointer>

namespace {

struct VoiceParts : QObject {
    // The windows (children of the main window) and the keyer use the players, the recorder
    // and the PTT output: they go first, releasing the transmitter on the way.
    ~VoiceParts() override
    {
        delete phone;
        delete blind;
        delete keyer;
    }
    std::unique_ptr<KeyerPtt> ptt;
    VoiceKeyer *keyer = nullptr;
    QPointer<PhoneFrm> phone;
    Announcer *announcer = nullptr;
    QPointer<BlindFrm> blind;
};

}  // namespace

VoiceKeyer &wireVoice(Form1 &form, const Form1Services &services, WinKeyWiring &winKeyer)
{
    Q_ASSERT(services.keyer && services.messagePlayer && services.promptPlayer && services.recorder);
    auto *parts = new VoiceParts;
    parts->setParent(&form);
    parts->setObjectName(QStringLiteral("voiceParts"));
    const QString dir = services.folders.workingDir;

    WinKeyer *external = &winKeyer.keyer();
    parts->ptt = std::make_unique<KeyerPtt>(*services.keyer, [external = QPointer<WinKeyer>(external)] {
        if (external)
            external->wk_close();
    });
    KeyerPtt *ptt = parts->ptt.get();
    parts->keyer = new VoiceKeyer(*services.messagePlayer, *parts->ptt, dir, parts);
    QObject::connect(ptt, &KeyerPtt::failed, parts->keyer, &VoiceKeyer::pttFailed);
    parts->keyer->setSpokenParts([&form] { return form.entryLine().call(); },
                                 [&form] { return form.preferences().ownMemberNumber; });
    parts->keyer->setSpeech(services.speech,
                            QDir(services.folders.productDataFolder).filePath(QStringLiteral("Speech/messages")));
    QObject::connect(parts->keyer, &VoiceKeyer::transmittingChanged, &form,
                     [&form, keyer = parts->keyer](bool on) {
                         form.setTransmitting(QStringLiteral("voice"), keyer->sendingFile(), on);
                     });
    winKeyer.addSharedPortRelease([keyer = QPointer<VoiceKeyer>(parts->keyer)] {
        if (keyer)
            keyer->ClosePhonePort();
    });
    parts->phone = new PhoneFrm(*parts->keyer, *services.messagePlayer, *services.recorder,
                                *services.dialogs, *services.settings, dir, &form);
    parts->phone->setWindowFlag(Qt::Window);
    parts->phone->loadSettings();

    parts->announcer = new Announcer(*services.promptPlayer, dir, parts);
    parts->announcer->setSpeech(services.speech, QDir(services.folders.productDataFolder).filePath(QStringLiteral("Speech")));
    // A prompt on the output the messages go out on, while one is being sent, would be on the
    // air: it is dropped.
    SettingsStore *store = services.settings;
    parts->announcer->setOnAir([keyer = parts->keyer, store] {
        return keyer->isPlaying()
               && store->value(QString::fromLatin1(BlindFrm::kOutputKey), QString())
                      == store->value(QString::fromLatin1(PhoneFrm::kOutputKey), QString());
    });
    parts->blind = new BlindFrm(
        *parts->announcer, *services.promptPlayer, *services.settings, dir, [&form] { return form.preferences().voiceNavigationLevel; },
        [&form](int level) { form.setVoiceNavigationLevel(level); }, &form);
    parts->blind->setWindowFlag(Qt::Window);
    QObject::connect(&form, &Form1::announcementRequested, parts->announcer, &Announcer::say);

    QAction *setup = form.transmitMenu()->addAction(QStringLiteral("&Phone Setup"));
    setup->setObjectName(QStringLiteral("mnuPhoneSetup"));
    QObject::connect(setup, &QAction::triggered, parts->phone, &PhoneFrm::showModal);
    QAction *blind = form.optionsMenu()->addAction(QStringLiteral("&Voice Navigation"));
    blind->setObjectName(QStringLiteral("mnuBlind"));
    QObject::connect(blind, &QAction::triggered, parts->blind, &BlindFrm::showSettings);

    VoiceKeyer *keyer = parts->keyer;
    PhoneFrm *phone = parts->phone;
    // Before the window's own Esc (also a command key): Esc ends a message being sent and is
    // used up, so what the operator typed meanwhile stays in the entry line.
    form.keys().add(KeyDispatcher::kCommands - 1, [&form, keyer, phone](QObject *, QKeyEvent *key) {
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
            keyer->FKeyPhone(*fkeyOfQtKey(k));
            return true;
        }
        if (k == Qt::Key_Escape)
            return keyer->stopPlayback();
        return false;
    });
    return *parts->keyer;
}
