#include "Crc16Modbus.h"
#include "FileDialog.h"
#include "Ipv4Pattern.h"
#include "MessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QValidator>
#include <QtTest>

class TestSharedHelpers : public QObject
{
    Q_OBJECT
private slots:
    void crc16Modbus_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("crc");
        QTest::newRow("check value") << QByteArray("123456789") << 0x4B37;
        QTest::newRow("read holding registers") << QByteArray::fromHex("010300000001") << 0x0A84;
        QTest::newRow("empty") << QByteArray() << 0xFFFF;
    }
    void crc16Modbus()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, crc);
        QCOMPARE(int(Crc16Modbus::compute(data)), crc);
        const QByteArray framed = Crc16Modbus::append(data);
        QCOMPARE(quint8(framed.at(framed.size() - 2)), quint8(crc & 0xFF)); // low byte first
        QCOMPARE(quint8(framed.at(framed.size() - 1)), quint8(crc >> 8));
        if (!data.isEmpty()) {
            QVERIFY(Crc16Modbus::check(framed));
            QByteArray broken = framed;
            broken[0] = char(broken.at(0) ^ 1);
            QVERIFY(!Crc16Modbus::check(broken));
        }
    }

    void ipv4Pattern_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "192.168.1.250" << true;
        QTest::newRow("zeros") << "0.0.0.0" << true;
        QTest::newRow("max") << "255.255.255.255" << true;
        QTest::newRow("leading zero") << "01.2.3.4" << false;
        QTest::newRow("256") << "256.1.1.1" << false;
        QTest::newRow("three parts") << "1.2.3" << false;
        QTest::newRow("trailing text") << "1.2.3.4x" << false;
        QTest::newRow("empty") << "" << false;
    }
    void ipv4Pattern()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(Ipv4Pattern::isValid(text), valid);
        QLineEdit edit;
        edit.setValidator(Ipv4Pattern::createValidator(&edit));
        int pos = 0;
        QString t = text;
        QCOMPARE(edit.validator()->validate(t, pos) == QValidator::Acceptable, valid);
    }

    void messageBoxAnswersInOrderWithoutShowing()
    {
        MessageBox::clearShown();
        MessageBox::setNextAnswer(1);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        QCOMPARE(MessageBox::warning(nullptr, "Warning", "Delete?", "Sure", "Cancel"), 1);
        QCOMPARE(MessageBox::show(MessageBox::Question, nullptr, "Tip", "Really?", QMessageBox::Yes | QMessageBox::No),
                 QMessageBox::Yes);
        QCOMPARE(MessageBox::pendingAnswers(), 0);
        QCOMPARE(MessageBox::shown().size(), 2);
        QCOMPARE(MessageBox::shown().first().text, QString("Delete?"));
        QCOMPARE(MessageBox::lastShown().title, QString("Tip"));
    }

    void fileDialogAnswers()
    {
        FileDialog::setNextFileName("/tmp/a.csv");
        FileDialog::setNextFileName(QString());
        QCOMPARE(FileDialog::getSaveFileName(nullptr, "Save"), QString("/tmp/a.csv"));
        QCOMPARE(FileDialog::getOpenFileName(nullptr, "Open"), QString());
    }
};

QTEST_MAIN(TestSharedHelpers)
#include "test_shared_helpers.moc"
