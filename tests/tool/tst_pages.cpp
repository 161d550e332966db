// The tool's main window and pages against a simulated card on loopback.
#include "CardFrame.h"
#include "CardServiceHost.h"
#include "DisplayLogPage.h"
#include "FileDialog.h"
#include "FixedParamPage.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "ProgramVersion.h"
#include "ProgrammingPage.h"
#include "SPTestPage.h"
#include "SettingsPage.h"
#include "ToolStartup.h"

#include <QAction>
#include <QApplication>
#include <QRadioButton>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTranslator>
#include <QtTest>

namespace {
const QString kCardIp = QStringLiteral("127.0.23.10");

QByteArray imageOf(int size, int seed = 0)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char((i * 31 + seed) & 0xFF);
    return image;
}
}

class TestPages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStartWritesEnglish();
    void connectValidation_data();
    void connectValidation();
    void connectAddsHistoryOnce();
    void historyRecordsAndClear();
    void rebootOnlyOnOk();
    void languageEnglishWritesEmptyValue();
    void languageSwitchRetranslatesPages();
    void fontKeysWrittenAndApplied();

    void versionSelectsProtocol_data();
    void versionSelectsProtocol();
    void uploadBlocks_data();
    void uploadBlocks();
    void uploadSequenceWraps();
    void uploadRetransmission_data();
    void uploadRetransmission();
    void uploadFailures_data();
    void uploadFailures();
    void typeChangeWhileDisconnected();
    void backupInChunks();
    void backupInterrupted_data();
    void backupInterrupted();

    void ipWriteAndRead();
    void portsReadAndValidate_data();
    void portsReadAndValidate();
    void dateReadSyncAndSizes();

    void fixedParamsReadWrite();
    void fixedParamsMacAid();
    void fixedParamsValidation_data();
    void fixedParamsValidation();
    void fixedParamsBackupLoad();

    void logListOpenStream();
    void logOpenWithoutFileAndLimit();

    void serialOpenPayloadAndModbus();
    void serialHexAsciiAndClosed();

private:
    void connectWindow();
    QByteArray lastRequest(int cmd) const;
    int requestCount(int cmd) const;

    QTemporaryDir m_dir;
    CardServiceHost m_host;
    MainWindow* m_window = nullptr;
    CardServiceHost::Card* m_card = nullptr;
};

void TestPages::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
    CardServiceHost::Options o;
    o.udpDiscovery = false;
    o.installDelayMs = 10;
    o.logIntervalMs = 20;
    QString error;
    QVERIFY2(m_host.start(o, {QHostAddress(kCardIp)}, &error), qPrintable(error));
    m_card = m_host.card(0);
}

void TestPages::init()
{
    MessageBox::clearAnswers();
    MessageBox::clearShown();
    FileDialog::clearNextFileNames();
    m_host.mutableOptions().faults = CardServiceHost::Faults();
    m_host.mutableOptions().oldProtocol = false;
    m_card->versions[1] = QStringLiteral("v1.3.1 build-20240518");
    m_card->requests.clear();
    m_card->blockArrivals.clear();
    m_window = new MainWindow;
}

void TestPages::cleanup()
{
    delete m_window;
    m_window = nullptr;
    QTest::qWait(20);
}

void TestPages::connectWindow()
{
    m_window->ui()->lineEditIp->setText(kCardIp);
    m_window->ui()->btnConnect->click();
    QVERIFY(m_window->isConnected());
}

QByteArray TestPages::lastRequest(int cmd) const
{
    for (int i = m_card->requests.size() - 1; i >= 0; --i)
        if (m_card->requests[i].first == cmd)
            return m_card->requests[i].second;
    return QByteArray("<none>");
}

int TestPages::requestCount(int cmd) const
{
    int n = 0;
    for (const auto& r : m_card->requests)
        n += r.first == cmd;
    return n;
}

// --- main window --------------------------------------------------------

void TestPages::firstStartWritesEnglish()
{
    QFile::remove("config/settings.ini");
    QTranslator* translator = nullptr;
    QVERIFY(!ToolStartup::loadLanguage(*qApp, &translator));
    QSettings s("config/settings.ini", QSettings::IniFormat);
    QCOMPARE(s.value("language").toString(), QString("English"));
    QCOMPARE(s.allKeys(), QStringList{"language"});
    delete translator;
}

void TestPages::connectValidation_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QString() << "Device IP Address could not be null!";
    QTest::newRow("partial") << "192.168.1" << "Device IP Address format error!";
    QTest::newRow("unreachable") << "127.0.23.99" << "Connect to device failed, %1!";
}

void TestPages::connectValidation()
{
    QFETCH(QString, ip);
    QFETCH(QString, message);
    MessageBox::setNextAnswer(0);
    m_window->ui()->lineEditIp->setText(ip);
    m_window->ui()->btnConnect->click();
    const QString shown = MessageBox::lastShown().text;
    if (message.contains("%1"))
        QVERIFY2(shown.startsWith("Connect to device failed, ") && shown.endsWith("!"), qPrintable(shown));
    else
        QCOMPARE(shown, message);
    QCOMPARE(MessageBox::lastShown().title, QString("Tip"));
    QVERIFY(!m_window->isConnected());
    QVERIFY(m_window->ui()->btnConnect->isEnabled());
    QCOMPARE(m_window->ui()->btnConnect->text(), QString("Connect"));
}

