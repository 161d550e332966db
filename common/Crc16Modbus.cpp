#include "Crc16Modbus.h"

namespace Crc16Modbus {

uint16_t compute(const uint8_t* data, size_t size)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

uint16_t compute(const QByteArray& data)
{
    return compute(reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size()));
}

QByteArray append(const QByteArray& data)
{
    const uint16_t crc = compute(data);
    QByteArray out = data;
    out.append(static_cast<char>(crc & 0xFF));
    out.append(static_cast<char>(crc >> 8));
    return out;
}

bool check(const QByteArray& frame)
{
    if (frame.size() < 3)
        return false;
    const uint16_t crc = compute(reinterpret_cast<const uint8_t*>(frame.constData()), static_cast<size_t>(frame.size() - 2));
    const auto lo = static_cast<uint8_t>(frame.at(frame.size() - 2));
    const auto hi = static_cast<uint8_t>(frame.at(frame.size() - 1));
    return crc == static_cast<uint16_t>(lo | (hi << 8));
}

}
