// Upload benchmarks against simulated cards on loopback (127.0.23.x).
//
//  1. A 4 MiB image to one card through ProgrammingPage and CommTcp, beside
//     the bound of the same stop-and-wait exchange (1024-byte blocks, one
//     acknowledgement each) measured by a minimal blocking client.
//  2. Batch programming of 32 cards: one worker (32 uploads one after
//     another) against several workers.
//
// The simulated cards run in a thread of their own.
#include "BatchProgrammingDialog.h"
#include "CardFrame.h"
#include "CardServiceHost.h"
#include "CommTcp.h"
#include "MessageBox.h"
#include "ProgrammingPage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <cstdio>

namespace {

QString writeImage(const QTemporaryDir& dir, const QString& name, int size)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char(i * 7);
    f.write(data);
    return path;
}

// Starts the cards in their own thread and returns the host living there.
CardServiceHost* startCards(QThread* thread, const QList<QHostAddress>& cards, int blockDelayMs = 0)
{
    auto* host = new CardServiceHost;
    CardServiceHost::Options o;
    o.udpDiscovery = false;
    o.installDelayMs = 0;
    o.blockDelayMs = blockDelayMs;
    QString error;
    if (!host->start(o, cards, &error)) {
        std::fprintf(stderr, "cannot start cards: %s\n", qPrintable(error));
        std::exit(1);
    }
    host->moveToThread(thread); // with its servers and sockets
    thread->start();
    return host;
}

// Runs the event loop (sleeping in it, not spinning) until done() holds.
void waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    check.setInterval(2);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start();
    if (!done())
        loop.exec();
}

// Waits for the next frame; frames arriving together are queued.
using FrameQueue = QList<QPair<quint16, QByteArray>>;
bool readFrame(QTcpSocket& s, CardFrame::Parser& parser, FrameQueue& queue, quint16* cmd, QByteArray* payload)
{
    while (queue.isEmpty()) {
        if (!s.waitForReadyRead(5000))
            return false;
        parser.feed(s.readAll(), [&](quint16 c, const quint8* p, int n) {
            queue.append(qMakePair(c, QByteArray(reinterpret_cast<const char*>(p), n)));
        });
    }
    const auto frame = queue.takeFirst();
    *cmd = frame.first;
    *payload = frame.second;
    return true;
}

// Minimal stop-and-wait client: the bound for one acknowledged block at a time.
double minimalClientSeconds(const QString& ip, const QByteArray& image)
{
    QTcpSocket s;
    s.connectToHost(ip, 8712);
    if (!s.waitForConnected(1000)) {
        std::fprintf(stderr, "minimal client: %s\n", qPrintable(s.errorString()));
        return -1;
    }
    CardFrame::Parser parser(70000);
    FrameQueue queue;
    quint16 cmd = 0;
    QByteArray payload;
    QElapsedTimer t;
    t.start();
    QByteArray start(1, '\x01');
    const quint32 size = quint32(image.size());
    start.append(char(size >> 24)).append(char(size >> 16)).append(char(size >> 8)).append(char(size));
    s.write(CardFrame::build(CardCmd::ProgramStart, start));
    if (!readFrame(s, parser, queue, &cmd, &payload))
        return -1;
    quint8 seq = 0;
    for (int pos = 0; pos < image.size(); pos += 1024) {
        QByteArray block = image.mid(pos, 1024);
        block.prepend(char(seq++));
        s.write(CardFrame::build(CardCmd::ProgramBlock, block));
        do {
            if (!readFrame(s, parser, queue, &cmd, &payload)) {
                std::fprintf(stderr, "minimal client: no answer to block %d\n", pos / 1024);
                return -1;
            }
        } while (cmd != CardCmd::ProgramBlock);
    }
    const double secs = t.nsecsElapsed() / 1e9;
    s.waitForReadyRead(200); // the notices that follow the last block
    s.readAll();
    return secs;
}

double toolUploadSeconds(const QString& ip, const QString& imagePath)
{
    CommTcp comm;
    comm.setInteractive(false);
    ProgrammingPage page;
    QObject::connect(&page, &ProgrammingPage::sendCmd, &comm, static_cast<void (CommTcp::*)(int, QByteArray)>(&CommTcp::send));
    QObject::connect(&comm, &CommTcp::gotProgRespond, &page, &ProgrammingPage::handleRespond);
    comm.connectDevice(ip);
    if (!comm.isOpen())
        return -1;
    page.ui()->lineEditFile->setText(imagePath);
    MessageBox::clearShown();
    MessageBox::setNextAnswer(0);
    QElapsedTimer t;
    t.start();
    page.ui()->btnProgramming->click();
    // Ends with the card's finished notice ("Programming finish!").
    waitUntil([] { return !MessageBox::shown().isEmpty(); }, 120000);
    if (MessageBox::lastShown().text != QLatin1String("Programming finish!"))
        std::fprintf(stderr, "upload ended with: %s\n", qPrintable(MessageBox::lastShown().text));
    return t.nsecsElapsed() / 1e9;
}

