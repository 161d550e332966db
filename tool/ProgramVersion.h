#pragma once

#include <QByteArray>

namespace ProgramVersion {
// True when a firmware version answer selects the old upload protocol
// (blocks without sequence byte, no retransmission): "vX.Y.Z ..." below
// 1.2.3. Answers shorter than six bytes and texts of six or more bytes that
// do not parse as "v%d.%d.%d" select the new protocol.
bool isOldProtocol(const QByteArray& versionText);
}
