#include "fakes.h"
#include "reportfixtures.h"

#include "reports/coversheetwriter.h"
#include "reports/reportjobs.h"
#include "reports/reportprinter.h"

#include <QLineEdit>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace reports;

namespace {
struct Word {
    int page;
    double x, y;
    QString text;
    double xMax = 0;
};

// The words of a PDF with their page and top-left corner, as pdftotext places them.
QList<Word> words(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)"[^>]*>([^<]*)</word>)re");
    QList<Word> list;
    int page = 0;
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith("<page"))
            ++page;
        else
            list.append({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(4), m.captured(3).toDouble()});
    }
    return list;
}

// Lines of one page: words grouped by their top edge, in reading order.
QList<QList<Word>> lines(const QList<Word> &all, int page)
{
    QList<Word> onPage;
    for (const Word &w : all)
        if (w.page == page)
            onPage.append(w);
    std::stable_sort(onPage.begin(), onPage.end(), [](const Word &a, const Word &b) {
        return qAbs(a.y - b.y) > 1.0 ? a.y < b.y : a.x < b.x;
    });
    QList<QList<Word>> result;
    for (const Word &w : onPage) {
        if (result.isEmpty() || qAbs(result.last().first().y - w.y) > 1.0)
            result.append(QList<Word>());
        result.last().append(w);
    }
    return result;
}

QString text(const QList<Word> &line)
{
    QStringList t;
    for (const Word &w : line)
        t << w.text;
    return t.join(' ');
}

QList<QsoRecord> bigLog(int n)
{
    QList<QsoRecord> log;
    for (int i = 1; i <= n; ++i)
        log.append({QString("K%1AB").arg(i), i % 2 ? "JOE" : "MARIA", i == 3 ? "Japan" : "MA",
                    i % 5 ? QString::number(i) : "None", i % 5 ? "2" : "1", "2009/08/01", "18:05:30", "PH"});
    return log;
}

class PdfDocument {
public:
    explicit PdfDocument(const QString &path) : writer(path)
    {
        writer.setPageSize(QPageSize(QPageSize::Letter));
        writer.setPageMargins(QMarginsF(12.7, 10, 12.7, 10), QPageLayout::Millimeter);
        writer.setResolution(600);
    }
    // Print column -> x in PDF points for the body font.
    double bodyX(const ReportPrinter &printer, int column) const
    {
        return 36.0 + printer.columnX(column) * 72.0 / 600.0;
    }
    QPdfWriter writer;
};
}  // namespace

class TestReportPrint : public QObject {
    Q_OBJECT

private slots:
    void logColumnsAndPages()
    {
        TestEnv env;
        const QString pdf = env.file("log.pdf");
        double expectedX[7];
        double headingX = 0;
        {
            PdfDocument doc(pdf);
            ReportPrinter printer(doc.writer);
            const int columns[7] = {10, 22, 29, 44, 62, 88, 99};
            for (int i = 0; i < 7; ++i)
                expectedX[i] = doc.bodyX(printer, columns[i]);
            QFont heading("Arial");
            heading.setPointSize(13);
            headingX = 36.0 + 9 * ReportPrinter::columnWidth(heading, doc.writer) * 72.0 / 600.0;
            QVERIFY(printLog(printer, bigLog(51), " K1XYZ"));
            QCOMPARE(printer.pages(), 2);
        }
        const QList<Word> all = words(pdf);
        QVERIFY2(!all.isEmpty(), "pdftotext gave no words");
        const auto page1 = lines(all, 1);
        const auto page2 = lines(all, 2);
        QCOMPARE(page1.size(), 52);  // heading, column headings and 50 rows
        QCOMPARE(page2.size(), 3);   // heading, column headings and row 51
        QCOMPARE(text(page1[0]), QString("10-10 QSO Party Log for: K1XYZ Page 1 of 2"));
        QCOMPARE(text(page2[0]), QString("10-10 QSO Party Log for: K1XYZ Page 2 of 2"));
        QCOMPARE(text(page1[1]), QString("Date UTC Call Name QTH 10-10 Pts"));
        QCOMPARE(text(page2[1]), QString("Date UTC Call Name QTH 10-10 Pts"));
        QCOMPARE(text(page2[2]), QString("08/01/09 1805 K51AB JOE MA 51 2"));
        QCOMPARE(text(page1[4]), QString("08/01/09 1805 K3AB JOE DX - Japan 3 2"));
        QCOMPARE(text(page1[6]), QString("08/01/09 1805 K5AB JOE MA None 1"));
        // Column 10 of the heading is counted in the wider heading font.
        QVERIFY(qAbs(page1[0].first().x - headingX) < 1.0);
        QVERIFY(qAbs(page2[0].first().x - headingX) < 1.0);
        QVERIFY(headingX > expectedX[0] + 2);
        QVERIFY(page1.last().last().y < 792 - 28);  // the 50th row is still on the paper

        // Every value and heading starts at its print column on every row of both pages.
        QList<QList<Word>> rows = page1.mid(1) + page2.mid(1);
        for (const auto &row : rows) {
            const QList<int> starts = row.size() == 7 ? QList<int>{0, 1, 2, 3, 4, 5, 6} : QList<int>{0, 1, 2, 3, 4, 7, 8};
            for (int i = 0; i < 7; ++i)
                QVERIFY2(qAbs(row[starts[i]].x - expectedX[i]) < 1.0,
                         qPrintable(QString("%1 at %2, expected %3").arg(row[starts[i]].text).arg(row[starts[i]].x).arg(expectedX[i])));
        }
        // The heading's three empty lines: the first row sits well below the top margin.
        QVERIFY(page1[0].first().y > 28.3 + 3 * 13);
    }

