#pragma once

#include <QByteArray>
#include <QFile>
#include <QMutex>
#include <QObject>
#include <QString>

class CommTcp;
class QTimer;

struct BatchTask
{
    QString address;
    int index = -1;
    int mode = 1; // 1 program, 0 read version
    int type = 0;
    QFile file;
    QMutex mutex;
    bool busy = false;
    int status = 0; // 0 not started, 1 in progress, 2 succeeded, 3 failed
    QString version;
    bool oldProtocol = false;
    qint64 done = 0;
    qint64 total = 0;
    int retries = 0;
    quint8 sequence = 0;
    QByteArray lastBlock;
    QTimer* timer = nullptr;
    CommTcp* comm = nullptr;
};

// One worker of a batch run. Lives in its own thread with its own command
// link; takes one card at a time.
class BatchProgrammingThread : public QObject
{
    Q_OBJECT
public:
    explicit BatchProgrammingThread(QObject* parent = nullptr);
    ~BatchProgrammingThread() override;

    // Called by the dialog while the worker is idle.
    void setTask(const QString& address, int index, int mode, int type, const QString& imagePath);
    void setNextDevice(const QString& address, int index);
    QString address();
    int status();
    int mode();
    QString versionText();
    void setBlockTimeout(int ms) { m_blockTimeout = ms; }

signals:
    void programmingStarted(qlonglong bytesTotal);
    void programmingUpdated(qlonglong bytesWritten);
    void finished();

public slots:
    void onTaskStart(int index);

private slots:
    void onTimerTimeout();
    void onNetworkDevConnected();
    void onNetworkDevConnectError(QString error);
    void onNetworkProgramResponse(int cmd, const quint8* data, int size);

private:
    void finish(int status);
    void sendBlock();

    BatchTask m_task;
    int m_blockTimeout = 5000;
};
