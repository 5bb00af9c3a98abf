#include "shell/bandmapwiring.h"

#include "bandmap/bandmaps.h"
#include "core/entryrules.h"
#include "shell/mainwindow.h"
#include "spotting/spotstore.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>

namespace {
constexpr int kFrequencyColumn = 1;

QWidget *clientOf(Form1 &form)
{
    return form.findChild<QWidget *>(QStringLiteral("Form1Client"));
}
}  // namespace

BandMapWiring::BandMapWiring(Form1 &form, SpotStore &spots)
    : QObject(&form), m_form(form),
      m_maps(new BandMaps(form.clock(), form.dialogs(), BandMaps::storeOf(spots),
                          [&form] { return form.preferences().utcOffset; }, this)),
      m_panel(clientOf(form), *m_maps)
{
    connect(&spots, &SpotStore::spotsChanged, m_maps, &BandMaps::spotsChanged);
    connect(m_maps, &BandMaps::callPicked, this, &BandMapWiring::pickCall);
    connect(m_maps, &BandMaps::spotHovered, this, [&form](const QString &text) {
        if (auto *dupe = form.findChild<QLabel *>(QStringLiteral("lblDupe")))
            dupe->setText(text);
    });
    connect(m_maps, &BandMaps::spottingWindowRequested, this, &BandMapWiring::spottingWindowRequested);
    // A click on the strip shows the spotting window, as its menu command does.
    connect(this, &BandMapWiring::spottingWindowRequested, this, [&form] {
        if (auto *configure = form.findChild<QAction *>(QStringLiteral("mnuDXSpotting")))
            configure->trigger();
    });
    form.keys().add(KeyDispatcher::kCommands, [this](QObject *, QKeyEvent *key) {
        if (key->key() != Qt::Key_B || key->modifiers() != Qt::ControlModifier)
            return false;
        m_maps->showSpectrumMap(&m_form);
        return true;
    });
    // Activation redraws the strip, so label colours are current when the operator looks back.
    form.installEventFilter(this);
    addMenuItem();
}

void BandMapWiring::addMenuItem()
{
    auto *options = m_form.findChild<QMenu *>(QStringLiteral("mnuOptions"));
    if (!options)
        return;
    // The spotting side adds "&Configure" to the same submenu; whoever comes first makes it.
    QMenu *spotting = options->findChild<QMenu *>(QStringLiteral("mnuDXSpottingMenu"));
    if (!spotting) {
        spotting = new QMenu(QStringLiteral("&DX Spotting"), options);
        spotting->setObjectName(QStringLiteral("mnuDXSpottingMenu"));
        QAction *before = m_form.findChild<QAction *>(QStringLiteral("mnuPrivileges"));
        options->insertMenu(before, spotting);
    }
    QAction *view = spotting->addAction(QStringLiteral("&View Spectrum Map"));
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

void BandMapWiring::pickCall(const QString &call)
{
    auto *txtCall = m_form.findChild<QLineEdit *>(QStringLiteral("txtCall"));
    if (!txtCall)
        return;
    txtCall->setFocus(Qt::OtherFocusReason);
    txtCall->setText(call);
    // A real Tab keystroke, so the key preview and the field's leave handling see what the
    // operator's own Tab would make them see.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCoreApplication::sendEvent(txtCall, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCoreApplication::sendEvent(txtCall, &release);
}

void BandMapWiring::setDxList(QTreeWidget *list)
{
    m_dxList = list;
    m_panel.setList(list);
    if (!list)
        return;
    connect(list, &QTreeWidget::itemClicked, this, &BandMapWiring::txtDX_Click);
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this] { m_maps->showSpectrumMap(&m_form); });
}

void BandMapWiring::txtDX_Click()
{
    auto *txtCall = m_form.findChild<QLineEdit *>(QStringLiteral("txtCall"));
    if (!txtCall || !m_dxList)
        return;
    txtCall->setFocus(Qt::OtherFocusReason);
    QTreeWidgetItem *row = m_dxList->currentItem();
    if (!row || !entryrules::isNumeric(row->text(kFrequencyColumn)))
        return;
    pickCall(row->text(0));
}
