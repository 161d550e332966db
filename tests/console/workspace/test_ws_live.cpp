// The workspace over the running engine and the card simulator upssim:
// live rows, tree colours, deleting and adding devices, traps.
// Simulated cards: 127.0.24.1-3 on UDP 24161; traps to 127.0.0.1:24162;
// simulator control on 127.0.0.1:24901.

#include "WsFixture.h"

#include "AddDialog.h"
#include "DialogStatus.h"
#include "IconItem.h"
#include "IconItemGraphicsView.h"
#include "MainWidget.h"
#include "MainWindow.h"
#include "ManageTreeView.h"
#include "SNMP.h"
#include "SysSettingsDialog.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpSocket>

namespace {

const char kSimControl[] = "127.0.0.1";
const quint16 kSimControlPort = 24901;

QString simulatorPath()
{
    for (const QString& c : {QStringLiteral(UPS_BINARY_DIR "/bin/upssim"), QStringLiteral(UPS_SOURCE_DIR "/build/bin/upssim")}) {
        if (QFileInfo(c).isExecutable())
            return c;
    }
    return QString();
}

// Sends one control line to the simulator; true on "OK".
bool simCommand(const QString& line)
{
    QTcpSocket socket;
    socket.connectToHost(QString::fromLatin1(kSimControl), kSimControlPort);
    if (!socket.waitForConnected(3000))
        return false;
    socket.write(line.toUtf8() + "\n");
    QByteArray reply;
    while (socket.waitForReadyRead(3000)) {
        reply += socket.readAll();
        if (reply.contains("OK\n") || reply.contains("ERR"))
            break;
    }
    return reply.contains("OK");
}

int rowOf(MainWidget* view, const QString& ip)
{
    return view->ipList().indexOf(ip);
}

QString cell(MainWidget* view, const QString& ip, int column)
{
    const int row = rowOf(view, ip);
    QTableWidgetItem* item = row >= 0 ? view->table()->item(row, column) : nullptr;
    return item ? item->text() : QString();
}

QColor cellColor(MainWidget* view, const QString& ip, int column)
{
    const int row = rowOf(view, ip);
    QTableWidgetItem* item = row >= 0 ? view->table()->item(row, column) : nullptr;
    return item ? item->foreground().color() : QColor();
}

} // namespace

class TestWsLive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void liveWorkspace();

private:
    QProcess m_sim;
    QTemporaryDir m_snmpDir;
};

void TestWsLive::initTestCase()
{
    qRegisterMetaType<QList<QPair<QString, QString> > >();
    const QString sim = simulatorPath();
    if (sim.isEmpty())
        QSKIP("upssim is not built");
    qputenv("MIBS", "");
    qputenv("SNMP_PERSISTENT_DIR", QFile::encodeName(m_snmpDir.path()));
    m_sim.setProcessChannelMode(QProcess::MergedChannels);
    m_sim.start(sim, {"--first", "127.0.24.1", "--count", "3", "--port", "24161", "--control",
                      QStringLiteral("%1:%2").arg(kSimControl).arg(kSimControlPort), "--trap-target",
                      "127.0.0.1:24162", "--quiet"});
    QVERIFY(m_sim.waitForStarted(5000));
    QByteArray out;
    for (int i = 0; i < 50 && !out.contains("READY"); ++i) {
        m_sim.waitForReadyRead(200);
        out += m_sim.readAll();
    }
    QVERIFY2(out.contains("READY"), out.constData());
}

void TestWsLive::cleanupTestCase()
{
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.terminate();
        if (!m_sim.waitForFinished(3000))
            m_sim.kill();
        m_sim.waitForFinished(2000);
    }
}

