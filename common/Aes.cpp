#include "Aes.h"

#include <openssl/evp.h>

#include <cstring>

namespace {
// Key and IV of the stored e-mail password.
const uint8_t kPasswordKey[16] = {0x7c, 0xe1, 0x9a, 0x36, 0xd4, 0x58, 0xb2, 0x0f,
                                  0x63, 0xa7, 0xce, 0x95, 0x1d, 0x4b, 0xe8, 0xf6};
const uint8_t kPasswordIv[16] = {0xa2, 0x5f, 0x08, 0xc9, 0xe3, 0x71, 0x4d, 0x96,
                                 0xbb, 0x2e, 0x60, 0xd7, 0x39, 0xf4, 0x85, 0x1a};

void cbc(AesContext* ctx, uint8_t* buffer, size_t length, bool encrypt)
{
    const size_t blocks = (length + 15) / 16;
    if (blocks == 0)
        return;
    const size_t bytes = blocks * 16;
    uint8_t nextIv[16];
    // Decryption chains on the last ciphertext block, which is overwritten.
    if (!encrypt)
        std::memcpy(nextIv, buffer + bytes - 16, 16);

    EVP_CIPHER_CTX* evp = EVP_CIPHER_CTX_new();
    if (!evp)
        return;
    int outLen = 0;
    EVP_CipherInit_ex(evp, EVP_aes_128_cbc(), nullptr, ctx->roundKey, ctx->iv, encrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(evp, 0);
    EVP_CipherUpdate(evp, buffer, &outLen, buffer, static_cast<int>(bytes));
    EVP_CIPHER_CTX_free(evp);

    if (encrypt)
        std::memcpy(ctx->iv, buffer + bytes - 16, 16);
    else
        std::memcpy(ctx->iv, nextIv, 16);
}
}

void aesInitContext(AesContext* ctx, const uint8_t key[16], const uint8_t iv[16])
{
    std::memset(ctx->roundKey, 0, sizeof(ctx->roundKey));
    std::memcpy(ctx->roundKey, key, 16);
    std::memcpy(ctx->iv, iv, 16);
}

void aesCbcEncryptBuffer(AesContext* ctx, uint8_t* buffer, size_t length)
{
    cbc(ctx, buffer, length, true);
}

void aesCbcDecryptBuffer(AesContext* ctx, uint8_t* buffer, size_t length)
{
    cbc(ctx, buffer, length, false);
}

QByteArray encryptPassword(const QByteArray& plain)
{
    if (plain.isEmpty())
        return QByteArray();
    const int n = (plain.size() + 15) / 16 * 16;
    QByteArray buffer(n, '\0');
    std::memcpy(buffer.data(), plain.constData(), static_cast<size_t>(plain.size()));
    AesContext ctx;
    aesInitContext(&ctx, kPasswordKey, kPasswordIv);
    aesCbcEncryptBuffer(&ctx, reinterpret_cast<uint8_t*>(buffer.data()), static_cast<size_t>(n));
    return buffer.toBase64();
}

QByteArray decryptPassword(const QByteArray& stored)
{
    if (stored.isEmpty())
        return QByteArray();
    const QByteArray decoded = QByteArray::fromBase64(stored);
    const int n = (decoded.size() + 15) / 16 * 16;
    if (n == 0)
        return QByteArray();
    QByteArray buffer(n, '\0');
    std::memcpy(buffer.data(), decoded.constData(), static_cast<size_t>(decoded.size()));
    AesContext ctx;
    aesInitContext(&ctx, kPasswordKey, kPasswordIv);
    aesCbcDecryptBuffer(&ctx, reinterpret_cast<uint8_t*>(buffer.data()), static_cast<size_t>(n));
    const int zero = buffer.indexOf('\0');
    return zero >= 0 ? buffer.left(zero) : buffer;
}
