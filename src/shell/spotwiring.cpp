#include "shell/spotwiring.h"

#include "bandmap/bandmaps.h"
#include "logging/entrylinewidget.h"
#include "platform/portmap.h"
#include "platform/settingsstore.h"
#include "rig/riglink.h"
#include "shell/bandmapwiring.h"
#include "shell/mainwindow.h"
#include "spotting/dxlistview.h"
#include "spotting/packetspotfrm.h"
#include "spotting/spotsession.h"
#include "spotting/spotstore.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

SpotWiring::SpotWiring(Form1 &form, const Form1Services &services)
    : QObject(&form), m_form(form), m_services(services)
{
    setObjectName(QStringLiteral("SpotWiring"));
    Form1 *f = &form;
    m_store = new SpotStore(*services.clock, form.prefixTable(),
                            [f] { return f->preferences().ownCall; }, this);

    SpotSession::Services s;
    s.store = m_store;
    s.ownCall = [f] { return f->preferences().ownCall; };
    // Read at every open, so a port mapped in the CW setup meanwhile is used.
    const SettingsStore *settings = services.settings;
    s.serialDevice = [settings](int port) {
        PortMap map;
        if (settings)
            map.load(*settings);
        return map.serialDevice(port);
    };
    s.beep = [] { QApplication::beep(); };
    m_session = new SpotSession(s, this);

    QAction *configure = form.spottingMenu()->addAction(QStringLiteral("&Configure"));
    configure->setObjectName(QStringLiteral("mnuDXSpotting"));
    connect(configure, &QAction::triggered, this, [this] {
        m_form.savepref();
        showWindow();
    });
    // After Configure: the band maps add their item to the same menu.
    m_bandMaps = new BandMapWiring(form, *m_store);
    m_list = new DxListView(*m_store, form.clientArea());
    m_bandMaps->panel().setList(m_list);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this] { m_bandMaps->maps().showSpectrumMap(&m_form); });
    connect(m_list, &DxListView::callClicked, &form.entryLine(), &EntryLineWidget::offerCall);
    connect(m_bandMaps, &BandMapWiring::spottingWindowRequested, this, &SpotWiring::showWindow);
    connect(m_session, &SpotSession::bandMapRefreshDue, this,
            [this] { m_bandMaps->maps().DisplayBandMapLabels(); });

    connect(m_store, &SpotStore::ownCallSpotted, this, [f](const QString &record) {
        QApplication::beep();
        f->entryLine().showAlert(QStringLiteral("You've been spotted! "),
                                 QStringLiteral("You've been spotted!  ") + record);
    });

    form.keys().add(KeyDispatcher::kCommands, [this](QObject *, QKeyEvent *key) {
        if (key->key() == Qt::Key_D && key->modifiers() == Qt::ControlModifier) {
            showWindow();
            return true;
        }
        return false;
    });
}

SpotWiring::~SpotWiring()
{
    // The window is a view of the session: it goes first.
    delete m_window;
}

void SpotWiring::showWindow()
{
    if (!m_window) {
        Form1 *f = &m_form;
        RigLink *rig = m_services.rig;
        SpotWindowServices s;
        s.dialogs = m_services.dialogs;
        s.session = m_session;
        s.workingDir = m_services.folders.workingDir;
        s.appTitle = Form1::caption().left(50).trimmed();
        s.lastLoggedCall = [f] {
            const LogStore &log = f->logStore();
            return log.count() > 0 ? log.record(log.count()).call : QString();
        };
        s.rigFrequencyHz = [rig] { return rig && rig->isConnected() ? rig->frequencyHz() : 0; };
        s.savepref = [f] { f->savepref(); };
        m_window = new PacketSpotfrm(s, f);
        connect(m_window, &PacketSpotfrm::PacketResize, this, &SpotWiring::PacketResize);
    }
    m_window->showWindow();
}

void SpotWiring::PacketResize()
{
    const bool none = m_session->source() == SpotSource::None;
    const bool list = m_window && m_window->showListOnMainWindow();
    if (list)
        m_list->scaleColumns(m_form.width());
    m_bandMaps->PacketResize(none, list ? SpotPanel::Display::List : SpotPanel::Display::BandMap);
}
