// Batch programming against a fleet of simulated cards.
#include "BatchProgrammingDialog.h"
#include "CardFrame.h"
#include "CardServiceHost.h"
#include "FileDialog.h"
#include "MessageBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QList<QHostAddress> fleet(int first, int count)
{
    QList<QHostAddress> list;
    for (int i = 0; i < count; ++i)
        list << QHostAddress(QStringLiteral("127.0.23.%1").arg(first + i));
    return list;
}

QString statusOf(QTableWidget* t, int row)
{
    return t->item(row, 3)->text();
}
}

class TestBatch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void importText_data();
    void importText();
    void importSpreadsheet_data();
    void importSpreadsheet();
    void addDeviceMessages();
    void programSevenWithThreeWorkers();
    void refreshVersionFillsColumn();
    void unansweredBlockFailsOneCard_data();
    void unansweredBlockFailsOneCard();
    void deletedRowStopsItsWorker();
    void exportReplacesReport();

private:
    bool writeXlsx(const QString& path, const QStringList& cells);
    QString writeImage(int size);

    QTemporaryDir m_dir;
    CardServiceHost m_fleet;
};

void TestBatch::initTestCase()
{
    QVERIFY(m_dir.isValid());
    CardServiceHost::Options o;
    o.udpDiscovery = false;
    o.installDelayMs = 20;
    QString error;
    QVERIFY2(m_fleet.start(o, fleet(20, 7), &error), qPrintable(error));
}

void TestBatch::init()
{
    MessageBox::clearAnswers();
    MessageBox::clearShown();
    FileDialog::clearNextFileNames();
}

QString TestBatch::writeImage(int size)
{
    const QString path = m_dir.filePath(QStringLiteral("image%1.bin").arg(size));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        QByteArray data(size, '\0');
        for (int i = 0; i < size; ++i)
            data[i] = char(i * 13);
        f.write(data);
    }
    return path;
}

bool TestBatch::writeXlsx(const QString& path, const QStringList& cells)
{
    // cells: "A1=text"
    QString script = "import openpyxl\nwb = openpyxl.Workbook()\nws = wb.active\n";
    for (const QString& c : cells)
        script += QString("ws['%1'] = '%2'\n").arg(c.section('=', 0, 0), c.section('=', 1));
    script += QString("wb.save(r'%1')\n").arg(path);
    QProcess p;
    p.start("/usr/bin/python3", {"-c", script});
    return p.waitForFinished(30000) && p.exitCode() == 0;
}

void TestBatch::importText_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("txt") << "txt";
    QTest::newRow("csv") << "csv";
}

void TestBatch::importText()
{
    QFETCH(QString, suffix);
    const QString path = m_dir.filePath("list." + suffix);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("192.168.0.10\n192.168.0.10,\n   192.168.0.11   \n192.168.0.12, more\nnot an address\n");
    f.close();
    BatchProgrammingDialog dialog(nullptr, 1);
    dialog.addDevice("10.9.9.9"); // replaced by the import
    FileDialog::setNextFileName(path);
    dialog.onBtnImportClicked();
    QCOMPARE(dialog.devices(), (QStringList{"192.168.0.10", "192.168.0.11"}));
    QCOMPARE(dialog.table()->rowCount(), 2);
    QCOMPARE(dialog.table()->item(1, 0)->text(), QString("192.168.0.11"));
    QCOMPARE(statusOf(dialog.table(), 0), QString("/"));
}

void TestBatch::importSpreadsheet_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QStringList>("devices");
    QTest::newRow("column A") << QStringList{"A1=127.0.23.20", "A2=127.0.23.21", "A3=junk", "A4=127.0.23.20", "B1=10.0.0.1"}
                              << QStringList{"127.0.23.20", "127.0.23.21"};
    QTest::newRow("range starting at B2") << QStringList{"B2=10.1.1.1", "B3=10.1.1.2", "C3=x"}
                                          << QStringList{"10.1.1.1", "10.1.1.2"};
    QTest::newRow("only A1") << QStringList{"A1=127.0.23.20"} << QStringList{};
}

