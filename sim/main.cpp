// upssim: plays many UPS network cards (SNMP agents) on this machine, one
// IPv4 address each. See sim/README.md.

#include "Control.h"
#include "Fleet.h"
#include "OidTree.h"
#include "SnmpAgent.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDebug>
#include <QHostAddress>
#include <QTextStream>

#include <csignal>
#include <cstdio>

#ifdef UPSSIM_HAS_SERVICE
#include "CardServiceHost.h"
#endif

using namespace upssim;

static void onSignal(int)
{
    QCoreApplication::quit();
}

static bool parseHostPort(const QString& text, QHostAddress* host, quint16* port)
{
    const int colon = text.lastIndexOf(':');
    if (colon <= 0)
        return false;
    bool ok = false;
    const uint p = text.mid(colon + 1).toUInt(&ok);
    QHostAddress h(text.left(colon));
    if (!ok || p == 0 || p > 65535 || h.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    *host = h;
    *port = quint16(p);
    return true;
}

int main(int argc, char** argv)
{
    qputenv("MIBS", "");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("upssim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulates many UPS network cards, one IPv4 address each, answering SNMP v1, v2c and v3\n"
        "from the address each request was sent to, and sending traps from it."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption firstOpt("first", "First card address (with --count).", "addr");
    const QCommandLineOption countOpt("count", "Number of cards from --first (default 1).", "n", "1");
    const QCommandLineOption rangeOpt("range", "Cards at the addresses A to B (repeatable).", "A-B");
    const QCommandLineOption cardsOpt("cards", "Comma-separated card addresses (repeatable).", "list");
    const QCommandLineOption portOpt("port", "UDP port of the cards' SNMP agents (default 161).", "port", "161");
    const QCommandLineOption bindOpt("bind", "Address the SNMP socket binds to (default 0.0.0.0).", "addr", "0.0.0.0");
    const QCommandLineOption communityOpt("community", "Read community (default public).", "text", "public");
    const QCommandLineOption writeCommunityOpt("write-community", "Read-write community (default private).", "text", "private");
    const QCommandLineOption userOpt("v3-user",
        "SNMPv3 user name:level[:MD5|SHA:authpass[:DES|AES:privpass]][:rw], level noauth, auth or priv "
        "(repeatable; replaces the default users listed in sim/README.md).", "user");
    const QCommandLineOption engineOpt("engine-id", "SNMPv3 engine ID shared by all cards, hex (default 800003a704 + \"upssim\").", "hex");
    const QCommandLineOption trapTargetOpt("trap-target", "Send traps to this manager (default: no traps).", "host:port");
    const QCommandLineOption trapKindOpt("trap-kind", "v1, v2c or inform (default v2c).", "kind", "v2c");
    const QCommandLineOption trapCommunityOpt("trap-community", "Community of traps and informs (default public).", "text", "public");
    const QCommandLineOption informRetriesOpt("inform-retries", "Resends of an unanswered inform (default 3).", "n", "3");
    const QCommandLineOption informTimeoutOpt("inform-timeout", "Milliseconds before an inform is resent (default 1000).", "ms", "1000");
    const QCommandLineOption threeEveryOpt("three-phase-every", "Every n-th card is three-phase (default 0: none).", "n", "0");
    const QCommandLineOption threeOpt("three-phase", "These cards are three-phase (list or ranges).", "list");
    const QCommandLineOption flakyMainsOpt("flaky-mains", "These cards lose mains now and then.", "list");
    const QCommandLineOption flakyMainsPeriodOpt("flaky-mains-period", "Seconds between mains failures (default 60).", "s", "60");
    const QCommandLineOption flakyMainsDownOpt("flaky-mains-down", "Seconds each mains failure lasts (default 20).", "s", "20");
    const QCommandLineOption flakySilentOpt("flaky-silent", "These cards go silent now and then.", "list");
    const QCommandLineOption flakySilentPeriodOpt("flaky-silent-period", "Seconds between silences (default 90).", "s", "90");
    const QCommandLineOption flakySilentDownOpt("flaky-silent-down", "Seconds each silence lasts (default 20).", "s", "20");
    const QCommandLineOption dischargeOpt("discharge-minutes", "Minutes from full to empty at 50% load (default 10).", "min", "10");
    const QCommandLineOption chargeOpt("charge-minutes", "Minutes from empty to full on mains (default 20).", "min", "20");
    const QCommandLineOption controlOpt("control", "Accept control commands on this TCP address (e.g. 127.0.0.1:20900).", "host:port");
    const QCommandLineOption scriptOpt("script", "Run the control commands of this file at start.", "file");
    const QCommandLineOption printOidOpt("print-oidlist", "Print the console's cfg/OidList.xml for this card tree and exit.");
    const QCommandLineOption quietOpt("quiet", "Print nothing but errors and the ready line.");
    for (const QCommandLineOption& o : {firstOpt, countOpt, rangeOpt, cardsOpt, portOpt, bindOpt, communityOpt,
                                        writeCommunityOpt, userOpt, engineOpt, trapTargetOpt, trapKindOpt,
                                        trapCommunityOpt, informRetriesOpt, informTimeoutOpt, threeEveryOpt, threeOpt,
                                        flakyMainsOpt, flakyMainsPeriodOpt, flakyMainsDownOpt, flakySilentOpt,
                                        flakySilentPeriodOpt, flakySilentDownOpt, dischargeOpt, chargeOpt, controlOpt,
                                        scriptOpt, printOidOpt, quietOpt})
        parser.addOption(o);
#ifdef UPSSIM_HAS_SERVICE
    CardServiceHost::addOptions(parser);
#endif
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    auto fail = [&](const QString& m) {
        err << "upssim: " << m << '\n';
        err.flush();
        return 1;
    };

    if (parser.isSet(printOidOpt)) {
        out << OidTree::instance().oidListXml();
        return 0;
    }

    // Cards
    QVector<quint32> addresses;
    QString error;
    if (parser.isSet(firstOpt)) {
        quint32 first = 0;
        bool ok = false;
        const int count = parser.value(countOpt).toInt(&ok);
        if (!Fleet::parseAddress(parser.value(firstOpt), &first) || !ok || count < 1 || count > 1000000)
            return fail(QStringLiteral("bad --first/--count"));
        for (int i = 0; i < count; ++i)
            addresses.append(first + quint32(i));
    }
    for (const QString& r : parser.values(rangeOpt))
        if (!Fleet::parseRange(r, &addresses, &error))
            return fail(error);
    for (const QString& list : parser.values(cardsOpt))
        for (const QString& a : list.split(',', Qt::SkipEmptyParts))
            if (!Fleet::parseRange(a, &addresses, &error))
                return fail(error);
    if (addresses.isEmpty())
        return fail(QStringLiteral("no cards: give --first/--count, --range or --cards (see --help)"));
    QVector<quint32> threePhase;
    for (const QString& a : parser.value(threeOpt).split(',', Qt::SkipEmptyParts))
        if (!Fleet::parseRange(a, &threePhase, &error))
            return fail(error);
    bool ok = false;
    const int every = parser.value(threeEveryOpt).toInt(&ok);
    if (!ok || every < 0)
        return fail(QStringLiteral("bad --three-phase-every"));

    const double dischargeMin = parser.value(dischargeOpt).toDouble(&ok);
    if (!ok || dischargeMin <= 0)
        return fail(QStringLiteral("bad --discharge-minutes"));
    const double chargeMin = parser.value(chargeOpt).toDouble();
    if (chargeMin <= 0)
        return fail(QStringLiteral("bad --charge-minutes"));
    Card::battery.dischargePerSecond = 100.0 / (dischargeMin * 60.0);
    Card::battery.chargePerSecond = 100.0 / (chargeMin * 60.0);

    // SNMP
    AgentOptions ao;
    ao.bindAddress = parser.value(bindOpt);
    const uint port = parser.value(portOpt).toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return fail(QStringLiteral("bad --port"));
    ao.port = quint16(port);
    ao.readCommunity = parser.value(communityOpt).toUtf8();
    ao.writeCommunity = parser.value(writeCommunityOpt).toUtf8();
    if (parser.isSet(userOpt)) {
        for (const QString& user : parser.values(userOpt)) {
            V3User u;
            if (!V3User::parse(user, &u, &error))
                return fail(error);
            ao.users.append(u);
        }
    } else {
        ao.users = V3User::defaults();
    }
    if (parser.isSet(engineOpt)) {
        ao.engineId = QByteArray::fromHex(parser.value(engineOpt).toLatin1());
        if (ao.engineId.size() < 5 || ao.engineId.size() > 32)
            return fail(QStringLiteral("bad --engine-id (5 to 32 bytes in hex)"));
    }
    if (parser.isSet(trapTargetOpt) && !parseHostPort(parser.value(trapTargetOpt), &ao.trapHost, &ao.trapPort))
        return fail(QStringLiteral("bad --trap-target (IPv4:port)"));
    const QString kind = parser.value(trapKindOpt);
    ao.trapKind = kind == QLatin1String("v1") ? 1 : kind == QLatin1String("inform") ? 3 : kind == QLatin1String("v2c") ? 2 : 0;
    if (!ao.trapKind)
        return fail(QStringLiteral("bad --trap-kind (v1, v2c or inform)"));
    ao.trapCommunity = parser.value(trapCommunityOpt).toUtf8();
    ao.informRetries = parser.value(informRetriesOpt).toInt(&ok);
    if (!ok || ao.informRetries < 0 || ao.informRetries > 20)
        return fail(QStringLiteral("bad --inform-retries (0 to 20)"));
    ao.informTimeoutMs = parser.value(informTimeoutOpt).toInt(&ok);
    if (!ok || ao.informTimeoutMs < 10)
        return fail(QStringLiteral("bad --inform-timeout"));

    Fleet fleet(addresses, every, threePhase);
    SnmpAgent agent(&fleet, ao);
    if (!agent.start(&error))
        return fail(error);
    fleet.startClock();

    Control control(&fleet, &agent);
    if (parser.isSet(flakyMainsOpt)
        && !control.addFlaky(QStringLiteral("mains"), parser.value(flakyMainsOpt), parser.value(flakyMainsPeriodOpt).toInt(),
                             parser.value(flakyMainsDownOpt).toInt(), &error))
        return fail(error);
    if (parser.isSet(flakySilentOpt)
        && !control.addFlaky(QStringLiteral("silent"), parser.value(flakySilentOpt), parser.value(flakySilentPeriodOpt).toInt(),
                             parser.value(flakySilentDownOpt).toInt(), &error))
        return fail(error);
    if (parser.isSet(controlOpt) && !control.listen(parser.value(controlOpt), &error))
        return fail(error);
    if (parser.isSet(scriptOpt) && !control.runScript(parser.value(scriptOpt), &error))
        return fail(error);

#ifdef UPSSIM_HAS_SERVICE
    QList<QHostAddress> cardAddresses;
    for (quint32 a : fleet.addresses())
        cardAddresses.append(QHostAddress(a));
    static CardServiceHost services;
    QString serviceError;
    if (!services.start(parser, cardAddresses, &serviceError)) {
        qCritical() << serviceError;
        return 1;
    }
#endif

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    int threePhaseCount = 0;
    for (int i = 0; i < fleet.size(); ++i)
        threePhaseCount += fleet.at(i)->threePhase() ? 1 : 0;
    if (!parser.isSet(quietOpt)) {
        out << "upssim: " << fleet.size() << " cards (" << threePhaseCount << " three-phase) from "
            << QHostAddress(fleet.at(0)->address()).toString() << ", SNMP on " << ao.bindAddress << ':' << ao.port
            << ", engine ID " << agent.engineIdHex();
        if (!ao.trapHost.isNull())
            out << ", traps to " << ao.trapHost.toString() << ':' << ao.trapPort;
        if (control.port())
            out << ", control on port " << control.port();
        out << '\n';
    }
    out << "READY" << Qt::endl;
    return app.exec();
}
