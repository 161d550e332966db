#include "EmailService.h"

#include "Aes.h"
#include "AppContext.h"
#include "Database.h"

#include <QVariant>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QHostInfo>
#include <QMutexLocker>
#include <QSettings>
#include <QSqlQuery>
#include <QThreadPool>
#include <QUrl>
#include <QUuid>

#include <curl/curl.h>

#include <cstring>

namespace {

EmailService* g_instance = nullptr;

// Line breaks inside a header would start a new header: fold them to blanks.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

bool isAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() > 0x7e || (c.unicode() < 0x20 && c != QLatin1Char('\t')))
            return false;
    }
    return true;
}

// RFC 2047 encoded words of at most 75 characters, split between characters.
QByteArray encodedWords(const QString& text)
{
    QByteArray out;
    QString chunk;
    auto flush = [&]() {
        if (chunk.isEmpty())
            return;
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + chunk.toUtf8().toBase64() + "?=";
        chunk.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        QString piece(text.at(i));
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            piece += text.at(++i);
        if ((chunk + piece).toUtf8().size() > 45)
            flush();
        chunk += piece;
    }
    flush();
    return out;
}

QByteArray headerText(const QString& text)
{
    const QString line = oneLine(text);
    if (isAscii(line))
        return line.toLatin1();
    return encodedWords(line);
}

QByteArray displayName(const QString& name)
{
    const QString line = oneLine(name);
    if (line.isEmpty())
        return QByteArray();
    if (!isAscii(line))
        return encodedWords(line);
    static const QString specials = QStringLiteral("()<>[]:;@\\,.\"");
    bool plain = true;
    for (QChar c : line) {
        if (specials.contains(c)) {
            plain = false;
            break;
        }
    }
    if (plain)
        return line.toLatin1();
    QByteArray quoted = line.toLatin1();
    quoted.replace('\\', "\\\\");
    quoted.replace('"', "\\\"");
    return '"' + quoted + '"';
}

QByteArray crlf(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text.toUtf8();
}

struct Upload
{
    const QByteArray* data;
    qsizetype offset;
};

size_t readPayload(char* buffer, size_t size, size_t count, void* user)
{
    auto* upload = static_cast<Upload*>(user);
    const qsizetype room = qsizetype(size * count);
    const qsizetype left = upload->data->size() - upload->offset;
    const qsizetype n = qMin(room, left);
    if (n <= 0)
        return 0;
    std::memcpy(buffer, upload->data->constData() + upload->offset, size_t(n));
    upload->offset += n;
    return size_t(n);
}

enum class Failure { None, Connection, Encryption, Authentication, Sending };

Failure classify(CURLcode code)
{
    switch (code) {
    case CURLE_OK:
        return Failure::None;
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
        return Failure::Encryption;
    case CURLE_LOGIN_DENIED:
    case CURLE_AUTH_ERROR:
        return Failure::Authentication;
    case CURLE_SEND_ERROR:
        return Failure::Sending;
    default:
        return Failure::Connection;
    }
}

} // namespace

EmailService* EmailService::instance()
{
    if (!g_instance)
        g_instance = new EmailService;
    return g_instance;
}

void EmailService::destroy()
{
    delete g_instance;
    g_instance = nullptr;
}

EmailService::EmailService()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    m_pool = new QThreadPool(this);
    m_pool->setMaxThreadCount(1); // one transfer at a time, in queue order
    load();
}

EmailService::~EmailService()
{
    m_pool->waitForDone();
}

void EmailService::load()
{
    AppContext* context = AppContext::instance();
    QSettings* settings = context ? context->settings : nullptr;
    if (settings) {
        m_config.enable = settings->value(QStringLiteral("email/enable"), false).toBool();
        m_config.auth = settings->value(QStringLiteral("email/auth"), false).toBool();
        m_config.encrypt = quint8(settings->value(QStringLiteral("email/encrypt"), 0).toUInt());
        m_config.serverPort = settings->value(QStringLiteral("email/serverPort")).toString().toUShort();
        m_config.senderName = settings->value(QStringLiteral("email/senderName")).toString();
        m_config.senderAddr = settings->value(QStringLiteral("email/senderAddr")).toString();
        m_config.serverAddr = settings->value(QStringLiteral("email/serverAddr")).toString();
        m_config.senderAccount = settings->value(QStringLiteral("email/senderAccount")).toString();
        m_config.senderPassword = QString::fromUtf8(
            decryptPassword(settings->value(QStringLiteral("email/senderPassword")).toByteArray()));
        m_config.caFile = settings->value(QStringLiteral("email/caFile")).toString();
    }

    Database* database = Database::instance();
    if (database->hasConnection(QStringLiteral("Global"))) {
        QSqlQuery query(database->getDatabase(QStringLiteral("Global")));
        if (query.exec(QStringLiteral("select address from email_user;"))) {
            while (query.next())
                m_config.receivers.append(query.value(0).toString());
        }
    }
}

