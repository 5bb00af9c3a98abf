#include "logging/editcontact.h"

#include "core/entryrules.h"
#include "ui/fieldkeys.h"
#include "core/logstore.h"
#include "core/prefixtable.h"
#include "platform/dialogs.h"
#include "ui/formscaler.h"

#include <QApplication>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTime>
#include <QTimer>

namespace {
// Design units are twips.
constexpr QRect twips(int x, int y, int w, int h) { return formscale::rect(x, y, w, h); }

const QString kTimeMessage = QStringLiteral("You have entered an invalid time format!");
const QString kTimeTitle = QStringLiteral("Invalid Time Format!");
const QString kDateMessage = QStringLiteral("You have entered an invalid date format!");
const QString kDateTitle = QStringLiteral("Invalid Date Format!");
}  // namespace

namespace editcontact {

Verdict check(const LogStore &store, int editedRecord, const QsoRecord &typed)
{
    Verdict v;
    const QString mode = typed.mode.toUpper();
    if (mode != u"CW" && mode != u"PH" && mode != u"DG") {
        v.refusal = Refusal::Mode;
        return v;
    }
    // Same rule as the entry line: a zero or a non-number is no 10-10 number and scores 1.
    v.memberNumber = entryrules::memberNumberOrNone(typed.memberNumber);
    v.points = entryrules::pointsFor(v.memberNumber);

    QTime time;
    if (!entryrules::isValidTime(typed.time, &time)) {
        v.refusal = Refusal::Time;
        return v;
    }
    QDate date;
    if (!entryrules::isValidDate(typed.date, &date)) {
        v.refusal = Refusal::Date;
        return v;
    }

    v.dupeOf = entryrules::findDupe(store, typed.call, editedRecord);
    const QString qth = typed.qth.trimmed();
    v.invalidState = qth.size() == 2 && !entryrules::isStateAbbreviation(qth);
    if (v.dupeOf || v.invalidState) {
        v.refusal = Refusal::DupeOrState;
        return v;
    }

    const bool seconds = typed.time.count(u':') == 2;
    v.stored = {typed.call.trimmed(),
                typed.name.trimmed(),
                qth,
                v.memberNumber,
                v.points,
                date.toString(QStringLiteral("yyyy/MM/dd")),
                time.toString(seconds ? QStringLiteral("hh:mm:ss") : QStringLiteral("hh:mm")),
                typed.mode};
    return v;
}

}  // namespace editcontact

frmEditCon::frmEditCon(LogStore &store, int editedRecord, const PrefixTable &prefixes,
                       Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_store(store), m_editedRecord(editedRecord), m_prefixes(prefixes),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmEditCon"));
    setWindowTitle(QStringLiteral("Edit Contact Entry"));
    setModal(true);
    resize(twips(0, 0, 6300, 2850).size());

    auto *heading = new QLabel(QStringLiteral("Edit Contact:"), this);
    heading->setTextFormat(Qt::PlainText);
    heading->setObjectName(QStringLiteral("lblEditHeading"));
    heading->setGeometry(twips(150, 120, 3000, 300));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    // Created in tab order.
    txtEditCall = addField("txtEditCall", QStringLiteral("Callsign"), 0, 0);
    txtEditCk = addField("txtEditCk", QStringLiteral("Name"), 1, 0);
    txtEditSec = addField("txtEditSec", QStringLiteral("Sec/Ctry"), 0, 1);
    txtEditNum = addField("txtEditNum", QStringLiteral("10-10#"), 1, 1);
    txtEditDate = addField("txtEditDate", QStringLiteral("Date"), 0, 2);
    txtEditTime = addField("txtEditTime", QStringLiteral("Time"), 1, 2);
    txtEditBnd = addField("txtEditBnd", QStringLiteral("Points"), 0, 3);
    txtMode = addField("txtMode", QStringLiteral("Mode"), 1, 3);
    // Pasted text meets the same rules as typed text.
    fieldkeys::guardTextFields(this, {QStringLiteral("txtEditCall"), QStringLiteral("txtEditCk"),
                                      QStringLiteral("txtMode")});

    Label1 = new QLabel(QStringLiteral(" Dupe!"), this);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("   Invalid!"), this);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label1->setGeometry(twips(150, 2100, 1200, 330));
    Label2->setGeometry(twips(1350, 2100, 1400, 330));
    for (QLabel *warning : {Label1, Label2}) {
        warning->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
        warning->hide();
    }

    cmdDone = new QPushButton(QStringLiteral("Done"), this);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setGeometry(twips(3000, 2070, 1350, 420));
    cmdDeleteDupe = new QPushButton(QStringLiteral("Delete Dupe"), this);
    cmdDeleteDupe->setObjectName(QStringLiteral("cmdDeleteDupe"));
    cmdDeleteDupe->setGeometry(twips(4500, 2070, 1650, 420));
    cmdDeleteDupe->hide();
    // Enter is Done in the fields that say so; in the mode field it does nothing.
    for (QPushButton *button : {cmdDone, cmdDeleteDupe})
        button->setAutoDefault(false);
    connect(cmdDone, &QPushButton::clicked, this, &frmEditCon::cmdDone_Click);
    connect(cmdDeleteDupe, &QPushButton::clicked, this, &frmEditCon::cmdDeleteDupe_Click);

    if (m_editedRecord >= 1 && m_editedRecord <= m_store.count()) {
        const QsoRecord &r = m_store.record(m_editedRecord);
        txtEditCall->setText(r.call);
        txtEditCk->setText(r.name);
        txtEditSec->setText(r.qth);
        txtEditNum->setText(r.memberNumber);
        txtEditDate->setText(r.date);
        txtEditTime->setText(r.time);
        txtEditBnd->setText(r.points);
        txtMode->setText(r.mode);
    }
}

