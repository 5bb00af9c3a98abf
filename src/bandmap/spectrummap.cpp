#include "bandmap/spectrummap.h"

#include "bandmap/bandmaprow.h"
#include "ui/formscaler.h"

#include <QShowEvent>

namespace {
constexpr int twips(int t) { return formscale::px(t); }
constexpr int kRowTop = 60;
constexpr int kRowPitch = 640;
constexpr int kRowHeight = 580;
}  // namespace

SpectrumMap::SpectrumMap(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SpectrumMap"));
    setWindowTitle(QString::fromLatin1(kCaption));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    setFont(font);
    // Laid out for the 9600 x 7200 twip design screen; the opener stretches it to the work area.
    resize(twips(9600), twips(7200));
    for (int b = 0; b < int(bandmap::kRows.size()); ++b) {
        auto *row = new BandMapRow(0, this);
        row->setObjectName(QStringLiteral("lblHFSpots_%1").arg(b));
        row->setToolTip(QString::fromLatin1(bandmap::kRows[size_t(b)].name));
        row->setAccessibleName(QString::fromLatin1(bandmap::kRows[size_t(b)].name) + QStringLiteral(" band map"));
        row->setGeometry(twips(100), twips(kRowTop + b * kRowPitch), twips(9400), twips(kRowHeight));
        m_rows.append(row);
    }
}

void SpectrumMap::setPicture(const bandmap::MapPicture &picture)
{
    for (int i = 0; i < picture.rows.size(); ++i) {
        const int b = picture.rows[i];
        QList<bandmap::PlacedSpot> spots;
        for (const bandmap::PlacedSpot &s : picture.spots) {
            if (s.row == b)
                spots.append(s);
        }
        m_rows[b]->setPicture(picture.scales[i], spots);
    }
}

void SpectrumMap::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    emit activated();
}
