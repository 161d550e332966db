// "Search Device" of the console against simulated cards answering the
// multicast discovery on loopback.
#include "CardServiceHost.h"
#include "DevSearchDialog.h"
#include "MessageBox.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {
QNetworkInterface loopback()
{
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
        if (i.flags() & QNetworkInterface::IsLoopBack)
            return i;
    return QNetworkInterface();
}

// Other simulated fleets on this machine may answer too; these are ours.
QStringList ownCards(const QStringList& found)
{
    QStringList own;
    for (const QString& a : found)
        if (a.startsWith(QLatin1String("127.0.23.")))
            own << a;
    return own;
}
}

class TestDevSearch : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void answerFilter_data();
    void answerFilter();
    void formAndFlags();
    void twoCardsListedOnce();
    void twoInterfacesAskedInTurn();
};

void TestDevSearch::init()
{
    MessageBox::clearAnswers();
    MessageBox::clearShown();
}

void TestDevSearch::answerFilter_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("6 bytes") << QByteArray::fromHex("002518030102") << false;
    QTest::newRow("other signature") << QByteArray::fromHex("00251903414243") << false;
    QTest::newRow("7 bytes") << QByteArray::fromHex("00251803414243") << true;
    QTest::newRow("full answer") << QByteArray::fromHex("0025180341424304657468300a000002ffffff00") << true;
    // A card tool's request from 10.0.0.2: its own address, low byte first.
    QTest::newRow("tool request") << QByteArray::fromHex("0025180200000a00ffffff") << false;
    QTest::newRow("bare console request") << QByteArray::fromHex("002518") << false;
}

void TestDevSearch::answerFilter()
{
    QFETCH(QByteArray, datagram);
    QFETCH(bool, accepted);
    QCOMPARE(DevSearchDialog::isAnswer(datagram, QHostAddress("10.0.0.2")), accepted);
}

void TestDevSearch::formAndFlags()
{
    DevSearchDialog dialog;
    QCOMPARE(dialog.windowTitle(), QString("Search Device"));
    QCOMPARE(dialog.size(), QSize(400, 200));
    QCOMPARE(dialog.findChild<QPushButton*>()->text(), QString("Search"));
    using F = QNetworkInterface;
    QVERIFY(DevSearchDialog::isUsable(F::IsUp | F::IsRunning | F::CanBroadcast | F::CanMulticast));
    QVERIFY(!DevSearchDialog::isUsable(F::IsUp | F::IsRunning | F::IsLoopBack | F::CanMulticast));
    QVERIFY(!DevSearchDialog::isUsable(F::IsUp | F::IsRunning | F::CanBroadcast));
}

void TestDevSearch::twoCardsListedOnce()
{
    CardServiceHost host;
    CardServiceHost::Options o;
    o.servicePort = 23713;
    QString error;
    QVERIFY2(host.start(o, {QHostAddress("127.0.23.80"), QHostAddress("127.0.23.81")}, &error), qPrintable(error));
    DevSearchDialog dialog;
    MessageBox::setNextAnswer(QMessageBox::Ok);
    dialog.startSearch({loopback()});
    QCOMPARE(MessageBox::lastShown().text, QString("Searching device..."));
    QCOMPARE(MessageBox::lastShown().title, QString("Search device"));
    QTRY_COMPARE(ownCards(dialog.found()).size(), 2);
    // One interface: two requests, then the search ends after a second.
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.searching(), 3000);
    QVERIFY(!dialog.noticeVisible());
    QTRY_COMPARE(host.card(0)->discoveryAnswers, 2);
    QTest::qWait(100);
    const QStringList own = ownCards(dialog.found());
    QCOMPARE(own.size(), 2);
    QVERIFY(own.contains("127.0.23.80"));
    QVERIFY(own.contains("127.0.23.81"));
    QStringList rows;
    for (int i = 0; i < dialog.list()->count(); ++i)
        rows << dialog.list()->item(i)->text();
    QCOMPARE(rows, dialog.found());
    QCOMPARE(rows.removeDuplicates(), 0);
    QVERIFY(!rows.contains("127.0.0.1"));

    // A new search starts from an empty list.
    MessageBox::setNextAnswer(QMessageBox::Ok);
    dialog.startSearch({loopback()});
    QVERIFY(ownCards(dialog.found()).size() < 2 || dialog.found().size() == dialog.list()->count());
    QTRY_COMPARE(ownCards(dialog.found()).size(), 2);
}

void TestDevSearch::twoInterfacesAskedInTurn()
{
    CardServiceHost host;
    CardServiceHost::Options o;
    o.servicePort = 23713;
    QString error;
    QVERIFY2(host.start(o, {QHostAddress("127.0.23.82")}, &error), qPrintable(error));
    DevSearchDialog dialog;
    MessageBox::setNextAnswer(QMessageBox::Ok);
    dialog.startSearch({loopback(), loopback()});
    // Two requests on each interface, a silent tick between them.
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.searching(), 5000);
    QTRY_COMPARE(host.card(0)->discoveryAnswers, 4);
    QCOMPARE(ownCards(dialog.found()), QStringList{"127.0.23.82"});
}

QTEST_MAIN(TestDevSearch)
#include "tst_devsearch.moc"
