#include "ui/captionfit.h"
#include "ui/accessnames.h"
#include "ui/screenfit.h"

#include "ui/formscaler.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTextDocument>

#include <algorithm>

namespace captionfit {

namespace {

// The caption as drawn: "&&" shows one ampersand, a single "&" marks the shortcut and is hidden.
QString withoutMnemonic(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

int textWidth(const QFontMetrics &fm, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(u'\n'))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

int labelNeeds(const QLabel *label)
{
    const QString text = label->text();
    if (text.isEmpty() || !label->pixmap().isNull() || label->wordWrap()
        || label->textFormat() == Qt::RichText
        || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
        return 0;
    const QFontMetrics fm(label->font());
    // A label shows its shortcut mark only while it has a buddy to pass the focus to.
    const QString shown = label->buddy() ? withoutMnemonic(text) : text;
    int indent = label->indent();
    if (indent < 0)
        indent = label->frameWidth() > 0 ? fm.horizontalAdvance(u'x') / 2 : 0;
    const int frame = label->width() - label->contentsRect().width();
    return textWidth(fm, shown) + 2 * label->margin() + indent + frame;
}

QStyleOptionButton buttonOption(const QAbstractButton *b)
{
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    if (const auto *push = qobject_cast<const QPushButton *>(b)) {
        if (push->autoDefault() || push->isDefault())
            opt.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault())
            opt.features |= QStyleOptionButton::DefaultButton;
        if (push->isFlat())
            opt.features |= QStyleOptionButton::Flat;
    }
    return opt;
}

int pushButtonNeeds(const QPushButton *b)
{
    if (b->text().isEmpty())
        return 0;
    const QStyleOptionButton opt = buttonOption(b);
    QStyle *style = b->style();
    const QRect contents = style->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
    int needs = textWidth(QFontMetrics(b->font()), withoutMnemonic(b->text()))
                + (b->width() - contents.width()) + style->pixelMetric(QStyle::PM_ButtonMargin, &opt, b);
    if (!b->icon().isNull())
        needs += b->iconSize().width() + 4;
    return needs;
}

int indicatorButtonNeeds(const QAbstractButton *b, QStyle::SubElement contentsElement)
{
    if (b->text().isEmpty())
        return 0;
    const QStyleOptionButton opt = buttonOption(b);
    const QRect contents = b->style()->subElementRect(contentsElement, &opt, b);
    // Two pixels for the focus frame drawn round the text.
    return textWidth(QFontMetrics(b->font()), withoutMnemonic(b->text())) + (b->width() - contents.width()) + 2;
}

int groupBoxNeeds(const QGroupBox *g)
{
    if (g->title().isEmpty())
        return 0;
    QStyleOptionGroupBox opt;
    opt.initFrom(g);
    opt.text = g->title();
    opt.lineWidth = 1;
    opt.midLineWidth = 0;
    opt.textAlignment = g->alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (g->isCheckable())
        opt.subControls |= QStyle::SC_GroupBoxCheckBox;
    if (g->isFlat())
        opt.features |= QStyleOptionFrame::Flat;
    // Where the style puts the title when nothing limits it; the same margin is kept after it.
    opt.rect = QRect(0, 0, 1 << 20, std::max(g->height(), 1));
    QRect title = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
    if (g->isCheckable())
        title |= g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxCheckBox, g);
    const int text = textWidth(QFontMetrics(g->font()), withoutMnemonic(g->title()));
    return std::max(title.left(), 0) * 2 + std::max(title.width(), text);
}

bool placedByLayout(const QWidget *w)
{
    return w->parentWidget() && w->parentWidget()->layout();
}

// How far `w` may spread left and right inside its parent without covering a neighbour that
// shares any of its rows. Hidden neighbours count: they show at other times.
void freeRoom(const QWidget *w, int &leftLimit, int &rightLimit)
{
    const QWidget *parent = w->parentWidget();
    const int inset = qobject_cast<const QGroupBox *>(parent) ? 2 : 0;
    leftLimit = inset;
    rightLimit = parent->width() - inset;
    const QRect g = w->geometry();
    for (const QObject *o : parent->children()) {
        const auto *s = qobject_cast<const QWidget *>(o);
        if (!s || s == w || s->isWindow())
            continue;
        const QRect sg = s->geometry();
        if (sg.bottom() < g.top() || sg.top() > g.bottom())
            continue;
        if (sg.left() > g.right())
            rightLimit = std::min(rightLimit, sg.left());
        else if (sg.right() < g.left())
            leftLimit = std::max(leftLimit, sg.right() + 1);
        // A neighbour already overlapping (a panel behind the control) is no limit.
    }
    leftLimit = std::min(leftLimit, g.left());
    rightLimit = std::max(rightLimit, g.right() + 1);
}

void widen(QWidget *w, int needs)
{
    int leftLimit = 0, rightLimit = 0;
    freeRoom(w, leftLimit, rightLimit);
    QRect g = w->geometry();
    const auto *label = qobject_cast<const QLabel *>(w);
    const bool rightAligned = label && (label->alignment() & Qt::AlignRight);
    int missing = needs - g.width();
    auto growRight = [&] {
        const int step = std::min(missing, rightLimit - (g.right() + 1));
        g.setRight(g.right() + step);
        missing -= step;
    };
    auto growLeft = [&] {
        const int step = std::min(missing, g.left() - leftLimit);
        g.setLeft(g.left() - step);
        missing -= step;
    };
    if (rightAligned) {
        growLeft();
        growRight();
    } else {
        growRight();
        growLeft();
    }
    if (g != w->geometry())
        w->setGeometry(g);
}

// Where no room is left, the caption steps down in type until it fits, to at most two thirds
// of its size: a smaller word reads better than a cut one.
void shrinkType(QWidget *w)
{
    if (qobject_cast<QGroupBox *>(w)) {
        // The controls inside keep the type they have now.
        for (QObject *o : w->children()) {
            auto *child = qobject_cast<QWidget *>(o);
            if (child && !child->isWindow() && !child->testAttribute(Qt::WA_SetFont))
                child->setFont(child->font());
        }
    }
    const QFont original = w->font();
    const double start = original.pointSizeF() > 0 ? original.pointSizeF() : original.pixelSize();
    if (start <= 0)
        return;
    for (double scale = 0.95; scale > 0.66 && neededWidth(w) > w->width(); scale -= 0.05) {
        QFont f = original;
        if (original.pointSizeF() > 0)
            f.setPointSizeF(start * scale);
        else
            f.setPixelSize(std::max(1, int(start * scale)));
        w->setFont(f);
    }
}

// A word-wrapped label in a box of fixed height: it takes the free room beside it first, as a
// line, then a slightly smaller type until its lines fit the box.
void fitWrappedLabel(QLabel *label)
{
    const QString text = label->text();
    if (text.isEmpty() || label->textFormat() != Qt::PlainText)
        return;
    auto tooTall = [label] { return label->heightForWidth(label->width()) > label->height(); };
    if (!tooTall())
        return;
    const int frame = label->width() - label->contentsRect().width();
    widen(label, textWidth(label->fontMetrics(), text) + 2 * label->margin() + frame);
    const QFont original = label->font();
    const double start = original.pointSizeF() > 0 ? original.pointSizeF() : original.pixelSize();
    for (double scale = 0.95; scale > 0.66 && tooTall(); scale -= 0.05) {
        QFont f = original;
        if (original.pointSizeF() > 0)
            f.setPointSizeF(start * scale);
        else
            f.setPixelSize(std::max(1, int(start * scale)));
        label->setFont(f);
    }
}

// The check marks and option circles grow with the type, as the captions beside them do: the
// style's sizes were made for its own type, and are scaled by how much larger the control's is.
class TypeScaledStyle : public QProxyStyle {
public:
    // Wraps the style the program was started with (the desktop's or -style's).
    explicit TypeScaledStyle(int baseHeight)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), m_baseHeight(std::max(1, baseHeight))
    {
    }

    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        const int size = QProxyStyle::pixelMetric(metric, option, widget);
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight: {
            const int height = widget ? widget->fontMetrics().height() : m_baseHeight;
            return height > m_baseHeight ? size * height / m_baseHeight : size;
        }
        default:
            return size;
        }
    }

