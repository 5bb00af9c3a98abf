#include "ui/formscaler.h"

#include "ui/captionfit.h"

#include "core/fieldfile.h"
#include "core/preferences.h"
#include "platform/dialogs.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRubberBand>
#include <QScreen>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>
#include <QWidget>

#include <cmath>

namespace formscale {

FormScaler::FormScaler(double screenWidth, double screenHeight, double unitsPerTwip)
    : m_screenWidth(screenWidth), m_screenHeight(screenHeight), m_unitsPerTwip(unitsPerTwip)
{
}

Box FormScaler::window(double designWidth, double designHeight, bool lift) const
{
    Box b;
    b.width = designWidth * wr();
    b.height = designHeight * hr();
    b.left = (m_screenWidth - b.width) / 2;
    b.top = (m_screenHeight - b.height) / 2 - (lift ? kLiftTwips * m_unitsPerTwip : 0);
    return b;
}

Box FormScaler::control(const Box &d) const
{
    return {d.left * wr(), d.top * hr(), d.width * wr(), d.height * hr()};
}

TargetScale targetScale(double width, double height, double targetWidth, double targetHeight,
                        double baseWidth, double baseHeight, bool fill, double fontFactor)
{
    TargetScale t;
    if (fill) {
        t.window.width = targetWidth;
        t.window.height = targetHeight;
    } else {
        t.window.width = width / baseWidth * targetWidth;
        t.window.height = height / baseHeight * targetHeight;
    }
    t.window.left = (targetWidth - t.window.width) / 2;
    t.window.top = (targetHeight - t.window.height) / 2;
    t.rw = t.window.width / width;
    t.rh = t.window.height / height;
    t.fontScale = 1 + ((t.rw < t.rh ? t.rw : t.rh) - 1) * fontFactor;
    return t;
}

bool parsePercent(const QString &answer, int &percent)
{
    double v = 0;
    if (!fieldfile::parseNumber(answer, v) || !std::isfinite(v))
        return false;
    if (v > 100)
        v = 100;
    if (v < 30)
        v = 30;
    percent = int(std::nearbyint(v));  // the default rounding mode sends halves to even
    return true;
}

namespace {

enum class Kind { Skip, Control, Image, Line, Combo, ListView, Container };

Kind kindOf(QWidget *w)
{
    if (qobject_cast<QMenuBar *>(w) || qobject_cast<QStatusBar *>(w) || qobject_cast<QToolBar *>(w)
        || qobject_cast<QMenu *>(w) || qobject_cast<QRubberBand *>(w) || qobject_cast<QSizeGrip *>(w))
        return Kind::Skip;
    if (qobject_cast<QComboBox *>(w))
        return Kind::Combo;
    if (qobject_cast<QTreeView *>(w) || qobject_cast<QTableView *>(w))
        return Kind::ListView;
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->pixmap().isNull() ? Kind::Control : Kind::Image;
    if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
        || qobject_cast<QAbstractScrollArea *>(w) || qobject_cast<QAbstractSpinBox *>(w)
        || qobject_cast<QAbstractSlider *>(w) || qobject_cast<QProgressBar *>(w))
        return Kind::Control;
    if (qobject_cast<QGroupBox *>(w))
        return Kind::Container;
    if (auto *frame = qobject_cast<QFrame *>(w)) {
        if (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine)
            return Kind::Line;
    }
    // Frames, panels and the program's own painted widgets: placed and sized like controls,
    // and their children in turn.
    return Kind::Container;
}

struct Item {
    QWidget *widget;
    Kind kind;
    QRect geometry;
    QFont font;
    bool placedByLayout;
    QList<int> columns;
};

QHeaderView *columnHeader(QWidget *w)
{
    if (auto *tree = qobject_cast<QTreeView *>(w))
        return tree->header();
    if (auto *table = qobject_cast<QTableView *>(w))
        return table->horizontalHeader();
    return nullptr;
}

// Everything is read before anything changes: a child whose font is inherited must be scaled
// from the font it had, not from the window's already scaled one.
void collect(QWidget *parent, QList<Item> &out)
{
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow())
            continue;
        const Kind kind = kindOf(w);
        if (kind == Kind::Skip)
            continue;
        Item item{w, kind, w->geometry(), w->font(), parent->layout() != nullptr, {}};
        if (QHeaderView *h = columnHeader(w)) {
            for (int i = 0; i < h->count(); ++i)
                item.columns.append(h->sectionSize(i));
        }
        out.append(item);
        if (kind == Kind::Container)
            collect(w, out);
    }
}

int r(double v) { return int(std::lround(v)); }

struct Factors {
    double rx = 1, ry = 1;
    double font = 1;        // control fonts
    bool scaleFonts = true;
    double columns = 1;
    QString fontName;       // when not empty, every control takes this face
};

