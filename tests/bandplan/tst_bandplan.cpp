#include "bandplan/bandplan.h"
#include "ui/plaintext.h"
#include "bandplan/frmbandplan.h"
#include "fakes.h"
#include "core/appfolders.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

QString shippedPlan()
{
    return QDir(qEnvironmentVariable("VARDEL_TEST_DATA_DIR")).filePath(QStringLiteral("BandPlan.txt"));
}

QByteArray planFile(const QStringList &records)
{
    QByteArray out = "\"01/01/2026\"\r\n";
    for (const QString &r : records)
        out += r.toLatin1() + "\r\n";
    return out;
}

QStringList names(const QList<QLabel *> &labels)
{
    QStringList out;
    for (const QLabel *l : labels)
        out.append(l->objectName());
    out.sort();
    return out;
}

QList<QLabel *> drawn(const QWidget &w, const QString &prefix)
{
    QList<QLabel *> out;
    for (QLabel *l : w.findChildren<QLabel *>()) {
        if (l->objectName().startsWith(prefix))
            out.append(l);
    }
    return out;
}

QColor centreColour(QWidget &window, const QWidget *child)
{
    return window.grab().toImage().pixelColor(child->geometry().center());
}

QImage saveShot(QWidget &w, const QString &folder, const QString &name)
{
    const QImage image = w.grab().toImage();
    image.save(QDir(folder).filePath(name));
    return image;
}

}  // namespace

class TstBandPlan : public QObject {
    Q_OBJECT
private slots:
    void frequencyFormat_data();
    void frequencyFormat();
    void shippedPlanBandsPerClass_data();
    void shippedPlanBandsPerClass();
    void shippedPlanSegments_data();
    void shippedPlanSegments();
    void shippedPlanSixtyMetreChannels();
    void shippedPlanClassesNest();
    void unreadableFiles_data();
    void unreadableFiles();
    void bandWithoutClassIsLeftOut();
    void segmentsShareRowInProportion();
    void switchingClassReplacesLabels();
    void missingFileShowsMessage();
    void tooManyBandsStopsAtTwenty();
    void pathPrefersWorkingDirectory();
    void screenshots();
};

void TstBandPlan::frequencyFormat_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("ten metres") << 28.3f << "28.300";
    QTest::newRow("single precision") << 14.35f << "14.350";
    QTest::newRow("thousands grouped") << 1800.0f << "1,800.000";
    QTest::newRow("no leading zero") << 0.5f << ".500";
}

void TstBandPlan::frequencyFormat()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(formatFrequency(value, QLocale(QLocale::English, QLocale::UnitedStates)), text);
}

void TstBandPlan::shippedPlanBandsPerClass_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("bands");
    const QStringList hf{"160m", "80m", "60m", "40m", "30m", "20m", "17m", "15m", "12m", "10m"};
    QTest::newRow("Novice") << "N" << QStringList{"80m", "40m", "15m", "10m"};
    QTest::newRow("Technician") << "T" << QStringList{"80m", "40m", "15m", "10m", "6m", "2m"};
    QTest::newRow("Tech +") << "P" << QStringList{"80m", "40m", "15m", "10m", "6m", "2m"};
    QTest::newRow("General") << "G" << hf + QStringList{"6m", "2m"};
    QTest::newRow("Advanced") << "A" << hf + QStringList{"6m", "2m"};
    QTest::newRow("Extra") << "E" << hf + QStringList{"6m", "2m"};
}

void TstBandPlan::shippedPlanBandsPerClass()
{
    QFETCH(QString, code);
    QFETCH(QStringList, bands);
    BandPlan plan;
    QString error;
    QVERIFY2(plan.load(shippedPlan(), &error), qPrintable(error));
    QCOMPARE(plan.effectiveDate(), QStringLiteral("March 5, 2012"));
    QStringList shown;
    for (const BandPlan::Row &row : plan.rowsFor(code))
        shown.append(row.band);
    QCOMPARE(shown, bands);
}

