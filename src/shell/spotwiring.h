#pragma once
#include "shell/mainwindow.h"

#include <QObject>
#include <QPointer>

class BandMapWiring;
class DxListView;
class PacketSpotfrm;
class SpotSession;
class SpotStore;

// Puts DX spotting into the main window: the spot store, the spotting session (built here, so
// it outlives its window), the DX list txtDX, the band maps, the Options > DX Spotting menu,
// Ctrl+D and the own-call alert. The spotting window, a view of the session, is made on first
// use.
//
// Thread contract: GUI thread only.
class SpotWiring : public QObject {
    Q_OBJECT

public:
    SpotWiring(Form1 &form, const Form1Services &services);
    ~SpotWiring() override;

    SpotStore &store() { return *m_store; }
    SpotSession &session() { return *m_session; }
    BandMapWiring &bandMaps() { return *m_bandMaps; }
    DxListView &dxList() { return *m_list; }

    // Shows the spotting window, making it (and so loading its settings) the first time.
    void showWindow();

private:
    // The spotting window's Done: the list or the strip at the foot of the main window.
    void PacketResize();

    Form1 &m_form;
    Form1Services m_services;
    SpotStore *m_store;
    SpotSession *m_session;
    DxListView *m_list;
    BandMapWiring *m_bandMaps;
    QPointer<PacketSpotfrm> m_window;
};
