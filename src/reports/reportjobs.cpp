#include "reports/reportjobs.h"

#include "core/fieldfile.h"
#include "core/logstore.h"
#include "core/preferences.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "reports/cabrillowriter.h"
#include "reports/coversheetwriter.h"
#include "reports/reportprinter.h"
#include "ui/sharedpreferences.h"

#include <QApplication>
#include <QDir>
#include <QPagedPaintDevice>

using namespace reports;

namespace {
const QString kUnableTitle = QStringLiteral("Unable to write file.");
const QString kSponsor = QString::fromLatin1(kSponsorSubmissionAddress);
}  // namespace

StationInfo ReportContext::station() const
{
    StationInfo s;
    if (prefs) {
        s.call = prefs->ownCall.trimmed();
        s.memberNumber = prefs->ownMemberNumber;
        s.firstName = prefs->ownFirstName;
        s.state = prefs->ownState;
    }
    return s;
}

void ReportJobs::failed(const QString &why)
{
    QApplication::beep();
    m_ctx.dialogs->message(m_parent, why, kUnableTitle, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

template <typename Build>
bool ReportJobs::writeFile(const QString &extension, const QString &filter, Build build, QString &path)
{
    const QString proposed = proposedReportPath(m_ctx.folders, m_ctx.station().call, extension);
    path = m_ctx.dialogs->saveFile(m_parent, QStringLiteral("Save As"), proposed, filter);
    if (path.isEmpty())
        return false;  // cancelled: nothing written, nothing said
    QByteArray bytes;
    QString why;
    if (!build(bytes, &why) || !fieldfile::writeFileAtomic(path, bytes, &why)) {
        failed(why);
        return false;
    }
    QApplication::beep();
    return true;
}

QString ReportJobs::cabrilloMessage(const QString &path)
{
    return writtenToMessage(path) + QStringLiteral("\r\n\r\nAttach this file to an e-mail addressed to ")
           + kSponsor + QLatin1Char('.');
}

bool ReportJobs::writeCabrillo(const ReportFields &fields, CabrilloWriter::Format format)
{
    CabrilloWriter writer(m_ctx.station(), fields, m_ctx.scoreText, m_ctx.windowTitle, format);
    writer.setFrequencyOf(m_ctx.frequencyOf);
    QString path;
    if (!writeFile(QStringLiteral(".log"), QStringLiteral("LOG Files (*.log)"),
                   [&](QByteArray &bytes, QString *why) { return writer.build(m_ctx.log->records(), bytes, why); },
                   path))
        return false;
    m_ctx.dialogs->message(m_parent, cabrilloMessage(path), QStringLiteral("File Written Successfully."));
    storeAddress(fields);
    return true;
}

void ReportJobs::storeAddress(const ReportFields &fields)
{
    const QString name = fields.name.trimmed();
    const QString line1 = fields.address1.trimmed();
    const QString line2 = fields.address2.trimmed();
    m_ctx.settings->setValue(QStringLiteral("UserAddressName"), name);
    m_ctx.settings->setValue(QStringLiteral("UserAddressLine1"), line1);
    m_ctx.settings->setValue(QStringLiteral("UserAddressLine2"), line2);
    if (m_ctx.shared) {
        m_ctx.shared->setElement(QStringLiteral("OWN_ADDRESS_NAME"), name, false);
        m_ctx.shared->setElement(QStringLiteral("OWN_ADDRESS_LINE1"), line1, false);
        m_ctx.shared->setElement(QStringLiteral("OWN_ADDRESS_LINE2"), line2, true);
    }
}

void ReportJobs::storedAddress(const SettingsStore &settings, ReportFields &fields)
{
    fields.name = settings.value(QStringLiteral("UserAddressName"), QString());
    fields.address1 = settings.value(QStringLiteral("UserAddressLine1"), QString());
    fields.address2 = settings.value(QStringLiteral("UserAddressLine2"), QString());
    // The class chosen in the station setup; the window's own default where none is.
    EntryClass entry = EntryClass::Individual;
    if (entryFromName(settings.value(QString::fromLatin1(kEntryClassKey), QString()), entry))
        fields.entryClass = entry;
}

bool ReportJobs::writeCoverSheet(const ReportFields &fields)
{
    const CoverSheetWriter writer(m_ctx.station(), fields, m_ctx.scoreText);
    QString path;
    if (!writeFile(QStringLiteral(".sum"), QStringLiteral("LOG Files (*.sum)"),
                   [&](QByteArray &bytes, QString *why) { return writer.build(m_ctx.log->records(), bytes, why); },
                   path))
        return false;
    m_ctx.dialogs->message(m_parent,
                           writtenToMessage(path)
                               + QStringLiteral("\r\n\r\nAttach this file and the log file (.log) to an e-mail addressed to ")
                               + kSponsor + QLatin1Char('.'),
                           QStringLiteral("Cover Sheet Written Successfully."));
    m_ctx.dialogs->message(m_parent,
                           QStringLiteral("Thanks for using this program.  I hope that you enjoyed it!  If so, please tell a friend!"),
                           QStringLiteral("  Thanks!"));
    return true;
}

bool ReportJobs::writeDupeFile()
{
    const DupeSheetWriter writer(m_ctx.station().call);
    QString path;
    if (!writeFile(QStringLiteral(".dup"), QStringLiteral("Dupe Files (*.dup)"),
                   [&](QByteArray &bytes, QString *) {
                       bytes = writer.build(m_ctx.log->records());
                       return true;
                   },
                   path))
        return false;
    m_ctx.dialogs->message(m_parent,
                           writtenToMessage(path)
                               + QStringLiteral("\r\n\r\nThe dupe file is not required for electronic submission."),
                           QStringLiteral("Dupe Sheet Written Successfully."));
    return true;
}

bool ReportJobs::printJob(const QString &jobName, const std::function<bool(ReportPrinter &)> &job)
{
    DialogPrinterTarget systemPrinter(m_parent);
    PrintTarget &target = m_ctx.printTarget ? *m_ctx.printTarget : systemPrinter;
    QString why;
    std::unique_ptr<QPagedPaintDevice> device = target.open(jobName, &why);
    if (!device && why.isEmpty())
        return false;  // the operator cancelled the print dialog
    if (!device) {
        // Saying nothing here would leave the operator waiting for paper that never comes.
        QApplication::beep();
        m_ctx.dialogs->message(m_parent, why, QStringLiteral("Unable to print."), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Warning);
        return false;
    }
    ReportPrinter printer(*device);
    printer.setPageRange(target.pageRange().first, target.pageRange().second);
    if (!job(printer))
        return false;  // a printer error ends the job without a word
    printingDone();
    return true;
}

void ReportJobs::printingDone()
{
    m_ctx.dialogs->message(m_parent,
                           QStringLiteral("E-mail submissions are preferred.  Please write the ASCII log and cover sheet "
                                          "files and e-mail your submission to ")
                               + kSponsor + QLatin1Char('.'),
                           QStringLiteral("Please submit your results via email!"));
}

bool ReportJobs::printLog()
{
    const QString call = m_ctx.station().call;
    return printJob(QStringLiteral("Vardel log"), [&](ReportPrinter &p) {
        return reports::printLog(p, m_ctx.log->records(), call);
    });
}

bool ReportJobs::printDupeSheet()
{
    const QString call = m_ctx.station().call;
    return printJob(QStringLiteral("Vardel dupe sheet"), [&](ReportPrinter &p) {
        return reports::printDupeSheet(p, m_ctx.log->records(), call);
    });
}

bool ReportJobs::printCoverSheet(const ReportFields &fields)
{
    const CoverSheetWriter writer(m_ctx.station(), fields, m_ctx.scoreText);
    QString heading;
    QStringList body;
    if (!writer.printLines(m_ctx.log->records(), heading, body))
        return false;  // a points value that is not a number ends the print silently
    if (!printJob(QStringLiteral("Vardel cover sheet"),
                  [&](ReportPrinter &p) { return reports::printCoverSheet(p, heading, body); }))
        return false;
    QApplication::beep();
    m_ctx.dialogs->message(m_parent,
                           QStringLiteral("Thanks for using this program.  I hope you enjoyed it.  I would love to hear "
                                          "any of your comments and suggestions for future enhancements.  Please send "
                                          "them to ")
                               + QString::fromLatin1(kMakerSupportAddress) + QLatin1Char('.'),
                           QStringLiteral("I hope you enjoyed this program!  If so, please tell a friend."));
    return true;
}
