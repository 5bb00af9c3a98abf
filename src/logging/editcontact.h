#pragma once
#include "core/qsorecord.h"

#include <QDialog>

class Dialogs;
class LogStore;
class PrefixTable;
class QLabel;
class QLineEdit;
class QPushButton;

namespace editcontact {

// Why Done refused an edit, in the order the checks run.
enum class Refusal { None, Mode, Time, Date, DupeOrState };

struct Verdict {
    Refusal refusal = Refusal::None;
    QString memberNumber;   // the 10-10 number as it will be stored ("None" unless a non-zero number)
    QString points;         // recomputed from it; a typed value never counts
    int dupeOf = 0;         // first other record with the same call, 0 when none
    bool invalidState = false;
    QsoRecord stored;       // what goes into the log when nothing was refused
};

// Done's checks on the edited fields of record `editedRecord`: mode, then time, then date,
// then dupe and state together. Dates and times are stored in the entry line's forms
// ("yyyy/mm/dd"; "hh:mm:ss", or "hh:mm" when no seconds were typed) so every reader of the log
// finds one form; blanks around call, name and qth are dropped.
Verdict check(const LogStore &store, int editedRecord, const QsoRecord &typed);

}  // namespace editcontact

// "Edit Contact Entry": corrects one logged contact in memory. The caller rewrites and reloads
// the log file afterwards.
class frmEditCon : public QDialog {
    Q_OBJECT

public:
    enum class Outcome { Closed, Stored, DeleteRequested };

    frmEditCon(LogStore &store, int editedRecord, const PrefixTable &prefixes, Dialogs &dialogs,
               QWidget *parent = nullptr);

    int editedRecord() const { return m_editedRecord; }
    Outcome outcome() const { return m_outcome; }
    QsoRecord fields() const;

public slots:
    void cmdDone_Click();
    void cmdDeleteDupe_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *addField(const char *name, const QString &caption, int column, int row);
    bool txtEditSecKeyPress(QKeyEvent *event);
    bool checkTime();
    bool checkDate();
    void lostFocusCheck(QLineEdit *edit);

    LogStore &m_store;
    const int m_editedRecord;
    const PrefixTable &m_prefixes;
    Dialogs &m_dialogs;
    Outcome m_outcome = Outcome::Closed;

    QLineEdit *txtEditCall, *txtEditCk, *txtEditSec, *txtEditNum;
    QLineEdit *txtEditDate, *txtEditTime, *txtEditBnd, *txtMode;
    QLabel *Label1, *Label2;
    QPushButton *cmdDone, *cmdDeleteDupe;
};

// The Edit Contact command's dialog step, on record `recordNumber` (1-based). The record is
// changed in `store` only by a successful Done. DeleteRequested means the operator pressed
// "Delete Dupe": run deleteRecordWithConfirmation on the same record. In every case the caller
// then refills the list, rewrites the log file and reloads it.
frmEditCon::Outcome runEditContact(QWidget *parent, LogStore &store, int recordNumber,
                                   const PrefixTable &prefixes, Dialogs &dialogs);

// Delete Contact (and Delete Dupe): asks "Are you sure?"; on Yes removes record `n` from
// `store`, later records moving up one number. True when removed; the caller rewrites the log
// file and reloads it.
bool deleteRecordWithConfirmation(QWidget *parent, LogStore &store, int n, Dialogs &dialogs);
