#include "bandplan/frmbandplan.h"
#include "ui/plaintext.h"

#include "platform/dialogs.h"
#include "ui/captionfit.h"
#include "ui/formscaler.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {
// Layout in design units, 9600 x 7200 for the whole window.
constexpr int kDesignWidth = 9600;
constexpr int kDesignHeight = 7200;
constexpr int kLineY = 1020;
constexpr int kButtonTop = 6560;
constexpr int kButtonWidth = 1140;
constexpr int kButtonHeight = 420;
constexpr int kButtonGap = 120;

const QColor kCwColour(0, 0, 255);
const QColor kPhoneColour(0, 200, 0);

const QStringList kDrawnPrefixes{QStringLiteral("blbl"), QStringLiteral("priv"),
                                 QStringLiteral("bnlb")};

// A privilege segment: a plain label that paints its range only where it fits (on one line, or
// split after the dash), so a narrow segment stays a clean block and its tool tip tells the range.
class SegmentLabel : public QLabel {
public:
    SegmentLabel(const QString &text, const QColor &fill, const QColor &ink, QWidget *parent)
        : QLabel(parent), m_fill(fill), m_ink(ink)
    {
        setTextFormat(Qt::PlainText);
        setText(text);
        setProperty(captionfit::kPaintsOwnCaption, true);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_fill);
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        const QRect inside = rect().adjusted(2, 1, -2, -1);
        const QFontMetrics fm(font());
        p.setPen(m_ink);
        p.setFont(font());
        if (fm.horizontalAdvance(text()) <= inside.width()) {
            p.drawText(inside, Qt::AlignCenter, text());
            return;
        }
        const qsizetype dash = text().indexOf(QStringLiteral(" - "));
        if (dash < 0 || 2 * fm.height() > inside.height())
            return;
        const QString first = text().left(dash + 2), second = text().mid(dash + 3);
        if (std::max(fm.horizontalAdvance(first), fm.horizontalAdvance(second)) <= inside.width())
            p.drawText(inside, Qt::AlignCenter, first + u'\n' + second);
    }

private:
    QColor m_fill, m_ink;
};

QLabel *fixedLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *l = plainLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    return l;
}
}  // namespace

frmBandPlan::frmBandPlan(const QString &bandPlanPath, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_path(bandPlanPath), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmBandPlan"));
    setWindowTitle(QStringLiteral("Frequency Privileges"));
    setModal(true);

    m_label1 = fixedLabel(this, "Label1", QString());
    m_label2 = fixedLabel(this, "Label2", QStringLiteral("Privelages"));
    m_label3 = fixedLabel(this, "Label3", QStringLiteral("CW"));
    m_label4 = fixedLabel(this, "Label4", QStringLiteral("Phone"));
    m_label3->setStyleSheet(QStringLiteral("background: %1; color: white; border: 1px solid black;")
                                .arg(kCwColour.name()));
    m_label4->setStyleSheet(QStringLiteral("background: %1; color: black; border: 1px solid black;")
                                .arg(kPhoneColour.name()));
    m_line1 = new QFrame(this);
    m_line1->setObjectName(QStringLiteral("Line1"));
    m_line1->setFrameShape(QFrame::HLine);
    m_line1->setFrameShadow(QFrame::Plain);

    for (const LicenceClass &c : licenceClasses()) {
        auto *b = new QPushButton(QString::fromLatin1(c.caption), this);
        b->setObjectName(QLatin1String(c.button));
        b->setAutoDefault(false);
        const QString heading = QString::fromLatin1(c.heading);
        const QString code = QString::fromLatin1(c.code);
        connect(b, &QPushButton::clicked, this, [this, heading, code] {
            m_label2->setText(heading);
            drawPrivileges(code);
        });
        m_buttons.append(b);
    }
    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("Command7"));
    done->setAutoDefault(false);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    m_buttons.append(done);

    resize(formscale::px(kDesignWidth), formscale::px(kDesignHeight));
}

void frmBandPlan::fitToWorkArea()
{
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->availableGeometry());
}

void frmBandPlan::loadPlan()
{
    if (!m_plan.load(m_path)) {
        m_dialogs.message(this, kNoDataText, kNoDataTitle);
        return;
    }
    m_label1->setText(QStringLiteral("Frequencies Effective: ") + m_plan.effectiveDate());
    m_label2->setText(QStringLiteral("Extra Frequency Privileges"));
    drawPrivileges(QStringLiteral("E"));
}

QRect frmBandPlan::design(int left, int top, int w, int h) const
{
    const double wr = double(width()) / kDesignWidth, hr = double(height()) / kDesignHeight;
    return QRect(int(std::lround(left * wr)), int(std::lround(top * hr)),
                 int(std::lround(w * wr)), int(std::lround(h * hr)));
}

double frmBandPlan::fontRatio() const
{
    return std::min(double(width()) / formscale::px(kDesignWidth), double(height()) / formscale::px(kDesignHeight));
}

double frmBandPlan::screenFactor() const
{
    const QScreen *s = screen();
    const double screenWidth = s ? s->geometry().width() : formscale::px(kDesignWidth);
    return std::min(screenWidth / formscale::px(kDesignWidth), 1.5);
}

