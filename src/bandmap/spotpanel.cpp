#include "bandmap/spotpanel.h"

#include "bandmap/bandmaprow.h"
#include "bandmap/bandmaps.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>

#include <cmath>
#include <functional>

namespace {
int r(double v) { return int(std::lround(v)); }

// Panels, frames and the program's composite widgets (the entry line) are squeezed with what
// they hold; list views, editors, buttons and labels are single controls whose insides Qt lays
// out. The same split as the form scaler's.
bool holdsControls(QWidget *w)
{
    return !(qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
             || qobject_cast<QAbstractScrollArea *>(w) || qobject_cast<QAbstractSpinBox *>(w)
             || qobject_cast<QAbstractSlider *>(w) || qobject_cast<QProgressBar *>(w)
             || qobject_cast<QLabel *>(w) || qobject_cast<QComboBox *>(w));
}
}  // namespace

SpotPanel::SpotPanel(QWidget *client, BandMaps &maps) : m_client(client), m_maps(maps)
{
    maps.strip(client);
}

void SpotPanel::setList(QWidget *list)
{
    m_list = list;
    if (!list)
        return;
    if (m_roomTaken) {
        list->setGeometry(m_maps.strip()->geometry());
    } else {
        list->hide();
    }
}

bool SpotPanel::stripShowing() const
{
    return m_maps.strip() && !m_maps.strip()->isHidden();
}

void SpotPanel::scaleOthers(double factor)
{
    std::function<void(QWidget *)> squeeze = [&](QWidget *parent) {
        if (parent->layout())
            return;
        for (QObject *o : parent->children()) {
            auto *w = qobject_cast<QWidget *>(o);
            if (!w || w->isWindow() || w == m_list || w == m_maps.strip())
                continue;
            const QRect g = w->geometry();
            w->setGeometry(g.x(), r(g.y() * factor), g.width(), r(g.height() * factor));
            if (holdsControls(w))
                squeeze(w);
        }
    };
    squeeze(m_client);
}

void SpotPanel::place()
{
    int lowest = 0;
    for (QObject *o : m_client->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && !w->isWindow() && w != m_list && w != m_maps.strip())
            lowest = std::max(lowest, w->geometry().bottom() + 1);
    }
    const int width = m_client->width();
    const int top = lowest + r(0.004 * m_client->height());
    const QRect area(r(0.01 * width), top, r(0.97 * width),
                     std::max(m_client->height() - top - r(0.004 * m_client->height()), 1));
    m_maps.strip()->setGeometry(area);
    if (m_list)
        m_list->setGeometry(area);
}

void SpotPanel::PacketResize(bool sourceIsNone, Display display)
{
    BandMapRow *strip = m_maps.strip();
    const bool band = display == Display::BandMap;
    if (sourceIsNone) {
        if (m_roomTaken) {
            scaleOthers(1 / kShrink);
            m_roomTaken = false;
        }
        strip->hide();
        if (m_list)
            m_list->hide();
        return;
    }
    if (!m_roomTaken) {
        scaleOthers(kShrink);
        m_roomTaken = true;
        place();
    }
    if (m_list)
        m_list->setVisible(!band);
    strip->setVisible(band);
    if (band)
        m_maps.DisplayBandMapLabels();
}
