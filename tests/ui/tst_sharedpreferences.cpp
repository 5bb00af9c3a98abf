#include <QXmlStreamReader>
#include "fakes.h"
#include "ui/sharedpreferences.h"

#include <QtTest>

namespace {
const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";

// The eight facts the station setup publishes, in the order it sets them.
void publishStation(SharedPreferences &shared, const QString &call)
{
    shared.setElement("OWN_CALL", call, false);
    shared.setElement("OWN_FIRST_NAME", "Anna", false);
    shared.setElement("OWN_SPC", "OH", false);
    shared.setElement("OWN_UTC", "5", false);
    shared.setElement("OWN_COUNTRY", "USA", false);
    shared.setElement("OWN_LONGITUDE", "84.5", false);
    shared.setElement("OWN_LATITUDE", "39.1", false);
    shared.setElement("OWN_TEN_TEN", "12345", true);
}
}  // namespace

class TestSharedPreferences : public QObject {
    Q_OBJECT
private slots:
    void firstStationSetupWritesDeclarationAndEightElements();
    void secondSetupReplacesInPlace();
    void edits_data();
    void edits();
    void loadKeepsTextWithoutFinalLineEnd_data();
    void loadKeepsTextWithoutFinalLineEnd();
    void bytesOutsideAsciiSurviveRewrite();
    void saveFailureIsReported();
    void markupInAValueIsEscaped();
};

// The file stays well-formed XML whatever the operator's name holds.
void TestSharedPreferences::markupInAValueIsEscaped()
{
    TestEnv env;
    SharedPreferences shared;
    shared.load(env.file("SharedUserPreferences.xml"));
    QVERIFY(shared.setElement("OWN_FIRST_NAME", "Bob & <Sue>", true));
    QVERIFY(shared.document().contains("<OWN_FIRST_NAME>Bob &amp; &lt;Sue&gt;</OWN_FIRST_NAME>"));
    QXmlStreamReader xml("<r>" + shared.document().section(u'\n', 1) + "</r>");
    QString read;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"OWN_FIRST_NAME")
            read = xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(read, QString("Bob & <Sue>"));
}

void TestSharedPreferences::firstStationSetupWritesDeclarationAndEightElements()
{
    TestEnv env;
    SharedPreferences shared;
    shared.load(env.file("SharedUserPreferences.xml"));
    QVERIFY(env.read("SharedUserPreferences.xml").isEmpty());  // loading writes nothing
    publishStation(shared, "W8XYZ");
    QCOMPARE(env.read("SharedUserPreferences.xml"),
             kDeclaration + "\r\n"
             "<OWN_CALL>W8XYZ</OWN_CALL>\r\n"
             "<OWN_FIRST_NAME>Anna</OWN_FIRST_NAME>\r\n"
             "<OWN_SPC>OH</OWN_SPC>\r\n"
             "<OWN_UTC>5</OWN_UTC>\r\n"
             "<OWN_COUNTRY>USA</OWN_COUNTRY>\r\n"
             "<OWN_LONGITUDE>84.5</OWN_LONGITUDE>\r\n"
             "<OWN_LATITUDE>39.1</OWN_LATITUDE>\r\n"
             "<OWN_TEN_TEN>12345</OWN_TEN_TEN>\r\n");
}

void TestSharedPreferences::secondSetupReplacesInPlace()
{
    TestEnv env;
    {
        SharedPreferences shared;
        shared.load(env.file("SharedUserPreferences.xml"));
        publishStation(shared, "W8XYZ");
    }
    const QByteArray first = env.read("SharedUserPreferences.xml");
    SharedPreferences again;  // the next run
    again.load(env.file("SharedUserPreferences.xml"));
    publishStation(again, "K8AB");
    QByteArray expected = first;
    expected.replace("<OWN_CALL>W8XYZ</OWN_CALL>", "<OWN_CALL>K8AB</OWN_CALL>");
    QCOMPARE(env.read("SharedUserPreferences.xml"), expected);
}

