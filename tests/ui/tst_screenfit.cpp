#include "ui/captionfit.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QVBoxLayout>

// A window laid out for more room than the screen has is shown inside the screen, its controls
// in a scrolling view and every one of them still shown and reachable by Tab.
class TestScreenFit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { captionfit::setUpApplication(*qApp); }

    void tallWindowScrollsAndKeepsItsControls_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("fits") << 5 << false;
        QTest::newRow("taller than the screen") << 80 << true;
    }
    void tallWindowScrollsAndKeepsItsControls()
    {
        QFETCH(int, rows);
        QFETCH(bool, scrolls);
        QDialog window;
        auto *layout = new QVBoxLayout(&window);
        QList<QLineEdit *> fields;
        for (int i = 0; i < rows; ++i) {
            layout->addWidget(new QLabel(QStringLiteral("Field %1").arg(i), &window));
            fields << new QLineEdit(&window);
            layout->addWidget(fields.last());
        }
        fields.first()->setVisible(true);  // shown by hand, as windows do for optional controls
        auto *hidden = new QLineEdit(&window);
        layout->addWidget(hidden);
        hidden->hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QRect area = window.screen()->availableGeometry();
        QVERIFY(area.contains(window.frameGeometry()));
        QCOMPARE(window.findChild<QScrollArea *>() != nullptr, scrolls);
        for (QLineEdit *f : fields)
            QVERIFY(f->isVisible());
        QVERIFY(!hidden->isVisible());
        fields[rows - 2]->setFocus();
        QTest::keyClick(fields[rows - 2], Qt::Key_Tab);
        QTRY_VERIFY(fields.last()->hasFocus());
        if (scrolls) {
            // The field Tab reaches is scrolled into view.
            auto *scroll = window.findChild<QScrollArea *>();
            const QRect inView(fields.last()->mapTo(scroll->viewport(), QPoint(0, 0)), fields.last()->size());
            QTRY_VERIFY(scroll->viewport()->rect().contains(inView));
        }
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
