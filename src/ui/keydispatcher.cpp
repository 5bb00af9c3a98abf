#include "ui/keydispatcher.h"

#include <algorithm>

int KeyDispatcher::add(int order, Handler handler)
{
    const int id = m_nextId++;
    auto at = std::upper_bound(m_entries.begin(), m_entries.end(), order,
                               [](int o, const Entry &e) { return o < e.order; });
    m_entries.insert(at, Entry{id, order, std::move(handler)});
    return id;
}

void KeyDispatcher::remove(int id)
{
    m_entries.removeIf([id](const Entry &e) { return e.id == id; });
}

bool KeyDispatcher::dispatch(QObject *target, QKeyEvent *key) const
{
    // A handler may add or remove handlers while it runs; ask a copy.
    const QList<Entry> entries = m_entries;
    for (const Entry &e : entries) {
        if (e.handler(target, key))
            return true;
    }
    return false;
}
