// Card discovery: UDP multicast on loopback (group 224.0.0.100, port 8888 —
// fixed by the protocol, so every test using it lives in this executable)
// and raw Ethernet across a veth pair between two network namespaces.
#include "CardServiceHost.h"
#include "CommLink.h"
#include "Crc16Modbus.h"
#include "DevSereachPage.h"
#include "MessageBox.h"

#include <QComboBox>
#include <QProcess>
#include <QTreeWidget>
#include <QtTest>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace {

QNetworkInterface loopback()
{
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
        if (i.flags() & QNetworkInterface::IsLoopBack)
            return i;
    return QNetworkInterface();
}

QTreeWidgetItem* topItem(QTreeWidget* tree, const QString& host)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0) == host)
            return tree->topLevelItem(i);
    return nullptr;
}

// Cards of this test's own address range. Other simulated fleets on the
// same machine may answer the multicast group too; they are ignored here.
int ownCards(QTreeWidget* tree, QStringList* hosts = nullptr)
{
    int n = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QString host = tree->topLevelItem(i)->text(0);
        if (host.startsWith(QLatin1String("127.0.23."))) {
            ++n;
            if (hosts)
                *hosts << host;
        }
    }
    return n;
}

bool run(const QStringList& args)
{
    QProcess p;
    p.start(args.first(), args.mid(1));
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Moves the calling thread into a named network namespace for its lifetime
// and back out afterwards.
class NetnsScope
{
public:
    explicit NetnsScope(const QString& name)
    {
        m_home = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        const int fd = ::open(QByteArray("/var/run/netns/" + name.toLatin1()).constData(), O_RDONLY | O_CLOEXEC);
        m_ok = m_home >= 0 && fd >= 0 && ::setns(fd, CLONE_NEWNET) == 0;
        if (fd >= 0)
            ::close(fd);
    }
    ~NetnsScope()
    {
        if (m_home >= 0) {
            if (m_ok)
                ::setns(m_home, CLONE_NEWNET);
            ::close(m_home);
        }
    }
    bool ok() const { return m_ok; }

private:
    int m_home = -1;
    bool m_ok = false;
};

} // namespace

class TestDiscovery : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void usableFlags_data();
    void usableFlags();
    void udpRequestLayout();
    void udpAnswerParsing_data();
    void udpAnswerParsing();
    void rawAnswerParsing_data();
    void rawAnswerParsing();
    void multicastSearch_data();
    void multicastSearch();
    void refreshWhileSearching();
    void rawEthernetAcrossNamespaces();
    void cleanupTestCase();

private:
    bool m_netnsMade = false;
};

void TestDiscovery::init()
{
    MessageBox::clearAnswers();
    MessageBox::clearShown();
}

void TestDiscovery::usableFlags_data()
{
    using F = QNetworkInterface;
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("usable");
    QTest::newRow("ethernet") << int(F::IsUp | F::IsRunning | F::CanBroadcast | F::CanMulticast) << true;
    QTest::newRow("loopback") << int(F::IsUp | F::IsRunning | F::IsLoopBack) << false;
    QTest::newRow("loopback with multicast") << int(F::IsUp | F::IsRunning | F::IsLoopBack | F::CanMulticast) << false;
    QTest::newRow("point to point") << int(F::IsUp | F::IsRunning | F::IsPointToPoint | F::CanMulticast) << false;
    QTest::newRow("down") << int(F::CanBroadcast | F::CanMulticast) << false;
    QTest::newRow("not running") << int(F::IsUp | F::CanBroadcast | F::CanMulticast) << false;
}

void TestDiscovery::usableFlags()
{
    QFETCH(int, flags);
    QFETCH(bool, usable);
    QCOMPARE(DevSereachPage::isUsable(QNetworkInterface::InterfaceFlags(flags)), usable);
}

void TestDiscovery::udpRequestLayout()
{
    QCOMPARE(DevSereachPage::buildUdpRequest(QHostAddress("192.168.1.10"), QHostAddress("255.255.255.0")).toHex(' '),
             QByteArray("00 25 18 0a 01 a8 c0 00 ff ff ff"));
    QCOMPARE(CommLink::buildRequest(QByteArray::fromHex("020000aabbcc")).left(26).toHex(' '),
             QByteArray("ff ff ff ff ff ff 02 00 00 aa bb cc 88 b5 00 00 00 01 00 00 00 00 1c 00 00 00"));
    QVERIFY(Crc16Modbus::check(CommLink::buildRequest(QByteArray::fromHex("020000aabbcc"))));
}

