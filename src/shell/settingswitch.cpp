#include "shell/settingswitch.h"

#include "platform/settingsstore.h"

#include <QAction>
#include <QMenu>

bool settingOn(const SettingsStore *store, const char *key, bool defaultOn)
{
    if (!store)
        return defaultOn;
    return store->value(QString::fromLatin1(key), defaultOn ? QStringLiteral("1") : QStringLiteral("0"))
           != u"0";
}

void setSettingOn(SettingsStore *store, const char *key, bool on)
{
    if (store)
        store->setValue(QString::fromLatin1(key), on ? QStringLiteral("1") : QStringLiteral("0"));
}

QAction *addSettingSwitch(QMenu *menu, SettingsStore *store, const QString &name,
                          const QString &text, const char *key, bool defaultOn)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(name);
    a->setCheckable(true);
    a->setChecked(settingOn(store, key, defaultOn));
    QObject::connect(a, &QAction::toggled, menu, [store, key](bool on) { setSettingOn(store, key, on); });
    return a;
}
