// The card link: frame codec byte for byte, reassembly and routing of
// CommTcp against a scripted peer and against the simulated card.
#include "CardFrame.h"
#include "CardServiceHost.h"
#include "CommTcp.h"
#include "MessageBox.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {
const QHostAddress kPeer(QStringLiteral("127.0.23.200"));
const QHostAddress kCard(QStringLiteral("127.0.23.201"));

struct Received
{
    int cmd;
    QByteArray payload;
};
}

class TestLink : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void buildVectors_data();
    void buildVectors();
    void parser_data();
    void parser();
    void parserReentrantFeedKeepsOrder();
    void linkReassembly();
    void linkSplitLateIsDiscarded();
    void linkRoutesConfirmations_data();
    void linkRoutesConfirmations();
    void sendWhileDisconnected();
    void connectFailureReportsError();
    void simulatorAnswersThroughFaults_data();
    void simulatorAnswersThroughFaults();

private:
    // Connects link to a scripted peer; returns the peer's socket.
    QTcpSocket* connectPeer(QTcpServer& server, CommTcp& link);
    static void record(CommTcp& link, QList<Received>* out);
};

void TestLink::initTestCase()
{
    MessageBox::clearAnswers();
}

void TestLink::buildVectors_data()
{
    QTest::addColumn<int>("cmd");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("reboot") << int(CardCmd::Reboot) << QByteArray() << QByteArray::fromHex("68000200026C");
    QTest::newRow("read version 1") << int(CardCmd::ReadVersion) << QByteArray(1, '\x01') << QByteArray::fromHex("6800030001016D");
    QTest::newRow("backup block") << int(CardCmd::BackupBlock) << QByteArray() << QByteArray::fromHex("6800020152BD");
}

void TestLink::buildVectors()
{
    QFETCH(int, cmd);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, frame);
    QCOMPARE(CardFrame::build(quint16(cmd), payload).toHex(' '), frame.toHex(' '));
}

void TestLink::parser_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("expected"); // "cmd:payloadhex"
    const QByteArray a = CardFrame::build(0x0001, "v1.3.1 x");
    const QByteArray b = CardFrame::build(0x0010, QByteArray::fromHex("0100160000170100500101BB"));
    QByteArray bad = b;
    bad[bad.size() - 1] = char(bad[bad.size() - 1] + 1);
    QTest::newRow("two frames in one read") << a + b << QStringList{"1:" + QByteArray("v1.3.1 x").toHex(), "16:0100160000170100500101bb"};
    QTest::newRow("garbage before start") << QByteArray::fromHex("0001ff55") + a << QStringList{"1:" + QByteArray("v1.3.1 x").toHex()};
    QTest::newRow("wrong checksum dropped") << bad + a << QStringList{"1:" + QByteArray("v1.3.1 x").toHex()};
    QTest::newRow("empty payload") << QByteArray::fromHex("68000200026C") << QStringList{"2:"};
    // A length that cannot fit the 4096-byte buffer: the buffer is emptied
    // when full and parsing goes on.
    QByteArray huge = QByteArray::fromHex("681000") + QByteArray(4093, 'x');
    QTest::newRow("overlong frame discarded") << huge + a << QStringList{"1:" + QByteArray("v1.3.1 x").toHex()};
}

void TestLink::parser()
{
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, expected);
    CardFrame::Parser parser(4096);
    QStringList got;
    parser.feed(stream, [&](quint16 cmd, const quint8* p, int n) {
        got << QString::number(cmd) + ":" + QByteArray(reinterpret_cast<const char*>(p), n).toHex();
    });
    QCOMPARE(got, expected);
}

void TestLink::parserReentrantFeedKeepsOrder()
{
    CardFrame::Parser parser;
    const QByteArray a = CardFrame::build(1, "a"), b = CardFrame::build(2, "b"), c = CardFrame::build(3, "c");
    QList<int> order;
    std::function<void(quint16, const quint8*, int)> handler;
    handler = [&](quint16 cmd, const quint8*, int) {
        order << cmd;
        if (cmd == 1)
            parser.feed(c, handler); // bytes read inside a nested event loop
    };
    parser.feed(a + b, handler);
    QCOMPARE(order, (QList<int>{1, 2, 3}));
}