QByteArray EmailService::buildContent(const QString& from, const QString& fromAddr, const QStringList& to,
                                      const QString& subject, const QString& body)
{
    const QString host = QHostInfo::localHostName();
    QByteArray text;
    text += "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    QByteArray sender = displayName(from);
    text += "From: " + sender + "<" + oneLine(fromAddr).toUtf8() + ">\r\n";
    QByteArrayList recipients;
    for (const QString& address : to)
        recipients.append(oneLine(address).toUtf8());
    text += "To: " + recipients.join(",\r\n ") + "\r\n";
    text += "Subject: " + headerText(subject) + "\r\n";
    text += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@"
            + (host.isEmpty() ? QByteArray("localhost") : QUrl::toAce(host)) + ">\r\n";
    text += "MIME-Version: 1.0\r\n";
    text += "Content-Type: text/plain; charset=UTF-8\r\n";
    const QByteArray bodyBytes = crlf(body);
    if (isAscii(QString(body).remove(QLatin1Char('\r')).remove(QLatin1Char('\n')))) {
        text += "Content-Transfer-Encoding: 7bit\r\n\r\n";
        text += bodyBytes;
    } else {
        text += "Content-Transfer-Encoding: base64\r\n\r\n";
        const QByteArray encoded = bodyBytes.toBase64();
        for (int i = 0; i < encoded.size(); i += 76)
            text += encoded.mid(i, 76) + "\r\n";
    }
    if (!text.endsWith("\r\n"))
        text += "\r\n";
    return text;
}

void EmailService::send(const QString& subject, const QString& body, bool test)
{
    if (!m_config.enable)
        return;
    if (!test && m_config.receivers.isEmpty())
        return;

    EmailMessage message;
    message.serverAddr = m_config.serverAddr;
    message.serverPort = m_config.serverPort;
    message.encrypt = m_config.encrypt;
    // Handed over whatever "Authentication" says; the server decides
    // whether it asks for them.
    message.account = m_config.senderAccount.toLocal8Bit();
    message.password = m_config.senderPassword.toLocal8Bit();
    message.caFile = m_config.caFile;
    message.senderAddr = m_config.senderAddr;
    message.recipients = test ? QStringList{m_config.senderAddr} : m_config.receivers;

    const QString fullBody = body + QStringLiteral("\r\n")
                             + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                             + tr(" From Upsconsole") + QHostInfo::localHostName();
    message.content = buildContent(m_config.senderName, m_config.senderAddr, message.recipients, subject, fullBody);

    {
        QMutexLocker lock(&m_mutex);
        ++m_pending;
    }
    m_pool->start([this, message]() { transfer(message); });
}

void EmailService::sendTrapMail(const QString& ipv4, const SNMPData& data, const QString& trapText)
{
    if (trapText.isEmpty())
        return;
    const QString body = QStringLiteral("IP: ") + ipv4 + QStringLiteral("\r\n") + tr("System name: ")
                         + QString::fromUtf8(data.sys_name) + QStringLiteral("\r\n") + tr("System contact: ")
                         + QString::fromUtf8(data.sys_contact) + QStringLiteral("\r\n") + tr("System location: ")
                         + QString::fromUtf8(data.sys_location) + QStringLiteral("\r\n") + tr("Information: ")
                         + trapText + QStringLiteral("\r\n");
    send(tr("UPS information"), body, false);
}

int EmailService::pendingCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_pending;
}

void EmailService::waitForIdle()
{
    m_pool->waitForDone();
}