void TestPages::connectAddsHistoryOnce()
{
    QFile::remove("config/completer.dat");
    delete m_window;
    m_window = new MainWindow;
    connectWindow();
    QCOMPARE(m_window->ui()->btnConnect->text(), QString("Disconnect"));
    QVERIFY(m_window->ui()->labelStatus->text().contains("Connected to device"));
    m_window->ui()->btnConnect->click(); // disconnect
    QTRY_VERIFY(!m_window->isConnected());
    QCOMPARE(m_window->ui()->btnConnect->text(), QString("Connect"));
    connectWindow();
    QCOMPARE(m_window->history(), QStringList{kCardIp});
    QFile f("config/completer.dat");
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    QCOMPARE(data.size(), 16);
    QCOMPARE(data, kCardIp.toLatin1() + QByteArray(16 - kCardIp.size(), '\0'));
}

void TestPages::historyRecordsAndClear()
{
    delete m_window;
    m_window = nullptr;
    QDir().mkpath("config");
    {
        QFile f("config/completer.dat");
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("192.168.1.10") + QByteArray(4, '\0'));
        f.write(QByteArray("255.255.255.255") + QByteArray(1, '\0'));
    }
    m_window = new MainWindow;
    QCOMPARE(m_window->history(), (QStringList{"192.168.1.10", "255.255.255.255"}));
    m_window->ui()->btnClearHistory->click();
    QVERIFY(m_window->history().isEmpty());
    QVERIFY(QFile::exists("config/completer.dat"));
    QCOMPARE(QFileInfo("config/completer.dat").size(), qint64(0));
}

void TestPages::rebootOnlyOnOk()
{
    connectWindow();
    MessageBox::setNextAnswer(QMessageBox::No);
    m_window->ui()->actionReboot->trigger();
    QTest::qWait(50);
    QCOMPARE(requestCount(CardCmd::Reboot), 0);
    MessageBox::setNextAnswer(QMessageBox::Ok);
    m_window->ui()->actionReboot->trigger();
    QTRY_COMPARE(requestCount(CardCmd::Reboot), 1);
    QCOMPARE(lastRequest(CardCmd::Reboot), QByteArray());
    // The card restarts and drops the connection.
    QTRY_VERIFY(!m_window->isConnected());
}

void TestPages::languageEnglishWritesEmptyValue()
{
    m_window->ui()->actionEnglish->trigger();
    QSettings s("config/settings.ini", QSettings::IniFormat);
    QVERIFY(s.contains("language"));
    QCOMPARE(s.value("language").toString(), QString());
    QVERIFY(m_window->ui()->actionEnglish->isChecked());
    QTranslator* translator = nullptr;
    QVERIFY(!ToolStartup::loadLanguage(*qApp, &translator));
    delete translator;
}

void TestPages::languageSwitchRetranslatesPages()
{
    const QString qm = QStringLiteral(UPS_BINARY_DIR "/tool/translations/zh.qm");
    if (!QFile::exists(qm))
        QSKIP("translations/zh.qm not built");
    QDir().mkpath("translations");
    QFile::remove("translations/zh.qm");
    QVERIFY(QFile::copy(qm, "translations/zh.qm"));
    QTranslator translator;
    m_window->setTranslator(&translator, false);
    m_window->ui()->actionChinese->trigger();
    QCOMPARE(QSettings("config/settings.ini", QSettings::IniFormat).value("language").toString(), QString("Chinese"));
    QCOMPARE(m_window->ui()->listWidget->item(0)->text(), QString::fromUtf8("烧录"));
    QCOMPARE(m_window->ui()->btnConnect->text(), QString::fromUtf8("连接"));
    // The pages follow through the language-change event.
    QTRY_COMPARE(m_window->programmingPage()->ui()->btnRead->text(), QString::fromUtf8("读取"));
    QCOMPARE(m_window->fixedParamPage()->table()->horizontalHeaderItem(1)->text(), QString::fromUtf8("值"));
    QCOMPARE(m_window->spTestPage()->ui()->comboBoxParity->itemText(1), QString::fromUtf8("偶校验"));
    // Retranslating the type list sends no version request.
    QCOMPARE(m_window->programmingPage()->ui()->comboBoxType->itemText(1), QString::fromUtf8("固件"));
    m_window->ui()->actionEnglish->trigger();
    QCOMPARE(m_window->ui()->listWidget->item(0)->text(), QString("Programming"));
    QTRY_COMPARE(m_window->fixedParamPage()->table()->horizontalHeaderItem(1)->text(), QString("value"));
    QVERIFY(MessageBox::shown().isEmpty()); // no "Device not connected!" from a retranslation
}

