#include "CodeTextFile.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCodeTextFile : public QObject
{
    Q_OBJECT
private slots:
    void entries_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");

        QTest::newRow("blanks, hex and comment")
            << QByteArray("[Event_en_US]\n$ \tMains failed \t=\t 0x10   # a comment\r\n") << "Event_en_US" << 16
            << "Mains failed";
        QTest::newRow("decimal") << QByteArray("[S]\n$Text with spaces=42\n") << "S" << 42 << "Text with spaces";
        QTest::newRow("later entry wins") << QByteArray("[S]\n$first=3\n$second=3\n") << "S" << 3 << "second";
        QTest::newRow("not a number is 0") << QByteArray("[S]\n$odd=abc\n") << "S" << 0 << "odd";
        QTest::newRow("entry before any section ignored") << QByteArray("$early=1\n[S]\n") << "S" << 1 << "";
        QTest::newRow("unknown section") << QByteArray("[S]\n$a=1\n") << "T" << 1 << "";
        QTest::newRow("unknown number") << QByteArray("[S]\n$a=1\n") << "S" << 2 << "";
        QTest::newRow("line not starting with $") << QByteArray("[S]\n a=1\n#$b=2\n") << "S" << 1 << "";
        QTest::newRow("section name up to first ]") << QByteArray("[A]B]\n$x=1\n") << "A" << 1 << "x";
        QTest::newRow("bracket without close is no section")
            << QByteArray("[S]\n[broken\n$x=1\n") << "S" << 1 << "x";
        QTest::newRow("repeated section replaces earlier")
            << QByteArray("[S]\n$a=1\n[T]\n[S]\n$b=2\n") << "S" << 1 << "";
        QTest::newRow("utf-8 text") << QByteArray("[Event_zh_CN]\n$\xe5\xb8\x82\xe7\x94\xb5=2\n") << "Event_zh_CN"
                                    << 2 << QString::fromUtf8("\xe5\xb8\x82\xe7\x94\xb5");
    }
    void entries()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(int, number);
        QFETCH(QString, expected);

        QTemporaryDir dir;
        const QString path = dir.filePath("codes.conf");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        CodeTextFile file(path);
        QCOMPARE(file.textOf(section, number), expected);
    }

    void emptyValueGoesToNamesOnly()
    {
        CodeTextFile file{QString()};
        file.parse("[S]\n$only name =\n$no equals\n$real=7\n");
        const CodeTextFile::Section s = file.section("S");
        QCOMPARE(s.names, QStringList({"only name", "no equals", "real"}));
        QCOMPARE(s.texts.size(), 1);
        QCOMPARE(s.values.value("real"), QString("7"));
        QVERIFY(!s.values.contains("only name"));
    }

    void missingFileAnswersEmpty()
    {
        CodeTextFile file("/nonexistent/trap.conf");
        QVERIFY(file.textOf("Event_en_US", 0).isEmpty());
        QVERIFY(file.sectionNames().isEmpty());
    }

    void registryByPath()
    {
        auto* a = new CodeTextFile("cfg/one.cfg");
        QCOMPARE(CodeTextFile::registered("cfg/one.cfg"), static_cast<CodeTextFile*>(nullptr));
        a->registerSelf();
        QCOMPARE(CodeTextFile::registered("cfg/one.cfg"), a);
        delete a;
        QCOMPARE(CodeTextFile::registered("cfg/one.cfg"), static_cast<CodeTextFile*>(nullptr));
    }

    void shippedFilesHaveBothLanguages_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QList<int>>("numbers");
        // Communication changes and the trap codes of the cards' traps.
        QTest::newRow("trap.conf") << "trap.conf" << "Event_"
                                   << QList<int>({0, 1, 3, 4, 5, 6, 8, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
        QList<int> types;
        for (int t = 4; t <= 18; ++t)
            types << t;
        QTest::newRow("log.conf") << "log.conf" << "settings_" << types;
    }
    void shippedFilesHaveBothLanguages()
    {
        QFETCH(QString, file);
        QFETCH(QString, prefix);
        QFETCH(QList<int>, numbers);
        CodeTextFile codes(QStringLiteral(UPS_SOURCE_DIR "/upsconsole/cfg/") + file);
        for (const char* locale : {"en_US", "zh_CN"}) {
            for (int n : numbers)
                QVERIFY2(!codes.textOf(prefix + locale, n).isEmpty(), qPrintable(QString("%1%2 %3").arg(prefix).arg(locale).arg(n)));
        }
    }
};

QTEST_GUILESS_MAIN(TestCodeTextFile)
#include "test_codetextfile.moc"
