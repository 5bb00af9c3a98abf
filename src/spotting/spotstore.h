#pragma once
#include "spotting/spotline.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

class Clock;
class PrefixTable;

// The last 50 spots regardless of band, for the band maps, and the DX list of the main window.
// 52 slots; slots 0 to 49 are used, the newest spot in slot 49 and the oldest in slot 0. A
// frequency of 0 marks a spot the band maps no longer show.
//
// Thread contract: GUI thread only; signals are emitted synchronously from BandMapSpots.
class SpotStore : public QObject {
    Q_OBJECT

public:
    static constexpr int kSlots = 52;
    static constexpr int kNewest = 49;
    static constexpr int kMaxListRows = 200;

    // `ownCall` answers the station's own call when a spot arrives.
    SpotStore(const Clock &clock, const PrefixTable &prefixes,
              std::function<QString()> ownCall, QObject *parent = nullptr);

    const Spot &slot(int i) const { return m_slots[size_t(i)]; }
    // Slots 0 to kNewest, oldest first, as the band maps read them.
    QList<Spot> mapSpots() const;
    // The band maps no longer show the slot's spot (it stays in the DX list).
    void hide(int slot);

    // Spots outside 10 m stay out of the band maps' slots, so a busy 20 m cannot push the
    // contest band off the maps; they still go into the DX list.
    void setContestBandOnly(bool on) { m_contestBandOnly = on; }
    bool contestBandOnly() const { return m_contestBandOnly; }

    // The DX list, newest row first, at most kMaxListRows rows.
    const QList<DxListRow> &dxList() const { return m_dxList; }

    // Takes one spot: the own-call alert, then (for a numeric frequency) the store and the DX
    // list. Returns false when nothing was stored.
    bool BandMapSpots(const SpotLine &line);
    // The same from the line's parts: `record` is the spot line without its leading "DX ".
    bool BandMapSpots(const QString &call, const QString &frequencyKHz, const QString &record)
    {
        return BandMapSpots(makeSpotLine(call, frequencyKHz, record));
    }

signals:
    // The station's own call was spotted; `record` is the spot record as received.
    void ownCallSpotted(const QString &record);
    // A spot went into slot kNewest (and possibly hid an older one): band maps redraw.
    void spotsChanged();
    // A row went on top of the DX list (the list already dropped its 201st row).
    void dxRowAdded(const DxListRow &row);

private:
    void addListRow(const Spot &spot, const QString &record);

    const Clock &m_clock;
    const PrefixTable &m_prefixes;
    std::function<QString()> m_ownCall;
    std::array<Spot, kSlots> m_slots;
    QList<DxListRow> m_dxList;
    bool m_contestBandOnly = false;
};