void TestPages::fontKeysWrittenAndApplied()
{
    const QFont before = QApplication::font();
    // Cancel: the current font is written all the same.
    MainWindow::fontPicker = [](bool* ok, const QFont& initial, QWidget*) {
        *ok = false;
        return initial;
    };
    m_window->ui()->actionFont->trigger();
    {
        QSettings s("config/settings.ini", QSettings::IniFormat);
        QCOMPARE(s.value("Font/size").toInt(), before.pointSize());
        QCOMPARE(s.value("Font/family").toString(), before.family());
        QCOMPARE(s.value("Font/bold").toBool(), before.weight() > 57);
        QCOMPARE(s.value("Font/italic").toBool(), false);
    }
    QFont chosen(before);
    chosen.setPointSize(15);
    chosen.setBold(true);
    chosen.setItalic(true);
    MainWindow::fontPicker = [chosen](bool* ok, const QFont&, QWidget*) {
        *ok = true;
        return chosen;
    };
    m_window->ui()->actionFont->trigger();
    QSettings s("config/settings.ini", QSettings::IniFormat);
    QCOMPARE(s.value("Font/size").toInt(), 15);
    QCOMPARE(s.value("Font/bold").toBool(), true);
    QCOMPARE(s.value("Font/italic").toBool(), true);
    // A new window applies the stored font.
    QApplication::setFont(before);
    delete m_window;
    m_window = new MainWindow;
    QCOMPARE(QApplication::font().pointSize(), 15);
    QVERIFY(QApplication::font().bold());
    QVERIFY(QApplication::font().italic());
    QApplication::setFont(before);
    QSettings(QString("config/settings.ini"), QSettings::IniFormat).remove("Font");
}

// --- programming ---------------------------------------------------------

void TestPages::versionSelectsProtocol_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("old");
    QTest::newRow("1.2.2") << QByteArray("v1.2.2 build") << true;
    QTest::newRow("0.9.9") << QByteArray("v0.9.9 x") << true;
    QTest::newRow("1.2.3") << QByteArray("v1.2.3 build") << false;
    QTest::newRow("2.0.0") << QByteArray("v2.0.0 build") << false;
    QTest::newRow("5 bytes") << QByteArray("v1.2.") << false;
    QTest::newRow("not a version") << QByteArray("firmware-x") << false;
    QTest::newRow("no patch") << QByteArray("v1.1 old") << false;
}

void TestPages::versionSelectsProtocol()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, old);
    QCOMPARE(ProgramVersion::isOldProtocol(text), old);
}

void TestPages::uploadBlocks_data()
{
    QTest::addColumn<bool>("oldProtocol");
    QTest::newRow("new protocol") << false;
    QTest::newRow("old protocol") << true;
}

void TestPages::uploadBlocks()
{
    QFETCH(bool, oldProtocol);
    if (oldProtocol) {
        m_host.mutableOptions().oldProtocol = true;
        m_card->versions[1] = QStringLiteral("v1.2.2 build-20190312");
    }
    const QByteArray image = imageOf(2500);
    QFile f(m_dir.filePath("fw2500.bin"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(image);
    f.close();

    connectWindow();
    ProgrammingPage* page = m_window->programmingPage();
    page->ui()->comboBoxType->setCurrentIndex(2);
    page->ui()->lineEditFile->setText(f.fileName());
    MessageBox::setNextAnswer(0);
    page->ui()->btnProgramming->click();
    QTRY_COMPARE(MessageBox::lastShown().text, QString("Programming finish!"));
    QCOMPARE(MessageBox::lastShown().title, QString("Information"));

    QCOMPARE(lastRequest(CardCmd::ReadVersion), QByteArray(1, '\x01'));
    QCOMPARE(lastRequest(CardCmd::ProgramStart).toHex(), QByteArray("02000009c4"));
    QCOMPARE(m_card->blockArrivals.size(), 3);
    const QList<int> sizes{1024, 1024, 452};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m_card->blockArrivals[i].first, sizes[i]);
        QCOMPARE(m_card->blockArrivals[i].second, oldProtocol ? -1 : i);
    }
    // Frame payloads carry the sequence byte in the new protocol.
    QList<int> payloadSizes;
    for (const auto& r : m_card->requests)
        if (r.first == CardCmd::ProgramBlock)
            payloadSizes << r.second.size();
    QCOMPARE(payloadSizes, oldProtocol ? (QList<int>{1024, 1024, 452}) : (QList<int>{1025, 1025, 453}));
    QCOMPARE(m_card->programs.value(2), image);
    QCOMPARE(page->ui()->progressBar->value(), 2500);
    QCOMPARE(page->ui()->progressBar->format(), QString("Progress: 100.00%"));
    QVERIFY(!page->state().timer.isActive());
    QVERIFY(!page->state().busy);
}