    // The widest texts are shortened so the number and points stay on the paper.
    void longRowStaysInsideTheMargins_data()
    {
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<double>("pageWidth");
        QTest::newRow("A4") << int(QPageSize::A4) << 595.0;
        QTest::newRow("Letter") << int(QPageSize::Letter) << 612.0;
    }
    void longRowStaysInsideTheMargins()
    {
        QFETCH(int, pageSize);
        QFETCH(double, pageWidth);
        TestEnv env;
        const QString pdf = env.file("long.pdf");
        {
            PdfDocument doc(pdf);
            doc.writer.setPageSize(QPageSize(QPageSize::PageSizeId(pageSize)));
            ReportPrinter printer(doc.writer);
            QVERIFY(printLog(printer,
                             {{"ZD9/W1ABCDEFG", "MARIA-ALEJANDRA-LUZ", "Tristan da Cunha & Gough Islands", "123456",
                               "2", "2009/08/01", "18:05:30", "CW"}},
                             "K1XYZ"));
        }
        const auto row = lines(words(pdf), 1).value(2);
        QVERIFY(!row.isEmpty());
        QCOMPARE(row.last().text, QString("2"));
        QCOMPARE(row[row.size() - 2].text, QString("123456"));
        QVERIFY2(row.last().xMax <= pageWidth - 36.0 + 0.5, qPrintable(QString::number(row.last().xMax)));
        QCOMPARE(row[0].text, QString("08/01/09"));
        QCOMPARE(row[1].text, QString("1805"));
    }

    void longValuePushesTheNextOneRight()
    {
        TestEnv env;
        const QString pdf = env.file("wide.pdf");
        {
            PdfDocument doc(pdf);
            ReportPrinter printer(doc.writer);
            QVERIFY(printLog(printer, {{"W1AW", "WWWWWWWWWWWWWWW", "MA", "1", "2", "2009/08/01", "18:05:30", "CW"}}, "K1XYZ"));
        }
        const auto row = lines(words(pdf), 1).value(2);
        QCOMPARE(text(row), QString("08/01/09 1805 W1AW WWWWWWWWWWWWWWW MA 1 2"));
        QVERIFY(row[4].x > row[3].xMax + 1);
    }

    // Sorted calls down each column, six columns a page: a full log takes 37 pages, not 220.
    void dupeSheetInColumns_data()
    {
        QTest::addColumn<int>("contacts");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QStringList>("firstLines");
        QTest::newRow("a few, one column each") << 3 << 1 << QStringList{"K1AB K2AB K2AB K3AB"};
        QTest::newRow("a short page fills its columns evenly")
            << 13 << 1 << QStringList{"K10AB K13AB K2AB K5AB K8AB", "K11AB K1AB K3AB K6AB K9AB", "K12AB K2AB K4AB K7AB"};
        QTest::newRow("a full log") << 11000 << 37 << QStringList{};
    }
    void dupeSheetInColumns()
    {
        QFETCH(int, contacts);
        QFETCH(int, pages);
        QFETCH(QStringList, firstLines);
        TestEnv env;
        const QString pdf = env.file("dupe.pdf");
        {
            PdfDocument doc(pdf);
            ReportPrinter printer(doc.writer);
            QList<QsoRecord> log = bigLog(contacts);
            log.append(log[1]);
            QVERIFY(printDupeSheet(printer, log, "K1XYZ"));
            QCOMPARE(printer.pages(), pages);
        }
        const QList<Word> all = words(pdf);
        const auto page = lines(all, 1);
        QCOMPARE(text(page[0]), QString("10-10 QSO Party Dupe Sheet for: K1XYZ Page 1 of %1").arg(pages));
        for (int i = 0; i < firstLines.size(); ++i)
            QCOMPARE(text(page.value(i + 1)), firstLines[i]);
        if (contacts == 11000) {
            QCOMPARE(page.size(), 51);
            int calls = 0;
            for (const Word &w : all)
                calls += w.text.startsWith(u'K') && w.text.endsWith(QStringLiteral("AB")) ? 1 : 0;
            QCOMPARE(calls, 11001);
        }
    }