void TstBandPlan::shippedPlanSegments_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QStringList>("toolTips");
    QTest::newRow("Extra 80m") << "E" << "80m" << QStringList{"CW  3.500 - 3.600", "PH  3.600 - 4.000"};
    QTest::newRow("Advanced 80m") << "A" << "80m" << QStringList{"CW  3.525 - 3.600", "PH  3.700 - 4.000"};
    QTest::newRow("General 80m") << "G" << "80m" << QStringList{"CW  3.525 - 3.600", "PH  3.800 - 4.000"};
    QTest::newRow("General 40m") << "G" << "40m" << QStringList{"CW  7.025 - 7.125", "PH  7.175 - 7.300"};
    QTest::newRow("General 20m") << "G" << "20m" << QStringList{"CW  14.025 - 14.150", "PH  14.225 - 14.350"};
    QTest::newRow("Advanced 15m") << "A" << "15m" << QStringList{"CW  21.025 - 21.200", "PH  21.225 - 21.450"};
    QTest::newRow("Novice 10m") << "N" << "10m" << QStringList{"CW  28.000 - 28.300", "PH  28.300 - 28.500"};
    QTest::newRow("General 30m") << "G" << "30m" << QStringList{"CW  10.100 - 10.150"};
    QTest::newRow("Technician 2m") << "T" << "2m" << QStringList{"CW  144.000 - 144.100", "PH  144.100 - 148.000"};
    QTest::newRow("Extra 160m") << "E" << "160m" << QStringList{"PH  1.800 - 2.000"};
    QTest::newRow("General 160m") << "G" << "160m" << QStringList{"PH  1.800 - 2.000"};
    QTest::newRow("Extra 40m") << "E" << "40m" << QStringList{"CW  7.000 - 7.125", "PH  7.125 - 7.300"};
    QTest::newRow("Advanced 40m") << "A" << "40m" << QStringList{"CW  7.025 - 7.125", "PH  7.125 - 7.300"};
    QTest::newRow("Extra 30m") << "E" << "30m" << QStringList{"CW  10.100 - 10.150"};
    QTest::newRow("Extra 20m") << "E" << "20m" << QStringList{"CW  14.000 - 14.150", "PH  14.150 - 14.350"};
    QTest::newRow("Advanced 20m") << "A" << "20m" << QStringList{"CW  14.025 - 14.150", "PH  14.175 - 14.350"};
    QTest::newRow("General 17m") << "G" << "17m" << QStringList{"CW  18.068 - 18.110", "PH  18.110 - 18.168"};
    QTest::newRow("Extra 15m") << "E" << "15m" << QStringList{"CW  21.000 - 21.200", "PH  21.200 - 21.450"};
    QTest::newRow("General 15m") << "G" << "15m" << QStringList{"CW  21.025 - 21.200", "PH  21.275 - 21.450"};
    QTest::newRow("General 12m") << "G" << "12m" << QStringList{"CW  24.890 - 24.930", "PH  24.930 - 24.990"};
    QTest::newRow("General 10m") << "G" << "10m" << QStringList{"CW  28.000 - 28.300", "PH  28.300 - 29.700"};
    for (const char *code : {"N", "T", "P"}) {
        const QString c = QString::fromLatin1(code);
        QTest::addRow("%s 80m", code) << c << "80m" << QStringList{"CW  3.525 - 3.600"};
        QTest::addRow("%s 40m", code) << c << "40m" << QStringList{"CW  7.025 - 7.125"};
        QTest::addRow("%s 15m", code) << c << "15m" << QStringList{"CW  21.025 - 21.200"};
        QTest::addRow("%s 10m", code) << c << "10m" << QStringList{"CW  28.000 - 28.300", "PH  28.300 - 28.500"};
    }
    QTest::newRow("Tech + 6m") << "P" << "6m" << QStringList{"CW  50.000 - 50.100", "PH  50.100 - 54.000"};
    QTest::newRow("Extra 6m") << "E" << "6m" << QStringList{"CW  50.000 - 50.100", "PH  50.100 - 54.000"};
    QTest::newRow("Extra 2m") << "E" << "2m" << QStringList{"CW  144.000 - 144.100", "PH  144.100 - 148.000"};
}

void TstBandPlan::shippedPlanSixtyMetreChannels()
{
    // Five 2.8 kHz channels (USB dial frequencies 5330.5, 5346.5, 5357.0, 5371.5 and 5403.5 kHz),
    // General and up only; three decimals on screen hide the half kHz, so compare the stored values.
    BandPlan plan;
    QVERIFY(plan.load(shippedPlan()));
    const QList<double> dials{5.3305, 5.3465, 5.357, 5.3715, 5.4035};
    for (const char *code : {"N", "T", "P", "G", "A", "E"}) {
        QList<double> lows;
        for (const BandPlanRecord &r : plan.records()) {
            if (r.band != u"60m" || r.classCode != QLatin1String(code))
                continue;
            QVERIFY(!r.isCw());
            QVERIFY2(std::abs((double(r.high) - r.low) - 0.0028) < 1e-6, code);
            lows.append(r.low);
        }
        const bool licensed = QByteArray("GAE").contains(code);
        QCOMPARE(lows.size(), licensed ? dials.size() : 0);
        for (qsizetype i = 0; i < lows.size(); ++i)
            QVERIFY2(std::abs(lows[i] - dials[i]) < 1e-6, code);
    }
}

