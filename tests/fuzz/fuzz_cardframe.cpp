// libFuzzer harness: the card link's frame reassembly. Any byte stream, fed
// in arbitrary pieces, must never crash or read out of bounds, and every
// frame handed on must carry a correct checksum.
#include "CardFrame.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    CardFrame::Parser parser(4096);
    // The first byte chooses how the rest is cut into reads.
    const size_t step = 1 + data[0] % 64;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    size_t left = size - 1;
    while (left > 0) {
        const size_t n = left < step ? left : step;
        parser.feed(bytes, int(n), [](quint16 cmd, const quint8* payload, int length) {
            if (length < 0 || length > 4090)
                std::abort();
            // Rebuild the frame and check it round-trips.
            const QByteArray frame = CardFrame::build(cmd, QByteArray(reinterpret_cast<const char*>(payload), length));
            if (frame.size() != length + 6)
                std::abort();
            volatile quint8 sink = 0;
            for (int i = 0; i < length; ++i)
                sink = quint8(sink + payload[i]);
            (void)sink;
        });
        bytes += n;
        left -= n;
    }
    if (parser.buffered() < 0 || parser.buffered() > 4096)
        std::abort();
    return 0;
}
