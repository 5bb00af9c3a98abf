#pragma once
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>

struct QsoRecord;

// The arithmetic behind the activity graph: the hourly rate (contacts in the trailing ten
// minutes x 6) sampled at 1500 points across the contest, short gaps bridged by ramps, a
// seven-point running average, the value range and the axis label texts. No drawing here.
//
// Choices where the plain rule has no answer:
// - Records are placed by their time stamps: they are ordered by time (stably) before the
//   arithmetic, so a contact typed in later with an earlier time lands where it happened instead
//   of cutting the ten-minute count short or falling off the axis. A log in time order is
//   unaffected. Records whose date or time cannot be read are left out.
// - Span 0 (every contact in one second): all of them sit on point 1, the rest of the line is 0
//   and every time label shows that one moment; no division by the zero span.
// - A constant rate (maximum = minimum): the scale is widened to 6 either side of the value
//   (not below 0), so the line runs flat through the middle instead of dividing by zero.
class QsoGraph {
public:
    static constexpr int kPoints = 1500;      // points 1..kPoints are plotted
    static constexpr int kArraySize = 1601;   // indexes 0..1600
    static constexpr int kMinContacts = 7;
    static constexpr int kTimeLabels = 15;
    static constexpr int kRateLabels = 17;
    static constexpr int kRateWindowSeconds = 600;
    static constexpr int kLongestBridge = 15;  // a pause longer than this many points drops to 0
    static constexpr int kAveragePoints = 7;

    // False (and nothing to plot) with fewer than kMinContacts readable contacts.
    bool build(const QList<QsoRecord> &records);
    bool build(QList<QDateTime> times);

    bool isReady() const { return m_ready; }
    int contactCount() const { return m_contacts; }
    QDateTime start() const { return m_start; }
    qint64 spanSeconds() const { return m_span; }
    double secondsPerPoint() const { return m_span / double(kPoints); }

    float raw(int point) const { return m_raw.at(point); }
    float smoothed(int point) const { return m_smoothed.at(point); }
    // Lowest and highest smoothed value over points 1..kPoints (zeros included).
    float dataMinimum() const { return m_dataMin; }
    float dataMaximum() const { return m_dataMax; }
    // The range the vertical scale spans; differs from the data range only for a constant rate.
    float scaleMinimum() const { return m_scaleMin; }
    float scaleMaximum() const { return m_scaleMax; }

    QString timeLabel(int k) const;   // "hh:mm" of start + k x span / 14
    QString dateLabel(int k) const;   // "MM/DD" of the same moment
    QString rateLabel(int k, const QLocale &locale = QLocale::system()) const;  // "###0.0"

    // Where value v sits in a plot frame: x of `point`, y lifted 0.25 % off the bottom and
    // scaled to 99.5 % of the height.
    QPointF plotPoint(int point, const QRectF &frame) const;
    // The activity strip covers the step ending at `point` when either end is above 0.
    bool activeStep(int point) const;

private:
    bool m_ready = false;
    int m_contacts = 0;
    QDateTime m_start;
    qint64 m_span = 0;
    std::array<float, kArraySize> m_raw{};
    std::array<float, kArraySize> m_smoothed{};
    float m_dataMin = 0, m_dataMax = 0, m_scaleMin = 0, m_scaleMax = 1;
};