void TestLink::record(CommTcp& link, QList<Received>* out)
{
    auto store = [out](int cmd, const quint8* data, int size) {
        out->append({cmd, QByteArray(reinterpret_cast<const char*>(data), size)});
    };
    QObject::connect(&link, &CommTcp::gotProgRespond, store);
    QObject::connect(&link, &CommTcp::gotSettingsRespond, store);
    QObject::connect(&link, &CommTcp::gotLogRespond, store);
    QObject::connect(&link, &CommTcp::gotSPTestRespond, store);
    QObject::connect(&link, &CommTcp::gotFixedParamRespond, store);
}

QTcpSocket* TestLink::connectPeer(QTcpServer& server, CommTcp& link)
{
    if (!server.isListening() && !server.listen(kPeer, 8712))
        return nullptr;
    QSignalSpy connected(&link, &CommTcp::connectedToDevice);
    link.connectDevice(kPeer.toString());
    if (connected.count() != 1)
        return nullptr;
    if (!server.hasPendingConnections() && !server.waitForNewConnection(1000))
        return nullptr;
    return server.nextPendingConnection();
}

void TestLink::linkReassembly()
{
    QTcpServer server;
    CommTcp link;
    QList<Received> got;
    record(link, &got);
    QTcpSocket* peer = connectPeer(server, link);
    QVERIFY(peer);

    // Two frames in one write, both dispatched in order.
    const QByteArray v = CardFrame::build(CardCmd::ReadVersion, "v1.3.1 build");
    const QByteArray d = CardFrame::build(CardCmd::ReadDate, "2026-01-02 03:04:05");
    peer->write(v + d);
    QTRY_COMPARE(got.size(), 2);
    QCOMPARE(got[0].cmd, int(CardCmd::ReadVersion));
    QCOMPARE(got[0].payload, QByteArray("v1.3.1 build"));
    QCOMPARE(got[1].cmd, int(CardCmd::ReadDate));

    // Split after the third byte, completed at once: dispatched once.
    const QByteArray ports = CardFrame::build(CardCmd::ReadPorts, QByteArray::fromHex("0100160000170100500101BB"));
    peer->write(ports.left(3));
    peer->flush();
    QTest::qWait(20);
    peer->write(ports.mid(3));
    QTRY_COMPARE(got.size(), 3);
    QCOMPARE(got[2].payload.toHex(), QByteArray("0100160000170100500101bb"));

    // Garbage first, then a frame; a wrong checksum gives nothing.
    QByteArray bad = CardFrame::build(CardCmd::ReadFixedParams, "{}");
    bad[bad.size() - 1] = 0;
    MessageBox::clearShown();
    peer->write(QByteArray::fromHex("00ff1234") + bad);
    peer->write(CardFrame::build(CardCmd::LogData, "line"));
    QTRY_COMPARE(got.size(), 4);
    QCOMPARE(got[3].cmd, int(CardCmd::LogData));
    QVERIFY(MessageBox::shown().isEmpty());
    delete peer;
}

void TestLink::linkSplitLateIsDiscarded()
{
    QTcpServer server;
    CommTcp link;
    QList<Received> got;
    record(link, &got);
    QTcpSocket* peer = connectPeer(server, link);
    QVERIFY(peer);
    const QByteArray frame = CardFrame::build(CardCmd::ReadVersion, "v1.2.2 old");
    peer->write(frame.left(3));
    peer->flush();
    QTest::qWait(250); // well past the 100 ms idle time-out
    peer->write(frame.mid(3));
    peer->flush();
    QTest::qWait(50);
    peer->write(CardFrame::build(CardCmd::ReadVersion, "v2.0.0 next"));
    QTRY_COMPARE(got.size(), 1);
    QTest::qWait(50);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0].payload, QByteArray("v2.0.0 next"));
    delete peer;
}

