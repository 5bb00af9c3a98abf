#pragma once
#include <QList>

#include <functional>

class QKeyEvent;
class QObject;

// Key preview for one window: every key pressed in the window is offered to the handlers in
// their order until one takes it. Subsystems (dupe hold, CW and voice keys, the entry line)
// register their own handlers; the shell hard-codes none.
//
// Thread contract: GUI thread only.
class KeyDispatcher {
public:
    // Returns true when the handler took the key (the focused control never sees it).
    using Handler = std::function<bool(QObject *target, QKeyEvent *key)>;

    // Order values: lower asks first. Handlers with the same order are asked in the order they
    // were added. Returns an id for remove().
    int add(int order, Handler handler);
    void remove(int id);

    bool dispatch(QObject *target, QKeyEvent *key) const;

    // Orders the shell uses, so subsystems place themselves between them.
    static constexpr int kHold = 100;      // the dupe hold swallows keys first
    static constexpr int kCommands = 200;  // Esc, Ctrl shortcuts, function keys
    static constexpr int kEntry = 300;     // the entry line's own keys

private:
    struct Entry {
        int id;
        int order;
        Handler handler;
    };
    QList<Entry> m_entries;
    int m_nextId = 1;
};