void TestWsLive::liveWorkspace()
{
    WsDir dir;
    QSettings* settings = AppContext::instance()->settings;
    settings->setValue("snmp/snmp_port", 24161);
    settings->setValue("snmp/trap_port", 24162);
    settings->setValue("snmp/polling_cycle", 1000);
    settings->setValue("snmp/polling_timout", 300);
    settings->setValue("snmp/snmp_version", 1);
    ConsoleSetup::initSettingsDefaults();
    const int s = WsDir::addStation("S", 0);
    const int child = WsDir::addStation("Child", s);
    WsDir::addDevice("127.0.24.1", s);
    WsDir::addDevice("127.0.24.2", s);
    WsDir::addDevice("127.0.24.3", child);
    WsDir::addDevice("127.0.24.200", s); // nobody answers there

    SNMP::instance()->start();
    auto* window = new MainWindow;
    MainWidget* view = window->stationView();
    ManageTreeView* tree = window->stationTree();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    view->handleStationChanged(s, "S");
    QCOMPARE(view->ipList().size(), 4);

    // live rows and colours
    QTRY_COMPARE_WITH_TIMEOUT(SNMP::instance()->getState("127.0.24.1"), 1, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(cell(view, "127.0.24.1", 3), QStringLiteral("Normal"), 10000);
    QCOMPARE(cellColor(view, "127.0.24.1", 3), QColor("green"));
    QCOMPARE(cell(view, "127.0.24.1", 4), QStringLiteral("Online"));
    QTRY_COMPARE_WITH_TIMEOUT(cell(view, "127.0.24.1", 1), QStringLiteral("ups-24-1"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(cell(view, "127.0.24.1", 9), QStringLiteral("Normal"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(tree->node(child)->state, 1, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(tree->node(s)->state, 1, 20000);
    QCOMPARE(cell(view, "127.0.24.200", 3), QStringLiteral("Unknown"));
    QCOMPARE(cellColor(view, "127.0.24.200", 3), QColor("black"));
    QCOMPARE(cell(view, "127.0.24.200", 4), QStringLiteral("Offline"));
    QCOMPARE(cell(view, "127.0.24.200", 9), QStringLiteral("Unknown"));

    // an alarm in the child station turns it and its ancestors red, and back
    QVERIFY(simCommand("mains on 127.0.24.3"));
    QTRY_COMPARE_WITH_TIMEOUT(SNMP::instance()->getState("127.0.24.3"), 2, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(tree->node(child)->state, 2, 5000);
    QCOMPARE(tree->node(s)->state, 2);
    QTRY_COMPARE_WITH_TIMEOUT(cell(view, "127.0.24.3", 3), QStringLiteral("Alarm"), 10000);
    QCOMPARE(cellColor(view, "127.0.24.3", 3), QColor("red"));
    QVERIFY(simCommand("mains off 127.0.24.3"));
    QTRY_COMPARE_WITH_TIMEOUT(tree->node(child)->state, 1, 20000);
    QCOMPARE(tree->node(s)->state, 1);

    // a trap from a card raises the notice and fills the status list
    // (the mains change above may already have sent traps of its own)
    QVERIFY(simCommand("trap 1 v2c 127.0.24.2"));
    QTRY_COMPARE_WITH_TIMEOUT(view->noteLabel()->text(), QStringLiteral("New UPS Status Triggered"), 10000);
    auto trapOf2 = [view]() {
        QTableWidget* list = view->statusDialog()->table();
        for (int r = 0; r < list->rowCount(); ++r) {
            if (list->item(r, 1) && list->item(r, 1)->text() == QLatin1String("127.0.24.2"))
                return true;
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(trapOf2(), 10000);

    // three devices deleted at once: rows gone, polling stopped, colours follow
    QTableWidget* table = view->table();
    table->setSelectionMode(QAbstractItemView::MultiSelection);
    table->clearSelection();
    for (const char* ip : {"127.0.24.1", "127.0.24.2", "127.0.24.3"})
        table->selectRow(rowOf(view, ip));
    MessageBox::setNextAnswer(0);
    MessageBox::setNextAnswer(0);
    answerNextMenu("Delete");
    emit table->customContextMenuRequested(table->visualItemRect(table->item(rowOf(view, "127.0.24.1"), 1)).center());
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Delete device success!"));
    QCOMPARE(view->ipList(), QStringList{"127.0.24.200"});
    QCOMPARE(WsDir::count("select count(*) from device;"), 1);
    for (const char* ip : {"127.0.24.1", "127.0.24.2", "127.0.24.3"})
        QCOMPARE(SNMP::instance()->getState(ip), 0);
    QCOMPARE(tree->node(child)->state, 0);
    QCOMPARE(tree->node(s)->state, 0);
    const int statusRows = WsDir::count("select count(*) from status_log where device_ip='127.0.24.1';");
    QTest::qWait(2500);
    QCOMPARE(SNMP::instance()->getState("127.0.24.1"), 0);
    QCOMPARE(WsDir::count("select count(*) from status_log where device_ip='127.0.24.1';"), statusRows);

    // added back through the context menu: polled again, tree green again
    answerNextMenu("Add");
    answerNextDialog<AddDialog>([](AddDialog* dialog) {
        dialog->findChild<QLineEdit*>("lineEditIp")->setText("127.0.24.1");
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(dialog->findChild<QPushButton*>("btnSure"), Qt::LeftButton);
    });
    emit table->customContextMenuRequested(QPoint(10, table->viewport()->height() - 5));
    QTRY_COMPARE_WITH_TIMEOUT(SNMP::instance()->getState("127.0.24.1"), 1, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(tree->node(s)->state, 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(cell(view, "127.0.24.1", 4), QStringLiteral("Online"), 5000);

    // "System" settings reach the running engine: a port nobody answers on
    // takes the cards offline, the right one brings them back
    auto setPort = [window](const QString& port) {
        answerNextDialog<SysSettingsDialog>([port](SysSettingsDialog* d) {
            d->snmpPortEdit()->setText(port);
            emit d->snmpPortEdit()->editingFinished();
        });
        window->systemSettingsAction()->trigger();
    };
    setPort("24170");
    QCOMPARE(AppContext::instance()->settings->value("snmp/snmp_port").toInt(), 24170);
    QTRY_COMPARE_WITH_TIMEOUT(SNMP::instance()->getState("127.0.24.1"), 0, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(tree->node(s)->state, 0, 5000);
    setPort("24161");
    QTRY_COMPARE_WITH_TIMEOUT(SNMP::instance()->getState("127.0.24.1"), 1, 20000);

    // icon mode shows the engine's state as the tool tip
    window->iconModeAction()->trigger();
    QVERIFY(view->iconMode());
    IconItemProxy* icon = nullptr;
    for (IconItemProxy* proxy : view->iconView()->icons()) {
        if (proxy->address() == QLatin1String("127.0.24.1"))
            icon = proxy;
    }
    QVERIFY(icon);
    QCOMPARE(icon->stateToolTip(), QStringLiteral("Online"));
    QVERIFY(simCommand("mains on 127.0.24.1"));
    QTRY_COMPARE_WITH_TIMEOUT(icon->stateToolTip(), QStringLiteral("Alarm"), 20000);
    QVERIFY(simCommand("mains off 127.0.24.1"));

    delete window; // tears the engine and the database down
    QVERIFY(!SNMP::exists());
}

QTEST_MAIN(TestWsLive)
#include "test_ws_live.moc"