void TestPages::uploadSequenceWraps()
{
    const QByteArray image = imageOf(257 * 1024 + 3, 7);
    QFile f(m_dir.filePath("fwbig.bin"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(image);
    f.close();
    connectWindow();
    ProgrammingPage* page = m_window->programmingPage();
    page->ui()->lineEditFile->setText(f.fileName());
    MessageBox::setNextAnswer(0);
    page->ui()->btnProgramming->click();
    QTRY_COMPARE_WITH_TIMEOUT(MessageBox::lastShown().text, QString("Programming finish!"), 20000);
    QCOMPARE(m_card->blockArrivals.size(), 258);
    QCOMPARE(m_card->blockArrivals[255].second, 255);
    QCOMPARE(m_card->blockArrivals[256].second, 0);
    QCOMPARE(m_card->blockArrivals[257].second, 1);
    QCOMPARE(m_card->blockArrivals[257].first, 3);
    QCOMPARE(m_card->programs.value(0), image);
}

void TestPages::uploadRetransmission_data()
{
    QTest::addColumn<bool>("oldProtocol");
    QTest::addColumn<int>("dropTimes");
    QTest::addColumn<int>("arrivalsOfBlock1");
    QTest::addColumn<QString>("message");
    // Time-out shortened from 10 s to 60 ms: retries at 1, 2 and 3 time-outs,
    // failure at the fourth (new protocol) or at the first (old protocol).
    QTest::newRow("new, answer lost once") << false << 1 << 2 << "Programming finish!";
    QTest::newRow("new, never answered") << false << -1 << 4 << "Programming timeout!";
    QTest::newRow("old, never answered") << true << -1 << 1 << "Programming timeout!";
}

void TestPages::uploadRetransmission()
{
    QFETCH(bool, oldProtocol);
    QFETCH(int, dropTimes);
    QFETCH(int, arrivalsOfBlock1);
    QFETCH(QString, message);
    m_host.mutableOptions().faults.dropBlock = 1;
    m_host.mutableOptions().faults.dropBlockTimes = dropTimes;
    if (oldProtocol) {
        m_host.mutableOptions().oldProtocol = true;
        m_card->versions[1] = QStringLiteral("v1.2.2 build-20190312");
    }
    QFile f(m_dir.filePath("fw3000.bin"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(imageOf(3000));
    f.close();
    connectWindow();
    ProgrammingPage* page = m_window->programmingPage();
    page->setBlockTimeout(60);
    page->ui()->lineEditFile->setText(f.fileName());
    MessageBox::setNextAnswer(0);
    page->ui()->btnProgramming->click();
    QTRY_COMPARE(MessageBox::lastShown().text, message);
    int block1 = 0;
    const int second = oldProtocol ? 1024 : 1;
    for (int i = 0; i < m_card->blockArrivals.size(); ++i) {
        if (oldProtocol ? (i == 1) : (m_card->blockArrivals[i].second == second))
            ++block1;
    }
    QCOMPARE(block1, arrivalsOfBlock1);
    if (message == "Programming timeout!") {
        QCOMPARE(MessageBox::lastShown().title, QString("Warning"));
        QVERIFY(!page->state().busy);
        QVERIFY(!page->state().timer.isActive());
        QCOMPARE(m_card->blockArrivals.size(), oldProtocol ? 2 : 1 + arrivalsOfBlock1);
    }
}

void TestPages::uploadFailures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::newRow("start rejected") << "reject-start" << "Start programming failed!" << "Warning";
    QTest::newRow("block rejected") << "reject-block=1" << "Programming failed!" << "Warning";
    QTest::newRow("connection closed") << "close-block=1" << "Programming failed!" << "Information";
    QTest::newRow("no image file") << "missing-file" << "Open programming file failed!" << "Warning";
    QTest::newRow("no image chosen") << "no-file" << "Programming file is not choosen!" << "Tip";
}

void TestPages::uploadFailures()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(QString, title);
    CardServiceHost::Faults& faults = m_host.mutableOptions().faults;
    if (fault == "reject-start")
        faults.rejectStart = true;
    else if (fault == "reject-block=1")
        faults.rejectBlock = 1;
    else if (fault == "close-block=1")
        faults.closeAtBlock = 1;
    QFile f(m_dir.filePath("fw3000.bin"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(imageOf(3000));
    f.close();
    connectWindow();
    ProgrammingPage* page = m_window->programmingPage();
    if (fault == "missing-file")
        page->ui()->lineEditFile->setText(m_dir.filePath("nothing-here.bin"));
    else if (fault != "no-file")
        page->ui()->lineEditFile->setText(f.fileName());
    MessageBox::setNextAnswer(0);
    MessageBox::setNextAnswer(0);
    page->ui()->btnProgramming->click();
    QTRY_COMPARE(MessageBox::lastShown().text, message);
    QCOMPARE(MessageBox::lastShown().title, title);
    QVERIFY(!page->state().busy);
    QVERIFY(!page->state().timer.isActive());
    if (fault == "no-file")
        QCOMPARE(requestCount(CardCmd::ReadVersion), 0);
}

void TestPages::typeChangeWhileDisconnected()
{
    MessageBox::setNextAnswer(0);
    m_window->programmingPage()->ui()->comboBoxType->setCurrentIndex(1);
    QCOMPARE(MessageBox::lastShown().text, QString("Device not connected!"));
}

void TestPages::backupInChunks()
{
    m_card->programs.remove(0);
    connectWindow();
    ProgrammingPage* page = m_window->programmingPage();
    const QString target = m_dir.filePath("backup.bin");
    FileDialog::setNextFileName(target);
    MessageBox::setNextAnswer(0);
    page->ui()->btnBackup->click();
    QTRY_COMPARE(MessageBox::lastShown().text, QString("Backup file finished!"));
    QCOMPARE(requestCount(CardCmd::BackupBlock), 5);
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), m_card->programs.value(0));
    QCOMPARE(f.size(), qint64(4096));
    QCOMPARE(page->ui()->labelStatus->text(), QString());
}

void TestPages::backupInterrupted_data()
{
    QTest::addColumn<bool>("closeConnection");
    QTest::newRow("connection lost") << true;
    QTest::newRow("empty chunk") << false;
}

void TestPages::backupInterrupted()
{
    QFETCH(bool, closeConnection);
    if (closeConnection)
        m_host.mutableOptions().faults.backupCloseAfter = 2;
    else
        m_host.mutableOptions().faults.backupEmptyAfter = 2;
    connectWindow();
    ProgrammingPage* page = m_window->programmingPage();
    const QString target = m_dir.filePath("partial.bin");
    FileDialog::setNextFileName(target);
    MessageBox::setNextAnswer(0);
    page->ui()->btnBackup->click();
    QTRY_COMPARE(MessageBox::lastShown().text, QString("Backup file failed!"));
    QCOMPARE(MessageBox::lastShown().title, QString("Warning"));
    QVERIFY(!QFile::exists(target)); // no truncated file left behind
}

// --- settings ------------------------------------------------------------

void TestPages::ipWriteAndRead()
{
    connectWindow();
    SettingsPage* page = m_window->settingsPage();
    const QStringList values{"10.0.0.2", "255.255.255.0", "10.0.0.1", "8.8.8.8", "8.8.4.4"};
    for (int i = 0; i < 5; ++i)
        page->ui()->ipEdits[i]->setText(values[i]);
    MessageBox::setNextAnswer(0);
    page->ui()->btnIpWrite->click();
    QTRY_COMPARE(MessageBox::lastShown().text, QString("Set device's IP Settings success!"));
    const QByteArray payload = lastRequest(CardCmd::WriteIpSettings);
    QCOMPARE(payload.size(), 80);
    QCOMPARE(payload.left(16), QByteArray("10.0.0.2") + QByteArray(8, '\0'));
    QCOMPARE(payload.mid(64, 16), QByteArray("8.8.4.4") + QByteArray(9, '\0'));
    QCOMPARE(m_card->ipSettings, payload);

    // An empty DNS field is refused and nothing is sent.
    page->ui()->ipEdits[4]->clear();
    const int before = requestCount(CardCmd::WriteIpSettings);
    MessageBox::setNextAnswer(0);
    page->ui()->btnIpWrite->click();
    QCOMPARE(MessageBox::lastShown().text, QString("Format error!"));
    QCOMPARE(requestCount(CardCmd::WriteIpSettings), before);

    for (QLineEdit* e : page->ui()->ipEdits)
        e->clear();
    page->ui()->btnIpRead->click();
    QTRY_COMPARE(page->ui()->ipEdits[0]->text(), QString("10.0.0.2"));
    QCOMPARE(page->ui()->ipEdits[4]->text(), QString("8.8.4.4"));
}

void TestPages::portsReadAndValidate_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("65535 checked") << 0 << "65535" << true;
    QTest::newRow("0 unchecked") << 1 << "0" << false;
    QTest::newRow("empty") << 3 << "" << true;
}

void TestPages::portsReadAndValidate()
{
    QFETCH(int, row);
    QFETCH(QString, port);
    QFETCH(bool, enabled);
    m_card->ports = QByteArray::fromHex("0100160000170100500101BB");
    connectWindow();
    SettingsPage* page = m_window->settingsPage();
    page->ui()->btnPortRead->click();
    QTRY_COMPARE(page->ui()->portEdits[3]->text(), QString("443"));
    QCOMPARE(page->ui()->portEdits[0]->text(), QString("22"));
    QCOMPARE(page->ui()->portEdits[1]->text(), QString("23"));
    QCOMPARE(page->ui()->portEdits[2]->text(), QString("80"));
    QVERIFY(page->ui()->portChecks[0]->isChecked());
    QVERIFY(!page->ui()->portChecks[1]->isChecked());
    QVERIFY(!page->ui()->portEdits[1]->isEnabled());
    QVERIFY(page->ui()->portEdits[2]->isEnabled());

    // Writing back what was read works; then one bad row refuses all.
    MessageBox::setNextAnswer(0);
    page->ui()->btnPortWrite->click();
    QTRY_COMPARE(MessageBox::lastShown().text, QString("Set device's port success!"));
    QCOMPARE(lastRequest(CardCmd::WritePorts).toHex(), QByteArray("0100160000170100500101bb"));

    const int before = requestCount(CardCmd::WritePorts);
    page->ui()->portChecks[row]->setChecked(enabled);
    page->ui()->portEdits[row]->setValidator(nullptr); // type past the field's validator
    page->ui()->portEdits[row]->setText(port);
    MessageBox::setNextAnswer(0);
    page->ui()->btnPortWrite->click();
    QCOMPARE(MessageBox::lastShown().text, QString("Port settings error!"));
    QCOMPARE(requestCount(CardCmd::WritePorts), before);
}

void TestPages::dateReadSyncAndSizes()
{
    connectWindow();
    SettingsPage* page = m_window->settingsPage();
    m_card->clockOffsetSecs = -86400 * 400;
    page->ui()->lineEditDate->setText("2030-01-01 00:00:00");
    MessageBox::setNextAnswer(0);
    page->ui()->btnSyncDate->click();
    QTRY_COMPARE(MessageBox::lastShown().text, QString("Set device's date success!"));
    const QByteArray sent = lastRequest(CardCmd::SyncDate);
    QCOMPARE(sent.size(), 19);
    QVERIFY(qAbs(QDateTime::fromString(QString::fromLatin1(sent), "yyyy-MM-dd hh:mm:ss").secsTo(QDateTime::currentDateTime())) < 5);
    QVERIFY(qAbs(m_card->clockOffsetSecs) < 5);
    page->ui()->lineEditDate->clear();
    page->ui()->btnDeviceDate->click();
    QTRY_COMPARE(page->ui()->lineEditDate->text().size(), 19);

    for (int size : {18, 20}) {
        MessageBox::clearShown();
        MessageBox::setNextAnswer(0);
        const QByteArray bad(size, '1');
        page->handleRespond(CardCmd::ReadDate, reinterpret_cast<const quint8*>(bad.constData()), bad.size());
        QCOMPARE(MessageBox::lastShown().text, QString("Read date failed!"));
    }
}

// --- fixed parameters ----------------------------------------------------

void TestPages::fixedParamsReadWrite()
{
    connectWindow();
    FixedParamPage* page = m_window->fixedParamPage();
    MessageBox::setNextAnswer(0);
    page->findChildren<QPushButton*>().at(0)->click(); // "Read"
    QTRY_COMPARE(MessageBox::lastShown().text, QString("Read fixed parameters finished!"));
    QTableWidget* t = page->table();
    QCOMPARE(t->rowCount(), 3);
    QCOMPARE(t->item(0, 0)->text(), QString("devserial"));
    QCOMPARE(t->item(1, 0)->text(), QString("ethaddr"));
    QCOMPARE(t->item(2, 0)->text(), QString("name"));
    t->item(2, 1)->setText("Rack 7");
    MessageBox::setNextAnswer(0);
    page->findChildren<QPushButton*>().at(1)->click(); // "Write"
    QTRY_COMPARE(MessageBox::lastShown().text, QString("Set device's fixed parameters success!"));
    const QByteArray sent = lastRequest(CardCmd::WriteFixedParams);
    QVERIFY(!sent.contains(' ') || sent.contains("Rack 7"));
    QVERIFY(!sent.contains('\n'));
    QCOMPARE(m_card->fixedParams.value("name").toString(), QString("Rack 7"));

    // A numeric member reads as an empty value; a non-object is refused.
    const QByteArray numeric("{\"count\":5,\"name\":\"x\"}");
    MessageBox::setNextAnswer(0);
    page->handleRespond(CardCmd::ReadFixedParams, reinterpret_cast<const quint8*>(numeric.constData()), numeric.size());
    QCOMPARE(t->item(0, 0)->text(), QString("count"));
    QCOMPARE(t->item(0, 1)->text(), QString());
    const QByteArray array("[1,2]");
    MessageBox::setNextAnswer(0);
    page->handleRespond(CardCmd::ReadFixedParams, reinterpret_cast<const quint8*>(array.constData()), array.size());
    QCOMPARE(MessageBox::lastShown().text, QString("Read fixed parameters failed!"));
    QCOMPARE(t->rowCount(), 2);
}

void TestPages::fixedParamsMacAid()
{
    FixedParamPage* page = m_window->fixedParamPage();
    page->findChildren<QPushButton*>().at(3)->click(); // "Reset"
    QTableWidget* t = page->table();
    QCOMPARE(t->rowCount(), 3);
    QCOMPARE(t->item(2, 0)->text(), QString("ethaddr"));
    t->item(2, 1)->setText("001122aabbcc");
    QCOMPARE(t->item(2, 1)->text(), QString("00:11:22:aa:bb:cc"));
    t->item(1, 1)->setText("001122aabbcc");
    QCOMPARE(t->item(1, 1)->text(), QString("001122aabbcc"));
}

void TestPages::fixedParamsValidation_data()
{
    QTest::addColumn<QStringList>("rows"); // name=value pairs
    QTest::addColumn<QString>("message");
    QTest::newRow("bad mac in capitals") << QStringList{"ETHADDR=00:11:22:33:44:5G", "name=x"} << "Invaild settings!";
    QTest::newRow("empty mac") << QStringList{"ethaddr=", "name=x"} << "Invaild settings!";
    QTest::newRow("only row empty") << QStringList{"name="} << "Invaild settings!";
    QTest::newRow("incomplete row asks")
        << QStringList{"name=x", "devserial="}
        << "There is item or value is empty! And these will no be set to device!\nDo you want to continue?";
}

void TestPages::fixedParamsValidation()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, message);
    connectWindow();
    FixedParamPage* page = m_window->fixedParamPage();
    QTableWidget* t = page->table();
    t->setRowCount(0);
    for (const QString& r : rows) {
        page->findChildren<QPushButton*>().at(2)->click(); // "Add"
        t->item(t->rowCount() - 1, 0)->setText(r.section('=', 0, 0));
        t->item(t->rowCount() - 1, 1)->setText(r.section('=', 1));
    }
    const int before = requestCount(CardCmd::WriteFixedParams);
    MessageBox::setNextAnswer(1); // "No" where a question is asked
    page->findChildren<QPushButton*>().at(1)->click();
    QCOMPARE(MessageBox::lastShown().text, message);
    QTest::qWait(30);
    QCOMPARE(requestCount(CardCmd::WriteFixedParams), before);
}

