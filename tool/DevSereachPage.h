#pragma once

#include "CommLink.h"
#include "DiscoveryAnswer.h"

#include <QNetworkInterface>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QUdpSocket;
class QUrl;

class DevSereachPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int BrowseRole = Qt::UserRole + 1;

    explicit DevSereachPage(QWidget* parent = nullptr);
    ~DevSereachPage() override;

    QTreeWidget* tree() const { return m_tree; }
    QComboBox* interfaceBox() const { return m_comboIntf; }
    CommLink* commLink() { return &m_commLink; }
    int requestsLeft() const { return m_requestsLeft; }

    // Interfaces offered for a search: exactly up, running, broadcast and
    // multicast capable.
    static bool isUsable(QNetworkInterface::InterfaceFlags flags);
    static QList<QNetworkInterface> usableInterfaces();
    static QByteArray buildUdpRequest(const QHostAddress& address, const QHostAddress& netmask);
    // Starts a search on this interface, whatever its flags (the Refresh
    // button only offers usable ones).
    void startSearch(const QNetworkInterface& iface);
    // Adds the card described by a UDP answer from sender; false when the
    // datagram is not an answer or the card is already listed.
    bool addUdpAnswer(const QByteArray& datagram, const QString& sender);
    // The card row a context menu opened on an item acts for: the item
    // itself, or its parent for an interface row.
    static QTreeWidgetItem* cardItem(QTreeWidgetItem* item);
    static QUrl browseUrl(QTreeWidgetItem* cardItem);

private slots:
    void onBtnRefreshClicked();
    void onCustomContextMenuRequested(QPoint pos);
    void onDataReady();
    void onTimerRefreshTimeout();
    void onTimerIntfTimeout();
    void onCommLinkNetworkInfo(QByteArray data);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void bindSockets();
    void addCard(const DiscoveryAnswer::Card& card);

    QTreeWidget* m_tree;
    QLabel* m_labelIntf;
    QComboBox* m_comboIntf;
    QPushButton* m_btnRefresh;
    QTimer m_timerRefresh;
    QTimer m_timerIntf;
    QUdpSocket* m_sendSocket;
    QUdpSocket* m_recvSocket;
    bool m_bound = false;
    CommLink m_commLink;
    QStringList m_hosts;
    QStringList m_intfNames;
    int m_requestsLeft = 0;
    QTreeWidgetItem* m_menuItem = nullptr;
    QNetworkInterface m_joined;
    QByteArray m_lastRequest;
};
