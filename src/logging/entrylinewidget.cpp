// The entry line's controls, its dupe alarm and hold, and the logging step.
#include "logging/entrylinewidget.h"
#include "ui/liveregion.h"

#include "core/entryline.h"
#include "core/preferences.h"
#include "core/prefixtable.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "stats/heading.h"
#include "ui/fieldkeys.h"
#include "ui/formscaler.h"
#include "ui/keyfilter.h"
#include "ui/keydispatcher.h"

#include <QApplication>
#include <QColor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {
const QString kTeal = QStringLiteral("background-color: rgb(0, 192, 192);");
const QString kRed = QStringLiteral("background-color: rgb(255, 0, 0);");
constexpr qint64 kDupeHoldMs = 3000;

// Both lines change on every key in the call field; a style sheet is only set when the colour
// really changes, since applying one re-polishes the label.
void setColour(QLabel *label, const QString &styleSheet)
{
    if (label->styleSheet() != styleSheet)
        label->setStyleSheet(styleSheet);
}

int twips(int t) { return formscale::px(t); }
}  // namespace

EntryLineWidget::EntryLineWidget(const Services &services, KeyDispatcher &keys, QWidget *parent)
    : QWidget(parent),
      m_s(services),
      m_entry(*services.log, *services.clock, *services.prefs, services.logPath),
      m_keys(keys)
{
    setObjectName(QStringLiteral("EntryLine"));
    setGeometry(twips(kLeft), twips(kTop), twips(kWidth), twips(kHeight));
    buildControls();

    m_holdTimer = new QTimer(this);
    m_holdTimer->setObjectName(QStringLiteral("tmrDupeHold"));
    m_holdTimer->setSingleShot(true);
    connect(m_holdTimer, &QTimer::timeout, this, &EntryLineWidget::holdTimeout);

    m_keyIds.append(m_keys.add(KeyDispatcher::kHold, [this](QObject *target, QKeyEvent *key) {
        return holdKey(target, key);
    }));
    m_keyIds.append(m_keys.add(KeyDispatcher::kEntry, [this](QObject *target, QKeyEvent *key) {
        auto *field = qobject_cast<QLineEdit *>(target);
        return field && isEntryField(field) && handleEntryKey(field, key);
    }));
}

EntryLineWidget::~EntryLineWidget()
{
    for (int id : m_keyIds)
        m_keys.remove(id);
}

QLabel *EntryLineWidget::makeLabel(const QString &name, const QString &text, int left, int top,
                                   int width, int height)
{
    auto *label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(name);
    label->setGeometry(twips(left), twips(top - kTop), twips(width), twips(height));
    return label;
}

QLineEdit *EntryLineWidget::makeField(const QString &name, int left, int top, int width, int height)
{
    auto *field = new QLineEdit(this);
    field->setObjectName(name);
    field->setGeometry(twips(left), twips(top - kTop), twips(width), twips(height));
    field->installEventFilter(this);
    // Pasted text meets the rules typed text does: nothing log.txt cannot hold, capitals where
    // the keys type them.
    const bool capitals = name == u"txtCall" || name == u"txtRSTR";
    field->setValidator(new TextFilter(capitals, field));
    return field;
}