void TestPages::fixedParamsBackupLoad()
{
    FixedParamPage* page = m_window->fixedParamPage();
    QTableWidget* t = page->table();
    MessageBox::setNextAnswer(0);
    page->findChildren<QPushButton*>().at(4)->click(); // "Backup" on an empty table
    QCOMPARE(MessageBox::lastShown().text, QString("No content to backup!"));

    page->findChildren<QPushButton*>().at(3)->click(); // "Reset"
    t->item(0, 1)->setText("card one");
    t->item(1, 1)->setText("SN42");
    t->item(2, 1)->setText("00:11:22:33:44:55");
    const QString path = m_dir.filePath("fixed.ini");
    FileDialog::setNextFileName(path);
    MessageBox::setNextAnswer(0);
    page->findChildren<QPushButton*>().at(4)->click();
    QCOMPARE(MessageBox::lastShown().text, QString("Save fixed parameter success!"));

    t->setRowCount(0);
    FileDialog::setNextFileName(path);
    MessageBox::setNextAnswer(0);
    page->findChildren<QPushButton*>().at(5)->click(); // "Load"
    QCOMPARE(MessageBox::lastShown().text, QString("Load fixed parameter success!"));
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup("fixed_param");
    const QStringList keys = ini.childKeys();
    QCOMPARE(t->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(t->item(row, 0)->text(), keys[row]);
        QCOMPARE(t->item(row, 1)->text(), ini.value(keys[row]).toString());
    }
    QCOMPARE(ini.value("ethaddr").toString(), QString("00:11:22:33:44:55"));
}

