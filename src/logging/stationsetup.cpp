#include "logging/stationsetup.h"

#include "core/entryrules.h"
#include "core/fieldfile.h"
#include "core/preferences.h"
#include "core/prefixtable.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "reports/reportdata.h"
#include "ui/formscaler.h"
#include "ui/sharedpreferences.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {
// Design units are twips.
constexpr QRect twips(int x, int y, int w, int h) { return formscale::rect(x, y, w, h); }
constexpr int kRowTop = 150;
constexpr int kRowStep = 390;
}  // namespace

namespace stationsetup {

StationFields fromPreferences(const Preferences &prefs, const SettingsStore &settings)
{
    StationFields f;
    f.call = prefs.ownCall;
    f.country = prefs.ownCountry;
    f.longitude = fieldfile::formatNumber(prefs.ownLongitude);
    f.latitude = fieldfile::formatNumber(prefs.ownLatitude);
    f.state = prefs.ownState;
    f.utcOffset = fieldfile::formatNumber(prefs.utcOffset);
    f.memberNumber = prefs.ownMemberNumber;
    f.firstName = prefs.ownFirstName;
    const QString mode = prefs.currentMode.toUpper();
    if (mode == u"CW" || mode == u"PH" || mode == u"DG")
        f.mode = mode;
    if (f.call.isEmpty())
        f.call = settings.value(QStringLiteral("UserCallSign"), QString());
    // Shown as the option's caption, whatever letter case it was kept in; an old "Individual"
    // entry matches none of the options and leaves them all clear.
    reports::EntryClass entry;
    if (reports::entryFromName(settings.value(QString::fromLatin1(reports::kEntryClassKey), QString()), entry)
        && reports::stationClasses().contains(entry))
        f.entryClass = reports::entryCaption(entry);
    return f;
}

void normalise(StationFields &fields)
{
    for (QString *number : {&fields.utcOffset, &fields.longitude, &fields.latitude})
        if (!entryrules::isNumeric(*number))
            *number = QStringLiteral("0");
}

bool publish(const StationFields &f, SharedPreferences &shared, QString *error)
{
    shared.setElement(QStringLiteral("OWN_CALL"), f.call, false);
    shared.setElement(QStringLiteral("OWN_FIRST_NAME"), f.firstName, false);
    shared.setElement(QStringLiteral("OWN_SPC"), f.state, false);
    shared.setElement(QStringLiteral("OWN_UTC"), f.utcOffset, false);
    shared.setElement(QStringLiteral("OWN_COUNTRY"), f.country, false);
    shared.setElement(QStringLiteral("OWN_LONGITUDE"), f.longitude, false);
    shared.setElement(QStringLiteral("OWN_LATITUDE"), f.latitude, false);
    return shared.setElement(QStringLiteral("OWN_TEN_TEN"), f.memberNumber, true, error);
}

void takeOver(const StationFields &f, Preferences &prefs)
{
    prefs.ownCall = f.call;
    prefs.ownState = f.state;
    prefs.utcOffset = float(entryrules::numericValue(f.utcOffset));
    prefs.ownCountry = f.country;
    prefs.ownLongitude = float(entryrules::numericValue(f.longitude));
    prefs.ownLatitude = float(entryrules::numericValue(f.latitude));
    prefs.ownMemberNumber = f.memberNumber;
    prefs.ownFirstName = f.firstName;
    if (!f.mode.isEmpty())
        prefs.currentMode = f.mode;
}

}  // namespace stationsetup

