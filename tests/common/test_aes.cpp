#include "Aes.h"

#include <QtTest>

class TestAes : public QObject
{
    Q_OBJECT
private slots:
    // NIST SP 800-38A F.2.1/F.2.2: CBC-AES128, four blocks, chained across
    // two calls to check that the context carries the chaining value.
    void sp80038aVectors()
    {
        const QByteArray key = QByteArray::fromHex("2b7e151628aed2a6abf7158809cf4f3c");
        const QByteArray iv = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
        const QByteArray plain = QByteArray::fromHex(
            "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
            "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
        const QByteArray cipher = QByteArray::fromHex(
            "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
            "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7");

        QByteArray buf = plain;
        AesContext ctx;
        aesInitContext(&ctx, reinterpret_cast<const uint8_t*>(key.constData()),
                       reinterpret_cast<const uint8_t*>(iv.constData()));
        aesCbcEncryptBuffer(&ctx, reinterpret_cast<uint8_t*>(buf.data()), 32);
        aesCbcEncryptBuffer(&ctx, reinterpret_cast<uint8_t*>(buf.data()) + 32, 32);
        QCOMPARE(buf.toHex(), cipher.toHex());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(ctx.iv), 16), cipher.right(16));

        aesInitContext(&ctx, reinterpret_cast<const uint8_t*>(key.constData()),
                       reinterpret_cast<const uint8_t*>(iv.constData()));
        aesCbcDecryptBuffer(&ctx, reinterpret_cast<uint8_t*>(buf.data()), 16);
        aesCbcDecryptBuffer(&ctx, reinterpret_cast<uint8_t*>(buf.data()) + 16, 48);
        QCOMPARE(buf.toHex(), plain.toHex());
    }

    // FIPS-197 C.1 (AES-128 single block; CBC with a zero IV is plain ECB).
    void fips197Vector()
    {
        const QByteArray key = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
        const QByteArray iv(16, '\0');
        QByteArray buf = QByteArray::fromHex("00112233445566778899aabbccddeeff");
        AesContext ctx;
        aesInitContext(&ctx, reinterpret_cast<const uint8_t*>(key.constData()),
                       reinterpret_cast<const uint8_t*>(iv.constData()));
        aesCbcEncryptBuffer(&ctx, reinterpret_cast<uint8_t*>(buf.data()), 16);
        QCOMPARE(buf.toHex(), QByteArray("69c4e0d86a7b0430d8cdb78070b4c55a"));
    }

    void passwordRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<int>("storedLength");
        QTest::newRow("three chars") << QByteArray("abc") << 24;
        QTest::newRow("sixteen chars") << QByteArray("0123456789abcdef") << 24;
        QTest::newRow("seventeen chars") << QByteArray("0123456789abcdefg") << 44;
        QTest::newRow("non-ascii") << QByteArray("p\xc3\xa4ss w\xc3\xb6rd") << 24;
    }
    void passwordRoundTrip()
    {
        QFETCH(QByteArray, password);
        QFETCH(int, storedLength);
        const QByteArray stored = encryptPassword(password);
        QCOMPARE(stored.size(), storedLength);
        QCOMPARE(encryptPassword(password), stored); // no salt: same text each time
        QCOMPARE(decryptPassword(stored), password);
    }

    void threeCharBlockHoldsZeroPadding()
    {
        // The stored block is the cipher of "abc" followed by 13 zero bytes.
        const QByteArray stored = encryptPassword("abc");
        QByteArray block = QByteArray::fromBase64(stored);
        QCOMPARE(block.size(), 16);
        const QByteArray key = QByteArray::fromHex("7ce19a36d458b20f63a7ce951d4be8f6");
        const QByteArray iv = QByteArray::fromHex("a25f08c9e3714d96bb2e60d739f4851a");
        AesContext ctx;
        aesInitContext(&ctx, reinterpret_cast<const uint8_t*>(key.constData()),
                       reinterpret_cast<const uint8_t*>(iv.constData()));
        aesCbcDecryptBuffer(&ctx, reinterpret_cast<uint8_t*>(block.data()), 16);
        QCOMPARE(block, QByteArray("abc") + QByteArray(13, '\0'));
    }

    void emptyAndGarbageStoredValues()
    {
        QVERIFY(encryptPassword(QByteArray()).isEmpty());
        QVERIFY(decryptPassword(QByteArray()).isEmpty());
        // Not Base64, not whole blocks: decrypts without error to something bounded.
        for (const QByteArray& junk : {QByteArray("!!not base64!!"), QByteArray("QUJD"), QByteArray(500, 'A')}) {
            const QByteArray out = decryptPassword(junk);
            QVERIFY(out.size() <= (QByteArray::fromBase64(junk).size() + 15) / 16 * 16);
        }
    }
};

QTEST_GUILESS_MAIN(TestAes)
#include "test_aes.moc"
