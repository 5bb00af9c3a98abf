#pragma once
#include "bandmap/bandscale.h"

#include <QColor>
#include <QWidget>

// One band row as the operator sees it: a navy band crossed by a white line, the five scale
// texts under the line and the spot prefixes above it at their frequencies, coloured by age.
// The main window's strip is one of these; the band map window stacks eleven. The row paints
// what it is given and reports what the mouse does; the band-map controller decides the rest.
//
// Thread contract: GUI thread only.
class BandMapRow : public QWidget {
    Q_OBJECT

public:
    // `spotGapOfWindow`: the gap between the line and the spot labels as a share of the top
    // window's height (the strip keeps 0.004 of the main window; the window's rows none).
    explicit BandMapRow(double spotGapOfWindow, QWidget *parent = nullptr);

    void setPicture(const bandmap::Scale &scale, const QList<bandmap::PlacedSpot> &spots);

    // What is drawn, for the controller and for tests that click like an operator.
    const bandmap::Scale &scale() const { return m_scale; }
    const QList<bandmap::PlacedSpot> &spots() const { return m_spots; }
    // The label of a store slot in widget coordinates; empty when the slot is not drawn.
    QRect spotRect(int slot) const;
    // The topmost label under `pos` (the newest wins), or -1.
    int slotAt(const QPoint &pos) const;
    QLine line() const;

    static QColor ageColour(bandmap::Age age);
    // A station already worked: grey and struck through, whatever its age.
    static QColor workedColour();

signals:
    void spotPressed(int slot, Qt::MouseButton button);
    void spotHovered(int slot);
    void backgroundClicked();
    void backgroundDoubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    // What every label's place depends on, worked out once per paint or hit test.
    struct Frame {
        QLine line;
        int textHeight;
        int ascent;
        int spotGap;
    };
    Frame frame() const;
    QRect labelRect(const bandmap::PlacedSpot &spot, const Frame &f) const;
    int margin() const;
    int windowGap(double share) const;

    double m_spotGap;
    bandmap::Scale m_scale;
    QList<bandmap::PlacedSpot> m_spots;
    bool m_pressOnBackground = false;      // this press, for the click on release
    bool m_lastPressOnBackground = false;  // the press before a double click
};
