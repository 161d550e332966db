#include "PowerOff.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QtDebug>

bool SystemPowerOff::powerOff()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
        call << false; // not interactive: no authentication prompt
        const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            qInfo() << "Power-off requested through logind.";
            return true;
        }
        qWarning() << "logind refused the power-off:" << reply.errorName() << reply.errorMessage();
    }
    const int code = QProcess::execute(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
    if (code == 0) {
        qInfo() << "Power-off requested through systemctl.";
        return true;
    }
    qWarning() << "systemctl poweroff failed with" << code;
    return false;
}

bool DryRunPowerOff::powerOff()
{
    ++m_requests;
    qInfo() << "Dry run: the computer would be powered off now.";
    return true;
}
