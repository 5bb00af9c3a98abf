#include "spotting/spotstore.h"

#include "core/contestband.h"
#include "platform/clock.h"

SpotStore::SpotStore(const Clock &clock, const PrefixTable &prefixes,
                     std::function<QString()> ownCall, QObject *parent)
    : QObject(parent), m_clock(clock), m_prefixes(prefixes), m_ownCall(std::move(ownCall))
{
}

QList<Spot> SpotStore::mapSpots() const
{
    return QList<Spot>(m_slots.begin(), m_slots.begin() + kNewest + 1);
}

void SpotStore::hide(int slot)
{
    if (slot >= 0 && slot <= kNewest)
        m_slots[size_t(slot)].hz = 0;
}

bool SpotStore::BandMapSpots(const SpotLine &line)
{
    const QString &call = line.spot.call;
    // The alert comes first: a spot of the own call matters even when its frequency is garbled.
    const QString own = m_ownCall ? m_ownCall().trimmed() : QString();
    if (!own.isEmpty() && call.compare(own, Qt::CaseInsensitive) == 0)
        emit ownCallSpotted(line.record);
    if (!line.hasFrequency)
        return false;
    qsizetype end = 0;
    while (end < line.record.size() && line.record.at(end) != u'\r' && line.record.at(end) != u'\n')
        ++end;
    const QString shortRecord = line.record.left(end);
    Spot arrived = line.spot;
    arrived.time = m_clock.localNow();
    if (m_contestBandOnly && !contestband::contains(arrived.hz)) {
        addListRow(arrived, shortRecord);
        return true;
    }

    std::move(m_slots.begin() + 1, m_slots.begin() + kNewest + 1, m_slots.begin());
    m_slots[kNewest] = arrived;

    // An earlier spot of the same station leaves the band maps; the oldest slot is not looked
    // at, as the band maps have always done.
    for (int i = kNewest - 1; i >= 1; --i) {
        if (m_slots[size_t(i)].call.compare(call, Qt::CaseInsensitive) == 0) {
            m_slots[size_t(i)].hz = 0;
            break;
        }
    }
    emit spotsChanged();
    addListRow(arrived, shortRecord);
    return true;
}

void SpotStore::addListRow(const Spot &spot, const QString &record)
{
    const DxListRow row = makeDxListRow(spot, SpotCountry(m_prefixes, spot.call), record);
    if (m_dxList.size() >= kMaxListRows)
        m_dxList.resize(kMaxListRows - 1);
    m_dxList.prepend(row);
    emit dxRowAdded(row);
}