// Positions are the window's design twips; makeLabel and makeField subtract the widget's top.
void EntryLineWidget::buildControls()
{
    const QFont base = font();
    makeLabel(QStringLiteral("lblCallCaption"), tr("Call"), 100, 480, 1800, 240);
    makeLabel(QStringLiteral("lblNameCaption"), tr("Name"), 2000, 480, 1500, 240);
    makeLabel(QStringLiteral("lblCntryCaption"), tr("ST/Cntry"), 3600, 480, 1100, 240);
    Label3 = makeLabel(QStringLiteral("Label3"), tr("New"), 4800, 480, 500, 240);
    Label3->setStyleSheet(QStringLiteral("background-color: red; color: white;"));
    Label3->setAlignment(Qt::AlignCenter);
    Label3->hide();
    makeLabel(QStringLiteral("lblNumberCaption"), tr("10-10 #"), 5500, 480, 1000, 240);
    // The post-contest fields are wide enough for a whole date and time in the entry type.
    lblPostConDate = makeLabel(QStringLiteral("lblPostConDate"), tr("Date"), 6600, 480, 1500, 240);
    lblPostConTime = makeLabel(QStringLiteral("lblPostConTime"), tr("Time"), 8200, 480, 900, 240);
    txtCall = makeField(QStringLiteral("txtCall"), 100, 720, 1800, 380);
    txtRSTR = makeField(QStringLiteral("txtRSTR"), 2000, 720, 1500, 380);
    txtCntry = makeField(QStringLiteral("txtCntry"), 3600, 720, 1800, 380);
    txtRSTS = makeField(QStringLiteral("txtRSTS"), 5500, 720, 1000, 380);
    txtPostConDate = makeField(QStringLiteral("txtPostConDate"), 6600, 720, 1500, 380);
    txtPostConTime = makeField(QStringLiteral("txtPostConTime"), 8200, 720, 900, 380);
    for (QWidget *w : {static_cast<QWidget *>(lblPostConDate), static_cast<QWidget *>(lblPostConTime),
                       static_cast<QWidget *>(txtPostConDate), static_cast<QWidget *>(txtPostConTime)})
        w->hide();
    // What a screen reader says on arriving in each field: the captions above them are short.
    const std::pair<QLineEdit *, const char *> spoken[] = {
        {txtCall, "Call"}, {txtRSTR, "Name"}, {txtCntry, "State or country"}, {txtRSTS, "10-10 number"},
        {txtPostConDate, "Contact date"}, {txtPostConTime, "Contact time"}};
    for (const auto &[field, name] : spoken)
        field->setAccessibleName(QString::fromLatin1(name));
    QFont entryFont = base;
    entryFont.setPixelSize(16);
    entryFont.setBold(true);
    for (QLineEdit *f : {txtCall, txtRSTR, txtCntry, txtRSTS, txtPostConDate, txtPostConTime})
        f->setFont(entryFont);
    setTabOrder(txtCall, txtRSTR);
    setTabOrder(txtRSTR, txtCntry);
    setTabOrder(txtCntry, txtRSTS);
    setTabOrder(txtRSTS, txtPostConDate);
    setTabOrder(txtPostConDate, txtPostConTime);

    makeLabel(QStringLiteral("lblContinentCaption"), tr("Cont:"), 100, 1150, 550, 240);
    Label19 = makeLabel(QStringLiteral("Label19"), QString(), 650, 1150, 700, 240);
    makeLabel(QStringLiteral("lblBearingCaption"), tr("Bearing:"), 1500, 1150, 800, 240);
    Label22 = makeLabel(QStringLiteral("Label22"), QString(), 2300, 1150, 700, 240);
    makeLabel(QStringLiteral("lblMilesCaption"), tr("Miles:"), 3100, 1150, 600, 240);
    Label23 = makeLabel(QStringLiteral("Label23"), QString(), 3700, 1150, 900, 240);

    lblDialog = makeLabel(QStringLiteral("lblDialog"), QString(), 100, 1450, 9400, 330);
    lblDialog->setStyleSheet(kTeal);
    QFont statusFont = base;
    statusFont.setPixelSize(14);
    statusFont.setBold(true);
    lblDialog->setFont(statusFont);
    makeLabel(QStringLiteral("lblPossDup"), QStringLiteral("               Possible Duplicates"),
              100, 1830, 9400, 200);
    lblDupe = makeLabel(QStringLiteral("lblDupe"), QString(), 100, 2030, 9400, 300);
    lblDupe->setFont(statusFont);
    // The status and partial-dupe lines are redrawn at every key; a screen reader hears what
    // matters from the live region instead, once.
    m_live = new LiveRegion(this);
    liveregion::makeQuiet(lblDialog, QStringLiteral("Status"));
    liveregion::makeQuiet(lblDupe, QStringLiteral("Possible duplicates"));

    connect(txtCall, &QLineEdit::textChanged, this, &EntryLineWidget::callChanged);
    connect(txtCntry, &QLineEdit::textChanged, this, &EntryLineWidget::countryChanged);
    for (QLineEdit *f : {txtCall, txtRSTR, txtCntry, txtRSTS}) {
        connect(f, &QLineEdit::textChanged, this, &EntryLineWidget::entryChanged);
        // Typed into: no longer the call history's proposal.
        connect(f, &QLineEdit::textEdited, this, [this, f] { m_prefilled.remove(f); });
    }
}

