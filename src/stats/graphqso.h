#pragma once
#include "stats/qsograph.h"

#include <QDialog>
#include <QList>
#include <QWidget>

class Dialogs;
class LogStore;
class QLabel;
class QPushButton;
struct QsoRecord;

// The plot surface under the axis labels: background, grid, axes, the rate line and the
// activity strip. Geometry comes from the window so labels and lines agree.
class QsoGraphCanvas : public QWidget {
    Q_OBJECT
public:
    explicit QsoGraphCanvas(QWidget *parent = nullptr);
    void setGraph(const QsoGraph *graph) { m_graph = graph; update(); }
    void setColours(const QColor &background, const QColor &foreground);
    void setFrames(const QRectF &plot, const QRectF &strip);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    const QsoGraph *m_graph = nullptr;
    QColor m_background = Qt::black, m_foreground = Qt::white;
    QRectF m_plot, m_strip;
};

// `GraphQSO`: the activity graph, the hourly rate over the whole contest. Fills the desktop work
// area; `Command1` switches between a black and a white background.
class GraphQSO : public QDialog {
    Q_OBJECT
public:
    static inline const QString kTitle =
        QStringLiteral(" Activity Graph - QSOs per Hour Rate   (# QSOs over 10 minutes X 6)");
    static inline const QString kTooFewText = QStringLiteral(
        "The graph will not display with less than 7 contacts.  The graph becomes more meaningful "
        "as several hours of contest logging are accumulated.");
    static inline const QString kTooFewTitle = QStringLiteral("Not Enough Contacts to Graph.");

    GraphQSO(const QList<QsoRecord> &records, Dialogs &dialogs, QWidget *parent = nullptr);

    void fitToWorkArea();
    // Rebuilds the arrays from the log and redraws; with too few contacts says so and draws
    // nothing.
    void drawGraph();
    bool blackBackground() const { return m_black; }
    const QsoGraph &graph() const { return m_graph; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void toggleBackground();
    void applyColours();
    void layoutControls();

    const QList<QsoRecord> &m_records;
    Dialogs &m_dialogs;
    QsoGraph m_graph;
    bool m_black = true;
    QsoGraphCanvas *m_canvas;
    QPushButton *m_command1;
    QLabel *m_utcCaption;
    QList<QLabel *> m_lblTime, m_lblDate, m_lblY;
};

// Opens the graph modally over `parent` and returns when the operator closes it.
void showQsoGraph(QWidget *parent, const LogStore &log, Dialogs &dialogs);