QLineEdit *frmEditCon::addField(const char *name, const QString &caption, int column, int row)
{
    const int x = 150 + column * 3075;
    const int y = 540 + row * 375;
    auto *label = new QLabel(caption, this);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(twips(x, y, 1000, 300));
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(twips(x + 1050, y, 1900, 300));
    label->setBuddy(edit);
    edit->installEventFilter(this);
    return edit;
}

QsoRecord frmEditCon::fields() const
{
    return {txtEditCall->text(), txtEditCk->text(), txtEditSec->text(), txtEditNum->text(),
            txtEditBnd->text(), txtEditDate->text(), txtEditTime->text(), txtMode->text()};
}

bool frmEditCon::checkTime()
{
    if (entryrules::isValidTime(txtEditTime->text()))
        return true;
    QApplication::beep();
    m_dialogs.message(this, kTimeMessage, kTimeTitle);
    txtEditTime->setFocus(Qt::OtherFocusReason);
    return false;
}

bool frmEditCon::checkDate()
{
    if (entryrules::isValidDate(txtEditDate->text()))
        return true;
    QApplication::beep();
    m_dialogs.message(this, kDateMessage, kDateTitle);
    txtEditDate->setFocus(Qt::OtherFocusReason);
    return false;
}

void frmEditCon::cmdDone_Click()
{
    const editcontact::Verdict v = editcontact::check(m_store, m_editedRecord, fields());
    if (v.refusal == editcontact::Refusal::Mode) {
        m_dialogs.message(this, QStringLiteral("The mode must be CW, PH or DG!"),
                          QStringLiteral("Invalid Mode!"));
        return;
    }
    txtEditNum->setText(v.memberNumber);
    txtEditBnd->setText(v.points);
    if (v.refusal == editcontact::Refusal::Time) {
        checkTime();
        return;
    }
    if (v.refusal == editcontact::Refusal::Date) {
        checkDate();
        return;
    }
    // Delete Dupe is offered only while the call is a dupe.
    Label1->setVisible(v.dupeOf != 0);
    cmdDeleteDupe->setVisible(v.dupeOf != 0);
    Label2->setVisible(v.invalidState);
    if (v.dupeOf || v.invalidState) {
        QApplication::beep();
        return;
    }
    if (m_editedRecord < 1 || m_editedRecord > m_store.count())
        return;
    m_store.replaceRecord(m_editedRecord, v.stored);
    txtEditDate->setText(v.stored.date);
    txtEditTime->setText(v.stored.time);
    m_outcome = Outcome::Stored;
    accept();
}

