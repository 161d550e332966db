// Runs a copy of the console binary in a temporary application directory.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestConsoleStartup : public QObject
{
    Q_OBJECT
private slots:
    void missingDataDirectoryEndsWithInitFailed()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("cfg"));
        const QString binary = dir.filePath("upsconsole");
        QVERIFY(QFile::copy(UPS_CONSOLE_DIR "/upsconsole", binary));
        for (const char* f : {"OidList.xml", "LanList.xml", "trap.conf", "log.conf"})
            QFile::copy(QString(UPS_SOURCE_DIR "/upsconsole/cfg/") + f, dir.filePath(QString("cfg/") + f));

        QProcess console;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("UPS_MESSAGEBOX_AUTO", "0");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        console.setProcessEnvironment(env);
        console.setWorkingDirectory(dir.path());
        console.start(binary, QStringList());
        QVERIFY2(console.waitForFinished(30000), qPrintable(console.errorString()));
        QCOMPARE(console.exitStatus(), QProcess::NormalExit);
        QCOMPARE(console.exitCode(), 255); // -1
        const QString err = QString::fromUtf8(console.readAllStandardError());
        QVERIFY2(err.contains("MessageBox: Warning: Init failed!"), qPrintable(err));
        // The engine never started: no polling thread was spread.
        QVERIFY2(!err.contains("Max thread num"), qPrintable(err));
        // The program creates no directory of its own.
        QVERIFY(!QDir(dir.filePath("data")).exists());
    }
};

QTEST_GUILESS_MAIN(TestConsoleStartup)
#include "test_console_startup.moc"
