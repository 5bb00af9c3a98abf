#pragma once
#include <QObject>
#include <QString>
#include <QTimer>

class QLabel;
class QWidget;

// What a screen reader announces by itself: a small alert of the window (role "alert"), shown
// anew for each message so the reader speaks it once. A message is said once however often
// the line showing it is redrawn; the same message again only after another one, or reset().
class LiveRegion : public QObject {
    Q_OBJECT
public:
    explicit LiveRegion(QWidget *window);

    // Announces `text` now; blank text, or the text said last, announces nothing.
    void say(const QString &text);
    // Announces `text` once it has stood unchanged for `ms` (a line that changes with each key
    // is heard when typing pauses, not at every key). Blank text cancels a pending one.
    void sayWhenSettled(const QString &text, int ms = 700);
    // The next say() speaks even the text said last (a new contact begins).
    void reset();

    QLabel *label() const { return m_label; }
    QString lastSaid() const { return m_last; }

private:
    QLabel *m_label;
    QString m_last;
    QString m_pending;
    QTimer m_settle;
};

namespace liveregion {
// A label whose text changes by itself (a clock): read as `name` and its text when the screen
// reader asks, and never announced at each change.
void makeQuiet(QLabel *label, const QString &name);
}  // namespace liveregion