void frmEditCon::cmdDeleteDupe_Click()
{
    m_outcome = Outcome::DeleteRequested;
    accept();
}

bool frmEditCon::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit)
        return QDialog::eventFilter(watched, event);

    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (edit == txtEditNum && txtEditNum->text().isEmpty())
            txtEditNum->setText(QStringLiteral("None"));
        else if (edit == txtEditSec && txtEditSec->text().size() == 2)
            txtEditSec->setText(txtEditSec->text().toUpper());
        // Only moving within this window counts; a message box or another window taking over
        // does not, and the buttons run their own checks.
        const bool withinWindow = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
                                  || reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason;
        const QWidget *next = QApplication::focusWidget();
        if ((edit == txtEditDate || edit == txtEditTime) && withinWindow && next != cmdDone
            && next != cmdDeleteDupe)
            lostFocusCheck(edit);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;

    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (edit != txtMode)
            cmdDone_Click();
        return true;
    }
    if (edit == txtEditCall || edit == txtEditCk || edit == txtEditNum)
        return fieldkeys::apply(edit, key, fieldkeys::Rule::Cap3);
    if (edit == txtEditDate)
        return fieldkeys::apply(edit, key, fieldkeys::Rule::DateChars);
    if (edit == txtEditTime)
        return fieldkeys::apply(edit, key, fieldkeys::Rule::TimeChars);
    if (edit == txtEditBnd)
        return fieldkeys::apply(edit, key, fieldkeys::Rule::Digits);
    if (edit == txtMode)
        return fieldkeys::apply(edit, key, fieldkeys::Rule::Capital);
    if (edit == txtEditSec)
        return txtEditSecKeyPress(key);
    return false;
}

void frmEditCon::lostFocusCheck(QLineEdit *edit)
{
    // After the focus change has settled, so the message box does not open inside it.
    QTimer::singleShot(0, this, [this, edit] {
        if (!isVisible())
            return;
        if (edit == txtEditDate)
            checkDate();
        else
            checkTime();
    });
}

bool frmEditCon::txtEditSecKeyPress(QKeyEvent *event)
{
    const QChar typedKey = fieldkeys::typedChar(event);
    QChar key = typedKey;
    if (key.isNull())
        return false;
    if (key == u'"')
        return true;
    if (key.unicode() < 32)
        return false;

    const QString text = txtEditSec->text();
    if (text.size() < 2)
        key = fieldkeys::filter(fieldkeys::Rule::Capital, key);
    if (text.size() == 2 && key.unicode() > 32) {
        // An abbreviation running on into a name reads as a name.
        txtEditSec->setText(text.left(1) + text.mid(1).toLower());
        txtEditSec->setCursorPosition(2);
    }
    const int at = fieldkeys::insertionPoint(txtEditSec);
    if (at > 1) {
        const QString typed = txtEditSec->text().left(at) + key;
        if (const int row = m_prefixes.completeCountry(typed)) {
            fieldkeys::showCompletion(txtEditSec, typed, m_prefixes.row(row).country);
            return true;
        }
    }
    if (key != typedKey) {
        txtEditSec->insert(QString(key));
        return true;
    }
    return false;
}

frmEditCon::Outcome runEditContact(QWidget *parent, LogStore &store, int recordNumber,
                                   const PrefixTable &prefixes, Dialogs &dialogs)
{
    if (recordNumber < 1 || recordNumber > store.count())
        return frmEditCon::Outcome::Closed;
    frmEditCon dialog(store, recordNumber, prefixes, dialogs, parent);
    formscale::resizeForm(&dialog, dialogs);
    dialog.exec();
    return dialog.outcome();
}

bool deleteRecordWithConfirmation(QWidget *parent, LogStore &store, int n, Dialogs &dialogs)
{
    if (n < 1 || n > store.count())
        return false;
    const auto answer = dialogs.message(parent, QStringLiteral("Are you sure?"),
                                        QStringLiteral("Are you sure?"), Dialogs::Buttons::YesNo,
                                        Dialogs::Icon::Question);
    if (answer != Dialogs::Answer::Yes)
        return false;
    store.removeRecord(n);
    return true;
}
