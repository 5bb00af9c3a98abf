#include "reports/exportjobs.h"
#include <QFileInfo>
#include <QLineEdit>
#include <QFormLayout>
#include <QDialogButtonBox>
#include <QDialog>
#include <QComboBox>
#include "core/preferences.h"
#include "reports/cabrillowriter.h"
#include "reports/contestadif.h"

#include "core/fieldfile.h"
#include "core/logstore.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "reports/adifwriter.h"

#include <QApplication>
#include <QDir>

namespace exportjobs {

namespace {
void unableToWrite(const ReportContext &ctx, QWidget *parent, const QString &why)
{
    QApplication::beep();
    ctx.dialogs->message(parent, why, QStringLiteral("Unable to write file."), Dialogs::Buttons::Ok,
                         Dialogs::Icon::Critical);
}
}  // namespace

bool exportAdif(const ReportContext &ctx, QWidget *parent)
{
    Dialogs &dialogs = *ctx.dialogs;
    AdifWriter::Options options;
    options.power = dialogs.input(parent,
                                  QStringLiteral("Please enter the power value that you would like to record.  This is an "
                                                 "optional value that will be included in each QSO record and displayed in "
                                                 "Tallis's power output column."),
                                  QStringLiteral("Please enter your transmitter output power."), QStringLiteral("100"));
    options.comment = dialogs.input(parent,
                                    QStringLiteral("Please enter a comment that you would like to appear on each QSO record.  "
                                                   "This is an optional description that will be displayed in Tallis's "
                                                   "Comments column."),
                                    QStringLiteral("Please enter a comment."), QStringLiteral("Vardel Contest"));

    AdifCountryTable table;
    QString why;
    if (!table.load(locateDataFile(ctx.folders, QString::fromLatin1(AdifCountryTable::kFileName)), &why)) {
        unableToWrite(ctx, parent, why);
        return false;
    }

    const QString path = dialogs.saveFile(parent, QStringLiteral("Save As"),
                                          proposedAdifPath(ctx.folders),
                                          QStringLiteral("ADIF Files (*.adi)"));
    if (path.isEmpty())
        return false;

    options.windowTitle = ctx.windowTitle;
    options.exportedOn = reports::generalDateTime(ctx.clock->localNow());
    options.askDesignator = [&dialogs, parent] {
        QApplication::beep();
        return dialogs.input(parent, QStringLiteral("Please specify a mode designation for digital contacts"),
                             QStringLiteral("Digital Mode Designator?"), QStringLiteral("RTTY"));
    };
    AdifWriter writer(table, options);
    if (!fieldfile::writeFileAtomic(path, writer.build(ctx.log->records()), &why)) {
        unableToWrite(ctx, parent, why);
        return false;
    }
    dialogs.message(parent, reports::writtenToMessage(path), QStringLiteral("File Written Successfully."));
    return true;
}

bool exportContestAdif(const ReportContext &ctx, QWidget *parent)
{
    // One dialog for every choice, each with the value an operator most often wants.
    QDialog ask(parent);
    ask.setObjectName(QStringLiteral("frmContestAdif"));
    ask.setWindowTitle(QStringLiteral("Export Contest ADIF"));
    auto *form = new QFormLayout(&ask);
    auto *contest = new QComboBox(&ask);
    contest->setObjectName(QStringLiteral("cboContest"));
    for (reports::Contest c : reports::allContests())
        contest->addItem(reports::contestCaption(c), int(c));
    contest->setCurrentIndex(contest->findData(int(reports::proposedContest(ctx.log->records(), ctx.clock->localNow().date()))));
    auto *power = new QLineEdit(QStringLiteral("100"), &ask);
    power->setObjectName(QStringLiteral("txtPower"));
    auto *comment = new QLineEdit(&ask);
    comment->setObjectName(QStringLiteral("txtComment"));
    auto *digital = new QLineEdit(QStringLiteral("RTTY"), &ask);
    digital->setObjectName(QStringLiteral("txtDigitalMode"));
    form->addRow(QStringLiteral("&Event:"), contest);
    form->addRow(QStringLiteral("Transmitter &power (W):"), power);
    form->addRow(QStringLiteral("&Comment on each contact:"), comment);
    form->addRow(QStringLiteral("&Digital contacts were:"), digital);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    form->addRow(buttons);
    if (ask.exec() != QDialog::Accepted)
        return false;

    AdifCountryTable table;
    QString why;
    if (!table.load(locateDataFile(ctx.folders, QString::fromLatin1(AdifCountryTable::kFileName)), &why)) {
        unableToWrite(ctx, parent, why);
        return false;
    }
    const QString path = ctx.dialogs->saveFile(parent, QStringLiteral("Save As"),
                                               QFileInfo(proposedAdifPath(ctx.folders)).dir().filePath(QStringLiteral("Vardel-contest.adi")),
                                               QStringLiteral("ADIF Files (*.adi)"));
    if (path.isEmpty())
        return false;
    const reports::StationInfo station = ctx.station();
    ContestAdifWriter::Options o;
    o.stationCall = station.call.trimmed().toUpper();
    o.contestId = CabrilloWriter::contest3(reports::Contest(contest->currentData().toInt()), ctx.log->records());
    o.sentExchange = QStringList{ctx.prefs->ownFirstName, ctx.prefs->ownState, ctx.prefs->ownMemberNumber}.join(u' ');
    o.power = power->text();
    o.comment = comment->text();
    o.digitalMode = digital->text();
    o.programVersion = QString::fromLatin1(reports::kProgramVersion);
    o.createdUtc = ctx.clock->utcNow();
    o.frequencyOf = ctx.frequencyOf;
    o.submodeOf = ctx.submodeOf;
    if (!fieldfile::writeFileAtomic(path, ContestAdifWriter(table, ctx.prefixes, o).build(ctx.log->records()), &why)) {
        unableToWrite(ctx, parent, why);
        return false;
    }
    ctx.dialogs->message(parent, reports::writtenToMessage(path), QStringLiteral("File Written Successfully."));
    return true;
}

QString tallisSuccessMessage(const QString &workingDir)
{
    return QStringLiteral("LogExp.txt has been written to this program's working directory ") + workingDir
           + QStringLiteral(".  Import these contacts into the Tallis program by clicking File, Import-Tallis Format, "
                            "and navigating to this directory from the Tallis program.  ADIF is the preferred method "
                            "of transfering your contacts to Tallis.");
}

bool writeTallisFile(const ReportContext &ctx, QWidget *parent, const TallisExport::Options &options)
{
    const QString path = ctx.folders.workFile(QString::fromLatin1(TallisExport::kFileName));
    QString why;
    if (!fieldfile::writeFileAtomic(path, TallisExport::build(ctx.log->records(), options), &why)) {
        unableToWrite(ctx, parent, why);
        return false;
    }
    QApplication::beep();
    ctx.dialogs->message(parent, tallisSuccessMessage(ctx.folders.workingDir), QStringLiteral("Export Successful!"));
    return true;
}

}  // namespace exportjobs
