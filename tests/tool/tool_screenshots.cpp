// Pictures of the tool for the documentation, taken against simulated cards
// on loopback (not a test; run by hand):
//   tool_screenshots <output directory>
#include "BatchProgrammingDialog.h"
#include "CardServiceHost.h"
#include "DevSereachPage.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "ProgrammingPage.h"
#include "SPTestPage.h"
#include "ToolStartup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {
bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(10);
    return done();
}

void save(QWidget* w, const QString& path)
{
    QCoreApplication::processEvents();
    if (!w->grab().save(path))
        qWarning("cannot save %s", qPrintable(path));
    else
        qInfo("%s", qPrintable(path));
}
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(out);
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    ToolStartup::applyStyle(app);
    MessageBox::setNextAnswer(0);

    QList<QHostAddress> cards;
    for (int i = 0; i < 6; ++i)
        cards << QHostAddress(QStringLiteral("127.0.23.%1").arg(90 + i));
    CardServiceHost host;
    CardServiceHost::Options o;
    o.blockDelayMs = 3;
    o.installDelayMs = 300;
    o.serialMode = QStringLiteral("modbus");
    QString error;
    if (!host.start(o, cards, &error))
        qFatal("%s", qPrintable(error));

    MainWindow window;
    window.resize(900, 600);
    window.show();

    // Discovery page with the cards found on loopback.
    window.ui()->listWidget->setCurrentRow(5);
    DevSereachPage* search = window.devSearchPage();
    QNetworkInterface lo;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
        if (i.flags() & QNetworkInterface::IsLoopBack)
            lo = i;
    search->startSearch(lo);
    waitFor([&] {
        int own = 0;
        for (int i = 0; i < search->tree()->topLevelItemCount(); ++i)
            own += search->tree()->topLevelItem(i)->text(0).startsWith("127.0.23.9");
        return own == cards.size();
    }, 5000);
    for (int i = search->tree()->topLevelItemCount() - 1; i >= 0; --i)
        if (!search->tree()->topLevelItem(i)->text(0).startsWith("127.0.23.9"))
            delete search->tree()->takeTopLevelItem(i);
    search->tree()->sortItems(0, Qt::AscendingOrder);
    search->tree()->expandItem(search->tree()->topLevelItem(0));
    search->tree()->expandItem(search->tree()->topLevelItem(1));
    search->interfaceBox()->addItem(QStringLiteral("eth0"));
    for (int c = 0; c < 5; ++c)
        search->tree()->resizeColumnToContents(c);
    save(&window, out + "/tool-discovery.png");

    // Programming page in the middle of an upload.
    window.ui()->lineEditIp->setText(cards[0].toString());
    window.ui()->btnConnect->click();
    window.ui()->listWidget->setCurrentRow(0);
    ProgrammingPage* prog = window.programmingPage();
    QFile image(work.filePath("ups-card-fw-1.3.2.bin"));
    image.open(QIODevice::WriteOnly);
    image.write(QByteArray(300 * 1024, '\x5a'));
    image.close();
    prog->ui()->comboBoxType->setCurrentIndex(1);
    prog->ui()->btnRead->click();
    waitFor([&] { return !prog->ui()->labelVersion->text().isEmpty(); }, 3000);
    prog->ui()->lineEditFile->setText(image.fileName());
    prog->ui()->btnProgramming->click();
    waitFor([&] { return prog->state().done > prog->state().total * 37 / 100 && prog->state().total > 0; }, 20000);
    save(&window, out + "/tool-programming.png");
    waitFor([&] { return !prog->state().busy; }, 30000);

    // Serial port test page: a Modbus request and the card's answer.
    window.ui()->listWidget->setCurrentRow(4);
    SPTestPage* sp = window.spTestPage();
    sp->ui()->checkBoxRs485->setChecked(true);
    sp->ui()->lineEditPortName->setText(QStringLiteral("ttyS1"));
    sp->ui()->comboBoxBaud->setCurrentIndex(7);
    sp->ui()->btnConnect->click();
    waitFor([&] { return sp->isOpened(); }, 3000);
    sp->ui()->radioModbus->setChecked(true);
    sp->ui()->lineEditSend->setText(QStringLiteral("01 03 00 00 00 0A"));
    sp->ui()->btnSend->click();
    waitFor([&] { return sp->ui()->textRecord->toPlainText().contains("Receive"); }, 3000);
    sp->ui()->lineEditSend->setText(QStringLiteral("01 03 00 10 00 02"));
    sp->ui()->btnSend->click();
    waitFor([&] { return sp->ui()->textRecord->toPlainText().count("Receive") == 2; }, 3000);
    save(&window, out + "/tool-serial.png");

    // Batch dialog: versions read, then programming under way.
    BatchProgrammingDialog* batch = prog->batchDialog();
    for (const QHostAddress& a : cards)
        batch->addDevice(a.toString());
    batch->addDevice(QStringLiteral("127.0.23.99")); // nobody answers there
    batch->show();
    batch->onBtnRefreshClicked();
    waitFor([&] { return batch->table()->item(6, 3)->text() == "Failed"; }, 5000);
    waitFor([&] { return batch->table()->item(5, 3)->text() == "Succeeded"; }, 5000);
    batch->typeBox()->setCurrentIndex(1);
    batch->fileEdit()->setText(image.fileName());
    batch->onBtnProgramClicked();
    waitFor([&] {
        auto* bar = qobject_cast<QProgressBar*>(batch->table()->cellWidget(0, 2));
        return bar && bar->value() > bar->maximum() / 2 && bar->maximum() > 100;
    }, 20000);
    save(batch, out + "/tool-batch.png");
    return 0;
}
