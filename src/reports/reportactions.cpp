#include "reports/reportactions.h"

#include "core/preferences.h"
#include "platform/dialogs.h"
#include "reports/exportjobs.h"
#include "reports/reportwindow.h"
#include "reports/tallisexport.h"
#include "reports/tallisoptions.h"
#include "ui/formscaler.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>

namespace reports {

void openReportWindow(QWidget *parent, const ReportContext &context)
{
    if (context.prefs->ownCall.trimmed().isEmpty()) {
        QApplication::beep();
        context.dialogs->message(parent,
                                 QStringLiteral("Please complete the Setup information by clicking Setup from the menu "
                                                "options before preparing the Summary data."),
                                 QStringLiteral("Please complete the Setup form first!"));
        return;
    }
    Form2 window(context, parent);
    formscale::resizeForm(&window, *context.dialogs);
    window.exec();
}

void exportContestAdif(QWidget *parent, const ReportContext &context)
{
    exportjobs::exportContestAdif(context, parent);
}

void exportAdif(QWidget *parent, const ReportContext &context)
{
    exportjobs::exportAdif(context, parent);
}

void exportForTallis(QWidget *parent, const ReportContext &context)
{
    const TallisExport::Options options = askTallisOptions(parent, *context.dialogs);
    exportjobs::writeTallisFile(context, parent, options);
}

QString copyListedItems(const QTreeWidget &list)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return QString();  // no clipboard: the command ends quietly
    const QString text = listedItemsText(list);
    clipboard->clear();
    clipboard->setText(text);
    return text;
}

}  // namespace reports