frmStationID::frmStationID(const Preferences &prefs, const PrefixTable &prefixes,
                           SharedPreferences &shared, const SettingsStore &settings,
                           Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_prefixes(prefixes), m_shared(shared), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmStationID"));
    setWindowTitle(QStringLiteral(" Amateur Station I.D."));
    setModal(true);
    resize(twips(0, 0, 5100, 5960).size());

    // Created in tab order.
    Text1 = addField("Text1", QStringLiteral("Please Enter your Call Sign:"), 0);
    Text8 = addField("Text8", QStringLiteral("Your First Name:"), 1);
    Text5 = addField("Text5", QStringLiteral("State"), 2);
    Text7 = addField("Text7", QStringLiteral("Your 10-10#"), 3);
    Text2 = addField("Text2", QStringLiteral("Your Country:"), 4);
    Text3 = addField("Text3", QStringLiteral("Your Longitude:"), 5);
    Text4 = addField("Text4", QStringLiteral("Your Latitude:"), 6);
    Text6 = addField("Text6", QStringLiteral("Hours added for UTC:"), 7);
    // Pasted text meets the same rules as typed text.
    fieldkeys::guardTextFields(this, {QStringLiteral("Text1"), QStringLiteral("Text8"), QStringLiteral("Text5")});

    frameMode = new QGroupBox(QStringLiteral("Mode:"), this);
    frameMode->setObjectName(QStringLiteral("frameMode"));
    frameMode->setGeometry(twips(150, kRowTop + 8 * kRowStep + 60, 4800, 660));
    Option1 = new QRadioButton(QStringLiteral("CW"), frameMode);
    Option2 = new QRadioButton(QStringLiteral("Phone"), frameMode);
    Option3 = new QRadioButton(QStringLiteral("Digital"), frameMode);
    int x = 240;
    for (QRadioButton *option : {Option1, Option2, Option3}) {
        option->setGeometry(twips(x, 270, 1400, 300));
        x += 1500;
    }
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2->setObjectName(QStringLiteral("Option2"));
    Option3->setObjectName(QStringLiteral("Option3"));

    // The sponsor's entry classes; the report writers take the one chosen here.
    frameClass = new QGroupBox(QStringLiteral("Entry Class:"), this);
    frameClass->setObjectName(QStringLiteral("frameClass"));
    frameClass->setGeometry(twips(150, kRowTop + 8 * kRowStep + 780, 4800, 660));
    static const char *const classNames[] = {"Option4", "Option5", "Option6", "Option7", "Option8"};
    x = 120;
    for (qsizetype i = 0; i < reports::stationClasses().size(); ++i) {
        auto *option = new QRadioButton(reports::entryCaption(reports::stationClasses()[i]), frameClass);
        option->setObjectName(QLatin1String(classNames[i]));
        option->setGeometry(twips(x, 270, 900, 300));
        x += 930;
        m_classOptions << option;
    }

    Command1 = new QPushButton(QStringLiteral("Done"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips(1950, kRowTop + 8 * kRowStep + 1620, 1200, 420));
    // Enter is Done only in the fields that say so, not through a default button.
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &frmStationID::Command1_Click);

    const StationFields f = stationsetup::fromPreferences(prefs, settings);
    Text1->setText(f.call);
    Text2->setText(f.country);
    Text3->setText(f.longitude);
    Text4->setText(f.latitude);
    Text5->setText(f.state);
    Text6->setText(f.utcOffset);
    Text7->setText(f.memberNumber);
    Text8->setText(f.firstName);
    m_coordinatesRow = m_prefixes.findCountry(f.country);
    // Deleting, cutting or pasting in the country field moves the position with it too.
    connect(Text2, &QLineEdit::textEdited, this, &frmStationID::countryFollowsText);
    Option1->setChecked(f.mode == u"CW");
    Option2->setChecked(f.mode == u"PH");
    Option3->setChecked(f.mode == u"DG");
    for (qsizetype i = 0; i < m_classOptions.size(); ++i)
        m_classOptions[i]->setChecked(f.entryClass == reports::entryCaption(reports::stationClasses()[i]));
}

QLineEdit *frmStationID::addField(const char *name, const QString &caption, int row)
{
    const int y = kRowTop + row * kRowStep;
    auto *label = new QLabel(caption, this);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(twips(150, y, 2700, 300));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(twips(2950, y, 2000, 300));
    label->setBuddy(edit);
    edit->installEventFilter(this);
    return edit;
}

StationFields frmStationID::fields() const
{
    StationFields f;
    f.call = Text1->text();
    f.country = Text2->text();
    f.longitude = Text3->text();
    f.latitude = Text4->text();
    f.state = Text5->text();
    f.utcOffset = Text6->text();
    f.memberNumber = Text7->text();
    f.firstName = Text8->text();
    if (Option1->isChecked())
        f.mode = QStringLiteral("CW");
    else if (Option2->isChecked())
        f.mode = QStringLiteral("PH");
    else if (Option3->isChecked())
        f.mode = QStringLiteral("DG");
    for (qsizetype i = 0; i < m_classOptions.size(); ++i)
        if (m_classOptions[i]->isChecked())
            f.entryClass = reports::entryCaption(reports::stationClasses()[i]);
    return f;
}