void applyToControls(const QList<Item> &items, const Factors &f)
{
    for (const Item &it : items) {
        QWidget *w = it.widget;
        if (f.scaleFonts && it.kind != Kind::Image && it.kind != Kind::Line) {
            QFont font = scaledFont(it.font, f.font);
            if (!f.fontName.isEmpty())
                font.setFamily(f.fontName);
            w->setFont(font);
        }
        if (!it.placedByLayout) {
            const QRect g = it.geometry;
            QRect n(r(g.x() * f.rx), r(g.y() * f.ry), r(g.width() * f.rx), r(g.height() * f.ry));
            if (it.kind == Kind::Line) {
                // The end points move; the stroke keeps its thickness.
                auto *line = static_cast<QFrame *>(w);
                if (line->frameShape() == QFrame::HLine)
                    n.setHeight(g.height());
                else
                    n.setWidth(g.width());
            } else if (it.kind == Kind::Combo) {
                n.setHeight(std::max(g.height(), w->sizeHint().height()));
            }
            w->setGeometry(n);
        }
        if (QHeaderView *h = columnHeader(w)) {
            for (int i = 0; i < it.columns.size() && i < h->count(); ++i)
                h->resizeSection(i, r(it.columns[i] * f.columns));
        }
    }
}

QString checkWindow(QWidget *window)
{
    if (!window)
        return QStringLiteral("There is no window to resize.");
    if (window->width() <= 0 || window->height() <= 0)
        return QStringLiteral("The window has no size.");
    return QString();
}

QString checkArea(const QRect &area)
{
    return area.width() > 0 && area.height() > 0 ? QString()
                                                 : QStringLiteral("The screen size is not known.");
}

void place(QWidget *window, const QRect &area, const Box &b)
{
    window->resize(r(b.width), r(b.height));
    window->move(area.x() + r(b.left), area.y() + r(b.top));
}

void report(Dialogs &dialogs, QWidget *window, const QString &error)
{
    if (!error.isEmpty())
        dialogs.message(window, error, QString::fromLatin1(kErrorTitle), Dialogs::Buttons::Ok,
                        Dialogs::Icon::Critical);
}

}  // namespace

QFont scaledFont(QFont f, double scale)
{
    if (f.pointSizeF() > 0)
        f.setPointSizeF(std::max(1.0, f.pointSizeF() * scale));
    else if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, int(std::lround(f.pixelSize() * scale))));
    return f;
}

QFont screenFont(const QFont &font, const QRect &screen)
{
    if (screen.width() <= 0 || screen.height() <= 0)
        return font;
    const FormScaler s(screen.width(), screen.height(), 1.0 / kTwipsPerPixel);
    return scaledFont(font, s.hr());
}

ScreenArea screenAreaOf(const QWidget *window)
{
    QScreen *screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return {screen->geometry(), screen->availableGeometry()};
}

QString scaleToScreen(QWidget *window, const QRect &screen, bool lift)
{
    QString error = checkWindow(window);
    if (error.isEmpty())
        error = checkArea(screen);
    if (!error.isEmpty())
        return error;
    const FormScaler s(screen.width(), screen.height(), 1.0 / kTwipsPerPixel);
    QList<Item> items;
    collect(window, items);
    place(window, screen, s.window(window->width(), window->height(), lift));
    window->setFont(scaledFont(window->font(), s.hr()));
    applyToControls(items, {s.wr(), s.hr(), s.fontRatio(), true, s.wr(), QString()});
    captionfit::fitCaptions(window);
    return QString();
}

QString scaleToTarget(QWidget *window, const QRect &target, double baseWidth, double baseHeight,
                      bool fill, double fontFactor, const QString &fontName)
{
    QString error = checkWindow(window);
    if (error.isEmpty())
        error = checkArea(target);
    if (error.isEmpty() && (baseWidth <= 0 || baseHeight <= 0))
        error = QStringLiteral("The base size must be above zero.");
    if (!error.isEmpty())
        return error;
    const TargetScale t = targetScale(window->width(), window->height(), target.width(),
                                      target.height(), baseWidth, baseHeight, fill, fontFactor);
    QList<Item> items;
    collect(window, items);
    place(window, target, t.window);
    applyToControls(items, {t.rw, t.rh, t.fontScale, true, t.rw, fontName});
    captionfit::fitCaptions(window);
    return QString();
}

QString scaleMainWindow(QWidget *window, const QRect &area)
{
    QString error = checkWindow(window);
    if (error.isEmpty())
        error = checkArea(area);
    if (!error.isEmpty())
        return error;
    const double rx = double(area.width()) / window->width();
    const double ry = double(area.height()) / window->height();
    QList<Item> items;
    collect(window, items);
    window->resize(area.size());
    window->move(area.topLeft());
    window->setFont(scaledFont(window->font(), ry));
    applyToControls(items, {rx, ry, std::min(rx, ry), true, rx, QString()});
    captionfit::fitCaptions(window);
    return QString();
}

