#include "BatchProgrammingThread.h"

#include "CardFrame.h"
#include "CommTcp.h"
#include "ProgramVersion.h"

#include <QTimer>

BatchProgrammingThread::BatchProgrammingThread(QObject* parent) : QObject(parent) {}

BatchProgrammingThread::~BatchProgrammingThread() = default;

void BatchProgrammingThread::setTask(const QString& address, int index, int mode, int type, const QString& imagePath)
{
    QMutexLocker lock(&m_task.mutex);
    m_task.address = address;
    m_task.index = index;
    m_task.mode = mode;
    m_task.type = type;
    if (m_task.file.isOpen() && m_task.file.fileName() != imagePath)
        m_task.file.close();
    m_task.file.setFileName(imagePath);
}

void BatchProgrammingThread::setNextDevice(const QString& address, int index)
{
    QMutexLocker lock(&m_task.mutex);
    m_task.address = address;
    m_task.index = index;
}

QString BatchProgrammingThread::address()
{
    QMutexLocker lock(&m_task.mutex);
    return m_task.address;
}

int BatchProgrammingThread::status()
{
    QMutexLocker lock(&m_task.mutex);
    return m_task.status;
}

int BatchProgrammingThread::mode()
{
    QMutexLocker lock(&m_task.mutex);
    return m_task.mode;
}

QString BatchProgrammingThread::versionText()
{
    QMutexLocker lock(&m_task.mutex);
    return m_task.version;
}

void BatchProgrammingThread::onTaskStart(int index)
{
    QString address;
    {
        QMutexLocker lock(&m_task.mutex);
        if (index != m_task.index || m_task.busy)
            return;
        m_task.status = 1;
        m_task.busy = true;
        address = m_task.address;
    }
    if (!m_task.timer) {
        m_task.timer = new QTimer(this);
        connect(m_task.timer, &QTimer::timeout, this, &BatchProgrammingThread::onTimerTimeout);
        m_task.comm = new CommTcp(this);
        m_task.comm->setInteractive(false);
        connect(m_task.comm, &CommTcp::connectedToDevice, this, &BatchProgrammingThread::onNetworkDevConnected);
        connect(m_task.comm, &CommTcp::connectionError, this, &BatchProgrammingThread::onNetworkDevConnectError);
        connect(m_task.comm, &CommTcp::gotProgRespond, this, &BatchProgrammingThread::onNetworkProgramResponse);
        // A card that drops the connection fails its task at once.
        connect(m_task.comm, &CommTcp::disconnected, this, [this] {
            if (m_task.busy)
                finish(3);
        });
    }
    m_task.timer->setInterval(m_blockTimeout);
    m_task.comm->connectDevice(address);
}

void BatchProgrammingThread::finish(int status)
{
    {
        QMutexLocker lock(&m_task.mutex);
        if (m_task.busy) {
            m_task.busy = false;
            m_task.timer->stop();
        }
        m_task.status = status;
    }
    if (m_task.comm)
        m_task.comm->disconnectDevice();
    emit finished();
}

void BatchProgrammingThread::onNetworkDevConnected()
{
    const int type = m_task.mode == 1 ? 1 : m_task.type;
    m_task.comm->send(CardCmd::ReadVersion, QByteArray(1, char(type)));
}

void BatchProgrammingThread::onNetworkDevConnectError(QString)
{
    finish(3);
}

void BatchProgrammingThread::sendBlock()
{
    BatchTask& t = m_task;
    QByteArray block = t.file.read(qMin<qint64>(1024, t.total - t.done));
    if (block.isEmpty())
        return;
    if (!t.oldProtocol) {
        const int imageBytes = block.size();
        block.prepend(char(t.sequence));
        t.sequence = quint8(t.sequence + 1);
        t.lastBlock = block;
        t.done += imageBytes;
    } else {
        t.done += block.size();
    }
    t.comm->send(CardCmd::ProgramBlock, block);
    if (t.done < t.total)
        t.timer->start();
    else
        t.timer->stop();
}

void BatchProgrammingThread::onNetworkProgramResponse(int cmd, const quint8* data, int size)
{
    BatchTask& t = m_task;
    if (!t.busy)
        return;
    const QByteArray payload(reinterpret_cast<const char*>(data), size);
    switch (cmd) {
    case CardCmd::ReadVersion: {
        int blank = payload.indexOf(' ', 1);
        {
            QMutexLocker lock(&t.mutex);
            t.version = QString::fromUtf8(blank > 0 ? payload.left(blank) : payload);
        }
        if (t.mode == 0) {
            finish(2);
            return;
        }
        t.oldProtocol = ProgramVersion::isOldProtocol(payload);
        if (t.file.isOpen()) {
            t.file.seek(0);
        } else if (!t.file.open(QIODevice::ReadOnly)) {
            finish(3);
            return;
        }
        t.sequence = 0;
        t.retries = 0;
        t.done = 0;
        t.total = t.file.size();
        QByteArray start(1, char(t.type));
        const quint32 total = quint32(t.total);
        start.append(char(total >> 24)).append(char(total >> 16)).append(char(total >> 8)).append(char(total));
        t.comm->send(CardCmd::ProgramStart, start);
        return;
    }
    case CardCmd::ProgramStart:
        if (size > 0 && data[0] != 0) {
            emit programmingStarted(t.total);
            sendBlock();
        } else {
            finish(3);
        }
        return;
    case CardCmd::ProgramBlock:
        if (size > 0 && data[0] != 0) {
            t.retries = 0;
            emit programmingUpdated(t.done);
            sendBlock();
        } else {
            finish(3);
        }
        return;
    case CardCmd::ProgramFinished:
        emit programmingUpdated(t.done);
        finish(2);
        return;
    default:
        return;
    }
}

void BatchProgrammingThread::onTimerTimeout()
{
    BatchTask& t = m_task;
    if (!t.busy) {
        t.timer->stop();
        return;
    }
    if (!t.oldProtocol && t.retries < 3) {
        ++t.retries;
        t.comm->send(CardCmd::ProgramBlock, t.lastBlock);
        return;
    }
    finish(3);
}
