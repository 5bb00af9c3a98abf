// Text from peers, files and the operator is shown as the characters it is: markup in a spot
// comment neither formats the labels nor makes the window read the file an image names (a named
// pipe would block it for good).
#include "mainwindowharness.h"
#include "spotting/spotstore.h"
#include "ui/plaintext.h"

#include <QLabel>

#include <sys/stat.h>

class TestPlainText : public QObject {
    Q_OBJECT

private slots:
    void spotCommentWithMarkupStaysText()
    {
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        const QString fifo = h.env.file("FIFO");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        Form1 &form = h.start();
        const QString record = QStringLiteral("de W3LPL: 28025.0 K1XYZ <u>UNDER</u> <img src=\"%1\"> 1423Z").arg(fifo);
        form.spotStore().BandMapSpots("K1XYZ", "28025.0", record);
        QCOMPARE(h.label("lblDupe"), QStringLiteral("You've been spotted!  ") + record);
        QCOMPARE(h.find("lblDupe")->textFormat(), Qt::PlainText);
        h.find("lblDupe")->repaint();  // drawn as text: nothing opens the pipe
    }

    // Every label of the main window and the entry line takes its text as plain text, whatever
    // fills it later (the rig's answers, the check-partial file, the call history).
    void everyLabelIsPlain()
    {
        MainWindowHarness h;
        h.writePreferences();
        Form1 &form = h.start();
        const QList<QLabel *> labels = form.findChildren<QLabel *>();
        QVERIFY(labels.size() > 60);
        QStringList rich;
        for (QLabel *label : labels) {
            if (label->textFormat() != Qt::PlainText)
                rich << label->objectName() + "/" + label->metaObject()->className() + "/" + label->window()->objectName() + ":" + label->text().left(20);
        }
        QVERIFY2(rich.isEmpty(), qPrintable(rich.join(", ")));
    }

    void toolTipsShowTheCharacters()
    {
        QCOMPARE(plainToolTip("W1AW <b>x</b> & y"),
                 QString("<p style='white-space:pre'>W1AW &lt;b&gt;x&lt;/b&gt; &amp; y</p>"));
        QCOMPARE(plainToolTip(QString()), QString());
    }
};

QTEST_MAIN(TestPlainText)
#include "tst_plaintext.moc"
