// E-mail alerts against a real SMTP server (aiosmtpd on loopback), and the
// e-mail settings dialog against a real settings file and SQLite database.

#include "Aes.h"
#include "DeviceTestSupport.h"
#include "DialogSettingsEmail.h"
#include "EmailService.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {
const char kHost[] = "127.0.25.1";
const char kPython[] = "/usr/bin/python3";
const char kSender[] = "ups-alarm@example.test";
}

class TestEmailService : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_certDir;
    std::unique_ptr<ConsoleDir> m_console;
    std::unique_ptr<QTemporaryDir> m_outDir;
    QProcess* m_server = nullptr;
    int m_nextPort = 25100;

    QString certFile() const { return m_certDir.filePath("cert.pem"); }
    QString keyFile() const { return m_certDir.filePath("key.pem"); }

    int freePort() { return m_nextPort++; }

    // Starts aiosmtpd; mode plain, starttls or tls; auth "user:password" or empty.
    bool startServer(int port, const QString& mode, const QString& auth)
    {
        m_server = new QProcess;
        m_server->setProcessChannelMode(QProcess::SeparateChannels);
        QStringList args{QStringLiteral(UPS_SOURCE_DIR "/tests/console/device/smtp_server.py"),
                         "--host", kHost, "--port", QString::number(port), "--mode", mode,
                         "--cert", certFile(), "--key", keyFile(), "--outdir", m_outDir->path()};
        if (!auth.isEmpty())
            args << "--auth" << auth;
        m_server->start(kPython, args);
        if (!m_server->waitForStarted(10000))
            return false;
        while (!m_server->canReadLine()) {
            if (!m_server->waitForReadyRead(15000))
                return false;
        }
        return m_server->readLine().trimmed() == "READY";
    }

    void stopServer()
    {
        if (!m_server)
            return;
        m_server->closeWriteChannel();
        if (!m_server->waitForFinished(5000)) {
            m_server->kill();
            m_server->waitForFinished(2000);
        }
        delete m_server;
        m_server = nullptr;
    }

    QList<QJsonObject> delivered() const
    {
        QList<QJsonObject> out;
        const QDir dir(m_outDir->path());
        for (const QString& name : dir.entryList({"*.json"}, QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                out << QJsonDocument::fromJson(file.readAll()).object();
        }
        return out;
    }

    static QStringList strings(const QJsonValue& value)
    {
        QStringList out;
        for (const QJsonValue& v : value.toArray())
            out << v.toString();
        return out;
    }

    void configure(int port, int encrypt, const QString& account, const QString& password, bool useCa)
    {
        EmailConfig& config = EmailService::instance()->config();
        config.enable = true;
        config.auth = !account.isEmpty();
        config.encrypt = quint8(encrypt);
        config.serverAddr = kHost;
        config.serverPort = quint16(port);
        config.senderName = "UPS Alarm";
        config.senderAddr = kSender;
        config.senderAccount = account;
        config.senderPassword = password;
        config.caFile = useCa ? certFile() : QString();
    }

    void addReceiver(const QString& address)
    {
        QVERIFY(m_console->exec("insert into email_user(address) values(?);", {address}));
    }

private slots:
    void initTestCase()
    {
        // Safety net: a box nobody answered prints to stderr instead of waiting.
        qputenv("UPS_MESSAGEBOX_AUTO", "1");
        if (!QFile::exists(kPython))
            QSKIP("python3 not installed");
        QProcess probe;
        probe.start(kPython, {"-c", "import aiosmtpd"});
        if (!probe.waitForFinished(20000) || probe.exitCode() != 0)
            QSKIP("python3-aiosmtpd not installed");
        QProcess openssl;
        openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", keyFile(), "-out",
                                  certFile(), "-days", "2", "-subj", QString("/CN=%1").arg(kHost), "-addext",
                                  QString("subjectAltName=IP:%1").arg(kHost)});
        QVERIFY(openssl.waitForFinished(30000));
        QCOMPARE(openssl.exitCode(), 0);
    }

    void init()
    {
        m_console.reset(new ConsoleDir);
        QVERIFY(m_console->ok());
        m_outDir.reset(new QTemporaryDir);
        EmailService::destroy();
        MessageBox::clearAnswers();
        MessageBox::clearShown();
    }

    void cleanup()
    {
        EmailService::destroy();
        stopServer();
        m_console.reset();
    }

    // ---- real server: delivered messages ----

    void delivery_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("encrypt");
        QTest::addColumn<bool>("auth");
        QTest::addColumn<bool>("testMail");
        QTest::newRow("plain, no auth, alert") << "plain" << 0 << false << false;
        QTest::newRow("plain, auth, test mail") << "plain" << 0 << true << true;
        QTest::newRow("STARTTLS, auth, alert") << "starttls" << 1 << true << false;
        QTest::newRow("STARTTLS, no auth, test mail") << "starttls" << 1 << false << true;
        QTest::newRow("implicit TLS, auth, alert") << "tls" << 2 << true << false;
        QTest::newRow("implicit TLS, no auth, test mail") << "tls" << 2 << false << true;
    }

    void delivery()
    {
        QFETCH(QString, mode);
        QFETCH(int, encrypt);
        QFETCH(bool, auth);
        QFETCH(bool, testMail);
        const int port = freePort();
        QVERIFY(startServer(port, mode, auth ? "alarm:s3cret'pw" : QString()));

        addReceiver("ops@example.test");
        addReceiver("o'neil@example.test");
        EmailService* service = EmailService::instance();
        QCOMPARE(service->config().receivers, QStringList({"ops@example.test", "o'neil@example.test"}));
        configure(port, encrypt, auth ? "alarm" : QString(), auth ? "s3cret'pw" : QString(), true);

        QSignalSpy finished(service, &EmailService::finished);
        QSignalSpy failed(service, &EmailService::failed);
        if (testMail) {
            // Through the dialog's "Sure" next to "Send Test E-Mail".
            DialogSettingsEmail dialog;
            auto* button = dialog.findChild<QPushButton*>("btnSendTest");
            QVERIFY(button && button->isEnabled());
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            SNMPData data;
            qstrcpy(data.sys_name, "UPS-Room-1");
            qstrcpy(data.sys_contact, "Jane Roe");
            qstrcpy(data.sys_location, "Hall B, rack 4");
            service->sendTrapMail("127.0.25.9", data, "Mains power failed, UPS on battery");
        }
        QCOMPARE(service->pendingCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(service->pendingCount(), 0);

        const QList<QJsonObject> mails = delivered();
        QCOMPARE(mails.size(), 1);
        const QJsonObject mail = mails.first();
        QCOMPARE(mail["mail_from"].toString(), QString(kSender));
        const QStringList expectedTo =
            testMail ? QStringList{kSender} : QStringList{"ops@example.test", "o'neil@example.test"};
        QCOMPARE(strings(mail["rcpt_tos"]), expectedTo);
        QVERIFY2(mail["raw"].toString().contains(QString("From: UPS Alarm<%1>").arg(kSender)),
                 qPrintable(mail["raw"].toString()));
        QCOMPARE(mail["subject"].toString(), testMail ? QString("Test E-Mail") : QString("UPS information"));
        QCOMPARE(mail["tls"].toBool(), encrypt != 0);
        QCOMPARE(mail["login"].toString(), auth ? QString("alarm") : QString());

        QStringList lines = mail["body"].toString().split(QRegularExpression("\r?\n"));
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        QStringList expected;
        if (testMail) {
            expected << "This is a test e-mail.";
        } else {
            expected << "IP: 127.0.25.9"
                     << "System name: UPS-Room-1"
                     << "System contact: Jane Roe"
                     << "System location: Hall B, rack 4"
                     << "Information: Mains power failed, UPS on battery"
                     << "";
        }
        QCOMPARE(lines.mid(0, expected.size()), expected);
        QCOMPARE(lines.size(), expected.size() + 1);
        const QRegularExpression dateLine(QString("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d From Upsconsole%1$")
                                              .arg(QRegularExpression::escape(QHostInfo::localHostName())));
        QVERIFY2(dateLine.match(lines.last()).hasMatch(), qPrintable(lines.last()));
    }

    void twoMailsInARowBothArrive()
    {
        const int port = freePort();
        QVERIFY(startServer(port, "plain", QString()));
        addReceiver("ops@example.test");
        EmailService* service = EmailService::instance();
        configure(port, 0, QString(), QString(), false);
        QSignalSpy finished(service, &EmailService::finished);
        service->sendTrapMail("127.0.25.9", SNMPData(), "UPS overload");
        service->sendTrapMail("127.0.25.9", SNMPData(), "UPS overload cleared");
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QCOMPARE(delivered().size(), 2);
        QVERIFY(delivered().at(0)["body"].toString().contains("Information: UPS overload\r\n"));
        QVERIFY(delivered().at(1)["body"].toString().contains("Information: UPS overload cleared"));
    }

    // ---- real server: failures ----

    void failures_data()
    {
        QTest::addColumn<QString>("mode"); // empty: nothing listens
        QTest::addColumn<QString>("serverAuth");
        QTest::addColumn<int>("encrypt");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("useCa");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("wrong password") << "plain" << "alarm:right" << 0 << "wrong" << true
                                        << "authentication failed: ";
        QTest::newRow("wrong password over STARTTLS") << "starttls" << "alarm:right" << 1 << "wrong" << true
                                                      << "authentication failed: ";
        QTest::newRow("STARTTLS refused") << "plain" << "" << 1 << "" << true << "encryption failed: ";
        QTest::newRow("implicit TLS to a plain server") << "plain" << "" << 2 << "" << true << "encryption failed: ";
        QTest::newRow("untrusted certificate") << "tls" << "" << 2 << "" << false << "encryption failed: ";
        QTest::newRow("closed port") << "" << "" << 0 << "" << true << "connection failed: ";
    }

    void failures()
    {
        QFETCH(QString, mode);
        QFETCH(QString, serverAuth);
        QFETCH(int, encrypt);
        QFETCH(QString, password);
        QFETCH(bool, useCa);
        QFETCH(QString, prefix);
        const int port = freePort();
        if (!mode.isEmpty())
            QVERIFY(startServer(port, mode, serverAuth));

        addReceiver("ops@example.test");
        EmailService* service = EmailService::instance();
        configure(port, encrypt, serverAuth.isEmpty() ? QString() : "alarm", password, useCa);
        QSignalSpy finished(service, &EmailService::finished);
        QSignalSpy failed(service, &EmailService::failed);
        service->send("UPS information", "body", false);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QCOMPARE(failed.count(), 1);
        const QString message = failed.first().first().toString();
        QVERIFY2(message.startsWith(prefix), qPrintable(message));
        QVERIFY2(message.size() > prefix.size(), "the client's reason follows the prefix");
        QVERIFY(delivered().isEmpty());
    }

    // ---- nothing is sent ----

    void nothingSent_data()
    {
        QTest::addColumn<bool>("enable");
        QTest::addColumn<bool>("receivers");
        QTest::addColumn<QString>("what");
        QTest::newRow("disabled, test mail") << false << true << "test";
        QTest::newRow("disabled, trap") << false << true << "trap";
        QTest::newRow("no receivers, alert") << true << false << "alert";
        QTest::newRow("trap without text") << true << true << "trap-no-text";
    }

    void nothingSent()
    {
        QFETCH(bool, enable);
        QFETCH(bool, receivers);
        QFETCH(QString, what);
        const int port = freePort();
        QVERIFY(startServer(port, "plain", QString()));
        if (receivers)
            addReceiver("ops@example.test");
        EmailService* service = EmailService::instance();
        configure(port, 0, QString(), QString(), false);
        service->config().enable = enable;
        QSignalSpy finished(service, &EmailService::finished);
        if (what == "test") {
            DialogSettingsEmail dialog;
            QTest::mouseClick(dialog.findChild<QPushButton*>("btnSendTest"), Qt::LeftButton);
        } else if (what == "trap") {
            service->sendTrapMail("127.0.25.9", SNMPData(), "UPS overload");
        } else if (what == "trap-no-text") {
            service->sendTrapMail("127.0.25.9", SNMPData(), QString());
        } else {
            service->send("UPS information", "body", false);
        }
        QCOMPARE(service->pendingCount(), 0);
        service->waitForIdle();
        QCoreApplication::processEvents();
        QCOMPARE(finished.count(), 0);
        QVERIFY(delivered().isEmpty());
    }

    void testMailWithoutReceiversIsSent()
    {
        const int port = freePort();
        QVERIFY(startServer(port, "plain", QString()));
        EmailService* service = EmailService::instance();
        QVERIFY(service->config().receivers.isEmpty());
        configure(port, 0, QString(), QString(), false);
        QSignalSpy finished(service, &EmailService::finished);
        service->send("Test E-Mail", "This is a test e-mail.", true);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QCOMPARE(delivered().size(), 1);
        QCOMPARE(strings(delivered().first()["rcpt_tos"]), QStringList{kSender});
    }

    // ---- message text ----

    void headersCannotBeInjected()
    {
        const QByteArray text = EmailService::buildContent("Evil\r\nBcc: victim@example.test", "a@example.test",
                                                           {"b@example.test"}, "Hi\r\nBcc: x@example.test", "Body");
        const QByteArray headers = text.left(text.indexOf("\r\n\r\n"));
        QVERIFY(!headers.contains("\r\nBcc:"));
        QVERIFY(headers.contains("Subject: Hi Bcc: x@example.test"));
    }

    void nonAsciiSubjectAndBodyAreEncoded()
    {
        const QByteArray text = EmailService::buildContent("\u544a\u8b66", "a@example.test", {"b@example.test"},
                                                           "UPS \u4fe1\u606f", "\u5e02\u7535\u6545\u969c");
        const QByteArray headers = text.left(text.indexOf("\r\n\r\n"));
        QVERIFY(headers.contains("Subject: =?UTF-8?B?"));
        QVERIFY(headers.contains("From: =?UTF-8?B?"));
        QVERIFY(headers.contains("Content-Transfer-Encoding: base64"));
        for (char c : text)
            QVERIFY(uchar(c) < 0x80);
    }

    // ---- settings and dialog ----

    void passwordStorage_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("storedLength");
        QTest::newRow("3 characters") << "abc" << 24;
        QTest::newRow("16 characters") << "0123456789abcdef" << 24;
        QTest::newRow("17 characters") << "0123456789abcdefg" << 44;
    }

    void passwordStorage()
    {
        QFETCH(QString, password);
        QFETCH(int, storedLength);
        QSettings* settings = AppContext::instance()->settings;
        EmailService::instance()->config().enable = true;
        EmailService::instance()->config().auth = true;
        {
            DialogSettingsEmail dialog;
            auto* edit = dialog.findChild<QLineEdit*>("lePassword");
            QVERIFY(edit && edit->isEnabled());
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            QVERIFY(!settings->contains("email/senderPassword"));
            for (int i = 0; i < password.size(); ++i) {
                QTest::keyClick(edit, password.at(i).toLatin1());
                const QString typed = password.left(i + 1);
                const QByteArray stored = settings->value("email/senderPassword").toByteArray();
                const int blocks = (typed.size() + 15) / 16;
                QCOMPARE(stored.size(), QByteArray(blocks * 16, '\0').toBase64().size());
                QCOMPARE(QString::fromUtf8(decryptPassword(stored)), typed);
                QCOMPARE(EmailService::instance()->config().senderPassword, typed);
            }
            QCOMPARE(settings->value("email/senderPassword").toString().size(), storedLength);
        }
        settings->sync();
        EmailService::destroy();
        AppContext::loadSettings();
        QCOMPARE(EmailService::instance()->config().senderPassword, password);
    }

    void fieldsAreStoredAtOnceAndReloaded()
    {
        QSettings* settings = AppContext::instance()->settings;
        addReceiver("first@example.test");
        addReceiver("second@example.test");
        {
            DialogSettingsEmail dialog;
            dialog.show();
            // Filling the form stored nothing.
            QCOMPARE(settings->allKeys().filter("email/").size(), 0);
            auto* enable = dialog.findChild<QCheckBox*>("chkBoxEnable");
            auto* group = dialog.findChild<QWidget*>("groupSender");
            QVERIFY(!enable->isChecked());
            QVERIFY(!group->isEnabled());
            enable->click();
            QVERIFY(group->isEnabled());
            QCOMPARE(settings->value("email/enable").toBool(), true);

            auto* auth = dialog.findChild<QCheckBox*>("chkBoxAuth");
            auto* account = dialog.findChild<QLineEdit*>("leAccount");
            QVERIFY(!account->isEnabled());
            auth->click();
            QVERIFY(account->isEnabled());
            QCOMPARE(settings->value("email/auth").toBool(), true);

            QTest::keyClicks(dialog.findChild<QLineEdit*>("leSenderName"), "Night Shift");
            QTest::keyClicks(dialog.findChild<QLineEdit*>("leSenderAddr"), "night@example.test");
            QTest::keyClicks(dialog.findChild<QLineEdit*>("leServerAddr"), "smtp.example.test");
            QTest::keyClicks(account, "night");
            auto* port = dialog.findChild<QLineEdit*>("leServerPort");
            port->clear();
            QTest::keyClicks(port, "abc");
            QCOMPARE(settings->value("email/serverPort").toString(), QString("abc"));
            QCOMPARE(EmailService::instance()->config().serverPort, quint16(0));
            dialog.findChild<QComboBox*>("cbBoxEncrypt")->setCurrentIndex(2);
            QCOMPARE(settings->value("email/encrypt").toInt(), 2);
            QCOMPARE(EmailService::instance()->config().encrypt, quint8(2));
        }
        settings->sync();
        EmailService::destroy();
        AppContext::loadSettings();
        const EmailConfig& config = EmailService::instance()->config();
        QVERIFY(config.enable);
        QVERIFY(config.auth);
        QCOMPARE(config.senderName, QString("Night Shift"));
        QCOMPARE(config.senderAddr, QString("night@example.test"));
        QCOMPARE(config.serverAddr, QString("smtp.example.test"));
        QCOMPARE(config.senderAccount, QString("night"));
        QCOMPARE(config.serverPort, quint16(0));
        QCOMPARE(config.encrypt, quint8(2));
        QCOMPARE(config.receivers, QStringList({"first@example.test", "second@example.test"}));

        DialogSettingsEmail dialog;
        QCOMPARE(dialog.findChild<QLineEdit*>("leServerPort")->text(), QString("0"));
        QCOMPARE(dialog.findChild<QComboBox*>("cbBoxEncrypt")->currentIndex(), 2);
        QCOMPARE(dialog.findChild<QListWidget*>("listWidget")->count(), 2);
    }

    void receivers()
    {
        EmailService::instance()->config().enable = true;
        DialogSettingsEmail dialog;
        auto* list = dialog.findChild<QListWidget*>("listWidget");
        auto* add = dialog.findChild<QPushButton*>("btnAdd");
        auto* modify = dialog.findChild<QPushButton*>("btnModify");
        auto* remove = dialog.findChild<QPushButton*>("btnDelete");
        const QStringList& receivers = EmailService::instance()->config().receivers;

        // Modify and Delete without a current entry do nothing.
        QTest::mouseClick(modify, Qt::LeftButton);
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 0);

        DialogSettingsEmail::setNextInputText("o'brien@example.test");
        QTest::mouseClick(add, Qt::LeftButton);
        DialogSettingsEmail::setNextInputText("ops@example.test");
        QTest::mouseClick(add, Qt::LeftButton);
        DialogSettingsEmail::setNextInputText(QString()); // cancelled
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(list->count(), 2);
        QCOMPARE(receivers, QStringList({"o'brien@example.test", "ops@example.test"}));
        QCOMPARE(m_console->count("select count(*) from email_user;"), 2);
        QCOMPARE(m_console->count("select count(*) from email_user where address=?;", {"o'brien@example.test"}), 1);

        list->setCurrentRow(0);
        DialogSettingsEmail::setNextInputText("o'hara@example.test");
        QTest::mouseClick(modify, Qt::LeftButton);
        QCOMPARE(list->item(0)->text(), QString("o'hara@example.test"));
        QCOMPARE(receivers, QStringList({"ops@example.test", "o'hara@example.test"}));
        QCOMPARE(m_console->count("select count(*) from email_user where address=?;", {"o'hara@example.test"}), 1);
        QCOMPARE(m_console->count("select count(*) from email_user where address=?;", {"o'brien@example.test"}), 0);

        list->setCurrentRow(0);
        MessageBox::setNextAnswer(1); // "Cancel"
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(list->count(), 2);
        QCOMPARE(MessageBox::lastShown().title, QString("Information"));
        QCOMPARE(MessageBox::lastShown().text, QString("Are you sure to delete this address?"));
        MessageBox::setNextAnswer(0); // "Sure"
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(list->count(), 1);
        QCOMPARE(receivers, QStringList({"ops@example.test"}));
        QCOMPARE(m_console->count("select count(*) from email_user;"), 1);

        // No current entry again: nothing happens.
        list->setCurrentItem(nullptr);
        MessageBox::clearShown();
        QTest::mouseClick(remove, Qt::LeftButton);
        QTest::mouseClick(modify, Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 0);
        QCOMPARE(list->count(), 1);
    }
};

QTEST_MAIN(TestEmailService)
#include "test_email_service.moc"