void TestBatch::importSpreadsheet()
{
    QFETCH(QStringList, cells);
    QFETCH(QStringList, devices);
    const QString path = m_dir.filePath(QString("list%1.xlsx").arg(QTest::currentDataTag()).remove(' '));
    QVERIFY(writeXlsx(path, cells));
    BatchProgrammingDialog dialog(nullptr, 1);
    FileDialog::setNextFileName(path);
    dialog.onBtnImportClicked();
    QCOMPARE(dialog.devices(), devices);
}

void TestBatch::addDeviceMessages()
{
    BatchProgrammingDialog dialog(nullptr, 1);
    dialog.ipEdit()->setText("127.0.23.20");
    dialog.onBtnAddClicked();
    QCOMPARE(dialog.devices().size(), 1);
    MessageBox::setNextAnswer(0);
    dialog.onBtnAddClicked();
    QCOMPARE(MessageBox::lastShown().text, QString("IP already exists!"));
    dialog.ipEdit()->setText("127.0.23");
    MessageBox::setNextAnswer(0);
    dialog.onBtnAddClicked();
    QCOMPARE(MessageBox::lastShown().text, QString("IP address is invaild!"));
    QCOMPARE(dialog.devices().size(), 1);
    // "Program" without an image does nothing.
    dialog.onBtnProgramClicked();
    QCOMPARE(dialog.startedOrder().size(), 0);
}