// --- device log ----------------------------------------------------------

void TestPages::logListOpenStream()
{
    connectWindow();
    DisplayLogPage* page = m_window->displayLogPage();
    page->ui()->btnRefresh->click();
    QTRY_COMPARE(page->ui()->comboBoxLogType->count(), 2);
    QCOMPARE(DisplayLogPage::parseFileList(QByteArray::fromHex("05612E6C6F670773 79732E6C6F67")),
             (QStringList{"a.log", "sys.log"}));
    QCOMPARE(page->ui()->comboBoxLogType->itemText(0), QString("a.log"));
    QCOMPARE(page->ui()->comboBoxLogType->itemText(1), QString("sys.log"));
    const int expectedWidth = qRound(page->ui()->comboBoxLogType->font().pointSizeF() * 7 * 0.8);
    QCOMPARE(page->ui()->comboBoxLogType->width(), expectedWidth);

    page->ui()->comboBoxLogType->setCurrentIndex(0);
    page->ui()->btnOpen->click();
    QTRY_VERIFY(page->isOpened());
    QCOMPARE(page->ui()->btnOpen->text(), QString("Close"));
    QCOMPARE(lastRequest(CardCmd::OpenLogFile), QByteArray("a.log"));
    QTRY_VERIFY(page->ui()->textBrowser->toPlainText().contains("line <2> & \"quoted\""));
    QTRY_VERIFY(page->ui()->textBrowser->toPlainText().contains("a.log: tick 1"));
    page->ui()->btnClear->click();
    QCOMPARE(page->ui()->textBrowser->toPlainText(), QString());
    QTRY_VERIFY(page->ui()->textBrowser->toPlainText().contains("tick"));

    // An unknown file is refused.
    MessageBox::setNextAnswer(0);
    const QByteArray no(1, '\0');
    page->handleRespond(CardCmd::OpenLogFile, reinterpret_cast<const quint8*>(no.constData()), 1);
    QCOMPARE(MessageBox::lastShown().text, QString("Open log file failed!"));
}

