#pragma once
#include "bandmap/spotpanel.h"

#include <QObject>

class BandMaps;
class Form1;
class SpotStore;

// Puts the band maps into the main window: the strip at its foot, Ctrl+B and
// Options > DX Spotting > View Spectrum Map for the band map window, a spot picked into the
// entry line (through the call field's leave step: dupe check and lookup), the hover line in
// lblDupe and a redraw on every new spot and activation.
//
// Thread contract: GUI thread only.
class BandMapWiring : public QObject {
    Q_OBJECT

public:
    BandMapWiring(Form1 &form, SpotStore &spots);

    BandMaps &maps() { return *m_maps; }

    // The spotting window's "&Done": the DX list or the strip as chosen in "Main Form Display",
    // or the window's room back when the source is "None".
    void PacketResize(bool sourceIsNone, SpotPanel::Display display);
    SpotPanel &panel() { return m_panel; }

signals:
    // A click on the strip: the spotting window should show.
    void spottingWindowRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addMenuItem();

    Form1 &m_form;
    BandMaps *m_maps;
    SpotPanel m_panel;
};
