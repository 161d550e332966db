// libFuzzer harness: the tool's parser of raw-Ethernet discovery answers
// (frame check, JSON cut-out, JSON description).
#include "Crc16Modbus.h"
#include "DiscoveryAnswer.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray frame(reinterpret_cast<const char*>(data), int(size));
    // Half of the inputs get a correct CRC so that the JSON side is reached.
    if (size > 0 && (data[0] & 1))
        frame = Crc16Modbus::append(frame);
    const QByteArray json = DiscoveryAnswer::jsonOfRawFrame(frame);
    if (!json.isEmpty() && (json.size() > frame.size() || !json.endsWith('}')))
        std::abort();
    DiscoveryAnswer::Card card;
    DiscoveryAnswer::parseJson(json.isEmpty() ? frame : json, &card);
    return 0;
}
