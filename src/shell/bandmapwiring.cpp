#include "shell/bandmapwiring.h"

#include <QApplication>

#include "bandmap/bandmaps.h"
#include "logging/entrylinewidget.h"
#include "shell/mainwindow.h"
#include "spotting/spotstore.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

namespace {
BandMaps::Store mapStore(Form1 &form, SpotStore &spots)
{
    BandMaps::Store store = BandMaps::storeOf(spots);
    EntryLineWidget *entry = &form.entryLine();
    store.worked = [entry](const QString &call) { return entry->dupeOf(call) != 0; };
    return store;
}
}  // namespace

BandMapWiring::BandMapWiring(Form1 &form, SpotStore &spots)
    : QObject(&form), m_form(form),
      m_maps(new BandMaps(form.clock(), form.dialogs(), mapStore(form, spots),
                          [&form] { return form.preferences().utcOffset; }, this)),
      m_panel(form.clientArea(), *m_maps)
{
    connect(&spots, &SpotStore::spotsChanged, m_maps, &BandMaps::spotsChanged);
    EntryLineWidget &entry = form.entryLine();
    connect(m_maps, &BandMaps::callPicked, &entry, &EntryLineWidget::offerCall);
    connect(m_maps, &BandMaps::spotHovered, &entry, &EntryLineWidget::showPartialLine);
    connect(m_maps, &BandMaps::spottingWindowRequested, this, &BandMapWiring::spottingWindowRequested);
    // A station just logged turns grey on the maps.
    connect(&entry, &EntryLineWidget::enterFinished, m_maps, [this](bool logged) {
        if (logged)
            m_maps->spotsChanged();
    });
    connect(m_maps, &BandMaps::spotStepped, &entry, &EntryLineWidget::announce);
    form.keys().add(KeyDispatcher::kCommands, [this](QObject *, QKeyEvent *key) {
        if (key->key() == Qt::Key_B && key->modifiers() == Qt::ControlModifier) {
            m_maps->showSpectrumMap(&m_form);
            return true;
        }
        // The strip without the mouse: Alt+Right and Alt+Left step up and down the band,
        // Alt+Down picks the spot stepped to (or the newest) as the right button does.
        if (key->modifiers() != Qt::AltModifier)
            return false;
        if (key->key() == Qt::Key_Right || key->key() == Qt::Key_Left) {
            if (!m_maps->step(key->key() == Qt::Key_Right ? 1 : -1))
                QApplication::beep();
            return true;
        }
        if (key->key() == Qt::Key_Down) {
            if (!m_maps->pickStepped())
                QApplication::beep();
            return true;
        }
        return false;
    });
    // Activation redraws the strip, so label colours are current when the operator looks back.
    form.installEventFilter(this);
    addMenuItem();
}

void BandMapWiring::addMenuItem()
{
    QAction *view = m_form.spottingMenu()->addAction(QStringLiteral("&View Spectrum Map"));
    view->setObjectName(QStringLiteral("mnuViewSpectrumMap"));
    connect(view, &QAction::triggered, this, [this] { m_maps->showSpectrumMap(&m_form); });
}

bool BandMapWiring::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_form && event->type() == QEvent::WindowActivate)
        m_maps->DisplayBandMapLabels();
    return QObject::eventFilter(watched, event);
}

void BandMapWiring::PacketResize(bool sourceIsNone, SpotPanel::Display display)
{
    m_panel.PacketResize(sourceIsNone, display);
}