bool EntryLineWidget::isEntryField(const QObject *o) const
{
    return o && o->parent() == this && qobject_cast<const QLineEdit *>(o);
}

QLineEdit *EntryLineWidget::fieldFor(ContactEntry::Field f) const
{
    switch (f) {
    case ContactEntry::Field::Call:
        return txtCall;
    case ContactEntry::Field::Name:
        return txtRSTR;
    case ContactEntry::Field::Qth:
        return txtCntry;
    case ContactEntry::Field::Date:
        return txtPostConDate;
    case ContactEntry::Field::Time:
        return txtPostConTime;
    case ContactEntry::Field::None:
        break;
    }
    return nullptr;
}

void EntryLineWidget::setStatus(const QString &text, bool alarm)
{
    setColour(lblDialog, alarm ? kRed : kTeal);
    lblDialog->setText(text);
    if (alarm)
        m_live->say(text);
}

void EntryLineWidget::announce(const QString &text) { m_live->say(text); }

void EntryLineWidget::announceWhenSettled(const QString &text) { m_live->sayWhenSettled(text); }

void EntryLineWidget::setStatusText(const QString &text) { lblDialog->setText(text); }

void EntryLineWidget::setStatusColour(const QColor &c)
{
    lblDialog->setStyleSheet(QStringLiteral("background-color: rgb(%1, %2, %3);")
                                 .arg(c.red()).arg(c.green()).arg(c.blue()));
}

void EntryLineWidget::showAlert(const QString &status, const QString &line)
{
    const QString white = QStringLiteral("background-color: white");
    lblDialog->setText(status);
    lblDialog->setStyleSheet(white);
    lblDupe->setText(line);
    lblDupe->setStyleSheet(white);
    m_live->say(status.trimmed() + u' ' + line);
}

QLabel *EntryLineWidget::addInfoLine(const QString &name, int left, int top, int width, int height)
{
    QLabel *label = makeLabel(name, QString(), left, top, width, height);
    label->hide();
    return label;
}

QString EntryLineWidget::call() const { return txtCall->text(); }

void EntryLineWidget::offerCall(const QString &call)
{
    txtCall->setFocus(Qt::OtherFocusReason);
    txtCall->setText(call);
    leaveCallField();
}

EntryLineWidget::Exchange EntryLineWidget::exchange() const
{
    return {txtRSTR->text(), txtCntry->text(), txtRSTS->text()};
}

void EntryLineWidget::prefillExchange(const Exchange &fill)
{
    const std::pair<QLineEdit *, QString> parts[] = {
        {txtRSTR, fill.name}, {txtCntry, fill.qth}, {txtRSTS, fill.number}};
    for (const auto &[field, text] : parts) {
        if (text.isEmpty())
            continue;
        field->setText(text);
        field->setCursorPosition(int(text.size()));
        field->cursorBackward(true, int(text.size()));
        m_prefilled.insert(field);
    }
}

void EntryLineWidget::showPartialLine(const QString &text)
{
    setColour(lblDupe, text.isEmpty() ? QString() : kTeal);
    lblDupe->setText(text);
}