void TestDiscovery::udpAnswerParsing_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QString>("product");
    QTest::addColumn<QStringList>("rows"); // "name ip mask mac"
    QTest::addColumn<QString>("browse");
    const QByteArray sig = QByteArray::fromHex("002518");
    const QByteArray rec1 = QByteArray::fromHex("04") + "eth0" + QByteArray::fromHex("0a000002ffffff00");
    const QByteArray mac1 = QByteArray::fromHex("0011223344aa");
    const QByteArray rec2 = QByteArray::fromHex("04") + "usb0" + QByteArray::fromHex("c0a80701fffffffc");
    const QByteArray mac2 = QByteArray::fromHex("0011223344bb");
    QTest::newRow("7 bytes") << sig + QByteArray::fromHex("03414243") << true << "Unknown" << QStringList{} << QString();
    QTest::newRow("no prefix, no MAC") << sig + QByteArray::fromHex("03") + "NMC" + rec1 + rec2 << true << "NMC"
                                       << QStringList{"eth0 10.0.0.2 255.255.255.0 ", "usb0 192.168.7.1 255.255.255.252 "}
                                       << "10.0.0.2";
    QTest::newRow("prefix on first record")
        << sig + QByteArray::fromHex("03") + "NMC" + QByteArray::fromHex("0012") + rec1 + mac1 + rec2 + mac2 << true << "NMC"
        << QStringList{"eth0 10.0.0.2 255.255.255.0 00:11:22:33:44:aa", "usb0 192.168.7.1 255.255.255.252 00:11:22:33:44:bb"}
        << "10.0.0.2";
    QTest::newRow("truncated record ends parsing")
        << sig + QByteArray::fromHex("03") + "NMC" + rec2 + rec1.left(6) << true << "NMC"
        << QStringList{"usb0 192.168.7.1 255.255.255.252 "} << QString();
    QTest::newRow("name cut at the end") << sig + QByteArray::fromHex("09") + "NMCX" << true << "NMCX" << QStringList{} << QString();
    QTest::newRow("bad signature") << QByteArray::fromHex("00251903414243") << false << QString() << QStringList{} << QString();
    QTest::newRow("another tool's request") << QByteArray::fromHex("0025180200000a00ffffff") << false << QString()
                                            << QStringList{} << QString();
    QTest::newRow("two bytes") << QByteArray::fromHex("0025") << false << QString() << QStringList{} << QString();
}

void TestDiscovery::udpAnswerParsing()
{
    QFETCH(QByteArray, datagram);
    QFETCH(bool, listed);
    QFETCH(QString, product);
    QFETCH(QStringList, rows);
    QFETCH(QString, browse);
    DevSereachPage page;
    QCOMPARE(page.addUdpAnswer(datagram, "10.0.0.2"), listed);
    QCOMPARE(page.tree()->topLevelItemCount(), listed ? 1 : 0);
    if (!listed)
        return;
    QTreeWidgetItem* top = page.tree()->topLevelItem(0);
    QCOMPARE(top->text(0), QString("10.0.0.2"));
    QCOMPARE(top->text(1), product);
    QStringList got;
    for (int i = 0; i < top->childCount(); ++i)
        got << QStringList{top->child(i)->text(2), top->child(i)->text(3), top->child(i)->text(4), top->child(i)->text(5)}.join(' ');
    QCOMPARE(got, rows);
    QCOMPARE(top->data(0, DevSereachPage::BrowseRole).toString(), browse);
    // A right click on an interface row acts for its card.
    if (top->childCount() > 0) {
        QCOMPARE(DevSereachPage::cardItem(top->child(0)), top);
        QCOMPARE(DevSereachPage::cardItem(top), top);
        QCOMPARE(DevSereachPage::browseUrl(top).toString(), "http://" + browse);
    }
    // The same sender again is ignored.
    QVERIFY(!page.addUdpAnswer(datagram, "10.0.0.2"));
}

