#pragma once
#include <QList>
#include <QPointer>
#include <QWidget>

class BandMaps;

// The foot of the main window while a spot source is chosen: the DX list or the 10 m strip,
// below the other controls, which give up a tenth of their height to make room.
//
// Thread contract: GUI thread only.
class SpotPanel {
public:
    enum class Display { List, BandMap };

    // `client` is the main window's client area; the strip is made there by `maps`.
    SpotPanel(QWidget *client, BandMaps &maps);

    // The DX list, once the spotting side has made it (it may come after the panel).
    void setList(QWidget *list);

    // Shows the list or the strip as chosen, or, with no source, gives the window its room back.
    void PacketResize(bool sourceIsNone, Display display);

    bool listShowing() const { return m_list && !m_list->isHidden(); }
    bool stripShowing() const;
    // True while the other controls are shrunk to make room.
    bool roomTaken() const { return m_roomTaken; }

    static constexpr double kShrink = 0.9;

private:
    void scaleOthers(double factor);
    void place();

    QWidget *m_client;
    BandMaps &m_maps;
    QPointer<QWidget> m_list;
    bool m_roomTaken = false;
};
