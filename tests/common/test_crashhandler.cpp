#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestCrashHandler : public QObject
{
    Q_OBJECT
private slots:
    void faultAtAddressWritesDumpAndShowsBox()
    {
        QTemporaryDir dir;
        QProcess victim;
        victim.setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("UPS_MESSAGEBOX_AUTO", "0");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        victim.setProcessEnvironment(env);
        victim.start(QCoreApplication::applicationDirPath() + "/crash_victim", QStringList());
        QVERIFY2(victim.waitForFinished(30000), qPrintable(victim.errorString()));
        QCOMPARE(victim.exitStatus(), QProcess::CrashExit);

        // The reporter showed the box with the signal number and the address.
        const QString err = QString::fromUtf8(victim.readAllStandardError());
        QVERIFY2(err.contains("MessageBox: Crash: Code: 0xb, address: 0x1000"), qPrintable(err));

        const QStringList dumps = QDir(dir.path()).entryList({"*.dmp"}, QDir::Files);
        QCOMPARE(dumps.size(), 1);
        QVERIFY(QRegularExpression("^\\d{14}\\.dmp$").match(dumps.first()).hasMatch());
        // The name is the local time of the crash.
        const QDateTime stamp = QDateTime::fromString(dumps.first().left(14), "yyyyMMddhhmmss");
        QVERIFY(qAbs(stamp.secsTo(QDateTime::currentDateTime())) < 120);

        QFile dump(dir.filePath(dumps.first()));
        QVERIFY(dump.open(QIODevice::ReadOnly));
        const QString report = QString::fromUtf8(dump.readAll());
        QVERIFY2(report.contains("signal: 11 (SIGSEGV)"), qPrintable(report));
        QVERIFY(report.contains("fault address: 0x1000"));
        QVERIFY(report.contains("stack of the faulting thread:"));
        QVERIFY2(report.contains("crash_victim"), qPrintable(report)); // a symbolised frame
    }

    void illegalInstructionReportsItsSignal()
    {
        QTemporaryDir dir;
        QProcess victim;
        victim.setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("UPS_MESSAGEBOX_AUTO", "0");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        victim.setProcessEnvironment(env);
        victim.start(QCoreApplication::applicationDirPath() + "/crash_victim", {"--abort"});
        QVERIFY(victim.waitForFinished(30000));
        const QString err = QString::fromUtf8(victim.readAllStandardError());
        QVERIFY2(err.contains("MessageBox: Crash: Code: 0x4, address: 0x"), qPrintable(err));
        QCOMPARE(QDir(dir.path()).entryList({"*.dmp"}, QDir::Files).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCrashHandler)
#include "test_crashhandler.moc"
