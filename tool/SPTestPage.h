#pragma once

#include <QWidget>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;

struct UI_SPTestPage
{
    QCheckBox* checkBoxRs485 = nullptr;
    QLabel* labelPortName = nullptr;
    QLineEdit* lineEditPortName = nullptr;
    QLabel* labelBaud = nullptr;
    QComboBox* comboBoxBaud = nullptr;
    QLabel* labelDataBits = nullptr;
    QComboBox* comboBoxDataBits = nullptr;
    QLabel* labelFlow = nullptr;
    QComboBox* comboBoxFlow = nullptr;
    QLabel* labelParity = nullptr;
    QComboBox* comboBoxParity = nullptr;
    QLabel* labelStopBits = nullptr;
    QComboBox* comboBoxStopBits = nullptr;
    QPushButton* btnConnect = nullptr;
    QPushButton* btnClear = nullptr;
    QTextEdit* textRecord = nullptr;
    QRadioButton* radioHex = nullptr;
    QRadioButton* radioAscii = nullptr;
    QRadioButton* radioModbus = nullptr;
    QLineEdit* lineEditSend = nullptr;
    QPushButton* btnSend = nullptr;

    void setupUi(QWidget* page);
    void retranslateUi(QWidget* page, bool opened);
};

class SPTestPage : public QWidget
{
    Q_OBJECT
public:
    explicit SPTestPage(QWidget* parent = nullptr);
    UI_SPTestPage* ui() const { return m_ui.get(); }
    bool isOpened() const { return m_opened; }
    int sendType() const { return m_sendType; }

    QByteArray openPayload() const;
    // Hex and Modbus input: blank-separated hex numbers, low 8 bits each.
    static QByteArray parseHex(const QString& text);
    static QString hexText(const QByteArray& bytes);
    // One record entry as HTML.
    static QString recordEntry(bool send, const QString& data, const QString& stamp);

signals:
    void sendCmd(int cmd, QByteArray data);

public slots:
    void handleRespond(int cmd, const quint8* data, int size);

private slots:
    void sendData();
    void clearRecord();
    void openPortEvent();
    void sendTypeChaned();

protected:
    void changeEvent(QEvent* event) override;

private:
    void appendRecord(bool send, const QString& data);

    std::shared_ptr<UI_SPTestPage> m_ui;
    bool m_opened = false;
    int m_sendType = 0;
};
