#include "ui/accessnames.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include <limits>

namespace accessnames {

namespace {
QString captionText(QString text)
{
    // "&&" shows one ampersand; a single one marks the access key.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    text = text.simplified();
    while (text.endsWith(u':') || text.endsWith(u'.'))
        text.chop(1);
    return text.trimmed();
}

// Inside a spin box or combo box the inner line edit is the box's own part: the box is named.
bool partOfAnother(const QWidget *w)
{
    for (const QWidget *p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (qobject_cast<const QAbstractSpinBox *>(p) || qobject_cast<const QComboBox *>(p))
            return true;
    return false;
}

// The caption the eye reads for `w`: the nearest label on its row to its left, else the nearest
// above it that overlaps it sideways.
QLabel *captionLabelBeside(const QWidget *w)
{
    const QWidget *parent = w->parentWidget();
    if (!parent)
        return {};
    const QRect field = w->geometry();
    const QLabel *best = nullptr;
    int bestGap = std::numeric_limits<int>::max();
    bool bestLeft = false;
    for (QObject *o : parent->children()) {
        const auto *label = qobject_cast<const QLabel *>(o);
        if (!label || label->isHidden() || label->text().trimmed().isEmpty() || !label->pixmap().isNull())
            continue;
        const QRect l = label->geometry();
        const int centre = l.center().y();
        const bool onRow = centre >= field.top() - 2 && centre <= field.bottom() + 2;
        // A caption stands close to its field; one far to the left names another column.
        const int nearby = 6 * w->fontMetrics().averageCharWidth();
        if (onRow && l.right() <= field.left() + 4 && field.left() - l.right() <= nearby) {
            const int gap = field.left() - l.right();
            if (!bestLeft || gap < bestGap) {
                best = label;
                bestGap = gap;
                bestLeft = true;
            }
            continue;
        }
        const bool overlaps = l.left() < field.right() && l.right() > field.left();
        if (!bestLeft && overlaps && l.bottom() <= field.top() + 4) {
            const int gap = field.top() - l.bottom();
            if (gap < 3 * std::max(field.height(), 20) && gap < bestGap) {
                best = label;
                bestGap = gap;
            }
        }
    }
    return const_cast<QLabel *>(best);
}

QString groupTitle(const QWidget *w)
{
    const auto *group = qobject_cast<const QGroupBox *>(w->parentWidget());
    if (!group)
        return {};
    int fields = 0;
    for (QObject *o : group->children())
        if (auto *c = qobject_cast<QWidget *>(o); c && !c->isHidden() && reachedByTab(c))
            ++fields;
    return fields == 1 ? captionText(group->title()) : QString();
}
}  // namespace

QString nameOf(QWidget *w)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

bool reachedByTab(const QWidget *w)
{
    return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && !partOfAnother(w);
}

void nameControls(QWidget *window)
{
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window || !reachedByTab(w) || qobject_cast<QAbstractButton *>(w)
            || !w->accessibleName().isEmpty())
            continue;
        // The caption beside a field names it better than what Qt falls back on without a
        // buddy (the group's title, a combo box's current entry).
        QString name;
        if (QLabel *caption = captionLabelBeside(w)) {
            name = captionText(caption->text());
            // The label-for relation too: what names a combo box on this desktop.
            if (!caption->buddy())
                caption->setBuddy(w);
        }
        if (name.isEmpty() && nameOf(w).isEmpty())
            name = groupTitle(w);
        if (!name.isEmpty())
            w->setAccessibleName(name);
    }
}

}  // namespace accessnames
