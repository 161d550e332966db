#include "Fleet.h"

#include <QDateTime>
#include <QHostAddress>
#include <QStringList>

namespace upssim {

Fleet::Fleet(const QVector<quint32>& addresses, int threePhaseEvery, const QVector<quint32>& threePhase,
             QObject* parent)
    : QObject(parent)
{
    const qint64 now = nowMs();
    m_cards.reserve(size_t(addresses.size()));
    for (int i = 0; i < addresses.size(); ++i) {
        const quint32 a = addresses[i];
        if (m_byAddress.contains(a))
            continue;
        const bool tp = (threePhaseEvery > 0 && (i + 1) % threePhaseEvery == 0) || threePhase.contains(a);
        auto card = std::make_unique<Card>(int(m_cards.size()), a, tp, now);
        card->onTrap = [this](Card& c, int trap) { emit trapRaised(&c, trap); };
        m_byAddress.insert(a, int(m_cards.size()));
        m_cards.push_back(std::move(card));
    }
    connect(&m_clock, &QTimer::timeout, this, &Fleet::tickAll);
}

qint64 Fleet::nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

Card* Fleet::find(quint32 address) const
{
    const auto it = m_byAddress.constFind(address);
    return it == m_byAddress.constEnd() ? nullptr : m_cards[size_t(*it)].get();
}

QVector<quint32> Fleet::addresses() const
{
    QVector<quint32> out;
    out.reserve(size());
    for (const auto& c : m_cards)
        out.append(c->address());
    return out;
}

void Fleet::startClock(int intervalMs)
{
    m_clock.start(intervalMs);
}

void Fleet::tickAll()
{
    QMutexLocker lock(&m_mutex);
    const qint64 now = nowMs();
    for (auto& c : m_cards)
        c->tick(now);
}

bool Fleet::parseAddress(const QString& text, quint32* out)
{
    QHostAddress a;
    const QString t = text.trimmed();
    if (t.count('.') != 3 || !a.setAddress(t) || a.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    *out = a.toIPv4Address();
    return true;
}

bool Fleet::parseRange(const QString& text, QVector<quint32>* out, QString* error)
{
    const QStringList ends = text.split('-');
    quint32 a = 0, b = 0;
    if (ends.size() == 1 && parseAddress(ends[0], &a)) {
        out->append(a);
        return true;
    }
    if (ends.size() != 2 || !parseAddress(ends[0], &a) || !parseAddress(ends[1], &b) || b < a) {
        if (error)
            *error = QStringLiteral("bad address range \"%1\"").arg(text);
        return false;
    }
    if (b - a >= 1000000) {
        if (error)
            *error = QStringLiteral("address range \"%1\" is too large").arg(text);
        return false;
    }
    for (quint64 x = a; x <= b; ++x)
        out->append(quint32(x));
    return true;
}

bool Fleet::select(const QString& target, QVector<Card*>* out, QString* error) const
{
    out->clear();
    const QString t = target.trimmed();
    if (t.isEmpty() || t == QLatin1String("all")) {
        for (const auto& c : m_cards)
            out->append(c.get());
        return true;
    }
    for (const QString& part : t.split(',', Qt::SkipEmptyParts)) {
        QVector<quint32> addrs;
        if (!parseRange(part, &addrs, error))
            return false;
        for (quint32 a : addrs) {
            Card* c = find(a);
            if (!c) {
                if (addrs.size() == 1) {
                    if (error)
                        *error = QStringLiteral("no card at %1").arg(part.trimmed());
                    return false;
                }
                continue;
            }
            out->append(c);
        }
    }
    if (out->isEmpty()) {
        if (error)
            *error = QStringLiteral("no card in \"%1\"").arg(t);
        return false;
    }
    return true;
}

} // namespace upssim