void TstBandPlan::shippedPlanClassesNest()
{
    // Each licence keeps every frequency of the one below it, phone where that one has phone,
    // and every segment lies inside its band without overlapping another of its class.
    BandPlan plan;
    QVERIFY(plan.load(shippedPlan()));
    const QStringList order{"N", "T", "P", "G", "A", "E"};
    QHash<QString, QPair<double, double>> edges;
    for (const BandPlanRecord &r : plan.records()) {
        if (r.classCode == u"O")
            edges.insert(r.band, {r.low, r.high});
    }
    auto segments = [&](const QString &band, const QString &code, bool phoneOnly) {
        QList<QPair<double, double>> out;
        for (const BandPlanRecord &r : plan.records()) {
            if (r.band == band && r.classCode == code && !(phoneOnly && r.isCw()))
                out.append({r.low, r.high});
        }
        std::sort(out.begin(), out.end());
        return out;
    };
    auto covered = [](const QList<QPair<double, double>> &held, double low, double high) {
        double reach = low;
        for (const auto &[a, b] : held) {
            if (a <= reach + 1e-6 && b > reach)
                reach = b;
        }
        return reach >= high - 1e-6;
    };
    for (auto band = edges.cbegin(); band != edges.cend(); ++band) {
        for (qsizetype c = 0; c < order.size(); ++c) {
            const auto own = segments(band.key(), order[c], false);
            for (qsizetype i = 0; i < own.size(); ++i) {
                const QString where = band.key() + u' ' + order[c];
                QVERIFY2(own[i].first >= band->first - 1e-6 && own[i].second <= band->second + 1e-6,
                         qPrintable(where));
                QVERIFY2(own[i].first < own[i].second, qPrintable(where));
                QVERIFY2(i == 0 || own[i - 1].second <= own[i].first + 1e-6, qPrintable(where));
            }
            if (c == 0)
                continue;
            for (bool phone : {false, true}) {
                const auto higher = segments(band.key(), order[c], phone);
                for (const auto &[low, high] : segments(band.key(), order[c - 1], phone)) {
                    QVERIFY2(covered(higher, low, high),
                             qPrintable(band.key() + u' ' + order[c - 1] + u'>' + order[c]));
                }
            }
        }
    }
}

void TstBandPlan::shippedPlanSegments()
{
    QFETCH(QString, code);
    QFETCH(QString, band);
    QFETCH(QStringList, toolTips);
    BandPlan plan;
    QVERIFY(plan.load(shippedPlan()));
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    for (const BandPlan::Row &row : plan.rowsFor(code, nullptr, us)) {
        if (row.band != band)
            continue;
        QStringList shown;
        for (const BandPlan::Segment &s : row.segments)
            shown.append(s.toolTip);
        QCOMPARE(shown, toolTips);
        return;
    }
    QFAIL("band not shown for the class");
}

void TstBandPlan::unreadableFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("letters for a frequency") << planFile({"\"20m\",\"O\",\"ALL\",14,fourteen"});
    QTest::newRow("record cut short") << planFile({"\"20m\",\"O\",\"ALL\",14,14.35", "\"20m\",\"E\""});
    QTest::newRow("unclosed quote") << planFile({"\"20m,\"O\",\"ALL\",14,14.35"});
    QStringList many;
    for (int i = 0; i <= BandPlan::kCapacity; ++i)
        many.append(QStringLiteral("\"b%1\",\"O\",\"ALL\",1,2").arg(i));
    QTest::newRow("201 records") << planFile(many);
}

void TstBandPlan::unreadableFiles()
{
    QFETCH(QByteArray, bytes);
    BandPlan plan;
    QVERIFY(!plan.parse(bytes));
    QVERIFY(plan.records().isEmpty());
    QVERIFY(plan.rowsFor(QStringLiteral("E")).isEmpty());
}