void TestPages::logOpenWithoutFileAndLimit()
{
    DisplayLogPage* page = m_window->displayLogPage();
    MessageBox::setNextAnswer(0);
    page->ui()->btnOpen->click();
    QCOMPARE(MessageBox::lastShown().text, QString("Log file error!"));
    MessageBox::setNextAnswer(0);
    page->handleRespond(CardCmd::ListLogFiles, nullptr, 0);
    QCOMPARE(MessageBox::lastShown().text, QString("No log file is accessible!"));
    for (int i = 0; i < 5100; ++i) {
        const QByteArray line = "line " + QByteArray::number(i);
        page->handleRespond(CardCmd::LogData, reinterpret_cast<const quint8*>(line.constData()), line.size());
    }
    QCOMPARE(page->ui()->textBrowser->document()->blockCount(), 5000);
    QVERIFY(page->ui()->textBrowser->toPlainText().startsWith("line 100\n"));
    QVERIFY(page->ui()->textBrowser->toPlainText().endsWith("line 5099"));
}

// --- serial port test ----------------------------------------------------

void TestPages::serialOpenPayloadAndModbus()
{
    m_host.mutableOptions().serialMode = "modbus";
    connectWindow();
    SPTestPage* page = m_window->spTestPage();
    page->ui()->checkBoxRs485->setChecked(true);
    page->ui()->lineEditPortName->setText("ttyS1");
    page->ui()->comboBoxBaud->setCurrentIndex(7);
    QCOMPARE(page->openPayload().toHex(' '), QByteArray("01 05 74 74 79 53 31 07 03 00 00 00"));
    page->ui()->btnConnect->click();
    QTRY_VERIFY(page->isOpened());
    QCOMPARE(page->ui()->btnConnect->text(), QString("Disconnect"));
    QCOMPARE(m_card->serialOpenParams.toHex(' '), QByteArray("01 05 74 74 79 53 31 07 03 00 00 00"));

    page->ui()->radioModbus->setChecked(true);
    QCOMPARE(page->sendType(), 2);
    page->ui()->lineEditSend->setText("01 03 00 00 00 0A");
    page->ui()->btnSend->click();
    QTRY_COMPARE(requestCount(CardCmd::SerialSend), 1);
    QCOMPARE(lastRequest(CardCmd::SerialSend).toHex(' '), QByteArray("01 03 00 00 00 0a c5 cd"));
    QVERIFY(page->ui()->textRecord->toPlainText().contains("01 03 00 00 00 0a c5 cd"));
    // The card answers ten registers: 01 03 14 00 00 00 01 ... CRC.
    QTRY_VERIFY(page->ui()->textRecord->toPlainText().contains("Receive:"));
    QVERIFY(page->ui()->textRecord->toPlainText().contains("01 03 14 00 00 00 01 00 02"));
    QVERIFY(page->ui()->textRecord->toHtml().contains("#3a5fcd"));
    QVERIFY(page->ui()->textRecord->toHtml().contains("#32cd32"));

    page->ui()->btnConnect->click(); // close
    QCOMPARE(page->ui()->btnConnect->text(), QString("Connect"));
    QTRY_VERIFY(!m_card->serialOpen);
    QCOMPARE(lastRequest(CardCmd::SerialOpen), QByteArray());
    m_host.mutableOptions().serialMode = "echo";
}

