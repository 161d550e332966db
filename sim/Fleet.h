#pragma once

// The cards one upssim process plays, addressed by their IPv4 address.

#include "Card.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QTimer>
#include <QVector>
#include <memory>
#include <vector>

namespace upssim {

class Fleet : public QObject
{
    Q_OBJECT
public:
    // threePhaseEvery: every n-th card (1-based, n > 0) is three-phase;
    // threePhase: further addresses that are three-phase.
    Fleet(const QVector<quint32>& addresses, int threePhaseEvery, const QVector<quint32>& threePhase,
          QObject* parent = nullptr);

    static qint64 nowMs();

    Card* find(quint32 address) const;
    int size() const { return int(m_cards.size()); }
    Card* at(int i) const { return m_cards[size_t(i)].get(); }
    QVector<quint32> addresses() const;

    // "all", an address, a range "A-B" or a comma-separated list of those.
    // Returns false (with a message) when a named address is not a card.
    bool select(const QString& target, QVector<Card*>* out, QString* error) const;

    // Guards the cards and everything the SNMP thread shares with the
    // event-loop thread (the SNMP session, counters, logs).
    QRecursiveMutex& mutex() const { return m_mutex; }

    // Start the once-a-second battery and scenario clock.
    void startClock(int intervalMs = 1000);

    // Parsing helpers shared with the command line.
    static bool parseAddress(const QString& text, quint32* out);
    static bool parseRange(const QString& text, QVector<quint32>* out, QString* error);

signals:
    void trapRaised(upssim::Card* card, int trap);

public slots:
    void tickAll();

private:
    std::vector<std::unique_ptr<Card>> m_cards;
    QHash<quint32, int> m_byAddress;
    QTimer m_clock;
    mutable QRecursiveMutex m_mutex;
};

} // namespace upssim
