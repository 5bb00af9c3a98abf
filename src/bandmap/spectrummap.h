#pragma once
#include "bandmap/bandscale.h"

#include <QDialog>
#include <QList>

class BandMapRow;

// The band map window: eleven band rows from 160 m to 2 m, each drawn like the main window's
// strip. Made for one opening and deleted when it closes.
class SpectrumMap : public QDialog {
    Q_OBJECT

public:
    static constexpr const char *kCaption = " HF Spectrum Map";

    explicit SpectrumMap(QWidget *parent = nullptr);

    // Row b shows bandmap::kRows[b]; its objectName is "lblHFSpots_<b>".
    const QList<BandMapRow *> &rows() const { return m_rows; }
    void setPicture(const bandmap::MapPicture &picture);

signals:
    // Shown (the window's activation): time to redraw from the store.
    void activated();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QList<BandMapRow *> m_rows;
};