void TestPages::serialHexAsciiAndClosed()
{
    QCOMPARE(SPTestPage::parseHex("  1   2  ff  ").toHex(' '), QByteArray("01 02 ff"));
    QCOMPARE(SPTestPage::parseHex("zz 100 1ff").toHex(' '), QByteArray("00 00 ff"));
    const QString entry = SPTestPage::recordEntry(true, "a<b & 'c'", "[t] ");
    QCOMPARE(entry, QString("<font color=#3a5fcd>[t]&nbsp;Send:&nbsp;<br>a&lt;b&nbsp;&amp;&nbsp;&#39;c&#39;<br>"));

    connectWindow();
    SPTestPage* page = m_window->spTestPage();
    page->ui()->lineEditSend->setText("01 02");
    MessageBox::setNextAnswer(0);
    page->ui()->btnSend->click();
    QCOMPARE(MessageBox::lastShown().text, QString("Port not opened!"));
    QCOMPARE(requestCount(CardCmd::SerialSend), 0);

    page->ui()->lineEditPortName->setText("ttyS0");
    page->ui()->btnConnect->click();
    QTRY_VERIFY(page->isOpened());
    page->ui()->radioAscii->setChecked(true);
    page->ui()->lineEditSend->setText("<ping>");
    page->ui()->btnSend->click();
    QTRY_VERIFY(page->ui()->textRecord->toPlainText().contains("Receive:"));
    QCOMPARE(lastRequest(CardCmd::SerialSend), QByteArray("<ping>"));
    QCOMPARE(page->ui()->textRecord->toPlainText().count("<ping>"), 2); // sent and echoed
    // A card that cannot send closes the page's port.
    m_card->serialOpen = false;
    MessageBox::setNextAnswer(0);
    page->ui()->btnSend->click();
    QTRY_COMPARE(MessageBox::lastShown().text, QString("Send data to device's serial port failed!"));
    QVERIFY(!page->isOpened());
}

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