void TestLink::linkRoutesConfirmations_data()
{
    QTest::addColumn<int>("cmd");
    QTest::addColumn<QString>("text");
    QTest::newRow("ip") << int(CardCmd::WriteIpSettings) << "Set device's IP Settings success!";
    QTest::newRow("reset ip") << int(CardCmd::ResetIpSettings) << "Reset device's IP Settings success!";
    QTest::newRow("date") << int(CardCmd::SyncDate) << "Set device's date success!";
    QTest::newRow("fixed") << int(CardCmd::WriteFixedParams) << "Set device's fixed parameters success!";
    QTest::newRow("ports") << int(CardCmd::WritePorts) << "Set device's port success!";
    QTest::newRow("reboot ignored") << int(CardCmd::Reboot) << QString();
    QTest::newRow("unknown ignored") << 0x0777 << QString();
}

void TestLink::linkRoutesConfirmations()
{
    QFETCH(int, cmd);
    QFETCH(QString, text);
    QTcpServer server;
    CommTcp link;
    QList<Received> got;
    record(link, &got);
    QTcpSocket* peer = connectPeer(server, link);
    QVERIFY(peer);
    MessageBox::clearShown();
    MessageBox::setNextAnswer(0);
    peer->write(CardFrame::build(quint16(cmd), "anything"));
    peer->write(CardFrame::build(CardCmd::LogData, "marker"));
    QTRY_COMPARE(got.size(), 1);
    QCOMPARE(got[0].cmd, int(CardCmd::LogData));
    if (text.isEmpty()) {
        QVERIFY(MessageBox::shown().isEmpty());
        MessageBox::clearAnswers();
    } else {
        QCOMPARE(MessageBox::lastShown().text, text);
        QCOMPARE(MessageBox::lastShown().title, QString("Information"));
    }
    delete peer;
}

void TestLink::sendWhileDisconnected()
{
    CommTcp link;
    MessageBox::clearShown();
    MessageBox::setNextAnswer(0);
    link.send(CardCmd::ReadVersion, QByteArray(1, '\x01'));
    QCOMPARE(MessageBox::lastShown().text, QString("Device not connected!"));
    QCOMPARE(MessageBox::lastShown().title, QString("Warning"));
}

void TestLink::connectFailureReportsError()
{
    CommTcp link;
    QSignalSpy error(&link, &CommTcp::connectionError);
    QSignalSpy ok(&link, &CommTcp::connectedToDevice);
    link.connectDevice(QStringLiteral("127.0.23.250")); // nobody listens
    QCOMPARE(error.count(), 1);
    QCOMPARE(ok.count(), 0);
    QVERIFY(!error.at(0).at(0).toString().isEmpty());
}

void TestLink::simulatorAnswersThroughFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("arrives");
    QTest::newRow("clean") << QString() << true;
    QTest::newRow("garbage before frames") << "garbage" << true;
    QTest::newRow("split 20 ms") << "split=20" << true;
    QTest::newRow("split 150 ms is lost") << "split=150" << false;
}

void TestLink::simulatorAnswersThroughFaults()
{
    QFETCH(QString, fault);
    QFETCH(bool, arrives);
    CardServiceHost host;
    QCommandLineParser parser;
    CardServiceHost::addOptions(parser);
    QStringList args{"upssim", "--no-discovery"};
    if (!fault.isEmpty())
        args << "--fault" << fault;
    QVERIFY(parser.parse(args));
    QString error;
    QVERIFY2(host.start(parser, {kCard}, &error), qPrintable(error));

    CommTcp link;
    QList<Received> got;
    record(link, &got);
    QSignalSpy connected(&link, &CommTcp::connectedToDevice);
    link.connectDevice(kCard.toString());
    QCOMPARE(connected.count(), 1);
    link.send(CardCmd::ReadVersion, QByteArray(1, '\x01'));
    link.send(CardCmd::ReadPorts, QByteArray());
    if (arrives) {
        QTRY_COMPARE(got.size(), 2);
        QCOMPARE(got[0].payload, QByteArray("v1.3.1 build-20240518"));
        QCOMPARE(got[1].payload.toHex(), QByteArray("0100160000170100500101bb"));
    } else {
        QTRY_COMPARE(host.card(0)->requests.size(), 2);
        QTest::qWait(400);
        QCOMPARE(got.size(), 0);
    }
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
