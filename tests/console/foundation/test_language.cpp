#include "AppContext.h"
#include "Language.h"

#include <QTemporaryDir>
#include <QtTest>

class TestLanguage : public QObject
{
    Q_OBJECT
private slots:
    void lists_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("code");

        QFile shipped(UPS_SOURCE_DIR "/upsconsole/cfg/LanList.xml");
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QTest::newRow("shipped list, English first")
            << shipped.readAll() << QStringList({"English", QString::fromUtf8("中文")} ) << "en_US" << 0;
        QTest::newRow("wrong root") << QByteArray("<Language><Language Code='0' Name='E' Locale='en'/></Language>")
                                    << QStringList() << "" << -1;
        QTest::newRow("parse error") << QByteArray("<Languages><Language") << QStringList() << "" << -1;
        QTest::newRow("binary") << QByteArray("\x00\x01\x02\xff", 4) << QStringList() << "" << -1;
        QTest::newRow("missing attributes and other children")
            << QByteArray("<Languages><Other/><Language Name='X'/></Languages>") << QStringList({"X"}) << "" << 0;
        QTest::newRow("missing file") << QByteArray() << QStringList() << "" << -1;
    }
    void lists()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QStringList, names);
        QFETCH(QString, locale);
        QFETCH(int, code);
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("cfg");
        if (!xml.isNull()) {
            QFile f(dir.filePath("cfg/LanList.xml"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(xml);
        }
        AppContext::setAppDirOverride(dir.path());
        Language::instance()->reload();
        QCOMPARE(Language::instance()->names(), names);
        QCOMPARE(Language::instance()->currentIndex(), 0);
        QCOMPARE(Language::instance()->currentLocale(), locale);
        QCOMPARE(Language::instance()->currentCode(), code);
    }

    void switchingIndex()
    {
        AppContext::setAppDirOverride(UPS_SOURCE_DIR "/upsconsole");
        Language::instance()->reload();
        Language::instance()->setCurrentIndex(1);
        QCOMPARE(Language::instance()->currentLocale(), QString("zh_CN"));
        QCOMPARE(Language::instance()->currentCode(), 1);
        Language::instance()->setCurrentIndex(7); // out of range: unchanged
        QCOMPARE(Language::instance()->currentIndex(), 1);
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "test_language.moc"
