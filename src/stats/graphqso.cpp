#include "stats/graphqso.h"

#include "core/logstore.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

#include <cmath>

namespace {
const QColor kLineColour(30, 100, 255);
const QColor kStripColour(40, 170, 90);

QString buttonCaption(bool black)
{
    return black ? QStringLiteral("Black Background") : QStringLiteral("White Background");
}
}  // namespace

QsoGraphCanvas::QsoGraphCanvas(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picGraph"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void QsoGraphCanvas::setColours(const QColor &background, const QColor &foreground)
{
    m_background = background;
    m_foreground = foreground;
    update();
}

void QsoGraphCanvas::setFrames(const QRectF &plot, const QRectF &strip)
{
    m_plot = plot;
    m_strip = strip;
    update();
}

void QsoGraphCanvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_background);
    if (!m_graph || !m_graph->isReady() || m_plot.isEmpty())
        return;
    p.setRenderHint(QPainter::Antialiasing, true);

    // Faint grid at every label so a value can be read across the plot.
    QColor grid = m_foreground;
    grid.setAlpha(45);
    p.setPen(QPen(grid, 1, Qt::DotLine));
    for (int k = 1; k < QsoGraph::kRateLabels; ++k) {
        const double y = m_plot.bottom() - k * m_plot.height() / (QsoGraph::kRateLabels - 1);
        p.drawLine(QPointF(m_plot.left(), y), QPointF(m_plot.right(), y));
    }
    for (int k = 1; k < QsoGraph::kTimeLabels; ++k) {
        const double x = m_plot.left() + k * m_plot.width() / (QsoGraph::kTimeLabels - 1);
        p.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_strip.bottom()));
    }

    // Activity strip: filled over each step where the operator was logging.
    const double step = m_plot.width() / QsoGraph::kPoints;
    p.setPen(Qt::NoPen);
    for (int x = 2; x <= QsoGraph::kPoints; ++x) {
        if (!m_graph->activeStep(x))
            continue;
        int end = x;
        while (end < QsoGraph::kPoints && m_graph->activeStep(end + 1))
            ++end;
        const double left = m_plot.left() + (x - 1) * step;
        const double right = m_plot.left() + end * step;
        p.fillRect(QRectF(left, m_strip.top(), right - left, m_strip.height()), kStripColour);
        x = end;
    }
    p.setPen(QPen(m_foreground, 1));
    p.drawLine(QPointF(m_plot.left(), m_strip.top()), QPointF(m_plot.right(), m_strip.top()));
    p.drawLine(QPointF(m_plot.left(), m_strip.bottom()), QPointF(m_plot.right(), m_strip.bottom()));

    // The rate line, clipped to the frame.
    QPainterPath path(m_graph->plotPoint(1, m_plot));
    for (int x = 2; x <= QsoGraph::kPoints; ++x)
        path.lineTo(m_graph->plotPoint(x, m_plot));
    p.save();
    p.setClipRect(m_plot.adjusted(-1, -2, 1, 1));
    p.setPen(QPen(kLineColour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();

    // Axes last so the line never covers them.
    p.setPen(QPen(m_foreground, 2));
    p.drawLine(m_plot.bottomLeft(), m_plot.topLeft());
    p.drawLine(m_plot.bottomLeft(), m_plot.bottomRight());
    p.setPen(QPen(m_foreground, 1));
    for (int k = 0; k < QsoGraph::kRateLabels; ++k) {
        const double y = m_plot.bottom() - k * m_plot.height() / (QsoGraph::kRateLabels - 1);
        p.drawLine(QPointF(m_plot.left() - 5, y), QPointF(m_plot.left(), y));
    }
    for (int k = 0; k < QsoGraph::kTimeLabels; ++k) {
        const double x = m_plot.left() + k * m_plot.width() / (QsoGraph::kTimeLabels - 1);
        p.drawLine(QPointF(x, m_plot.bottom()), QPointF(x, m_plot.bottom() + 5));
    }
}

GraphQSO::GraphQSO(const QList<QsoRecord> &records, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_records(records), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("GraphQSO"));
    setWindowTitle(kTitle);
    setModal(true);
    m_canvas = new QsoGraphCanvas(this);
    m_canvas->setGraph(&m_graph);

    auto makeLabels = [this](const char *name, int count, Qt::Alignment align) {
        QList<QLabel *> labels;
        for (int k = 0; k < count; ++k) {
            auto *l = new QLabel(this);
            l->setTextFormat(Qt::PlainText);
            l->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(k));
            l->setAlignment(align);
            l->hide();
            labels.append(l);
        }
        return labels;
    };
    m_lblTime = makeLabels("lblTime", QsoGraph::kTimeLabels, Qt::AlignCenter);
    m_lblDate = makeLabels("lblDate", QsoGraph::kTimeLabels, Qt::AlignCenter);
    m_lblY = makeLabels("lblY", QsoGraph::kRateLabels, Qt::AlignRight | Qt::AlignVCenter);
    m_utcCaption = new QLabel(QStringLiteral("UTC"), this);
    m_utcCaption->setTextFormat(Qt::PlainText);
    m_utcCaption->setObjectName(QStringLiteral("lblUtc"));
    m_utcCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_utcCaption->hide();

    m_command1 = new QPushButton(buttonCaption(m_black), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setAutoDefault(false);
    connect(m_command1, &QPushButton::clicked, this, &GraphQSO::toggleBackground);

    resize(640, 480);  // design basis until fitted to the work area
    applyColours();
}