void TstBandPlan::bandWithoutClassIsLeftOut()
{
    TestEnv env;
    env.write(QStringLiteral("BandPlan.txt"),
              planFile({"\"80m\",\"O\",\"ALL\",3.5,4", "\"80m\",\"G\",\"CW\",3.525,3.6",
                        "\"30m\",\"O\",\"ALL\",10.1,10.15", "\"30m\",\"E\",\"CW\",10.1,10.15",
                        "\"20m\",\"O\",\"ALL\",14,14.35", "\"20m\",\"G\",\"PH\",14.225,14.35"}));
    FakeDialogs dialogs;
    frmBandPlan w(env.file(QStringLiteral("BandPlan.txt")), dialogs);
    w.show();
    w.loadPlan();
    QCOMPARE(names(drawn(w, "blbl")), (QStringList{"blbl1"}));  // Extra: only 30m
    QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command4")), Qt::LeftButton);
    QCOMPARE(names(drawn(w, "blbl")), (QStringList{"blbl1", "blbl2"}));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("bnlb1"))->text(), QStringLiteral("80m"));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("bnlb2"))->text(), QStringLiteral("20m"));
    // Two rows share the space under the line: the second sits one pitch below the first.
    const int line = w.findChild<QWidget *>(QStringLiteral("Line1"))->y();
    const double pitch = 0.8 * (w.height() - line) / 2;
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("blbl1"))->y(), int(std::lround(line + pitch)));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("blbl2"))->y(), int(std::lround(line + 2 * pitch)));
    QVERIFY(dialogs.shown.isEmpty());
}

void TstBandPlan::segmentsShareRowInProportion()
{
    TestEnv env;
    env.write(QStringLiteral("BandPlan.txt"),
              planFile({"\"20m\",\"O\",\"ALL\",14,14.4", "\"20m\",\"E\",\"CW\",14,14.1",
                        "\"20m\",\"E\",\"DATA\",14.2,14.4"}));
    FakeDialogs dialogs;
    frmBandPlan w(env.file(QStringLiteral("BandPlan.txt")), dialogs);
    w.resize(800, 600);
    w.show();
    w.loadPlan();
    auto *row = w.findChild<QLabel *>(QStringLiteral("blbl1"));
    auto *cw = w.findChild<QLabel *>(QStringLiteral("priv1"));
    auto *data = w.findChild<QLabel *>(QStringLiteral("priv2"));
    QVERIFY(row && cw && data);
    QCOMPARE(cw->y(), row->y());
    QCOMPARE(data->y(), row->y());
    QCOMPARE(cw->x(), row->x());
    QCOMPARE(cw->width(), int(std::lround(row->width() * 0.25)));
    QCOMPARE(data->x(), row->x() + int(std::lround(row->width() * 0.5)));
    QCOMPARE(data->width(), int(std::lround(row->width() * 0.5)));
    // Shown as the characters they are (the plan is a file the operator may edit).
    QCOMPARE(row->toolTip(), plainToolTip(QStringLiteral("20m  ") + formatFrequency(14) + " - " + formatFrequency(14.4f)));
    QCOMPARE(cw->toolTip(), plainToolTip(QStringLiteral("CW  ") + cw->text()));
    QCOMPARE(data->toolTip(), plainToolTip(QStringLiteral("PH  ") + data->text()));
    // What the operator sees: CW blue, any other mode green, the gap shows the black bar.
    QCOMPARE(centreColour(w, cw), QColor(0, 0, 255));
    const QColor dataColour = centreColour(w, data);
    QVERIFY(dataColour.green() > 150 && dataColour.red() < 50 && dataColour.blue() < 50);
    const QPoint gap(row->x() + row->width() * 3 / 8, row->y() + row->height() / 2);
    QCOMPARE(w.grab().toImage().pixelColor(gap), QColor(Qt::black));
}

