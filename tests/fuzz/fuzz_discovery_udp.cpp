// libFuzzer harness: the tool's parser of UDP discovery answers.
#include "DiscoveryAnswer.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray datagram(reinterpret_cast<const char*>(data), int(size));
    DiscoveryAnswer::Card card;
    bool unknown = false;
    if (DiscoveryAnswer::parseUdp(datagram, &card, &unknown)) {
        if (unknown && !card.interfaces.isEmpty())
            std::abort();
        // Every record fits in the datagram: name + two addresses at least.
        if (card.interfaces.size() * 9 > datagram.size())
            std::abort();
    }
    return 0;
}