void TestDiscovery::rawAnswerParsing_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("json");
    CardServiceHost host;
    CardServiceHost::Card card;
    card.address = QHostAddress("10.0.0.9");
    card.mac = QByteArray::fromHex("02a00a000009");
    const QByteArray good = host.rawAnswer(card, QByteArray(6, '\xff'), QByteArray::fromHex("020000000001"));
    const QByteArray json = host.descriptionJson(card);
    QTest::newRow("valid") << good << json;
    QByteArray badCrc = good;
    badCrc[badCrc.size() - 1] = char(badCrc[badCrc.size() - 1] ^ 0x01);
    QTest::newRow("wrong CRC") << badCrc << QByteArray();
    QByteArray request = good;
    request[18] = 0;
    QTest::newRow("a request, not an answer") << Crc16Modbus::append(request.left(request.size() - 2)) << QByteArray();
    QTest::newRow("short") << good.left(27) << QByteArray();
    // Ethernet padding after the CRC must not break the answer; trailing
    // bytes inside the CRC span are cut after the last brace.
    QByteArray withTail = good.left(good.size() - 2) + "  ";
    QTest::newRow("text after the object") << Crc16Modbus::append(withTail) << json;
}

void TestDiscovery::rawAnswerParsing()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, json);
    QCOMPARE(CommLink::parseAnswer(frame), json);
}

void TestDiscovery::multicastSearch_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("withMac");
    QTest::newRow("records with length prefix") << "prefixed" << true;
    QTest::newRow("records without prefix") << "plain" << false;
    QTest::newRow("7-byte answers") << "short" << false;
}

void TestDiscovery::multicastSearch()
{
    QFETCH(QString, format);
    QFETCH(bool, withMac);
    const QNetworkInterface lo = loopback();
    QVERIFY(lo.isValid());
    CardServiceHost host;
    CardServiceHost::Options o;
    o.discoveryFormat = format;
    o.servicePort = 23712;
    QString error;
    QVERIFY2(host.start(o, {QHostAddress("127.0.23.60"), QHostAddress("127.0.23.61")}, &error), qPrintable(error));

    DevSereachPage page;
    page.startSearch(lo);
    QTRY_COMPARE(ownCards(page.tree()), 2);
    for (const QString& ip : {QStringLiteral("127.0.23.60"), QStringLiteral("127.0.23.61")}) {
        QTreeWidgetItem* top = topItem(page.tree(), ip);
        QVERIFY2(top, qPrintable(ip));
        if (format == "short") {
            QCOMPARE(top->text(1), QString("Unknown"));
            QCOMPARE(top->childCount(), 0);
            continue;
        }
        QCOMPARE(top->text(1), QString("Velmora NMC-2"));
        QCOMPARE(top->childCount(), 2);
        QCOMPARE(top->child(0)->text(2), QString("eth0"));
        QCOMPARE(top->child(0)->text(3), ip);
        QCOMPARE(top->child(0)->text(4), QString("255.255.255.0"));
        QCOMPARE(top->child(1)->text(2), QString("usb0"));
        QCOMPARE(top->data(0, DevSereachPage::BrowseRole).toString(), ip);
        QCOMPARE(top->child(0)->text(5).isEmpty(), !withMac);
        if (withMac)
            QCOMPARE(top->child(0)->text(5), QString("02:a0:7f:00:17:%1").arg(ip.section('.', 3).toInt(), 2, 16, QLatin1Char('0')));
    }
    // Three rounds; each card answers each, and is listed once.
    QTRY_COMPARE_WITH_TIMEOUT(page.requestsLeft(), 0, 4000);
    QTRY_COMPARE(host.card(0)->discoveryAnswers, 3);
    QTest::qWait(100);
    QStringList hosts;
    QCOMPARE(ownCards(page.tree(), &hosts), 2);
    hosts.sort();
    QCOMPARE(hosts, (QStringList{"127.0.23.60", "127.0.23.61"}));
    // Every host is listed once, whoever answered; our own request is none.
    QStringList all;
    for (int i = 0; i < page.tree()->topLevelItemCount(); ++i)
        all << page.tree()->topLevelItem(i)->text(0);
    QCOMPARE(all.removeDuplicates(), 0);
    QVERIFY(!all.contains("127.0.0.1"));
}

void TestDiscovery::refreshWhileSearching()
{
    CardServiceHost host;
    CardServiceHost::Options o;
    o.servicePort = 23712;
    QString error;
    QVERIFY2(host.start(o, {QHostAddress("127.0.23.62")}, &error), qPrintable(error));
    DevSereachPage page;
    page.startSearch(loopback());
    QTRY_COMPARE(ownCards(page.tree()), 1);
    MessageBox::setNextAnswer(QMessageBox::Ok);
    QMetaObject::invokeMethod(&page, "onBtnRefreshClicked");
    QCOMPARE(MessageBox::lastShown().text, QString("Searching device..."));
    QCOMPARE(MessageBox::lastShown().title, QString("Search device"));
    QTRY_COMPARE_WITH_TIMEOUT(page.requestsLeft(), 0, 4000);
    // Idle again: a new search clears the tree and finds the card again.
    page.startSearch(loopback());
    QCOMPARE(page.tree()->topLevelItemCount(), 0);
    QTRY_COMPARE(ownCards(page.tree()), 1);
    // Refresh with an interface name nobody has.
    QTRY_COMPARE_WITH_TIMEOUT(page.requestsLeft(), 0, 4000);
    page.interfaceBox()->addItem("no-such-interface");
    page.interfaceBox()->setCurrentText("no-such-interface");
    MessageBox::setNextAnswer(QMessageBox::Ok);
    QMetaObject::invokeMethod(&page, "onBtnRefreshClicked");
    QCOMPARE(MessageBox::lastShown().text, QString("Network interface is not accessible!"));
}

