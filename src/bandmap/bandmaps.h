#pragma once
#include "bandmap/bandscale.h"

#include <QObject>
#include <QPointer>

#include <functional>

class BandMapRow;
class Clock;
class Dialogs;
class SpectrumMap;
class SpotStore;
class QWidget;

// The two band maps and what the operator does with them: the 10 m strip `lblDX` at the foot
// of the main window and the " HF Spectrum Map" window. Both draw the same spot store through
// bandmap::layout, so they always agree. The store itself is reached through two functions so
// the maps need not know how it is kept.
//
// Thread contract: GUI thread only.
class BandMaps : public QObject {
    Q_OBJECT

public:
    struct Store {
        std::function<QList<Spot>()> read;  // slot 0 the oldest, 49 the newest
        std::function<void(int slot)> remove;           // sets the slot's frequency to 0
        std::function<bool(const QString &call)> worked;  // in the log; may be empty
    };

    // The main window's spot store, slots 0 to 49.
    static Store storeOf(SpotStore &spots);

    // `utcOffset` gives the station's current offset in hours for the times shown.
    BandMaps(Clock &clock, Dialogs &dialogs, Store store, std::function<float()> utcOffset,
             QObject *parent = nullptr);
    ~BandMaps() override;

    // The strip, made once as a child of `parent` (the main window's client area), hidden
    // until a spot source is chosen.
    BandMapRow *strip(QWidget *parent);
    BandMapRow *strip() const;
    // The band map window while it is open, else null.
    SpectrumMap *spectrumMap() const;

    // Redraws the strip; nothing while it is hidden.
    void DisplayBandMapLabels();
    // Redraws the band map window when it is open.
    void BandMapLabelDisplay();
    // After a new spot: both maps.
    void spotsChanged();

    // Opens the band map window modally over `parent` and closes it for good afterwards.
    void showSpectrumMap(QWidget *parent);

    // The keyboard's way to the strip: steps to the next spot up (+1) or down (-1) the band
    // among those the strip shows, saying it as the mouse's hover does; false when there are
    // none. pickStepped() then does what the right button does on it (tune, call into the entry
    // line); with nothing stepped to, it takes the newest spot.
    bool step(int direction);
    bool pickStepped();

signals:
    // Right button on a strip label: the spotted call for the entry line.
    void callPicked(const QString &call);
    // Right button on a spot on either map: its frequency, for a rig to tune to.
    void tuneRequested(qint64 hz);
    // The mouse is over a label: call, frequency and time for the partial-dupe line.
    void spotHovered(const QString &text);
    // A click on the strip's background.
    void spottingWindowRequested();
    // The keyboard stepped to a spot: its text, to be announced.
    void spotStepped(const QString &text);

private:
    void pressed(bool onStrip, int slot, Qt::MouseButton button);
    void hovered(BandMapRow *row, int slot);
    void connectRow(BandMapRow *row, bool onStrip);

    Clock &m_clock;
    Dialogs &m_dialogs;
    Store m_store;
    std::function<float()> m_utcOffset;
    QPointer<BandMapRow> m_strip;
    QPointer<SpectrumMap> m_window;
    int m_stepped = -1;  // the slot the keyboard stepped to; -1: none
};