void EntryLineWidget::setPartialDupes(bool on)
{
    // Only the colour goes back to normal; the calls listed stay readable.
    lblDupe->setStyleSheet(QString());
    m_partialDupes = on;
}

bool EntryLineWidget::togglePostContest()
{
    const bool show = txtPostConTime->isHidden();
    for (QWidget *w : {static_cast<QWidget *>(lblPostConTime), static_cast<QWidget *>(txtPostConTime),
                       static_cast<QWidget *>(lblPostConDate), static_cast<QWidget *>(txtPostConDate)})
        w->setVisible(show);
    return show;
}

void EntryLineWidget::reset()
{
    m_live->reset();
    m_possibleDupeSaid = false;
    Label3->hide();
    setStatus(QString());
    m_partialDupes = true;
}

void EntryLineWidget::focusCall() { txtCall->setFocus(); }

void EntryLineWidget::setQth(const QString &text) { txtCntry->setText(text); }

void EntryLineWidget::clearLookupLabels()
{
    Label19->clear();
    Label22->clear();
    Label23->clear();
}

void EntryLineWidget::clearFields()
{
    for (QLineEdit *f : {txtCall, txtRSTR, txtCntry, txtRSTS})
        f->clear();
    m_prefilled.clear();
    clearLookupLabels();
}

void EntryLineWidget::clearEntry()
{
    m_live->reset();
    m_possibleDupeSaid = false;
    clearFields();
    showPartialLine(QString());
    setStatus(QString());
    txtCall->setFocus();
}

// ---- The dupe alarm and its hold ----

qint64 EntryLineWidget::holdLeftMs() const
{
    return std::max<qint64>(0, kDupeHoldMs - (m_s.clock->steadyMs() - m_dupeAtMs));
}

bool EntryLineWidget::holdKey(QObject *target, QKeyEvent *key)
{
    if (m_replaying)
        return false;
    if (!m_heldKeys.isEmpty() && holdLeftMs() == 0)
        releaseHeldKeys();  // the hold is over; what waited goes first, then this key
    const bool hold = !m_heldKeys.isEmpty()
                      || (m_dupeFound && target == txtCall && isHoldableKey(key) && holdLeftMs() > 0);
    if (!hold) {
        if (m_dupeFound && target == txtCall && isHoldableKey(key))
            m_dupeFound = false;
        return false;
    }
    // Keys typed while a dupe alarm holds the call field wait their turn, in order.
    m_heldKeys.append({QPointer<QObject>(target), key->key(), key->modifiers(), key->text()});
    if (!m_holdTimer->isActive())
        m_holdTimer->start(int(holdLeftMs()));
    return true;
}

void EntryLineWidget::holdTimeout()
{
    if (const qint64 left = holdLeftMs())
        m_holdTimer->start(int(left));
    else
        releaseHeldKeys();
}

void EntryLineWidget::releaseHeldKeys()
{
    m_holdTimer->stop();
    m_dupeFound = false;
    // The alarm stays in view until the operator types after the hold, whatever the held keys
    // did to the status line.
    const QString alarm = lblDialog->text();
    const bool alarmShown = lblDialog->styleSheet() == kRed;
    QList<HeldKey> keys = std::exchange(m_heldKeys, {});
    m_replaying = true;
    while (!keys.isEmpty()) {
        const HeldKey k = keys.takeFirst();
        // A held key goes where the focus is now, as it would have had it been typed now.
        QObject *target = QApplication::focusWidget() ? QApplication::focusWidget() : k.target.data();
        if (!target)
            continue;
        QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.text);
        QCoreApplication::sendEvent(target, &press);
        if (m_dupeFound && !keys.isEmpty()) {
            // A replayed call raised a new dupe alarm: the rest waits for that one.
            m_heldKeys = keys;
            m_holdTimer->start(int(holdLeftMs()));
            break;
        }
    }
    m_replaying = false;
    if (!m_dupeFound && alarmShown)
        setStatus(alarm, true);
}