void frmStationID::Command1_Click()
{
    // Every report, message and bearing starts from these two: refused rather than stored wrong.
    if (Text1->text().trimmed().isEmpty()) {
        QApplication::beep();
        m_dialogs.message(this, QStringLiteral("Please enter your call sign."), windowTitle().trimmed(),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        Text1->setFocus();
        return;
    }
    const QString country = Text2->text().trimmed();
    if (!country.isEmpty() && m_prefixes.count() > 0) {
        const int row = m_prefixes.findCountry(country);
        if (row == 0) {
            QApplication::beep();
            m_dialogs.message(this,
                              QStringLiteral("\"%1\" is not a country in the prefix table. Type the first "
                                             "letters of your country and take the name offered (USA for "
                                             "the United States).").arg(country),
                              windowTitle().trimmed(), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
            Text2->setFocus();
            Text2->selectAll();
            return;
        }
        Text2->setText(m_prefixes.row(row).country);  // a usual name is stored as the table's
    }
    StationFields f = fields();
    stationsetup::normalise(f);
    Text6->setText(f.utcOffset);
    Text3->setText(f.longitude);
    Text4->setText(f.latitude);
    QString error;
    if (!stationsetup::publish(f, m_shared, &error))
        m_dialogs.message(this,
                          QStringLiteral("Your station data could not be saved for the other "
                                         "programs.\n\n%1\n\n%2")
                              .arg(m_shared.path(), error),
                          QStringLiteral("Shared Preferences"), Dialogs::Buttons::Ok,
                          Dialogs::Icon::Warning);
    m_done = true;
    accept();
}

bool frmStationID::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit)
        return QDialog::eventFilter(watched, event);

    if (event->type() == QEvent::FocusOut && edit == Text6) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // Only moving within this window counts; another window taking over does not.
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
            || reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason)
            text6LostFocus();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;

    auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter) {
        Command1_Click();  // in every field, as the operator expects of a form
        return true;
    }
    if (edit == Text1 || edit == Text8)
        return fieldkeys::apply(edit, key, fieldkeys::Rule::Cap3NoSpace);
    if (edit == Text5)
        return fieldkeys::apply(edit, key, fieldkeys::Rule::Cap3);
    if (edit == Text6)
        return fieldkeys::apply(edit, key, fieldkeys::Rule::OffsetChars);
    if (edit == Text3 || edit == Text4)
        return fieldkeys::apply(edit, key, fieldkeys::Rule::CoordinateChars);
    if (edit == Text7)
        return fieldkeys::apply(edit, key, fieldkeys::Rule::NoQuote);
    if (edit == Text2)
        return text2KeyPress(key);
    return false;
}

bool frmStationID::text2KeyPress(QKeyEvent *event)
{
    QChar key = fieldkeys::typedChar(event);
    if (key.isNull() || key.unicode() < 32)
        return false;
    if (key == u'"')
        return true;
    const int at = fieldkeys::insertionPoint(Text2);
    if (at == 0)
        key = fieldkeys::filter(fieldkeys::Rule::Capital, key);

    const QString typed = Text2->text().left(at) + key;
    QString shown;
    const int row = m_prefixes.completeCountryName(typed, &shown);
    if (row > 0) {
        fieldkeys::showCompletion(Text2, typed, shown);
        countryFollowsText();
        return true;
    }
    if (key != fieldkeys::typedChar(event)) {
        Text2->insert(QString(key));
        countryFollowsText();
        return true;
    }
    return false;
}

void frmStationID::countryFollowsText()
{
    // The position is the country's shown, never one left from an earlier completion. A name
    // the table does not know leaves it empty until one it knows is there.
    const int row = m_prefixes.findCountry(Text2->text());
    if (row == m_coordinatesRow)
        return;
    m_coordinatesRow = row;
    if (row > 0) {
        Text3->setText(fieldfile::formatNumber(m_prefixes.row(row).longitude));
        Text4->setText(fieldfile::formatNumber(m_prefixes.row(row).latitude));
    } else {
        Text3->clear();
        Text4->clear();
    }
}

void frmStationID::text6LostFocus()
{
    if (entryrules::isNumeric(Text6->text()) || !isVisible())
        return;
    // Done turns a bad offset into "0" itself; only moving to another field is refused.
    if (QApplication::focusWidget() == Command1)
        return;
    QApplication::beep();
    QTimer::singleShot(0, Text6, [edit = Text6] { edit->setFocus(Qt::OtherFocusReason); });
}

bool runStationSetup(QWidget *parent, Preferences &prefs, const PrefixTable &prefixes,
                     SharedPreferences &shared, SettingsStore &settings, Dialogs &dialogs)
{
    frmStationID dialog(prefs, prefixes, shared, settings, dialogs, parent);
    formscale::resizeForm(&dialog, dialogs);
    dialog.exec();
    if (!dialog.donePressed())
        return false;
    const StationFields f = dialog.fields();
    stationsetup::takeOver(f, prefs);
    if (!f.entryClass.isEmpty())
        settings.setValue(QString::fromLatin1(reports::kEntryClassKey), f.entryClass);
    return true;
}
