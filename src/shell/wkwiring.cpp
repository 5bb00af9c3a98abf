#include "shell/wkwiring.h"

#include "core/fieldfile.h"
#include "cw/cwcontrol.h"
#include "cw/cwfrm.h"
#include "cw/frmwinkey.h"
#include "cw/keyerthread.h"
#include "cw/winkeyer.h"
#include "cw/winkeysender.h"
#include "cw/wksettings.h"
#include "shell/cwwiring.h"
#include "logging/entrylinewidget.h"
#include "shell/mainwindow.h"

#include <QApplication>

WinKeyWiring::WinKeyWiring(Form1 &form, Clock &clock, Dialogs &dialogs,
                           const QString &productDataFolder)
    : QObject(&form)
{
    m_keyer = new WinKeyer(
        clock,
        [this](int port) { return m_control ? m_control->portMap().serialDevice(port) : QString(); },
        this);
    m_keyer->setReleaseSharedPorts([this] {
        // The CW key line and the voice keyer's PTT line may be on the keyer's port.
        for (const auto &release : m_releases)
            release();
    });
    m_sender = new WinKeySender(*m_keyer, this);
    frmWinKey::Context context;
    context.keyer = m_keyer;
    context.sender = m_sender;
    context.dialogs = &dialogs;
    context.settingsPath =
        fieldfile::resolvePath(productDataFolder, QString::fromLatin1(wksettings::kFileName));
    context.ownCall = [&form] { return form.preferences().ownCall; };
    context.cwSpeed = [this] { return m_control ? m_control->settings().speed : QString(); };
    context.alarm = [&form](const QString &text) {
        QApplication::beep();
        form.entryLine().setStatus(text, true);
    };
    m_window = new frmWinKey(context, &form);
}

WinKeyWiring::~WinKeyWiring()
{
    // The window closes the keyer, so it goes first; the control must not keep a sender that
    // goes with us.
    delete m_window;
    if (m_control && m_keyerThread && m_active)
        m_control->setSender(*m_keyerThread);
}

frmWinKey &WinKeyWiring::window() { return *m_window; }

void WinKeyWiring::attach(CwControl &control, CWFrm *setup, KeyerThread &keyerThread)
{
    m_control = &control;
    m_keyerThread = &keyerThread;
    addSharedPortRelease([this] {
        if (m_keyerThread)
            m_keyerThread->closeLine();
    });
    if (setup) {
        connect(setup, &CWFrm::interfaceClicked, this, &WinKeyWiring::chooseSender);
        connect(setup, &CWFrm::doneClicked, this, &WinKeyWiring::chooseSender);
        connect(setup, &CWFrm::configureWinKeyClicked, this, [this] {
            m_window->Form_Load();  // the stored settings, as the window opens
            m_window->exec();
        });
    }
    chooseSender();
}

void WinKeyWiring::addSharedPortRelease(std::function<void()> release)
{
    m_releases.append(std::move(release));
}

void WinKeyWiring::chooseSender()
{
    if (!m_control)
        return;
    const bool winKey = m_control->settings().keyingInterface == KeyingInterface::WinKey;
    if (winKey && !m_active) {
        m_active = true;
        m_window->Form_Load();
        m_control->setSender(*m_sender);
    } else if (!winKey && m_active) {
        m_active = false;
        if (m_keyerThread)
            m_control->setSender(*m_keyerThread);
        // The line keying that takes over may need the keyer's port.
        m_keyer->wk_close();
    }
}

WinKeyWiring *wireWinKeyer(Form1 &form, const Form1Services &services, const CwParts &cw)
{
    auto *wiring = new WinKeyWiring(form, *services.clock, *services.dialogs,
                                    services.folders.productDataFolder);
    wiring->attach(*cw.control, cw.setup, *services.keyer);
    return wiring;
}