void TestDiscovery::rawEthernetAcrossNamespaces()
{
    run({"ip", "netns", "del", "t8a"});
    run({"ip", "netns", "del", "t8b"});
    if (!run({"ip", "netns", "add", "t8a"}) || !run({"ip", "netns", "add", "t8b"}))
        QSKIP("cannot create network namespaces here (needs root and iproute2); raw-Ethernet discovery not exercised");
    m_netnsMade = true;
    QVERIFY(run({"ip", "link", "add", "t8va", "netns", "t8a", "type", "veth", "peer", "name", "t8vb", "netns", "t8b"}));
    QVERIFY(run({"ip", "-n", "t8a", "link", "set", "t8va", "up"}));
    QVERIFY(run({"ip", "-n", "t8b", "link", "set", "t8vb", "up"}));
    QVERIFY(run({"ip", "-n", "t8a", "link", "set", "lo", "up"}));
    QVERIFY(run({"ip", "-n", "t8b", "link", "set", "lo", "up"}));

    CardServiceHost host;
    {
        NetnsScope scope("t8a");
        if (!scope.ok())
            QSKIP("cannot enter the test's network namespace (setns); raw-Ethernet discovery not exercised");
        CardServiceHost::Options o;
        o.udpDiscovery = false;
        o.rawIface = "t8va";
        QString error;
        QVERIFY2(host.start(o, {QHostAddress("127.0.23.70"), QHostAddress("127.0.23.71")}, &error), qPrintable(error));
    }
    DevSereachPage page;
    {
        NetnsScope scope("t8b");
        QVERIFY(scope.ok());
        const QNetworkInterface vb = QNetworkInterface::interfaceFromName("t8vb");
        QVERIFY(vb.isValid());
        QVERIFY2(vb.flags() & QNetworkInterface::CanMulticast, qPrintable(QString::number(int(vb.flags()), 16)));
        page.startSearch(vb); // the capture thread starts inside t8b
        QTRY_VERIFY(page.commLink()->isCapturing());
        // Same interface again: the capture keeps running.
        page.commLink()->start("t8vb", vb.hardwareAddress());
        QCOMPARE(page.commLink()->restarts(), 0);
    }
    // The first round went out before the capture was ready; later rounds
    // (at 1 s and 2 s) reach the cards.
    QTRY_COMPARE_WITH_TIMEOUT(page.tree()->topLevelItemCount(), 2, 5000);
    QTreeWidgetItem* top = topItem(page.tree(), "127.0.23.70");
    QVERIFY(top);
    QCOMPARE(top->text(1), QString("Velmora NMC-2"));
    QCOMPARE(top->childCount(), 2);
    QCOMPARE(top->child(0)->text(2), QString("eth0"));
    QCOMPARE(top->child(0)->text(3), QString("127.0.23.70"));
    QCOMPARE(top->child(0)->text(5), QString("02:a0:7f:00:17:46"));
    QCOMPARE(top->data(0, DevSereachPage::BrowseRole).toString(), QString("127.0.23.70"));
    QVERIFY(host.card(0)->rawAnswers >= 1);
    QTRY_COMPARE_WITH_TIMEOUT(page.requestsLeft(), 0, 4000);
    QCOMPARE(page.tree()->topLevelItemCount(), 2);

    {
        // Another interface restarts the capture on it.
        NetnsScope scope("t8b");
        page.commLink()->start("lo", "00:00:00:00:00:00");
        QCOMPARE(page.commLink()->restarts(), 1);
        QCOMPARE(page.commLink()->interfaceName(), QString("lo"));
    }
}

void TestDiscovery::cleanupTestCase()
{
    if (m_netnsMade) {
        run({"ip", "netns", "del", "t8a"});
        run({"ip", "netns", "del", "t8b"});
    }
}

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