void EmailService::transfer(const EmailMessage& message)
{
    QString error;
    Failure failure = Failure::None;

    CURL* curl = curl_easy_init();
    if (!curl) {
        failure = Failure::Connection;
        error = QStringLiteral("cannot create a transfer");
    } else {
        char errorBuffer[CURL_ERROR_SIZE] = {0};
        QString host = message.serverAddr.trimmed();
        if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
            host = QLatin1Char('[') + host + QLatin1Char(']');
        QString helo = QHostInfo::localHostName();
        if (helo.isEmpty())
            helo = QStringLiteral("localhost");
        const QByteArray url = (message.encrypt == 2 ? QByteArray("smtps://") : QByteArray("smtp://"))
                               + host.toUtf8() + ":" + QByteArray::number(message.serverPort) + "/"
                               + QUrl::toPercentEncoding(helo);
        curl_easy_setopt(curl, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 15L);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, 120L);
        curl_easy_setopt(curl, CURLOPT_USE_SSL, message.encrypt == 1 ? long(CURLUSESSL_ALL) : long(CURLUSESSL_NONE));
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);

        QByteArray caBundle;
        if (!message.caFile.isEmpty()) {
            // The extra certificates come on top of the system's store.
            const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
            const char* systemBundle = info && info->cainfo ? info->cainfo : "/etc/ssl/certs/ca-certificates.crt";
            QFile system(QString::fromLocal8Bit(systemBundle));
            if (system.open(QIODevice::ReadOnly))
                caBundle = system.readAll() + "\n";
            QFile extra(message.caFile);
            if (extra.open(QIODevice::ReadOnly))
                caBundle += extra.readAll();
            else
                qWarning() << "E-mail: cannot read the CA file" << message.caFile;
            curl_blob blob;
            blob.data = caBundle.data();
            blob.len = size_t(caBundle.size());
            blob.flags = CURL_BLOB_COPY;
            curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &blob);
        }

        if (!message.account.isEmpty()) {
            curl_easy_setopt(curl, CURLOPT_USERNAME, message.account.constData());
            curl_easy_setopt(curl, CURLOPT_PASSWORD, message.password.constData());
        }

        const QByteArray from = "<" + message.senderAddr.toUtf8() + ">";
        curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
        curl_slist* recipients = nullptr;
        for (const QString& address : message.recipients) {
            const QString trimmed = oneLine(address).trimmed();
            if (!trimmed.isEmpty())
                recipients = curl_slist_append(recipients, ("<" + trimmed.toUtf8() + ">").constData());
        }
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
        // A refused receiver does not stop the mail to the others.
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT_ALLLOWFAILS, 1L);

        Upload upload{&message.content, 0};
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, readPayload);
        curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);

        CURLcode code = recipients ? curl_easy_perform(curl) : CURLE_SEND_ERROR;
        if (!recipients)
            std::strcpy(errorBuffer, "no recipient");
        failure = classify(code);
        if (failure != Failure::None)
            error = QString::fromLocal8Bit(errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));

        curl_slist_free_all(recipients);
        curl_easy_cleanup(curl);
    }

    const char* slot = nullptr;
    switch (failure) {
    case Failure::None:
        break;
    case Failure::Connection:
        slot = "onConnectionFailed";
        break;
    case Failure::Encryption:
        slot = "onEncryptionFailed";
        break;
    case Failure::Authentication:
        slot = "onAuthenticationFailed";
        break;
    case Failure::Sending:
        slot = "onSendingFailed";
        break;
    }
    if (slot) {
        qWarning().noquote() << "E-mail to" << message.serverAddr << "failed:" << error;
        QMetaObject::invokeMethod(this, slot, Qt::QueuedConnection, Q_ARG(QString, error));
    }
    QMetaObject::invokeMethod(this, "onMailFinished", Qt::QueuedConnection);
}

void EmailService::onConnectionFailed(QString msg)
{
    emit failed(tr("connection failed: ") + msg);
}

void EmailService::onEncryptionFailed(QString msg)
{
    emit failed(tr("encryption failed: ") + msg);
}

void EmailService::onAuthenticationFailed(QString msg)
{
    emit failed(tr("authentication failed: ") + msg);
}

void EmailService::onSendingFailed(QString msg)
{
    emit failed(tr("sending failed: ") + msg);
}

void EmailService::onMailFinished()
{
    int pending;
    {
        QMutexLocker lock(&m_mutex);
        pending = --m_pending;
    }
    if (pending == 0)
        emit finished();
}