QString shrinkToPercent(QWidget *window, const QRect &screen, int percent)
{
    QString error = checkWindow(window);
    if (error.isEmpty())
        error = checkArea(screen);
    if (error.isEmpty() && (percent < 1 || percent > 100))
        error = QStringLiteral("The form size must be between 1 and 100 percent.");
    if (!error.isEmpty())
        return error;
    if (percent == 100)
        return QString();
    const double p = percent / 100.0;
    QList<Item> items;
    collect(window, items);
    Box b;
    b.width = screen.width() * p;
    b.height = screen.height() * p;
    b.left = (screen.width() - b.width) / 2;
    b.top = (screen.height() - b.height) / 2;
    place(window, screen, b);
    window->setFont(scaledFont(window->font(), p));
    applyToControls(items, {p, p, p, true, p, QString()});
    captionfit::fitCaptions(window);
    return QString();
}

QString relayout(QWidget *window, const QRect &area)
{
    QString error = checkWindow(window);
    if (error.isEmpty())
        error = checkArea(area);
    if (!error.isEmpty())
        return error;
    const bool wasVisible = window->isVisible();
    const double rx = double(area.width()) / window->width();
    const double ry = double(area.height()) / window->height();
    QList<Item> items;
    collect(window, items);
    window->hide();
    window->resize(area.size());
    window->move(area.topLeft());
    applyToControls(items, {rx, ry, 1, false, rx, QString()});
    captionfit::fitCaptions(window);
    if (wasVisible)
        window->show();
    return QString();
}

void resizeForm(QWidget *window, Dialogs &dialogs)
{
    report(dialogs, window, scaleToScreen(window, screenAreaOf(window).full, true));
}

void resizeFormCentred(QWidget *window, Dialogs &dialogs, bool workArea)
{
    const ScreenArea area = screenAreaOf(window);
    report(dialogs, window, scaleToScreen(window, workArea ? area.work : area.full, false));
}

void resizeFormTo(QWidget *window, Dialogs &dialogs, bool fill, double fontFactor,
                  const QString &fontName)
{
    report(dialogs, window,
           scaleToTarget(window, screenAreaOf(window).full, kDesignWidth / kTwipsPerPixel,
                         kDesignHeight / kTwipsPerPixel, fill, fontFactor, fontName));
}

QRect mainWindowArea(const ScreenArea &screen, const Preferences &prefs)
{
    return prefs.formSizePercent >= 100 && prefs.taskbarOption != 0 ? screen.work : screen.full;
}

void resizeMainWindow(QWidget *window, Dialogs &dialogs, const Preferences &prefs)
{
    const ScreenArea screen = screenAreaOf(window);
    QString error = scaleMainWindow(window, mainWindowArea(screen, prefs));
    if (error.isEmpty() && prefs.formSizePercent < 100)
        error = shrinkToPercent(window, screen.full, prefs.formSizePercent);
    report(dialogs, window, error);
}

}  // namespace formscale

FormSizeCommands::FormSizeCommands(Dialogs &dialogs, Preferences &prefs, std::function<bool()> save)
    : m_dialogs(dialogs), m_prefs(prefs), m_save(std::move(save))
{
}

bool FormSizeCommands::formSize(QWidget *parent)
{
    const QString answer = m_dialogs.input(
        parent,
        QStringLiteral("Enter the % of the screen you would like the form to cover.  Try between 90 "
                       "and 100 for best results.  Values below 75 do not display well."),
        QStringLiteral("Please enter screen percentage."), QString::number(m_prefs.formSizePercent));
    // Cancel gives an empty answer: the operator changed his mind, nothing to complain about.
    if (answer.isEmpty())
        return false;
    int percent = 0;
    if (!formscale::parsePercent(answer, percent)) {
        m_dialogs.message(parent, QStringLiteral("Please enter only numeric values."),
                          QStringLiteral("Numeric Values Required"));
        return false;
    }
    m_prefs.formSizePercent = percent;
    if (m_save && !m_save())
        return false;  // the save reported its own failure; do not promise a change
    m_dialogs.message(parent,
                      QStringLiteral("This program must be closed and restarted for this setting to "
                                     "take effect."),
                      QStringLiteral("For this setting to take effect please restart this program."));
    return true;
}

FormSizeCommands::TaskbarResult FormSizeCommands::taskbar(QWidget *window)
{
    if (m_prefs.formSizePercent != 100) {
        m_dialogs.message(window,
                          QStringLiteral("The form size must be set to 100% to use the taskbar "
                                         "display option."),
                          QStringLiteral("Please set your form size to 100% to use this option."));
        return TaskbarResult::Refused;
    }
    m_prefs.taskbarOption = m_prefs.taskbarOption ? 0 : 1;
    const bool saved = !m_save || m_save();
    if (window) {
        const formscale::ScreenArea screen = formscale::screenAreaOf(window);
        const QString error =
            formscale::relayout(window, formscale::mainWindowArea(screen, m_prefs));
        if (!error.isEmpty())
            m_dialogs.message(window, error, QString::fromLatin1(formscale::kErrorTitle));
    }
    if (!saved)
        return TaskbarResult::SaveFailed;
    return m_prefs.taskbarOption ? TaskbarResult::TurnedOn : TaskbarResult::TurnedOff;
}
