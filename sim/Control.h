#pragma once

// Run-time control of the simulated cards: line commands from a local TCP
// port or a script file (see sim/README.md for the command list).

#include "Fleet.h"
#include "SnmpAgent.h"

#include <QObject>
#include <QString>
#include <QVector>

class QTcpServer;

namespace upssim {

class Control : public QObject
{
    Q_OBJECT
public:
    Control(Fleet* fleet, SnmpAgent* agent, QObject* parent = nullptr);

    // Executes one command line. The reply is zero or more lines of output
    // followed by a last line "OK" or "ERR <reason>".
    QString execute(const QString& line);

    bool listen(const QString& hostPort, QString* error);
    quint16 port() const;
    bool runScript(const QString& path, QString* error);

    // A scenario that repeats: every `periodS` seconds the cards go into it
    // for `downS` seconds ("mains" or "silent").
    bool addFlaky(const QString& kind, const QString& target, int periodS, int downS, QString* error);

private:
    QString run(const QStringList& words, bool* ok);
    void onConnection();

    Fleet* m_fleet;
    SnmpAgent* m_agent;
    QTcpServer* m_server = nullptr;
};

} // namespace upssim
