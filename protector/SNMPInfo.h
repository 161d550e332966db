#pragma once

#include <QMetaType>
#include <QString>

// One watched UPS host, passed by value between the dialogs, the main window
// and the engine.
struct SNMPInfo
{
    QString ip;
    int port = 161;
    int version = 0; // 0 community based (polled as SNMPv2c), 1 SNMPv3
    QString community;
    int authType = 0; // 0 MD5, 1 SHA
    int privType = 0; // 0 DES, 1 AES
    QString userName;
    QString password; // SNMPv3 privacy pass phrase

    QString peer() const { return ip + QLatin1Char(':') + QString::number(port); }
};

Q_DECLARE_METATYPE(SNMPInfo)
