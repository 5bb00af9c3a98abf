#include "bandmap/bandmaprow.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "ui/plaintext.h"

#include <cmath>

using namespace bandmap;

namespace {
const QColor kNavy(0, 0, 128);
// The scale texts keep this far under the line, as a share of the top window's height.
constexpr double kScaleGap = 0.004;
}  // namespace

BandMapRow::BandMapRow(double spotGapOfWindow, QWidget *parent)
    : QWidget(parent), m_spotGap(spotGapOfWindow)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scale = zoomScale(kRows[kTenMetreRow], {});
}

QColor BandMapRow::ageColour(Age age)
{
    switch (age) {
    case Age::Fresh:
        return QColor(255, 255, 128);
    case Age::Old:
        return QColor(192, 192, 192);
    case Age::Recent:
    case Age::Expired:
        break;
    }
    return Qt::white;
}

QColor BandMapRow::workedColour()
{
    return QColor(128, 128, 128);
}

void BandMapRow::setPicture(const Scale &scale, const QList<PlacedSpot> &spots)
{
    m_scale = scale;
    m_spots = spots;
    // What a screen reader reads of a drawn map: each spot's call, frequency and time, low to
    // high; the name says what the map is.
    QStringList said;
    for (const PlacedSpot &s : spots)
        said << (s.worked ? s.text + QStringLiteral(" (worked)") : s.text);
    const QString description = said.isEmpty() ? QStringLiteral("no spots") : said.join(QStringLiteral("; "));
    if (accessibleDescription() != description)
        setAccessibleDescription(description);
    update();
}

int BandMapRow::windowGap(double share) const
{
    return int(std::lround(share * window()->height()));
}

// The scale texts at both ends are centred on the line's ends, so the line keeps half a text's
// width from the edges and every text stays inside the band.
int BandMapRow::margin() const
{
    return fontMetrics().horizontalAdvance(QStringLiteral("000.000")) / 2 + 2;
}

QLine BandMapRow::line() const
{
    const int y = height() / 2;
    return QLine(margin(), y, width() - margin(), y);
}

BandMapRow::Frame BandMapRow::frame() const
{
    const QFontMetrics fm = fontMetrics();
    const QLine l = line();
    return {l, fm.height(), fm.ascent(), windowGap(m_spotGap)};
}

QRect BandMapRow::labelRect(const PlacedSpot &spot, const Frame &f) const
{
    const int w = fontMetrics().horizontalAdvance(spot.caption) + 4;
    const int centre = f.line.x1() + int(std::lround(spot.fraction * (f.line.x2() - f.line.x1())));
    return QRect(centre - w / 2, f.line.y1() - f.textHeight - f.spotGap, w, f.textHeight);
}

QRect BandMapRow::spotRect(int slot) const
{
    for (const PlacedSpot &s : m_spots) {
        if (s.slot == slot)
            return labelRect(s, frame());
    }
    return QRect();
}

int BandMapRow::slotAt(const QPoint &pos) const
{
    const Frame f = frame();
    for (qsizetype i = m_spots.size() - 1; i >= 0; --i) {
        if (labelRect(m_spots[i], f).contains(pos))
            return m_spots[i].slot;
    }
    return -1;
}

void BandMapRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kNavy);
    const Frame f = frame();
    const QFontMetrics fm = fontMetrics();
    p.setPen(Qt::white);
    p.drawLine(f.line);
    const int scaleBaseline = f.line.y1() + windowGap(kScaleGap) + f.ascent;
    for (int i = 0; i < 5; ++i) {
        const QString &t = m_scale.texts[size_t(i)];
        const int x = f.line.x1() + (f.line.x2() - f.line.x1()) * i / 4 - fm.horizontalAdvance(t) / 2;
        p.drawText(QPoint(x, scaleBaseline), t);
    }
    // Oldest first, so the newest label is on top where labels overlap.
    QFont struck = font();
    struck.setStrikeOut(true);
    for (const PlacedSpot &s : m_spots) {
        p.setPen(s.worked ? workedColour() : ageColour(s.age));
        p.setFont(s.worked ? struck : font());
        const QRect r = labelRect(s, f);
        p.drawText(QPoint(r.left() + 2, r.top() + f.ascent), s.caption);
    }
}

void BandMapRow::mousePressEvent(QMouseEvent *event)
{
    const int slot = slotAt(event->position().toPoint());
    m_pressOnBackground = slot < 0;
    m_lastPressOnBackground = m_pressOnBackground;
    if (slot >= 0)
        emit spotPressed(slot, event->button());
}

void BandMapRow::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pressOnBackground && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint()))
        emit backgroundClicked();
    m_pressOnBackground = false;
}

void BandMapRow::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int slot = slotAt(event->position().toPoint());
    if (slot >= 0) {
        // A quick second press on a label is one more press, not a double click.
        emit spotPressed(slot, event->button());
        return;
    }
    // Two quick clicks that first removed a label are not a double click on the band.
    const bool background = m_lastPressOnBackground;
    m_pressOnBackground = false;  // the release that follows is not another click
    if (background && event->button() == Qt::LeftButton)
        emit backgroundDoubleClicked();
}

void BandMapRow::mouseMoveEvent(QMouseEvent *event)
{
    const int slot = slotAt(event->position().toPoint());
    if (slot >= 0)
        emit spotHovered(slot);
}

bool BandMapRow::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int slot = slotAt(help->pos());
        for (const PlacedSpot &s : m_spots) {
            if (s.slot == slot) {
                QToolTip::showText(help->globalPos(), plainToolTip(s.text), this, spotRect(slot));
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}