double batchSeconds(int workers, const QList<QHostAddress>& cards, const QString& imagePath)
{
    BatchProgrammingDialog dialog(nullptr, workers);
    for (const QHostAddress& a : cards)
        dialog.addDevice(a.toString());
    dialog.fileEdit()->setText(imagePath);
    QElapsedTimer t;
    t.start();
    dialog.onBtnProgramClicked();
    auto allDone = [&] {
        for (int row = 0; row < dialog.table()->rowCount(); ++row) {
            const QString s = dialog.table()->item(row, 3)->text();
            if (s != "Succeeded" && s != "Failed")
                return false;
        }
        return true;
    };
    waitUntil(allDone, 300000);
    const double secs = t.nsecsElapsed() / 1e9;
    for (int row = 0; row < dialog.table()->rowCount(); ++row)
        if (dialog.table()->item(row, 3)->text() != "Succeeded")
            std::fprintf(stderr, "row %d: %s\n", row, qPrintable(dialog.table()->item(row, 3)->text()));
    return secs;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QList<QHostAddress> cards;
    for (int i = 0; i < 32; ++i)
        cards << QHostAddress(QStringLiteral("127.0.23.%1").arg(100 + i));
    // The cards are served by four threads of eight cards each, so that the
    // simulator is not the one thread every worker waits for.
    QList<QThread*> cardThreads;
    QList<CardServiceHost*> hosts;
    for (int h = 0; h < 4; ++h) {
        cardThreads << new QThread;
        hosts << startCards(cardThreads.last(), cards.mid(h * 8, 8));
    }
    // A second fleet whose cards take 1 ms to store each block, as flash
    // memory does: the batch's parallelism then shows beside the processors.
    QList<QHostAddress> slowCards;
    for (int i = 0; i < 32; ++i)
        slowCards << QHostAddress(QStringLiteral("127.0.23.%1").arg(140 + i));
    cardThreads << new QThread;
    hosts << startCards(cardThreads.last(), slowCards, 1);

    const int mib4 = 4 * 1024 * 1024;
    const QString big = writeImage(dir, "big.bin", mib4);
    QFile f(big);
    f.open(QIODevice::ReadOnly);
    const QByteArray image = f.readAll();

    std::printf("Upload of a 4 MiB image to one simulated card over loopback\n");
    std::printf("%-34s %10s %12s\n", "client", "seconds", "MiB/s");
    const int runs = 3;
    double bound = 1e9, tool = 1e9;
    for (int r = 0; r < runs; ++r) {
        bound = qMin(bound, minimalClientSeconds(cards[0].toString(), image));
        tool = qMin(tool, toolUploadSeconds(cards[0].toString(), big));
    }
    std::printf("%-34s %10.3f %12.2f\n", "minimal stop-and-wait client", bound, 4.0 / bound);
    std::printf("%-34s %10.3f %12.2f\n", "ProgrammingPage + CommTcp", tool, 4.0 / tool);
    std::printf("tool / bound throughput: %.0f%% (goal: at least 50%%)\n\n", 100.0 * bound / tool);

    const QString small = writeImage(dir, "card.bin", 256 * 1024);
    std::printf("Batch programming of 32 simulated cards, 256 KiB each\n");
    std::printf("%-10s %10s %10s %14s\n", "workers", "seconds", "speed-up", "ideal");
    const double one = batchSeconds(1, cards, small);
    std::printf("%-10d %10.3f %10.2f %14s\n", 1, one, 1.0, "1.00");
    for (int w : {2, 4, 8}) {
        const double secs = batchSeconds(w, cards, small);
        std::printf("%-10d %10.3f %10.2f %14.2f\n", w, secs, one / secs, double(w));
    }
    const QString slowImage = writeImage(dir, "slow.bin", 64 * 1024);
    std::printf("\nBatch programming of 32 simulated cards that store a block in 1 ms, 64 KiB each\n");
    std::printf("%-10s %10s %10s %14s\n", "workers", "seconds", "speed-up", "ideal");
    const double slowOne = batchSeconds(1, slowCards, slowImage);
    std::printf("%-10d %10.3f %10.2f %14s\n", 1, slowOne, 1.0, "1.00");
    for (int w : {2, 4, 8}) {
        const double secs = batchSeconds(w, slowCards, slowImage);
        std::printf("%-10d %10.3f %10.2f %14.2f\n", w, secs, slowOne / secs, double(w));
    }
    std::printf("(QThread::idealThreadCount() = %d: the dialog's default worker count; the simulated cards\n"
                " share the same processors as the tool)\n", QThread::idealThreadCount());

    for (int h = 0; h < hosts.size(); ++h) {
        CardServiceHost* host = hosts[h];
        QMetaObject::invokeMethod(host, [host] { delete host; }, Qt::BlockingQueuedConnection);
        cardThreads[h]->quit();
        cardThreads[h]->wait();
        delete cardThreads[h];
    }
    return 0;
}
