#include "ProgramVersion.h"

#include <cstdio>

namespace ProgramVersion {

bool isOldProtocol(const QByteArray& versionText)
{
    if (versionText.size() < 6)
        return false;
    const QByteArray text(versionText.constData(), versionText.size()); // zero-terminated copy
    int major = 0, minor = 0, patch = 0;
    if (std::sscanf(text.constData(), "v%d.%d.%d", &major, &minor, &patch) != 3)
        return false;
    if (major < 0 || minor < 0 || patch < 0 || major > 255 || minor > 255 || patch > 255)
        return false;
    return (major * 65536 + minor * 256 + patch) < 0x010203;
}

}