void frmBandPlan::layoutFixedControls()
{
    const double fr = fontRatio();
    auto sized = [fr](QWidget *w, double points, bool bold) {
        QFont f = w->font();
        f.setFamily(QStringLiteral("Arial"));
        f.setPointSizeF(std::max(6.0, points * fr));
        f.setBold(bold);
        w->setFont(f);
    };
    m_label2->setGeometry(design(600, 140, 8400, 460));
    sized(m_label2, 14, true);
    m_label1->setGeometry(design(1500, 640, 6600, 280));
    sized(m_label1, 8.5, false);
    m_label3->setGeometry(design(7700, 650, 780, 250));
    m_label4->setGeometry(design(8560, 650, 780, 250));
    sized(m_label3, 8, true);
    sized(m_label4, 8, true);
    const QRect line = design(240, kLineY, 9120, 0);
    m_line1->setGeometry(line.left(), line.top(), line.width(), 2);

    const int total = int(m_buttons.size()) * kButtonWidth + int(m_buttons.size() - 1) * kButtonGap;
    int left = (kDesignWidth - total) / 2;
    for (QPushButton *b : m_buttons) {
        b->setGeometry(design(left, kButtonTop, kButtonWidth, kButtonHeight));
        sized(b, 8, false);
        left += kButtonWidth + kButtonGap;
    }
}

void frmBandPlan::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutFixedControls();
    if (!m_class.isEmpty()) {
        // Rows follow the window's size; a refusal was already reported when the class was chosen.
        m_redrawing = true;
        drawPrivileges(m_class);
        m_redrawing = false;
    }
}

void frmBandPlan::removeDrawing()
{
    const QList<QLabel *> labels = findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    for (QLabel *l : labels) {
        const QString name = l->objectName();
        if (std::any_of(kDrawnPrefixes.cbegin(), kDrawnPrefixes.cend(),
                        [&](const QString &p) { return name.startsWith(p); }))
            delete l;
    }
}

void frmBandPlan::drawPrivileges(const QString &classCode)
{
    m_class = classCode;
    removeDrawing();
    bool truncated = false;
    const QList<BandPlan::Row> rows = m_plan.rowsFor(classCode, &truncated);

    const double w = width(), h = height();
    const double lineY = m_line1->geometry().top();
    const double pitch = rows.isEmpty() ? 0 : 0.8 * (h - lineY) / rows.size();
    const int rowLeft = int(std::lround(w * 0.10));
    const int rowWidth = int(std::lround(w * 0.85));
    const int rowHeight = int(std::lround(h * 0.04));
    const double sf = screenFactor();

    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setBold(true);
    nameFont.setPointSizeF(std::max(6.0, 7.5 * sf));
    QFont segmentFont(QStringLiteral("Arial Narrow"));
    segmentFont.setStretch(QFont::SemiCondensed);
    segmentFont.setPointSizeF(std::max(6.0, 7.5 * sf));

    int segmentNumber = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const BandPlan::Row &row = rows[i];
        const int top = int(std::lround(lineY + double(i + 1) * pitch));
        const QString number = QString::number(i + 1);

        auto *bar = plainLabel(row.band, this);
        bar->setTextFormat(Qt::PlainText);
        bar->setObjectName(QStringLiteral("blbl") + number);
        bar->setGeometry(rowLeft, top, rowWidth, rowHeight);
        bar->setAlignment(Qt::AlignCenter);
        bar->setStyleSheet(QStringLiteral("background: black; color: black; border: 1px solid #606060;"));
        bar->setToolTip(plainToolTip(row.toolTip));
        bar->show();

        auto *name = plainLabel(row.band, this);
        name->setTextFormat(Qt::PlainText);
        name->setObjectName(QStringLiteral("bnlb") + number);
        name->setGeometry(int(std::lround(w * 0.04)), top, int(std::lround(w * 0.05)), rowHeight);
        name->setAlignment(Qt::AlignCenter);
        name->setFont(nameFont);
        name->setStyleSheet(QStringLiteral("background: yellow; color: black; border: 1px solid black;"));
        name->setToolTip(plainToolTip(row.toolTip));
        name->show();

        for (const BandPlan::Segment &s : row.segments) {
            auto *seg = new SegmentLabel(s.caption, s.cw ? kCwColour : kPhoneColour,
                                         s.cw ? Qt::white : Qt::black, this);
            seg->setObjectName(QStringLiteral("priv") + QString::number(++segmentNumber));
            const int left = rowLeft + int(std::lround(rowWidth * s.start));
            const int width = std::max(1, int(std::lround(rowWidth * s.width)));
            seg->setGeometry(left, top, width, rowHeight);
            seg->setAlignment(Qt::AlignCenter);
            seg->setFont(segmentFont);
            seg->setToolTip(plainToolTip(s.toolTip));
            seg->show();
            seg->raise();
        }
    }
    if (truncated && !m_redrawing)
        m_dialogs.message(this, kNoDataText, kNoDataTitle);
}

void showPrivileges(QWidget *parent, const QString &bandPlanPath, Dialogs &dialogs)
{
    frmBandPlan window(bandPlanPath, dialogs, parent);
    window.fitToWorkArea();
    window.loadPlan();
    window.exec();
}
