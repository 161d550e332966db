#pragma once

// Alert and test e-mail of the console.
//
// EmailService is a process-wide singleton (instance()) that keeps the e-mail
// configuration (settings group "email" and the receiver table email_user)
// and sends mail over SMTP with libcurl: plain text (encrypt 0), STARTTLS
// that must succeed (encrypt 1) or implicit TLS (encrypt 2). Server
// certificates are always verified against the system's CA store; the
// settings key "email/caFile" may name an extra PEM file of CA certificates
// (for a mail server with a CA of its own).
//
// Transfers run one after another on a worker thread; send() only queues.
// Outcomes come back on the GUI thread: failed(msg) with the prefix
// "connection failed: ", "encryption failed: ", "authentication failed: " or
// "sending failed: " (the server refused the sender, every recipient or the
// message), and finished() once the queue is empty again.
//
// The engine's trap handling calls sendTrapMail(ip, data, text) for every
// trap it receives, with text = the trap's text from cfg/trap.conf in the
// current language (empty text sends nothing).

#include "SNMPData.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

class QThreadPool;

struct EmailConfig
{
    bool enable = false;
    bool auth = false;
    quint8 encrypt = 0; // 0 none, 1 STARTTLS, 2 SSL/TLS
    quint16 serverPort = 0;
    QString senderName;
    QString senderAddr;
    QString serverAddr;
    QString senderAccount;
    QString senderPassword; // plain in memory, encrypted in the settings file
    QStringList receivers;  // table email_user, column address
    QString caFile;         // "email/caFile": extra CA certificates (PEM), optional
};

// One message ready for the wire, with everything the transfer needs.
struct EmailMessage
{
    QString serverAddr;
    quint16 serverPort = 0;
    quint8 encrypt = 0;
    QByteArray account;
    QByteArray password;
    QString caFile;
    QString senderAddr;
    QStringList recipients;
    QByteArray content; // RFC 5322 text, CRLF line ends
};

class EmailService : public QObject
{
    Q_OBJECT
public:
    // Created on first use: loads the configuration from the settings
    // (AppContext) and the receivers from connection "Global".
    static EmailService* instance();
    // Waits for queued transfers and deletes the singleton (tests, shutdown).
    static void destroy();

    // The configuration in force; the settings dialog edits it in place.
    EmailConfig& config() { return m_config; }

    // Queues one mail. Does nothing when e-mail is disabled, or when the
    // test flag is clear and there are no receivers. A test mail goes to the
    // sender address only.
    void send(const QString& subject, const QString& body, bool test);

    // Mail for one received trap: subject "UPS information", body with the
    // device's address, system name, contact and location and the trap's
    // text. An empty text sends nothing.
    void sendTrapMail(const QString& ipv4, const SNMPData& data, const QString& trapText);

    // Number of messages queued or in transfer.
    int pendingCount() const;
    // Blocks until the worker thread has finished every queued transfer
    // (the result signals are still delivered through the event loop).
    void waitForIdle();

    // Builds the message text (exposed for tests and the benchmark).
    static QByteArray buildContent(const QString& from, const QString& fromAddr, const QStringList& to,
                                   const QString& subject, const QString& body);

    ~EmailService() override;

signals:
    void failed(QString msg);
    void finished();

private slots:
    void onConnectionFailed(QString msg);
    void onEncryptionFailed(QString msg);
    void onAuthenticationFailed(QString msg);
    void onSendingFailed(QString msg);
    void onMailFinished();

private:
    EmailService();
    void load();
    void transfer(const EmailMessage& message); // worker thread

    EmailConfig m_config;
    QThreadPool* m_pool = nullptr;
    mutable QMutex m_mutex;
    int m_pending = 0;
};
