#include "spotting/spotstore.h"

#include "core/fieldfile.h"
#include "platform/clock.h"

SpotStore::SpotStore(const Clock &clock, const PrefixTable &prefixes,
                     std::function<QString()> ownCall, QObject *parent)
    : QObject(parent), m_clock(clock), m_prefixes(prefixes), m_ownCall(std::move(ownCall))
{
}

bool SpotStore::BandMapSpots(const QString &call, const QString &frequencyKHz,
                             const QString &record)
{
    // The alert comes first: a spot of the own call matters even when its frequency is garbled.
    const QString own = m_ownCall ? m_ownCall().trimmed() : QString();
    if (!own.isEmpty() && call.compare(own, Qt::CaseInsensitive) == 0)
        emit ownCallSpotted(record);

    double kHz = 0;
    if (!fieldfile::parseNumber(frequencyKHz, kHz))
        return false;
    const qsizetype cr = record.indexOf(u'\r');
    const QString shortRecord = cr >= 0 ? record.left(cr) : record;
    const float mhz = float(kHz / 1000.0);

    for (int i = 1; i <= kNewest; ++i) {
        DXSpotCall[i - 1] = DXSpotCall[i];
        DXSpotFreq[i - 1] = DXSpotFreq[i];
        DXSpotTime[i - 1] = DXSpotTime[i];
        DXSpotPrefix[i - 1] = DXSpotPrefix[i];
    }
    DXSpotCall[kNewest] = call;
    DXSpotFreq[kNewest] = mhz;
    DXSpotTime[kNewest] = m_clock.localNow();
    DXSpotPrefix[kNewest] = CallPrefix(call);

    // An earlier spot of the same station leaves the band maps; the oldest slot is not looked
    // at, as the band maps have always done.
    for (int i = kNewest - 1; i >= 1; --i) {
        if (DXSpotCall[i].compare(call, Qt::CaseInsensitive) == 0) {
            DXSpotFreq[i] = 0;
            break;
        }
    }
    emit spotsChanged();

    const DxListRow row = makeDxListRow(call, mhz, SpotCountry(m_prefixes, call), shortRecord);
    if (m_dxList.size() >= kMaxListRows)
        m_dxList.resize(kMaxListRows - 1);
    m_dxList.prepend(row);
    emit dxRowAdded(row);
    return true;
}
