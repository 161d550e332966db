#include "DevSereachPage.h"

#include "MessageBox.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QTreeWidget>
#include <QUdpSocket>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const QHostAddress kGroup(QStringLiteral("224.0.0.100"));
constexpr quint16 kPort = 8888;
constexpr quint16 kSendPort = 8889;
}

DevSereachPage::DevSereachPage(QWidget* parent) : QWidget(parent)
{
    m_tree = new QTreeWidget(this);
    m_tree->setColumnCount(6);
    m_tree->header()->setStretchLastSection(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_labelIntf = new QLabel(this);
    m_comboIntf = new QComboBox(this);
    m_comboIntf->setMinimumWidth(100);
    m_btnRefresh = new QPushButton(this);
    auto* row = new QHBoxLayout;
    row->addWidget(m_labelIntf);
    row->addWidget(m_comboIntf);
    row->addStretch();
    row->addWidget(m_btnRefresh);
    auto* vbox = new QVBoxLayout(this);
    vbox->addWidget(m_tree);
    vbox->addLayout(row);
    retranslate();

    m_sendSocket = new QUdpSocket(this);
    m_recvSocket = new QUdpSocket(this);

    m_timerRefresh.setInterval(1000);
    m_timerIntf.setInterval(250);
    connect(&m_timerRefresh, &QTimer::timeout, this, &DevSereachPage::onTimerRefreshTimeout);
    connect(&m_timerIntf, &QTimer::timeout, this, &DevSereachPage::onTimerIntfTimeout);
    connect(m_btnRefresh, &QPushButton::clicked, this, &DevSereachPage::onBtnRefreshClicked);
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, &DevSereachPage::onCustomContextMenuRequested);
    connect(m_recvSocket, &QUdpSocket::readyRead, this, &DevSereachPage::onDataReady);
    connect(&m_commLink, &CommLink::gotNetworkInfo, this, &DevSereachPage::onCommLinkNetworkInfo);
    m_timerIntf.start();
    onTimerIntfTimeout();
}

DevSereachPage::~DevSereachPage()
{
    if (m_joined.isValid())
        m_recvSocket->leaveMulticastGroup(kGroup, m_joined);
}

void DevSereachPage::retranslate()
{
    m_tree->setHeaderLabels({tr("Host"), tr("Product"), tr("Interface"), tr("IP"), tr("Netmask"), tr("MAC")});
    m_labelIntf->setText(tr("Interface:"));
    m_btnRefresh->setText(tr("Refresh"));
}

void DevSereachPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

bool DevSereachPage::isUsable(QNetworkInterface::InterfaceFlags flags)
{
    return flags == (QNetworkInterface::IsUp | QNetworkInterface::IsRunning | QNetworkInterface::CanBroadcast |
                     QNetworkInterface::CanMulticast);
}

QList<QNetworkInterface> DevSereachPage::usableInterfaces()
{
    QList<QNetworkInterface> list;
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces())
        if (isUsable(iface.flags()))
            list << iface;
    return list;
}

void DevSereachPage::onTimerIntfTimeout()
{
    QStringList names;
    for (const QNetworkInterface& iface : usableInterfaces())
        names << iface.humanReadableName();
    if (names != m_intfNames) {
        m_intfNames = names;
        m_comboIntf->clear();
        m_comboIntf->addItems(names);
    }
}

