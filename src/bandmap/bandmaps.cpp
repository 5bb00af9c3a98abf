#include "bandmap/bandmaps.h"

#include <algorithm>

#include "bandmap/bandmaprow.h"
#include "bandmap/spectrummap.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "spotting/spotstore.h"
#include "ui/formscaler.h"

using namespace bandmap;

namespace {
// The strip's labels keep this far above its line, as a share of the main window's height.
constexpr double kStripSpotGap = 0.004;

QList<int> allRows()
{
    QList<int> rows;
    for (int b = 0; b < int(kRows.size()); ++b)
        rows.append(b);
    return rows;
}
}  // namespace

BandMaps::Store BandMaps::storeOf(SpotStore &spots)
{
    Store store;
    store.read = [&spots] { return spots.mapSpots(); };
    store.remove = [&spots](int slot) { spots.hide(slot); };
    return store;
}

BandMaps::BandMaps(Clock &clock, Dialogs &dialogs, Store store, std::function<float()> utcOffset,
                   QObject *parent)
    : QObject(parent), m_clock(clock), m_dialogs(dialogs), m_store(std::move(store)),
      m_utcOffset(std::move(utcOffset))
{
}

BandMaps::~BandMaps() = default;

BandMapRow *BandMaps::strip(QWidget *parent)
{
    if (!m_strip) {
        m_strip = new BandMapRow(kStripSpotGap, parent);
        m_strip->setObjectName(QStringLiteral("lblDX"));
        m_strip->setAccessibleName(QStringLiteral("10 m band map"));
        m_strip->hide();
        connectRow(m_strip, true);
    }
    return m_strip;
}

BandMapRow *BandMaps::strip() const
{
    return m_strip;
}

SpectrumMap *BandMaps::spectrumMap() const
{
    return m_window;
}

void BandMaps::connectRow(BandMapRow *row, bool onStrip)
{
    connect(row, &BandMapRow::spotPressed, this,
            [this, onStrip](int slot, Qt::MouseButton button) { pressed(onStrip, slot, button); });
    if (!onStrip)
        return;
    connect(row, &BandMapRow::spotHovered, this, [this, row](int slot) { hovered(row, slot); });
    connect(row, &BandMapRow::backgroundClicked, this, &BandMaps::spottingWindowRequested);
    connect(row, &BandMapRow::backgroundDoubleClicked, this,
            [this, row] { showSpectrumMap(row->window()); });
}

void BandMaps::DisplayBandMapLabels()
{
    if (!m_strip || !m_strip->isVisible())
        return;
    const MapPicture picture = layout(m_store.read(), {kTenMetreRow}, m_clock.localNow(),
                                        m_utcOffset(), m_store.worked);
    m_strip->setPicture(picture.scales.first(), picture.spots);
}

void BandMaps::BandMapLabelDisplay()
{
    if (!m_window || !m_window->isVisible())
        return;
    m_window->setPicture(
        layout(m_store.read(), allRows(), m_clock.localNow(), m_utcOffset(), m_store.worked));
}

void BandMaps::spotsChanged()
{
    DisplayBandMapLabels();
    BandMapLabelDisplay();
}

void BandMaps::showSpectrumMap(QWidget *parent)
{
    // One window at a time: a double click inside the open window's parent must not stack a
    // second modal copy.
    if (m_window)
        return;
    SpectrumMap window(parent);
    m_window = &window;
    const QString error = formscale::relayout(&window, formscale::screenAreaOf(parent).work);
    if (!error.isEmpty())
        m_dialogs.message(&window, error, QString::fromLatin1(formscale::kErrorTitle),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    for (BandMapRow *row : window.rows())
        connectRow(row, false);
    connect(&window, &SpectrumMap::activated, this, &BandMaps::BandMapLabelDisplay);
    window.exec();
    m_window = nullptr;
}

void BandMaps::pressed(bool onStrip, int slot, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        const QList<Spot> spots = m_store.read();
        if (slot < 0 || slot >= spots.size())
            return;
        emit tuneRequested(spots[slot].hz);
        if (onStrip)
            emit callPicked(spots[slot].call);
        return;
    }
    m_store.remove(slot);
    spotsChanged();
}

bool BandMaps::step(int direction)
{
    const QList<Spot> spots = m_store.read();
    QList<int> shown;  // the strip's spots, low to high
    if (m_strip) {
        for (const PlacedSpot &p : m_strip->spots())
            if (p.slot >= 0 && p.slot < spots.size() && spots[p.slot].hz > 0)
                shown << p.slot;
    }
    if (shown.isEmpty())
        return false;
    std::sort(shown.begin(), shown.end(), [&spots](int a, int b) { return spots[a].hz < spots[b].hz; });
    qsizetype at = shown.indexOf(m_stepped);
    if (at < 0)
        at = direction > 0 ? 0 : shown.size() - 1;
    else
        at = std::clamp<qsizetype>(at + (direction > 0 ? 1 : -1), 0, shown.size() - 1);
    m_stepped = shown[at];
    for (const PlacedSpot &p : m_strip->spots()) {
        if (p.slot == m_stepped) {
            emit spotHovered(p.text);
            emit spotStepped(p.worked ? p.text + QStringLiteral(", worked") : p.text);
        }
    }
    return true;
}

bool BandMaps::pickStepped()
{
    const QList<Spot> spots = m_store.read();
    int slot = m_stepped >= 0 && m_stepped < spots.size() && spots[m_stepped].hz > 0 ? m_stepped : -1;
    if (slot < 0) {
        // The newest spot: the highest slot still shown.
        for (int i = int(spots.size()) - 1; i >= 0 && slot < 0; --i)
            if (spots[i].hz > 0)
                slot = i;
    }
    if (slot < 0)
        return false;
    m_stepped = -1;
    pressed(true, slot, Qt::RightButton);
    return true;
}

void BandMaps::hovered(BandMapRow *row, int slot)
{
    for (const PlacedSpot &s : row->spots()) {
        if (s.slot == slot) {
            emit spotHovered(s.text);
            return;
        }
    }
}
