#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// AES-128 with CBC chaining, in place, no padding.
struct AesContext
{
    uint8_t roundKey[176]; // the 16-byte key followed by unused space (OpenSSL expands it)
    uint8_t iv[16];        // chaining value
};

void aesInitContext(AesContext* ctx, const uint8_t key[16], const uint8_t iv[16]);
// Encrypt/decrypt ceil(length / 16) blocks; the buffer must hold whole blocks.
void aesCbcEncryptBuffer(AesContext* ctx, uint8_t* buffer, size_t length);
void aesCbcDecryptBuffer(AesContext* ctx, uint8_t* buffer, size_t length);

// The e-mail sender password as kept in the console's settings file.
QByteArray encryptPassword(const QByteArray& plain);
QByteArray decryptPassword(const QByteArray& stored);