void DevSereachPage::bindSockets()
{
    // Bound on first use: the page exists for the tool's whole life, the
    // discovery ports are only needed once a search ran.
    if (m_bound)
        return;
    m_bound = true;
    m_sendSocket->bind(QHostAddress::AnyIPv4, kSendPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    m_recvSocket->bind(QHostAddress::AnyIPv4, kPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    m_recvSocket->setSocketOption(QAbstractSocket::MulticastLoopbackOption, 0);
}

void DevSereachPage::onBtnRefreshClicked()
{
    if (m_requestsLeft > 0) {
        MessageBox::show(MessageBox::Information, this, tr("Search device"), tr("Searching device..."), QMessageBox::Ok);
        return;
    }
    for (const QNetworkInterface& iface : usableInterfaces()) {
        if (iface.humanReadableName() == m_comboIntf->currentText()) {
            startSearch(iface);
            return;
        }
    }
    MessageBox::show(MessageBox::Information, this, tr("Search device"), tr("Network interface is not accessible!"),
                     QMessageBox::Ok);
}

void DevSereachPage::startSearch(const QNetworkInterface& iface)
{
    bindSockets();
    if (!iface.hardwareAddress().isEmpty() && !(iface.flags() & QNetworkInterface::IsLoopBack))
        m_commLink.start(iface.name(), iface.hardwareAddress());
    if (m_joined.isValid() && m_joined.index() != iface.index())
        m_recvSocket->leaveMulticastGroup(kGroup, m_joined);
    m_recvSocket->joinMulticastGroup(kGroup, iface);
    m_joined = iface;
    m_sendSocket->setMulticastInterface(iface);
    m_tree->clear();
    m_hosts.clear();
    m_requestsLeft = 3;
    onTimerRefreshTimeout();
    m_timerRefresh.start();
}

QByteArray DevSereachPage::buildUdpRequest(const QHostAddress& address, const QHostAddress& netmask)
{
    QByteArray request("\x00\x25\x18", 3);
    const quint32 ip = address.toIPv4Address();
    const quint32 mask = netmask.toIPv4Address();
    for (int i = 0; i < 4; ++i)
        request.append(char((ip >> (8 * i)) & 0xFF));
    for (int i = 0; i < 4; ++i)
        request.append(char((mask >> (8 * i)) & 0xFF));
    return request;
}

void DevSereachPage::onTimerRefreshTimeout()
{
    if (m_requestsLeft <= 0) {
        m_timerRefresh.stop();
        return;
    }
    QHostAddress address(QHostAddress::AnyIPv4), netmask(QHostAddress::AnyIPv4);
    const QNetworkInterface iface = m_sendSocket->multicastInterface();
    for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
        if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
            address = entry.ip();
            netmask = entry.netmask();
        }
    }
    m_lastRequest = buildUdpRequest(address, netmask);
    m_commLink.sendRequest();
    m_sendSocket->writeDatagram(m_lastRequest, kGroup, kPort);
    --m_requestsLeft;
}

bool DevSereachPage::addUdpAnswer(const QByteArray& d, const QString& sender)
{
    if (d.size() <= 2 || d[0] != 0 || quint8(d[1]) != 0x25 || quint8(d[2]) != 0x18)
        return false;
    // With multicast loopback our own request comes back; it is no card.
    if (!m_lastRequest.isEmpty() && d == m_lastRequest)
        return false;
    // Nor is another tool's request: 11 bytes carrying the sender's own
    // address, least significant byte first.
    if (d.size() == 11) {
        const quint32 ip = QHostAddress(sender).toIPv4Address();
        QByteArray own;
        own.append(char(ip & 0xFF)).append(char((ip >> 8) & 0xFF)).append(char((ip >> 16) & 0xFF)).append(char(ip >> 24));
        if (d.mid(3, 4) == own)
            return false;
    }
    DiscoveryAnswer::Card card;
    bool unknown = false;
    if (!DiscoveryAnswer::parseUdp(d, &card, &unknown))
        return false;
    if (m_hosts.contains(sender))
        return false;
    m_hosts << sender;
    card.host = sender;
    if (unknown)
        card.product = tr("Unknown");
    addCard(card);
    return true;
}

void DevSereachPage::addCard(const DiscoveryAnswer::Card& card)
{
    auto* top = new QTreeWidgetItem(m_tree);
    top->setText(0, card.host);
    top->setText(1, card.product);
    for (const DiscoveryAnswer::Interface& iface : card.interfaces) {
        auto* child = new QTreeWidgetItem(top);
        child->setText(2, iface.name);
        child->setText(3, iface.ip);
        child->setText(4, iface.netmask);
        child->setText(5, iface.mac);
    }
    top->setData(0, BrowseRole, card.browse);
}

void DevSereachPage::onDataReady()
{
    while (m_recvSocket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_recvSocket->receiveDatagram();
        QHostAddress sender = datagram.senderAddress();
        bool ok = false;
        const QHostAddress v4(sender.toIPv4Address(&ok));
        addUdpAnswer(datagram.data(), ok ? v4.toString() : sender.toString());
    }
}

void DevSereachPage::onCommLinkNetworkInfo(QByteArray data)
{
    DiscoveryAnswer::Card card;
    if (!DiscoveryAnswer::parseJson(data, &card))
        return;
    if (m_hosts.contains(card.host))
        return;
    m_hosts << card.host;
    addCard(card);
}

QTreeWidgetItem* DevSereachPage::cardItem(QTreeWidgetItem* item)
{
    if (item && item->text(0).isEmpty() && item->parent())
        return item->parent();
    return item;
}

QUrl DevSereachPage::browseUrl(QTreeWidgetItem* card)
{
    return QUrl(QStringLiteral("http://") + card->data(0, BrowseRole).toString());
}

void DevSereachPage::onCustomContextMenuRequested(QPoint pos)
{
    QTreeWidgetItem* item = cardItem(m_tree->itemAt(pos));
    if (!item)
        return;
    m_menuItem = item;
    QMenu menu(this);
    QAction* browse = menu.addAction(tr("Browse device"));
    if (menu.exec(m_tree->viewport()->mapToGlobal(pos)) == browse)
        QDesktopServices::openUrl(browseUrl(m_menuItem));
}
