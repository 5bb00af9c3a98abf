#include "ui/screenfit.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

namespace screenfit {

namespace {
constexpr const char *kScrolled = "screenfitScrolled";

QRect availableArea(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The window's decoration around its client area, as far as the platform knows it yet.
QMargins frameOf(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

// Moves the window's layout and controls into a scrolling view that fills the window.
void scrollContents(QWidget *window)
{
    QLayout *layout = window->layout();
    // Moving a control to another parent hides it; those that were to show are shown again.
    QList<QWidget *> shown;
    for (QObject *child : window->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (w && !w->isWindow() && w->isVisibleTo(window))
            shown << w;
    }
    auto *inner = new QWidget;
    inner->setObjectName(QStringLiteral("screenfitContents"));
    inner->setLayout(layout);  // takes the layout, and its controls with it
    for (QWidget *w : shown)
        w->show();
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("screenfitScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);  // the controls inside take the focus, not the view
    scroll->setWidget(inner);
    auto *outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    window->setProperty(kScrolled, true);
}
}  // namespace

void fitWindow(QWidget *window)
{
    if (!window || !window->isWindow())
        return;
    const QRect area = availableArea(window);
    if (area.isEmpty())
        return;
    const QMargins frame = frameOf(window);
    const QSize room(area.width() - frame.left() - frame.right(), area.height() - frame.top() - frame.bottom());

    // Message and input boxes size themselves as they show, wrapping their text to the screen.
    const bool standardBox = qobject_cast<QMessageBox *>(window) || qobject_cast<QInputDialog *>(window)
                             || qobject_cast<QFileDialog *>(window) || qobject_cast<QColorDialog *>(window);
    QLayout *layout = standardBox ? nullptr : window->layout();
    if (layout && !window->property(kScrolled).toBool()) {
        QSize needs = layout->totalMinimumSize().expandedTo(window->minimumSizeHint());
        // Word-wrapped text needs more height the narrower it is, which a window's own size
        // does not follow.
        const int width = std::min(std::max(window->width(), needs.width()), room.width());
        const int wrappedHeight = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : 0;
        needs.setHeight(std::max(needs.height(), wrappedHeight));
        if (needs.height() > window->height() && needs.height() <= room.height())
            window->resize(width, needs.height());
        if (needs.width() > room.width() || needs.height() > room.height()) {
            const QSize wanted = layout->sizeHint();
            scrollContents(window);
            // The scrolling view keeps the size it needs where there is room for it.
            const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
            window->setMinimumSize(0, 0);
            // Never narrower than the controls' least width, or a second bar would show too.
            const int across = std::max(wanted.width(), needs.width()) + bar;
            window->resize(std::min(across, room.width()), std::min(wanted.height() + bar, room.height()));
        }
    }
    if (window->width() > room.width() || window->height() > room.height()) {
        window->setMinimumSize(std::min(window->minimumWidth(), room.width()),
                               std::min(window->minimumHeight(), room.height()));
        window->resize(std::min(window->width(), room.width()), std::min(window->height(), room.height()));
    }
    // Keep the whole frame inside the area, its title bar first.
    QRect placed(window->pos(), window->size().grownBy(frame));
    placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() + 1 - placed.width())));
    placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() + 1 - placed.height())));
    if (placed.topLeft() != window->pos())
        window->move(placed.topLeft());
}

}  // namespace screenfit
