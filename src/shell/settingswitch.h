#pragma once
#include <QString>

#include <functional>

class Dialogs;
class QAction;
class QMenu;
class QObject;
class QWidget;
class SettingsStore;

// An on/off choice kept in the settings store as "1" / "0"; no store: the default.
bool settingOn(const SettingsStore *store, const char *key, bool defaultOn);
void setSettingOn(SettingsStore *store, const char *key, bool on);

// A checkable menu item that shows the setting and keeps it when toggled.
QAction *addSettingSwitch(QMenu *menu, SettingsStore *store, const QString &name,
                          const QString &text, const char *key, bool defaultOn);

// Asks for the address a link keeps in the settings store under `key`, offering the kept one
// or `proposed`. Cancel changes nothing; "off" (any case) is the empty address, which stops
// the link. `apply` takes the answer or says why not; only a taken answer is kept, and a
// refusal is shown under `title`.
void askForAddressSetting(QWidget *parent, SettingsStore &store, Dialogs &dialogs, const char *key,
                          const QString &prompt, const QString &title, const QString &proposed,
                          const std::function<bool(const QString &address, QString *error)> &apply);