private:
    int m_baseHeight;
};

class FitOnShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show && o->isWidgetType()) {
            auto *w = static_cast<QWidget *>(o);
            const Qt::WindowType type = w->windowType();
            if (w->isWindow() && (type == Qt::Window || type == Qt::Dialog)) {
                takeScreenType(w);
                fitCaptions(w);
                screenfit::fitWindow(w);
                accessnames::nameControls(w);
            }
        }
        return false;
    }
};

}  // namespace

int neededWidth(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return labelNeeds(label);
    if (const auto *push = qobject_cast<const QPushButton *>(w))
        return pushButtonNeeds(push);
    if (const auto *check = qobject_cast<const QCheckBox *>(w))
        return indicatorButtonNeeds(check, QStyle::SE_CheckBoxContents);
    if (const auto *radio = qobject_cast<const QRadioButton *>(w))
        return indicatorButtonNeeds(radio, QStyle::SE_RadioButtonContents);
    if (const auto *group = qobject_cast<const QGroupBox *>(w))
        return groupBoxNeeds(group);
    return 0;
}

void fitCaptions(QWidget *window)
{
    if (!window)
        return;
    const QList<QWidget *> all = window->findChildren<QWidget *>();
    for (QWidget *w : all) {
        if (w->isWindow() || w->window() != window || placedByLayout(w)
            || w->property(kPaintsOwnCaption).toBool())
            continue;
        if (auto *label = qobject_cast<QLabel *>(w); label && label->wordWrap()) {
            fitWrappedLabel(label);
            continue;
        }
        const int needs = neededWidth(w);
        if (needs <= w->width())
            continue;
        widen(w, needs);
        if (neededWidth(w) > w->width())
            shrinkType(w);
    }
}

