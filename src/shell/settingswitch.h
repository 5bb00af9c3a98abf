#pragma once
#include <QString>

class QAction;
class QMenu;
class QObject;
class SettingsStore;

// An on/off choice kept in the settings store as "1" / "0"; no store: the default.
bool settingOn(const SettingsStore *store, const char *key, bool defaultOn);
void setSettingOn(SettingsStore *store, const char *key, bool on);

// A checkable menu item that shows the setting and keeps it when toggled.
QAction *addSettingSwitch(QMenu *menu, SettingsStore *store, const QString &name,
                          const QString &text, const char *key, bool defaultOn);