void GraphQSO::fitToWorkArea()
{
    // The graph is the one window that takes the work area rather than the whole screen.
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->availableGeometry());
}

void GraphQSO::drawGraph()
{
    if (!m_graph.build(m_records)) {
        for (QLabel *l : m_lblTime + m_lblDate + m_lblY)
            l->hide();
        m_utcCaption->hide();
        m_canvas->update();
        m_dialogs.message(this, kTooFewText, kTooFewTitle);
        return;
    }
    for (int k = 0; k < QsoGraph::kTimeLabels; ++k) {
        m_lblTime[k]->setText(m_graph.timeLabel(k));
        m_lblDate[k]->setText(m_graph.dateLabel(k));
        m_lblTime[k]->show();
        m_lblDate[k]->show();
    }
    for (int k = 0; k < QsoGraph::kRateLabels; ++k) {
        m_lblY[k]->setText(m_graph.rateLabel(k));
        m_lblY[k]->show();
    }
    m_utcCaption->show();
    layoutControls();
    m_canvas->update();
}

void GraphQSO::toggleBackground()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_black = !m_black;
    m_command1->setText(buttonCaption(m_black));
    applyColours();
    drawGraph();
    QApplication::restoreOverrideCursor();
}

void GraphQSO::applyColours()
{
    const QColor bg = m_black ? Qt::black : Qt::white;
    const QColor fg = m_black ? Qt::white : Qt::black;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, bg);
    setPalette(pal);
    const QString style = QStringLiteral("color: %1; background: transparent;").arg(fg.name());
    for (QLabel *l : m_lblTime + m_lblDate + m_lblY)
        l->setStyleSheet(style);
    m_utcCaption->setStyleSheet(style);
    m_canvas->setColours(bg, fg);
}

void GraphQSO::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutControls();
}

void GraphQSO::layoutControls()
{
    const double w = width(), h = height();
    m_canvas->setGeometry(rect());
    // Room on the right for half of the last time label.
    const QRectF plot(std::round(w * 0.085), std::round(h * 0.04), std::round(w * 0.87),
                      std::round(h * 0.73));
    const QRectF strip(plot.left(), std::round(h * 0.79), plot.width(), std::round(h * 0.03));
    m_canvas->setFrames(plot, strip);

    // Label text follows the window as the other windows' fonts follow the screen.
    QFont f = font();
    f.setPixelSize(std::max(10, int(std::min(w / 640.0, h / 480.0) * 11)));
    const int lineH = QFontMetrics(f).height() + 2;
    const int timeW = int(plot.width() / (QsoGraph::kTimeLabels - 1));
    const double timeTop = strip.bottom() + h * 0.012;
    for (int k = 0; k < QsoGraph::kTimeLabels; ++k) {
        const double x = plot.left() + k * plot.width() / (QsoGraph::kTimeLabels - 1);
        m_lblTime[k]->setFont(f);
        m_lblDate[k]->setFont(f);
        m_lblTime[k]->setGeometry(int(x - timeW / 2.0), int(timeTop), timeW, lineH);
        m_lblDate[k]->setGeometry(int(x - timeW / 2.0), int(timeTop) + lineH, timeW, lineH);
    }
    m_utcCaption->setFont(f);
    m_utcCaption->setGeometry(0, int(timeTop), int(plot.left() - timeW / 2.0 - 4), lineH);
    for (int k = 0; k < QsoGraph::kRateLabels; ++k) {
        const double y = plot.bottom() - k * plot.height() / (QsoGraph::kRateLabels - 1);
        m_lblY[k]->setFont(f);
        m_lblY[k]->setGeometry(0, int(y - lineH / 2.0), int(plot.left() - 9), lineH);
    }
    QFont bf = f;
    m_command1->setFont(bf);
    const int bw = std::max(int(w * 0.2), QFontMetrics(bf).horizontalAdvance(buttonCaption(false)) + 24);
    const int bh = std::max(int(h * 0.05), lineH + 8);
    m_command1->setGeometry(int((w - bw) / 2), int(h * 0.975) - bh, bw, bh);
    m_canvas->lower();
}

void showQsoGraph(QWidget *parent, const LogStore &log, Dialogs &dialogs)
{
    GraphQSO graph(log.records(), dialogs, parent);
    graph.fitToWorkArea();
    graph.drawGraph();
    graph.exec();
}