void EntryLineWidget::raiseDupeAlarm(int record)
{
    setStatus(entryline::dupeLine(m_s.log->record(record), record), true);
    showPartialLine(QString());
    QApplication::beep();
    emit announcementRequested(QStringLiteral("Dupe"));
    m_dupeFound = true;
    m_dupeAtMs = m_s.clock->steadyMs();
    txtCall->setFocus();
    clearFields();
}

void EntryLineWidget::dupcheck()
{
    m_dupeFound = false;
    if (const int n = m_entry.dupeOf(txtCall->text()))
        raiseDupeAlarm(n);
}

// ---- The logging step ----

ContactEntry::Fields EntryLineWidget::fields() const
{
    ContactEntry::Fields f;
    f.call = txtCall->text();
    f.name = txtRSTR->text();
    f.qth = txtCntry->text();
    f.number = txtRSTS->text();
    f.postContest = postContest();
    f.date = txtPostConDate->text();
    f.time = txtPostConTime->text();
    return f;
}

// Shown or not, whatever the state of the window itself (minimised, covered).
bool EntryLineWidget::postContest() const { return !txtPostConTime->isHidden(); }

ContactEntry::Result EntryLineWidget::checkEntry() const { return m_entry.check(fields()); }

void EntryLineWidget::focusField(ContactEntry::Field field)
{
    if (QLineEdit *f = fieldFor(field))
        f->setFocus(Qt::TabFocusReason);
}

bool EntryLineWidget::logCurrentContact()
{
    if (m_replaying) {
        // A logging key typed during a dupe alarm belongs to the refused contact: what was typed
        // with it goes, and nothing is logged. Keys typed after it start the next contact.
        clearFields();
        txtCall->setFocus();
        return false;
    }
    ContactEntry::Fields f = fields();

    m_inMains = true;
    const ContactEntry::Result r = m_entry.log(f, !Label3->isHidden());
    if (f.number != txtRSTS->text() && !r.clearFields)
        txtRSTS->setText(f.number);
    for (int i = 0; i < r.beeps; ++i)
        QApplication::beep();
    if (r.dupeRecord) {
        raiseDupeAlarm(r.dupeRecord);
    } else if (QLineEdit *focus = fieldFor(r.focus)) {
        focus->setFocus();
    }
    m_inMains = false;
    if (f.postContest) {
        // Shown in their stored forms, as far as they were read.
        if (f.date != txtPostConDate->text())
            txtPostConDate->setText(f.date);
        if (f.time != txtPostConTime->text())
            txtPostConTime->setText(f.time);
    }
    setStatus(r.status, r.dupe);

    switch (r.outcome) {
    case ContactEntry::Outcome::BadDateTime:
    case ContactEntry::Outcome::Full:
        return false;
    case ContactEntry::Outcome::WriteFailed:
        m_s.dialogs->message(this,
                             QStringLiteral("The contact was not logged because log.txt could not be "
                                            "written:\r\n%1\r\n\r\nFree some disk space or fix the "
                                            "folder's permissions, then press Enter again.")
                                 .arg(r.error),
                             QStringLiteral("Log Not Saved"), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return false;
    case ContactEntry::Outcome::Logged:
        if (!r.notice.isEmpty())
            m_s.dialogs->message(this, r.notice, QStringLiteral("Log Written Again"), Dialogs::Buttons::Ok,
                                 Dialogs::Icon::Warning);
        break;
    case ContactEntry::Outcome::Incomplete:
    case ContactEntry::Outcome::Dupe:
        break;
    }
    const bool logged = r.outcome == ContactEntry::Outcome::Logged;
    if (logged) {
        clearFields();
        txtCall->setFocus();
    }
    showPartialLine(QString());
    emit enterFinished(logged, r.dxListGrew);
    return logged;
}
