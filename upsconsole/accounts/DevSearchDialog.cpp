#include "DevSearchDialog.h"

#include "MessageBox.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QUdpSocket>
#include <QVBoxLayout>

namespace {
const QHostAddress kGroup(QStringLiteral("224.0.0.100"));
constexpr quint16 kPort = 8888;
const QByteArray kSignature("\x00\x25\x18", 3);
}

DevSearchDialog::DevSearchDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(400, 200);
    setAttribute(Qt::WA_QuitOnClose, false); // closing it never ends the program
    m_list = new QListWidget(this);
    m_btnSearch = new QPushButton(this);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_btnSearch);
    auto* vbox = new QVBoxLayout(this);
    vbox->addWidget(m_list);
    vbox->addLayout(row);

    m_sendSocket = new QUdpSocket(this);
    m_recvSocket = new QUdpSocket(this);
    m_notice = new QMessageBox(QMessageBox::Information, QString(), QString(), QMessageBox::Ok);
    m_notice->setWindowModality(Qt::ApplicationModal);
    retranslate();

    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, &DevSearchDialog::onTimerTimeout);
    connect(m_btnSearch, &QPushButton::clicked, this, &DevSearchDialog::onBtnDevSearchClicked);
    connect(m_recvSocket, &QUdpSocket::readyRead, this, &DevSearchDialog::onUdpDataReady);
}

DevSearchDialog::~DevSearchDialog()
{
    if (m_joined.isValid())
        m_recvSocket->leaveMulticastGroup(kGroup, m_joined);
    delete m_notice;
}

void DevSearchDialog::retranslate()
{
    setWindowTitle(tr("Search Device"));
    m_btnSearch->setText(tr("Search"));
    m_notice->setWindowTitle(tr("Search device"));
    m_notice->setText(tr("Searching device..."));
}

void DevSearchDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

bool DevSearchDialog::isUsable(QNetworkInterface::InterfaceFlags flags)
{
    return flags == (QNetworkInterface::IsUp | QNetworkInterface::IsRunning | QNetworkInterface::CanBroadcast |
                     QNetworkInterface::CanMulticast);
}

bool DevSearchDialog::isAnswer(const QByteArray& d, const QHostAddress& sender)
{
    if (d.size() < 7 || !d.startsWith(kSignature))
        return false;
    // A card tool's request (signature, its own address least significant
    // byte first, netmask) is no card: skip it.
    if (d.size() == 11) {
        const quint32 ip = sender.toIPv4Address();
        QByteArray own;
        own.append(char(ip & 0xFF)).append(char((ip >> 8) & 0xFF)).append(char((ip >> 16) & 0xFF)).append(char(ip >> 24));
        if (d.mid(3, 4) == own)
            return false;
    }
    return true;
}

bool DevSearchDialog::noticeVisible() const
{
    return m_notice->isVisible();
}

void DevSearchDialog::onBtnDevSearchClicked()
{
    QList<QNetworkInterface> usable;
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces())
        if (isUsable(iface.flags()))
            usable << iface;
    if (usable.isEmpty()) {
        m_list->clear();
        m_found.clear();
        m_interfaces.clear();
        MessageBox::show(MessageBox::Information, this, tr("Search device"), tr("Network interface is not accessible!"),
                         QMessageBox::Ok);
        return;
    }
    startSearch(usable);
}

void DevSearchDialog::useInterface(const QNetworkInterface& iface)
{
    if (m_joined.isValid() && m_joined.index() != iface.index())
        m_recvSocket->leaveMulticastGroup(kGroup, m_joined);
    m_sendSocket->setMulticastInterface(iface);
    m_recvSocket->setMulticastInterface(iface);
    m_recvSocket->joinMulticastGroup(kGroup, iface);
    m_joined = iface;
}

void DevSearchDialog::startSearch(const QList<QNetworkInterface>& interfaces)
{
    m_list->clear();
    m_found.clear();
    m_interfaces = interfaces;
    if (m_interfaces.isEmpty())
        return;
    if (!m_bound) {
        // Bound on the first search, not for the console's whole life.
        m_bound = m_recvSocket->bind(QHostAddress::AnyIPv4, kPort,
                                     QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    }
    m_current = 0;
    useInterface(m_interfaces.first());
    m_roundsLeft = 2;
    onTimerTimeout();
    m_timer.start(500);
    // Modal for the operator, but not blocking: the last tick closes it.
    if (MessageBox::pendingAnswers() > 0 || qEnvironmentVariableIsSet("UPS_MESSAGEBOX_AUTO"))
        MessageBox::show(MessageBox::Information, this, tr("Search device"), tr("Searching device..."), QMessageBox::Ok);
    else
        m_notice->show();
}

void DevSearchDialog::onTimerTimeout()
{
    if (m_roundsLeft > 0) {
        m_sendSocket->writeDatagram(kSignature, kGroup, kPort);
        --m_roundsLeft;
        return;
    }
    ++m_current;
    if (m_current < m_interfaces.size()) {
        m_roundsLeft = 2;
        useInterface(m_interfaces[m_current]);
        return;
    }
    m_timer.stop();
    m_notice->hide();
}

void DevSearchDialog::onUdpDataReady()
{
    while (m_recvSocket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_recvSocket->receiveDatagram(256);
        bool ok = false;
        const QHostAddress sender(datagram.senderAddress().toIPv4Address(&ok));
        if (!ok || !isAnswer(datagram.data(), sender))
            continue;
        const QString address = sender.toString();
        if (m_found.contains(address))
            continue;
        m_found << address;
        m_list->addItem(address);
    }
}
