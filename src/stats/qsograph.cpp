#include "stats/qsograph.h"

#include "core/qsorecord.h"
#include "stats/contacttime.h"

#include <algorithm>
#include <cmath>

bool QsoGraph::build(const QList<QsoRecord> &records)
{
    QList<QDateTime> times;
    times.reserve(records.size());
    for (const QsoRecord &r : records) {
        const QDateTime t = contactTime(r);
        if (t.isValid())
            times.append(t);
    }
    return build(std::move(times));
}

bool QsoGraph::build(QList<QDateTime> times)
{
    m_raw.fill(0);
    m_smoothed.fill(0);
    m_ready = false;
    m_contacts = int(times.size());
    m_dataMin = 100000;
    m_dataMax = -1;
    if (m_contacts < kMinContacts)
        return false;

    std::stable_sort(times.begin(), times.end());
    m_start = times.first();
    m_span = m_start.secsTo(times.last());

    QList<qint64> offsets;  // seconds from the first contact
    offsets.reserve(times.size());
    for (const QDateTime &t : times)
        offsets.append(m_start.secsTo(t));

    m_raw[1] = 6;
    m_smoothed[1] = 6;
    const double perPoint = secondsPerPoint();
    for (qsizetype i = 0; i < offsets.size(); ++i) {
        int n = 0;
        for (qsizetype j = i; j >= 0; --j) {
            if (offsets[i] - offsets[j] >= kRateWindowSeconds)
                break;
            ++n;
        }
        // Contacts within half a point of the first round to point 0, kept but not plotted. The
        // line itself starts at 6 (the first contact alone); a contact rounding onto point 1
        // changes only its raw value, which the ramps and the average read.
        int x = 1;
        if (i > 0 && perPoint > 0)
            x = int(std::nearbyint(double(offsets[i]) / perPoint));  // halves to even
        x = std::clamp(x, 0, kPoints);
        m_raw[x] = float(n * 6);
    }
    // With no span every contact sits on point 1, so the line starts at their combined rate.
    if (perPoint <= 0)
        m_smoothed[1] = m_raw[1];

    // Bridge pauses of up to kLongestBridge points with a straight ramp; longer ones stay at 0.
    for (int x = 2; x <= kPoints; ++x) {
        if (m_raw[x] != 0) {
            m_smoothed[x] = m_raw[x];
            continue;
        }
        const int last = std::min(x + kLongestBridge, kArraySize - 1);
        for (int k = x + 1; k <= last; ++k) {
            if (m_raw[k] > 0) {
                const float from = m_raw[x - 1];
                const float slope = (m_raw[k] - from) / float(k - x);
                for (int p = x; p < k; ++p) {
                    m_smoothed[p] = from + float(p - x) * slope;
                    m_raw[p] = m_smoothed[p];
                }
                break;
            }
        }
    }

    for (int x = kAveragePoints; x <= kPoints; ++x) {
        float sum = 0;
        int used = 0;
        for (int p = x - kAveragePoints + 1; p <= x; ++p) {
            if (m_raw[p] > 0) {
                sum += m_raw[p];
                ++used;
            }
        }
        if (used > 0)
            m_smoothed[x] = sum / float(used);
    }

    for (int x = 1; x <= kPoints; ++x) {
        m_dataMin = std::min(m_dataMin, m_smoothed[x]);
        m_dataMax = std::max(m_dataMax, m_smoothed[x]);
    }
    m_scaleMin = m_dataMin;
    m_scaleMax = m_dataMax;
    if (m_scaleMax <= m_scaleMin) {
        m_scaleMin = std::max(0.0f, m_dataMin - 6);
        m_scaleMax = m_dataMax + 6;
    }
    m_ready = true;
    return true;
}

QString QsoGraph::timeLabel(int k) const
{
    const QDateTime t = m_start.addSecs(std::llround(double(k) * double(m_span) / (kTimeLabels - 1)));
    return t.toString(QStringLiteral("hh:mm"));
}

QString QsoGraph::dateLabel(int k) const
{
    const QDateTime t = m_start.addSecs(std::llround(double(k) * double(m_span) / (kTimeLabels - 1)));
    return t.toString(QStringLiteral("MM/dd"));
}

QString QsoGraph::rateLabel(int k, const QLocale &locale) const
{
    const double v = m_scaleMin + double(k) * (m_scaleMax - m_scaleMin) / (kRateLabels - 1);
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(v, 'f', 1);
}

QPointF QsoGraph::plotPoint(int point, const QRectF &frame) const
{
    const double x = frame.left() + point * frame.width() / kPoints;
    const double v = m_smoothed.at(point);
    const double lift = (v - m_scaleMin) * (frame.height() / (m_scaleMax - m_scaleMin)) * 0.995
                        + frame.height() * 0.0025;
    return {x, frame.bottom() - lift};
}

bool QsoGraph::activeStep(int point) const
{
    if (point < 2 || point > kPoints)
        return false;
    return m_smoothed[point - 1] > 0 || m_smoothed[point] > 0;
}
