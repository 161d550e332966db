#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// CRC-16/MODBUS: initial value 0xFFFF, reflected polynomial 0xA001, no final
// XOR. On the wire the CRC follows the data, low byte first.
namespace Crc16Modbus {
uint16_t compute(const uint8_t* data, size_t size);
uint16_t compute(const QByteArray& data);
// Returns data with its CRC appended (low byte first).
QByteArray append(const QByteArray& data);
// True when the last two bytes of frame are the CRC of the bytes before them.
bool check(const QByteArray& frame);
}
