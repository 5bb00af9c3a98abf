#pragma once
#include "ui/fieldkeys.h"

#include <QDialog>
#include <QList>
#include <QString>

class Dialogs;
class PrefixTable;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SettingsStore;
class SharedPreferences;
struct Preferences;

// The own-station facts as the setup window shows them: text, as typed.
struct StationFields {
    QString call;          // Text1
    QString country;       // Text2
    QString longitude;     // Text3
    QString latitude;      // Text4
    QString state;         // Text5
    QString utcOffset;     // Text6
    QString memberNumber;  // Text7
    QString firstName;     // Text8
    QString mode;          // "CW", "PH", "DG", or empty when no option is set
    QString entryClass;    // "QRP", "Low", "High", "Club", "Mobile", or empty when none is set

    bool operator==(const StationFields &) const = default;
};

namespace stationsetup {

// What the window shows on opening: the preferences, the mode option matching the current mode
// (any letter case), and the stored "UserCallSign" when the preferences hold no call.
StationFields fromPreferences(const Preferences &prefs, const SettingsStore &settings);

// Done, first step: an offset, longitude or latitude that is not a number becomes "0".
void normalise(StationFields &fields);

// Done, second step: the eight shared elements in their fixed order; the file is written once,
// with the last of them.
bool publish(const StationFields &fields, SharedPreferences &shared, QString *error = nullptr);

// Takes the fields over into the preferences (numbers as numbers). The mode is taken only when
// an option was set.
void takeOver(const StationFields &fields, Preferences &prefs);

}  // namespace stationsetup

// " Amateur Station I.D.": the operator's own station data.
class frmStationID : public QDialog {
    Q_OBJECT

public:
    frmStationID(const Preferences &prefs, const PrefixTable &prefixes, SharedPreferences &shared,
                 const SettingsStore &settings, Dialogs &dialogs, QWidget *parent = nullptr);

    StationFields fields() const;
    bool donePressed() const { return m_done; }

public slots:
    void Command1_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *addField(const char *name, const QString &caption, int row);
    bool text2KeyPress(QKeyEvent *event);
    void text6LostFocus();
    void countryFollowsText();

    const PrefixTable &m_prefixes;
    SharedPreferences &m_shared;
    Dialogs &m_dialogs;
    QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5, *Text6, *Text7, *Text8;
    QGroupBox *frameMode;
    QRadioButton *Option1, *Option2, *Option3;
    QGroupBox *frameClass;
    QList<QRadioButton *> m_classOptions;
    QPushButton *Command1;
    bool m_done = false;
    int m_coordinatesRow = 0;  // the prefix-table row the position fields were last set from
};

// The Setup menu command's dialog step: shows the window modally. When the operator pressed
// Done, the shared elements are published and `prefs` takes the values over (currentMode
// included); the caller then runs the mode handler, shows the own labels and saves the
// preferences. A chosen entry class is kept in the settings store. Closing with the window
// button changes nothing and returns false.
bool runStationSetup(QWidget *parent, Preferences &prefs, const PrefixTable &prefixes,
                     SharedPreferences &shared, SettingsStore &settings, Dialogs &dialogs);
