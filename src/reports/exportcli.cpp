#include "reports/exportcli.h"

#include "core/appfolders.h"
#include "core/fieldfile.h"
#include "core/logstore.h"
#include "core/preferences.h"
#include "core/shippeddata.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "reports/adifwriter.h"
#include "reports/contestadif.h"
#include "core/prefixtable.h"
#include "core/frequencylog.h"
#include "reports/cabrillowriter.h"
#include "reports/coversheetwriter.h"
#include "reports/reportconstants.h"
#include "reports/reportcontext.h"
#include "reports/reportjobs.h"
#include "reports/tallisexport.h"
#include "ui/sharedpreferences.h"
#include "ui/userfolders.h"

#include <QColor>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace reports;

namespace {

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

// Start-up reports folder problems in message boxes; here they go to stderr, and the export
// goes on with whatever folders were found, as the program does.
class ConsoleDialogs : public Dialogs {
public:
    Answer message(QWidget *, const QString &text, const QString &title, Buttons, Icon) override
    {
        err() << "vardel export: " << title << ": " << text << "\n";
        err().flush();
        return Answer::Ok;
    }
    QString input(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString chooseFolder(QWidget *, const QString &, const QString &) override { return {}; }
    QColor chooseColour(QWidget *, const QColor &) override { return {}; }
};

// The folders exactly as the program resolves them at start (documents folder in any letter
// case, configured XDG folder, fallbacks), so a file goes where the window would propose it and
// the ADIF country table is found in the same shared folder.
AppFolders foldersFromEnvironment()
{
    ConsoleDialogs dialogs;
    SharedPreferences shared;
    return setUpUserFolders(dialogs, shared);
}

}  // namespace

int runExportCommand(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a report or export file from the log, as the File menu does.\n"
        "Station data comes from tntnprf.txt in the working directory.\n\n"
        "Kinds:\n"
        "  cabrillo  submission log (<call>.log)\n"
        "  cover     cover sheet (<call>.sum)\n"
        "  dupe      dupe sheet (<call>.dup)\n"
        "  adif      ADIF file (Vardel.adi)\n"
        "  tallis    exchange file LogExp.txt"));
    parser.addPositionalArgument(QStringLiteral("kind"), QStringLiteral("cabrillo, cover, dupe, adif or tallis"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption logOpt(QStringLiteral("log"), QStringLiteral("Log file (default: log.txt in the working directory)."), QStringLiteral("file"));
    const QCommandLineOption outOpt(QStringLiteral("out"), QStringLiteral("Output file (default: the name the window proposes)."), QStringLiteral("file"));
    const QCommandLineOption prefsOpt(QStringLiteral("prefs"), QStringLiteral("Station data file (default: tntnprf.txt in the working directory)."), QStringLiteral("file"));
    const QCommandLineOption contestOpt(QStringLiteral("contest"), QStringLiteral("winter-phone (default), spring-digital, spring-cw, open-season, spirit-of-76, summer-phone, sprint, fall-cw or fall-digital."), QStringLiteral("name"));
    const QCommandLineOption entryOpt(QStringLiteral("entry"), QStringLiteral("Entry class: qrp, low, high, club, mobile, or individual; the station setup's class by default, individual when none is set."), QStringLiteral("class"));
    const QCommandLineOption yearOpt(QStringLiteral("year"), QStringLiteral("Contest year (default: this year)."), QStringLiteral("yyyy"));
    const QCommandLineOption startOpt(QStringLiteral("start"), QStringLiteral("Start date (default: first contact, mm/dd)."), QStringLiteral("mm/dd"));
    const QCommandLineOption endOpt(QStringLiteral("end"), QStringLiteral("End date (default: last contact, mm/dd)."), QStringLiteral("mm/dd"));
    const QCommandLineOption operatorsOpt(QStringLiteral("operators"), QStringLiteral("Operators (club entries: name/1010)."), QStringLiteral("text"));
    const QCommandLineOption qthOpt(QStringLiteral("qth"), QStringLiteral("Call area or ARRL country operated from."), QStringLiteral("text"));
    const QCommandLineOption chapterOpt(QStringLiteral("chapter"), QStringLiteral("Chapter assignment."), QStringLiteral("text"));
    const QCommandLineOption nameOpt(QStringLiteral("name"), QStringLiteral("Your full name (default: the stored address name)."), QStringLiteral("text"));
    const QCommandLineOption addr1Opt(QStringLiteral("address1"), QStringLiteral("Address line 1 (default: stored)."), QStringLiteral("text"));
    const QCommandLineOption addr2Opt(QStringLiteral("address2"), QStringLiteral("Address line 2 (default: stored)."), QStringLiteral("text"));
    const QCommandLineOption commentOpt(QStringLiteral("comment"), QStringLiteral("Comment (soapbox) for the Cabrillo log and cover sheet."), QStringLiteral("text"));
    const QCommandLineOption scoreOpt(QStringLiteral("score"), QStringLiteral("Claimed score text (default: the sum of the points)."), QStringLiteral("text"));
    const QCommandLineOption powerOpt(QStringLiteral("power"), QStringLiteral("ADIF / Tallis transmitter power (default 100; empty: none in ADIF)."), QStringLiteral("text"));
    const QCommandLineOption adifCommentOpt(QStringLiteral("adif-comment"), QStringLiteral("ADIF comment on every record (default \"Vardel Contest\"; empty: none)."), QStringLiteral("text"));
    const QCommandLineOption designatorOpt(QStringLiteral("designator"), QStringLiteral("ADIF mode for digital contacts (default RTTY)."), QStringLiteral("mode"));
    const QCommandLineOption tableOpt(QStringLiteral("country-table"), QStringLiteral("ADIF country table (default: ADIFCnt.txt where the program finds it)."), QStringLiteral("file"));
    const QCommandLineOption tallisModeOpt(QStringLiteral("tallis-mode"), QStringLiteral("Tallis export mode: cw (default) or ssb."), QStringLiteral("mode"));
    const QCommandLineOption formatOpt(QStringLiteral("format"), QStringLiteral("Cabrillo header: sponsor (default, the sponsor's own form) or 3.0 (standard Cabrillo 3.0)."), QStringLiteral("form"));
    const QCommandLineOption adifVersionOpt(QStringLiteral("adif-version"), QStringLiteral("ADIF form: classic (default, the form the File menu writes) or 3.1 (a contest log with CONTEST_ID, STATION_CALLSIGN, SRX/STX_STRING, SUBMODE, DXCC from the call)."), QStringLiteral("form"));
    const QCommandLineOption numberFieldOpt(QStringLiteral("number-field"), QStringLiteral("Tallis field for the 10-10 number: other (default) or comments."), QStringLiteral("field"));
    parser.addOptions({help, logOpt, outOpt, prefsOpt, contestOpt, entryOpt, yearOpt, startOpt, endOpt, operatorsOpt,
                       qthOpt, chapterOpt, nameOpt, addr1Opt, addr2Opt, commentOpt, scoreOpt, powerOpt, adifCommentOpt,
                       designatorOpt, tableOpt, tallisModeOpt, numberFieldOpt, formatOpt, adifVersionOpt});

    QStringList argv{QStringLiteral("vardel export")};
    argv += args;
    if (!parser.parse(argv)) {
        err() << parser.errorText() << "\n";
        err().flush();
        return 2;
    }
    if (parser.isSet(help)) {
        // The parser names the program as it was started ("./vardel"); the command is this.
        QString text = parser.helpText();
        const qsizetype line = text.indexOf(u'\n');
        const qsizetype optionsAt = text.indexOf(QStringLiteral(" [options]"));
        if (text.startsWith(QStringLiteral("Usage: ")) && optionsAt > 0 && optionsAt < line)
            text.replace(7, optionsAt - 7, QStringLiteral("vardel export"));
        QTextStream(stdout) << text;
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    const QString kind = positional.value(0).toLower();
    static const QStringList kinds{"cabrillo", "cover", "dupe", "adif", "tallis"};
    if (positional.size() != 1 || !kinds.contains(kind)) {
        err() << "vardel export: give one kind: cabrillo, cover, dupe, adif or tallis (see --help)\n";
        err().flush();
        return 2;
    }
    auto fail = [](const QString &why, int code = 1) {
        err() << "vardel export: " << why << "\n";
        err().flush();
        return code;
    };

    const AppFolders folders = foldersFromEnvironment();
    SystemClock clock;
    Preferences prefs = Preferences::defaults(clock);
    QString why;
    const QString prefsPath = parser.isSet(prefsOpt) ? parser.value(prefsOpt)
                                                     : folders.workFile(QString::fromLatin1(Preferences::kFileName));
    if (!prefs.load(prefsPath, &why))
        return fail(QStringLiteral("cannot read station data %1: %2").arg(prefsPath, why));
    LogStore log;
    const QString logPath = parser.isSet(logOpt) ? parser.value(logOpt) : folders.workFile(QStringLiteral("log.txt"));
    if (log.load(logPath, &why) != LogStore::LoadResult::Ok)
        return fail(QStringLiteral("cannot read log %1: %2").arg(logPath, why));

    ReportFields fields;
    QtSettingsStore settings;
    ReportJobs::storedAddress(settings, fields);
    if (parser.isSet(contestOpt) && !contestFromName(parser.value(contestOpt), fields.contest))
        return fail(QStringLiteral("unknown contest \"%1\"").arg(parser.value(contestOpt)), 2);
    if (parser.isSet(entryOpt) && !entryFromName(parser.value(entryOpt), fields.entryClass))
        return fail(QStringLiteral("unknown entry class \"%1\"").arg(parser.value(entryOpt)), 2);
    fields.year = parser.isSet(yearOpt) ? parser.value(yearOpt) : clock.localNow().toString(QStringLiteral("yyyy"));
    if (log.count() > 0) {
        const QDate first = parseStoredDate(log.records().first().date);
        const QDate last = parseStoredDate(log.records().last().date);
        if (first.isValid())
            fields.startDate = first.toString(QStringLiteral("MM/dd"));
        if (last.isValid())
            fields.endDate = last.toString(QStringLiteral("MM/dd"));
    }
    auto take = [&parser](const QCommandLineOption &o, QString &target) {
        if (parser.isSet(o))
            target = parser.value(o);
    };
    take(startOpt, fields.startDate);
    take(endOpt, fields.endDate);
    take(operatorsOpt, fields.operators);
    take(qthOpt, fields.operatingQth);
    take(chapterOpt, fields.chapter);
    take(nameOpt, fields.name);
    take(addr1Opt, fields.address1);
    take(addr2Opt, fields.address2);
    take(commentOpt, fields.comment);
    const QString score = parser.isSet(scoreOpt) ? parser.value(scoreOpt) : scoreText(log);

    ReportContext ctx;
    ctx.prefs = &prefs;
    const StationInfo station = ctx.station();
    const QString windowTitle = QString::fromLatin1(kMainWindowTitle);

    // The frequencies recorded beside the log, where a rig said them.
    FrequencyLog frequencies;
    const QString logFolder = QFileInfo(logPath).absolutePath();
    frequencies.load(fieldfile::resolvePath(logFolder, QString::fromLatin1(FrequencyLog::kFileName)), log.records());
    auto frequencyOf = [&frequencies](const QsoRecord &r) { return frequencies.entryOf(r).hz; };

    QByteArray bytes;
    QString proposed;
    if (kind == QLatin1String("cabrillo")) {
        proposed = proposedReportPath(folders, station.call, QStringLiteral(".log"));
        CabrilloWriter::Format format = CabrilloWriter::Format::Sponsor;
        if (parser.isSet(formatOpt)) {
            const QString form = parser.value(formatOpt).toLower();
            if (form == QLatin1String("3.0") || form == QLatin1String("3"))
                format = CabrilloWriter::Format::Cabrillo3;
            else if (form != QLatin1String("sponsor"))
                return fail(QStringLiteral("--format takes sponsor or 3.0"), 2);
        }
        CabrilloWriter writer(station, fields, score, windowTitle, format);
        writer.setFrequencyOf(frequencyOf);
        if (!writer.build(log.records(), bytes, &why))
            return fail(why);
    } else if (kind == QLatin1String("cover")) {
        proposed = proposedReportPath(folders, station.call, QStringLiteral(".sum"));
        if (!CoverSheetWriter(station, fields, score).build(log.records(), bytes, &why))
            return fail(why);
    } else if (kind == QLatin1String("dupe")) {
        proposed = proposedReportPath(folders, station.call, QStringLiteral(".dup"));
        bytes = DupeSheetWriter(station.call).build(log.records());
    } else if (kind == QLatin1String("adif")) {
        proposed = proposedAdifPath(folders);
        AdifCountryTable table;
        QString tablePath = parser.isSet(tableOpt)
                                ? parser.value(tableOpt)
                                : locateDataFile(folders, QString::fromLatin1(AdifCountryTable::kFileName));
        // An account where the window never ran has no copy yet: read the shipped table, as
        // the window's start would have placed it.
        if (!parser.isSet(tableOpt) && !QFileInfo::exists(tablePath) && !shippedDataDir().isEmpty())
            tablePath = fieldfile::resolvePath(shippedDataDir(), QString::fromLatin1(AdifCountryTable::kFileName));
        if (!table.load(tablePath, &why))
            return fail(why);
        const QString form = parser.isSet(adifVersionOpt) ? parser.value(adifVersionOpt).toLower() : QStringLiteral("classic");
        if (form != QLatin1String("classic") && form != QLatin1String("3.1") && form != QLatin1String("3"))
            return fail(QStringLiteral("--adif-version takes classic or 3.1"), 2);
        if (form != QLatin1String("classic")) {
            PrefixTable prefixes;
            QString prefixPath = locateDataFile(folders, QString::fromLatin1(PrefixTable::kFileName));
            if (!QFileInfo::exists(prefixPath) && !shippedDataDir().isEmpty())
                prefixPath = fieldfile::resolvePath(shippedDataDir(), QString::fromLatin1(PrefixTable::kFileName));
            prefixes.load(prefixPath);  // without it the country comes from the state or country typed
            ContestAdifWriter::Options o;
            o.stationCall = station.call.trimmed().toUpper();
            o.contestId = CabrilloWriter::contest3(fields.contest, log.records());
            o.sentExchange = QStringList{prefs.ownFirstName, prefs.ownState, prefs.ownMemberNumber}.join(u' ');
            o.power = parser.isSet(powerOpt) ? parser.value(powerOpt) : QStringLiteral("100");
            o.comment = parser.isSet(adifCommentOpt) ? parser.value(adifCommentOpt) : QString();
            o.digitalMode = parser.isSet(designatorOpt) ? parser.value(designatorOpt) : QStringLiteral("RTTY");
            o.programVersion = QString::fromLatin1(kProgramVersion);
            o.createdUtc = clock.utcNow();
            o.frequencyOf = frequencyOf;
            o.submodeOf = [&frequencies](const QsoRecord &r) { return frequencies.entryOf(r).submode; };
            bytes = ContestAdifWriter(table, prefixes.count() ? &prefixes : nullptr, o).build(log.records());
        }
        AdifWriter::Options options;
        options.power = parser.isSet(powerOpt) ? parser.value(powerOpt) : QStringLiteral("100");
        options.comment = parser.isSet(adifCommentOpt) ? parser.value(adifCommentOpt) : QStringLiteral("Vardel Contest");
        options.windowTitle = windowTitle;
        options.exportedOn = generalDateTime(clock.localNow());
        const QString designator = parser.isSet(designatorOpt) ? parser.value(designatorOpt) : QStringLiteral("RTTY");
        options.askDesignator = [designator] { return designator; };
        if (form == QLatin1String("classic"))
            bytes = AdifWriter(table, options).build(log.records());
    } else {
        proposed = folders.workFile(QString::fromLatin1(TallisExport::kFileName));
        TallisExport::Options options;
        take(powerOpt, options.power);
        if (parser.isSet(tallisModeOpt)) {
            const QString mode = parser.value(tallisModeOpt).toLower();
            if (mode != QLatin1String("cw") && mode != QLatin1String("ssb"))
                return fail(QStringLiteral("--tallis-mode takes cw or ssb"), 2);
            options.cw = mode == QLatin1String("cw");
        }
        if (parser.isSet(numberFieldOpt)) {
            const QString field = parser.value(numberFieldOpt).toLower();
            if (field != QLatin1String("other") && field != QLatin1String("comments"))
                return fail(QStringLiteral("--number-field takes other or comments"), 2);
            options.numberInOther = field == QLatin1String("other");
        }
        bytes = TallisExport::build(log.records(), options);
    }

    const QString out = parser.isSet(outOpt) ? parser.value(outOpt) : proposed;
    if (!parser.isSet(outOpt) && kind != QLatin1String("tallis"))
        QDir().mkpath(QFileInfo(out).absolutePath());
    if (!fieldfile::writeFileAtomic(out, bytes, &why))
        return fail(QStringLiteral("cannot write %1: %2").arg(out, why));
    QTextStream(stdout) << "Wrote " << QDir::toNativeSeparators(QFileInfo(out).absoluteFilePath()) << "\n";
    return 0;
}