void TstBandPlan::switchingClassReplacesLabels()
{
    FakeDialogs dialogs;
    frmBandPlan w(shippedPlan(), dialogs);
    w.resize(800, 600);
    w.show();
    w.loadPlan();
    auto *heading = w.findChild<QLabel *>(QStringLiteral("Label2"));
    QCOMPARE(heading->text(), QStringLiteral("Extra Frequency Privileges"));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Frequencies Effective: March 5, 2012"));
    QCOMPARE(drawn(w, "blbl").size(), 12);
    QVERIFY(drawn(w, "priv").size() > 20);

    QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(heading->text(), QStringLiteral("Novice Frequency Privileges"));
    QCOMPARE(w.currentClass(), QStringLiteral("N"));
    QCOMPARE(names(drawn(w, "blbl")), (QStringList{"blbl1", "blbl2", "blbl3", "blbl4"}));
    QCOMPARE(names(drawn(w, "bnlb")), (QStringList{"bnlb1", "bnlb2", "bnlb3", "bnlb4"}));
    // 80, 40 and 15 m CW, 10 m CW and phone, numbered afresh.
    QCOMPARE(names(drawn(w, "priv")), (QStringList{"priv1", "priv2", "priv3", "priv4", "priv5"}));

    const QList<QPair<QString, QString>> buttons{{"Command2", "Technician Frequency Privileges"},
                                                 {"Command3", "Technician Plus Frequency Privileges"},
                                                 {"Command5", "Advanced Frequency Privileges"}};
    for (const auto &[button, text] : buttons) {
        QTest::mouseClick(w.findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(heading->text(), text);
    }
    QCOMPARE(drawn(w, "blbl").size(), 12);
    QVERIFY(dialogs.shown.isEmpty());

    QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command7")), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
}

void TstBandPlan::missingFileShowsMessage()
{
    TestEnv env;
    FakeDialogs dialogs;
    frmBandPlan w(env.file(QStringLiteral("BandPlan.txt")), dialogs);
    w.show();
    w.loadPlan();
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].text, QStringLiteral("Band data not available."));
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("Band Data Not Available."));
    QVERIFY(drawn(w, "blbl").isEmpty());
    QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command6")), Qt::LeftButton);
    QVERIFY(drawn(w, "blbl").isEmpty() && drawn(w, "priv").isEmpty());
}

void TstBandPlan::tooManyBandsStopsAtTwenty()
{
    TestEnv env;
    QStringList records;
    for (int b = 1; b <= 21; ++b) {
        records << QStringLiteral("\"b%1\",\"O\",\"ALL\",%1,%2").arg(b).arg(b + 1)
                << QStringLiteral("\"b%1\",\"E\",\"CW\",%1,%2").arg(b).arg(b + 1);
    }
    env.write(QStringLiteral("BandPlan.txt"), planFile(records));
    FakeDialogs dialogs;
    frmBandPlan w(env.file(QStringLiteral("BandPlan.txt")), dialogs);
    w.show();
    w.loadPlan();
    QCOMPARE(drawn(w, "blbl").size(), 20);
    QCOMPARE(dialogs.titles(), QStringList{QStringLiteral("Band Data Not Available.")});
    // Following the window's size redraws without repeating the message.
    w.resize(w.width() + 40, w.height());
    QCOMPARE(drawn(w, "blbl").size(), 20);
    QCOMPARE(dialogs.shown.size(), 1);
}

void TstBandPlan::pathPrefersWorkingDirectory()
{
    TestEnv env;
    AppFolders folders;
    folders.workingDir = env.path();
    // None of the operator's own: the shipped plan is used.
    BandPlan plan;
    QVERIFY(plan.load(bandPlanPath(folders)));
    QCOMPARE(plan.effectiveDate(), QStringLiteral("March 5, 2012"));
    // An operator's own file, in whatever letter case, wins.
    env.write(QStringLiteral("bandplan.TXT"), planFile({"\"20m\",\"O\",\"ALL\",14,14.35"}));
    QCOMPARE(bandPlanPath(folders), env.file(QStringLiteral("bandplan.TXT")));
}

void TstBandPlan::screenshots()
{
    TestEnv env;
    FakeDialogs dialogs;
    frmBandPlan w(shippedPlan(), dialogs);
    w.fitToWorkArea();
    w.show();
    w.loadPlan();
    QVERIFY(dialogs.shown.isEmpty());
    const QImage extra = saveShot(w, env.path(), QStringLiteral("bandplan-extra.png"));
    QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command4")), Qt::LeftButton);
    const QImage general = saveShot(w, env.path(), QStringLiteral("bandplan-general.png"));
    QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
    const QImage technician = saveShot(w, env.path(), QStringLiteral("bandplan-technician.png"));
    // Each licence class shows its own privileges.
    QVERIFY(!extra.isNull());
    QVERIFY(extra != general);
    QVERIFY(general != technician);
}

QTEST_MAIN(TstBandPlan)
#include "tst_bandplan.moc"
