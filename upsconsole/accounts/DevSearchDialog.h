#pragma once

#include <QDialog>
#include <QList>
#include <QNetworkInterface>
#include <QStringList>
#include <QTimer>

class QListWidget;
class QMessageBox;
class QPushButton;
class QUdpSocket;

// "Search Device": finds card addresses on the local network through the
// cards' multicast discovery (group 224.0.0.100, port 8888, signature
// 00 25 18). Created once by the main window and shown non-modally.
class DevSearchDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DevSearchDialog(QWidget* parent = nullptr);
    ~DevSearchDialog() override;

    static bool isUsable(QNetworkInterface::InterfaceFlags flags);
    // Whether a datagram is a card's answer (not a request, not noise).
    static bool isAnswer(const QByteArray& datagram, const QHostAddress& sender);

    // Test access.
    QListWidget* list() const { return m_list; }
    QStringList found() const { return m_found; }
    bool searching() const { return m_timer.isActive(); }
    bool noticeVisible() const;
    // Searches these interfaces (the "Search" button takes the usable ones).
    void startSearch(const QList<QNetworkInterface>& interfaces);

private slots:
    void onBtnDevSearchClicked();
    void onTimerTimeout();
    void onUdpDataReady();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void useInterface(const QNetworkInterface& iface);

    QListWidget* m_list;
    QPushButton* m_btnSearch;
    QUdpSocket* m_sendSocket;
    QUdpSocket* m_recvSocket;
    bool m_bound = false;
    QTimer m_timer;
    QMessageBox* m_notice;
    QStringList m_found;
    QList<QNetworkInterface> m_interfaces;
    int m_current = 0;
    int m_roundsLeft = 0;
    QNetworkInterface m_joined;
};