    // The print dialog's page range: only those pages reach the printer, laid out as in the
    // whole job (page 2 of the log still starts with contact 51).
    void pageRangePrintsOnlyThosePages()
    {
        TestEnv env;
        const QString pdf = env.file("range.pdf");
        {
            PdfDocument doc(pdf);
            ReportPrinter printer(doc.writer);
            printer.setPageRange(2, 2);
            QVERIFY(printLog(printer, bigLog(120), "K1XYZ"));
            QCOMPARE(printer.pages(), 3);
        }
        const QList<Word> all = words(pdf);
        QVERIFY(lines(all, 2).isEmpty());
        const auto page = lines(all, 1);
        QCOMPARE(text(page[0]), QString("10-10 QSO Party Log for: K1XYZ Page 2 of 3"));
        QCOMPARE(text(page[2]), QString("08/01/09 1805 K51AB JOE MA 51 2"));
        QCOMPARE(page.size(), 52);
    }

    // Without a target set, each job asks the print dialog first: Escape prints nothing and says
    // nothing; OK prints where the dialog points (here, with no printer set up, a PDF file).
    void printDialogComesFirst()
    {
        TestEnv env;
        LogStore log;
        for (const QsoRecord &r : bigLog(60))
            QCOMPARE(log.appendQso(env.file("log.txt"), r), LogStore::AppendResult::Ok);
        Preferences prefs = fixtures::prefs();
        FakeDialogs dialogs;
        FakeSettingsStore settings;
        FakeClock clock;
        ReportContext ctx{&log, &prefs, fixtures::folders(env.path()), &dialogs, &settings, nullptr, &clock, "0"};
        QWidget parent;
        ReportJobs jobs(ctx, &parent);
        QString seen;
        bool accept = false;
        QString pdf;
        QTimer catcher;
        connect(&catcher, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = dialog->windowTitle();
            if (!accept) {
                QTest::keyClick(dialog, Qt::Key_Escape);
                return;
            }
            auto *file = dialog->findChild<QLineEdit *>("filename");
            QVERIFY(file);
            pdf = env.file("chosen.pdf");
            file->setText(pdf);
            dialog->accept();
        });
        catcher.start(10);
        QVERIFY(!jobs.printLog());
        QCOMPARE(seen, QString("Print Vardel log"));
        QVERIFY(dialogs.shown.isEmpty());

        accept = true;
        QVERIFY(jobs.printLog());
        catcher.stop();
        QTRY_VERIFY(QFileInfo(pdf).size() > 0);
        QCOMPARE(text(lines(words(pdf), 2).value(0)), QString("10-10 QSO Party Log for: K1XYZ Page 2 of 2"));
        QCOMPARE(dialogs.titles(), QStringList{"Please submit your results via email!"});
    }

    void coverSheetPage()
    {
        TestEnv env;
        const QString pdf = env.file("cover.pdf");
        {
            PdfDocument doc(pdf);
            ReportPrinter printer(doc.writer);
            QString heading;
            QStringList body;
            QVERIFY(CoverSheetWriter(fixtures::station(), fixtures::fields(), "8")
                        .printLines(fixtures::smallLog(), heading, body));
            QVERIFY(printCoverSheet(printer, heading, body));
            QCOMPARE(printer.pages(), 1);
        }
        const QList<Word> all = words(pdf);
        QStringList got;
        for (const auto &l : lines(all, 1))
            got << text(l);
        QCOMPARE(got.first(), QString("10-10 QSO PARTY COVER SHEET for: K1XYZ"));
        QVERIFY(got.contains("Total contacts, Number of Contacts, Multiplier - - - Points - - -"));
        QVERIFY(got.contains("With 10-10 numbers: 3 X 2 = 6"));
        QCOMPARE(got.last(), QString("acceptable log submission."));
        QVERIFY(!got.join('\n').contains("Great fun"));  // the comment is not printed
        const int scoring = got.indexOf("Scoring");
        QCOMPARE(got.at(scoring - 1), QString("Entry is: Club"));
        QCOMPARE(got.size(), 1 + 16 + 12);  // heading, non-empty sheet lines, non-empty checklist lines
    }

    // The jobs through the report commands: an empty log prints nothing yet still says so.
    void printJobsAndMessages()
    {
        TestEnv env;
        AppFolders folders = fixtures::folders(env.path());
        LogStore empty;
        Preferences prefs = fixtures::prefs();
        FakeDialogs dialogs;
        FakeSettingsStore settings;
        FakeClock clock;
        PdfPrintTarget target(env.file("job.pdf"));
        ReportContext ctx{&empty, &prefs, folders, &dialogs, &settings, nullptr, &clock, "0"};
        ctx.printTarget = &target;
        ReportJobs jobs(ctx);
        QVERIFY(jobs.printLog());
        QVERIFY(jobs.printDupeSheet());
        QVERIFY(!QFile::exists(env.file("job.pdf")));
        QVERIFY(jobs.printCoverSheet(fixtures::fields()));
        QVERIFY(QFile::exists(env.file("job.pdf")));
        QCOMPARE(dialogs.titles(), QStringList({"Please submit your results via email!",
                                                "Please submit your results via email!",
                                                "Please submit your results via email!",
                                                "I hope you enjoyed this program!  If so, please tell a friend."}));
        QVERIFY(dialogs.shown[0].text.startsWith("E-mail submissions are preferred.  Please write the ASCII log and "
                                                 "cover sheet files and e-mail your submission to "));
    }
};

QTEST_MAIN(TestReportPrint)
#include "tst_reportprint.moc"
