#pragma once

#include <QFile>
#include <QTimer>
#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class BatchProgrammingDialog;

struct UI_ProgrammingPage
{
    QLabel* labelType = nullptr;
    QComboBox* comboBoxType = nullptr;
    QPushButton* btnBackup = nullptr;
    QLabel* labelVersionTitle = nullptr;
    QLabel* labelVersion = nullptr;
    QPushButton* btnRead = nullptr;
    QLabel* labelFile = nullptr;
    QLineEdit* lineEditFile = nullptr;
    QPushButton* btnChoose = nullptr;
    QPushButton* btnProgramming = nullptr;
    QPushButton* btnBatch = nullptr;
    QLabel* labelProgress = nullptr;
    QProgressBar* progressBar = nullptr;
    QLabel* labelStatus = nullptr;

    void setupUi(QWidget* page);
    void retranslateUi(QWidget* page);
};

struct ProgrammingState
{
    QTimer timer;
    QFile file;
    QString backupPath;
    BatchProgrammingDialog* batchDialog = nullptr;
    bool retranslating = false;
    bool oldProtocol = false;
    bool busy = false;
    qint64 done = 0;
    qint64 total = 0;
    int retries = 0;
    quint8 sequence = 0;
    QByteArray lastBlock;
    bool backingUp = false;
    // Version requests sent and not yet answered, and how many of those
    // answers still precede the upload's own firmware version check.
    int versionRequests = 0;
    int versionAnswersToSkip = 0;
};

class ProgrammingPage : public QWidget
{
    Q_OBJECT
public:
    explicit ProgrammingPage(QWidget* parent = nullptr);
    ~ProgrammingPage() override;

    UI_ProgrammingPage* ui() const { return m_ui.get(); }
    const ProgrammingState& state() const { return *m_state; }
    BatchProgrammingDialog* batchDialog() const { return m_state->batchDialog; }
    // The block time-out (10 s); tests shorten it.
    void setBlockTimeout(int ms) { m_state->timer.setInterval(ms); }

signals:
    void sendCmd(int cmd, QByteArray data);

public slots:
    void handleRespond(int cmd, const quint8* data, int size);
    void handleError();

private slots:
    void chooseProgrammingFile();
    void programmingSlot();
    void readVersionSlot();
    void backupSlot();
    void progTypeChanged(int index);
    void programmingTimeout();

protected:
    void changeEvent(QEvent* event) override;

private:
    void reset();
    void sendBlock();
    void updateProgress(qint64 value);
    void failBackup();

    std::shared_ptr<UI_ProgrammingPage> m_ui;
    std::unique_ptr<ProgrammingState> m_state;
};