void takeScreenType(QWidget *window)
{
    // A window built by a layout gets the type once, before it is first fitted; the windows
    // placed in twips scaled their own type from the same base already.
    if (!window || !window->layout() || window->testAttribute(Qt::WA_SetFont) || qobject_cast<QMainWindow *>(window))
        return;
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // A window the type would push past the screen takes the largest size between the two
    // that lets it fit, so nothing has to scroll; never below the desktop's own.
    const QSize room = screen->availableGeometry().size();
    const QFont base = QApplication::font();
    const QFont full = formscale::screenFont(base, screen->geometry());
    const double top = full.pointSizeF() > 0 ? full.pointSizeF() : full.pixelSize();
    const double bottom = base.pointSizeF() > 0 ? base.pointSizeF() : base.pixelSize();
    for (double size = top;; size = std::max(bottom, size * 0.92)) {
        QFont type = full;
        if (full.pointSizeF() > 0)
            type.setPointSizeF(size);
        else
            type.setPixelSize(int(size));
        window->setFont(type);
        window->layout()->activate();
        const QSize needs = window->layout()->totalMinimumSize().expandedTo(window->minimumSizeHint());
        if (size <= bottom || (needs.width() <= room.width() && needs.height() <= room.height()))
            break;
    }
    window->adjustSize();
}

void setUpApplication(QApplication &app)
{
    // The style first: setting one sets the kinds' fonts back.
    QApplication::setStyle(new TypeScaledStyle(QFontMetrics(QApplication::font()).height()));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QFont type = formscale::screenFont(QApplication::font(), screen->geometry());
        for (const char *kind : {"QMessageBox", "QInputDialog", "QMenu"})
            QApplication::setFont(type, kind);
    }
    app.installEventFilter(new FitOnShow(&app));
}

}  // namespace captionfit