void TestSharedPreferences::edits_data()
{
    QTest::addColumn<QByteArray>("file");     // existing file, empty for none
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected"); // the file after the edit and a save

    const QByteArray d = kDeclaration + "\r\n";
    QTest::newRow("lower-case element of another program gets a capitalised one")
        << d + "<own_call>w8xyz</own_call>\r\n" << "OWN_CALL" << "K8AB"
        << d + "<own_call>w8xyz</own_call>\r\n<OWN_CALL>K8AB</OWN_CALL>\r\n";
    QTest::newRow("name given in lower case is capitalised")
        << QByteArray() << "own_spc" << "OH" << d + "<OWN_SPC>OH</OWN_SPC>\r\n";
    QTest::newRow("markup characters escaped for the XML readers")
        << QByteArray() << "OWN_ADDRESS_NAME" << "Smith & Sons <QSL>"
        << d + "<OWN_ADDRESS_NAME>Smith &amp; Sons &lt;QSL&gt;</OWN_ADDRESS_NAME>\r\n";
    QTest::newRow("value with blanks kept untrimmed")
        << QByteArray() << "OWN_FIRST_NAME" << " Al " << d + "<OWN_FIRST_NAME> Al </OWN_FIRST_NAME>\r\n";
    QTest::newRow("element of another program kept and order unchanged")
        << d + "<OWN_GRID>EM79</OWN_GRID>\r\n<OWN_CALL>OLD</OWN_CALL>\r\n" << "OWN_CALL" << "NEW"
        << d + "<OWN_GRID>EM79</OWN_GRID>\r\n<OWN_CALL>NEW</OWN_CALL>\r\n";
    QTest::newRow("empty value") << d + "<OWN_CALL>OLD</OWN_CALL>\r\n" << "OWN_CALL" << ""
                                 << d + "<OWN_CALL></OWN_CALL>\r\n";
    QTest::newRow("opening tag without closing tag completes its line")
        << d + "<OWN_CALL>OLD\r\n<OWN_SPC>OH</OWN_SPC>\r\n" << "OWN_CALL" << "NEW"
        << d + "<OWN_CALL>NEW</OWN_CALL>\r\n<OWN_SPC>OH</OWN_SPC>\r\n";
}

void TestSharedPreferences::edits()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    TestEnv env;
    if (!file.isEmpty())
        env.write("SharedUserPreferences.xml", file);
    SharedPreferences shared;
    shared.load(env.file("SharedUserPreferences.xml"));
    QString error;
    QVERIFY2(shared.setElement(name, value, true, &error), qPrintable(error));
    QCOMPARE(env.read("SharedUserPreferences.xml"), expected);
}

void TestSharedPreferences::loadKeepsTextWithoutFinalLineEnd_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("afterSave");
    const QByteArray d = kDeclaration + "\r\n";
    QTest::newRow("ends with CR LF: unchanged")
        << d + "<OWN_CALL>W1AW</OWN_CALL>\r\n" << d + "<OWN_CALL>W1AW</OWN_CALL>\r\n";
    // Only a final CR LF is the one Save adds; another program's last element stays whole.
    QTest::newRow("no final line end: text kept")
        << d + "<OWN_CALL>W1AW</OWN_CALL><OTHER_APP>1</OTHER_APP>"
        << d + "<OWN_CALL>W1AW</OWN_CALL><OTHER_APP>1</OTHER_APP>\r\n";
    QTest::newRow("LF only: text kept")
        << d + "<OWN_CALL>W1AW</OWN_CALL>\n" << d + "<OWN_CALL>W1AW</OWN_CALL>\n\r\n";
}

void TestSharedPreferences::loadKeepsTextWithoutFinalLineEnd()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, afterSave);
    TestEnv env;
    env.write("SharedUserPreferences.xml", file);
    SharedPreferences shared;
    shared.load(env.file("SharedUserPreferences.xml"));
    QVERIFY(shared.save());
    QCOMPARE(env.read("SharedUserPreferences.xml"), afterSave);
}

void TestSharedPreferences::bytesOutsideAsciiSurviveRewrite()
{
    TestEnv env;
    // Another program wrote UTF-8 ("Ángel", "Zoë"); its bytes must come back unchanged.
    const QByteArray other = kDeclaration + "\r\n<OWN_FIRST_NAME>\xC3\x81ngel Zo\xC3\xAB</OWN_FIRST_NAME>\r\n";
    env.write("SharedUserPreferences.xml", other);
    SharedPreferences shared;
    shared.load(env.file("SharedUserPreferences.xml"));
    QVERIFY(shared.setElement("OWN_CALL", QString::fromUtf8("F5\u00C9T"), true));
    QCOMPARE(env.read("SharedUserPreferences.xml"), other + "<OWN_CALL>F5\xC9T</OWN_CALL>\r\n");
}

void TestSharedPreferences::saveFailureIsReported()
{
    TestEnv env;
    SharedPreferences shared;
    shared.load(env.file("no such folder/SharedUserPreferences.xml"));
    QString error;
    QVERIFY(!shared.setElement("OWN_CALL", "W1AW", true, &error));
    QVERIFY(!error.isEmpty());
    // Without the save flag the change stays in memory for a later save.
    QVERIFY(shared.setElement("OWN_SPC", "CT", false));
    QVERIFY(shared.document().endsWith("<OWN_SPC>CT</OWN_SPC>"));
}

QTEST_MAIN(TestSharedPreferences)
#include "tst_sharedpreferences.moc"