void TestBatch::programSevenWithThreeWorkers()
{
    for (int i = 0; i < 7; ++i)
        m_fleet.card(i)->programs.remove(1);
    BatchProgrammingDialog dialog(nullptr, 3);
    QCOMPARE(dialog.workerCount(), 3);
    for (const QHostAddress& a : fleet(20, 7))
        QVERIFY(dialog.addDevice(a.toString()));
    dialog.table()->item(0, 1)->setText("keep");
    dialog.typeBox()->setCurrentIndex(1);
    dialog.fileEdit()->setText(writeImage(5000));
    dialog.onBtnProgramClicked();
    QCOMPARE(dialog.startedOrder(), (QList<int>{0, 1, 2}));
    for (int row = 0; row < 7; ++row)
        QTRY_COMPARE_WITH_TIMEOUT(statusOf(dialog.table(), row), QString("Succeeded"), 15000);
    QCOMPARE(dialog.startedOrder(), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    // At most three cards are served at a time (and more than one).
    QVERIFY(m_fleet.maxActiveUploads() <= 3);
    QVERIFY(m_fleet.maxActiveUploads() >= 2);
    QFile image(dialog.fileEdit()->text());
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray data = image.readAll();
    for (int i = 0; i < 7; ++i)
        QCOMPARE(m_fleet.card(i)->programs.value(1), data);
    auto* bar = qobject_cast<QProgressBar*>(dialog.table()->cellWidget(6, 2));
    QVERIFY(bar);
    QCOMPARE(bar->maximum(), 5000);
    QTRY_COMPARE(bar->value(), 5000);
    QCOMPARE(dialog.table()->item(0, 1)->text(), QString("keep")); // "Program" leaves versions alone
    QTRY_COMPARE(m_fleet.activeSessions(), 0);
}

void TestBatch::refreshVersionFillsColumn()
{
    BatchProgrammingDialog dialog(nullptr, 2);
    for (const QHostAddress& a : fleet(20, 3))
        dialog.addDevice(a.toString());
    dialog.addDevice("127.0.23.99"); // nobody there
    dialog.typeBox()->setCurrentIndex(0);
    dialog.onBtnRefreshClicked();
    for (int row = 0; row < 3; ++row) {
        QTRY_COMPARE(statusOf(dialog.table(), row), QString("Succeeded"));
        QCOMPARE(dialog.table()->item(row, 1)->text(), QString("v2.4.0"));
    }
    QTRY_COMPARE(statusOf(dialog.table(), 3), QString("Failed"));
    QCOMPARE(dialog.table()->item(3, 1)->text(), QString());
    const auto& requests = m_fleet.card(0)->requests;
    QCOMPARE(requests.last().first, quint16(CardCmd::ReadVersion));
    QCOMPARE(requests.last().second, QByteArray(1, '\0'));
}

void TestBatch::unansweredBlockFailsOneCard_data()
{
    QTest::addColumn<bool>("oldProtocol");
    QTest::addColumn<int>("arrivals");
    QTest::newRow("new protocol: three retries") << false << 4;
    QTest::newRow("old protocol: no retry") << true << 1;
}

void TestBatch::unansweredBlockFailsOneCard()
{
    QFETCH(bool, oldProtocol);
    QFETCH(int, arrivals);
    CardServiceHost faulty;
    CardServiceHost::Options o;
    o.udpDiscovery = false;
    o.oldProtocol = oldProtocol;
    o.faults.dropBlock = 1;
    o.faults.dropBlockTimes = -1;
    QString error;
    QVERIFY2(faulty.start(o, {QHostAddress("127.0.23.40")}, &error), qPrintable(error));

    BatchProgrammingDialog dialog(nullptr, 2);
    dialog.setBlockTimeout(50); // 5 s in service
    dialog.addDevice("127.0.23.40");
    dialog.addDevice("127.0.23.20");
    dialog.fileEdit()->setText(writeImage(3000));
    dialog.onBtnProgramClicked();
    QTRY_COMPARE(statusOf(dialog.table(), 1), QString("Succeeded"));
    QTRY_COMPARE(statusOf(dialog.table(), 0), QString("Failed"));
    int block1 = 0;
    for (const auto& a : faulty.card(0)->blockArrivals)
        block1 += oldProtocol ? 0 : (a.second == 1);
    if (oldProtocol)
        block1 = faulty.card(0)->blockArrivals.size() - 1;
    QCOMPARE(block1, arrivals);
}

void TestBatch::deletedRowStopsItsWorker()
{
    CardServiceHost slow;
    CardServiceHost::Options o;
    o.udpDiscovery = false;
    o.installDelayMs = 300;
    QString error;
    QVERIFY2(slow.start(o, fleet(50, 3), &error), qPrintable(error));
    BatchProgrammingDialog dialog(nullptr, 1);
    for (const QHostAddress& a : fleet(50, 3))
        dialog.addDevice(a.toString());
    dialog.fileEdit()->setText(writeImage(2000));
    dialog.onBtnProgramClicked();
    QTRY_COMPARE(slow.card(0)->uploadsCompleted, 1); // now waiting for the finished notice
    dialog.deleteRow(0);
    QTRY_COMPARE(slow.activeSessions(), 0);
    QTest::qWait(100);
    QCOMPARE(dialog.startedOrder(), QList<int>{0});
    QCOMPARE(slow.card(1)->connections + slow.card(2)->connections, 0);
    QCOMPARE(statusOf(dialog.table(), 0), QString("/"));
    QCOMPARE(statusOf(dialog.table(), 1), QString("/"));
}

void TestBatch::exportReplacesReport()
{
    BatchProgrammingDialog dialog(nullptr, 2);
    dialog.addDevice("127.0.23.21");
    dialog.addDevice("127.0.23.98");
    dialog.onBtnRefreshClicked();
    QTRY_COMPARE(statusOf(dialog.table(), 0), QString("Succeeded"));
    QTRY_COMPARE(statusOf(dialog.table(), 1), QString("Failed"));
    const QString path = m_dir.filePath("report.txt");
    FileDialog::setNextFileName(path);
    dialog.onBtnExportClicked();
    FileDialog::setNextFileName(path);
    dialog.onBtnExportClicked();
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    QCOMPARE(text.count("IP\t\t\t\t\tResult\n"), 1);
    const QStringList lines = text.split('\n');
    QVERIFY(QDateTime::fromString(lines[0], "yyyy-MM-dd hh:mm:ss").isValid());
    QCOMPARE(lines[1], QString());
    QCOMPARE(lines[2], QString("IP\t\t\t\t\tResult"));
    QCOMPARE(lines[3], QString("================================================"));
    QCOMPARE(lines[4], QString("127.0.23.21\t\tSucceeded"));
    QCOMPARE(lines[5], QString("127.0.23.98\t\tFailed"));
    QCOMPARE(lines.size(), 7);
}

QTEST_MAIN(TestBatch)
#include "tst_batch.moc"
