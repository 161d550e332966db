#pragma once

#include <QWidget>
#include <memory>

class QComboBox;
class QPushButton;
class QTextBrowser;

struct UI_DisplayLogPage
{
    QComboBox* comboBoxLogType = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnRefresh = nullptr;
    QPushButton* btnClear = nullptr;
    QTextBrowser* textBrowser = nullptr;

    void setupUi(QWidget* page);
    void retranslateUi(QWidget* page, bool opened);
};

class DisplayLogPage : public QWidget
{
    Q_OBJECT
public:
    explicit DisplayLogPage(QWidget* parent = nullptr);
    UI_DisplayLogPage* ui() const { return m_ui.get(); }
    bool isOpened() const { return m_opened; }

    // Names of a file list answer: entries of one length byte and the name.
    static QStringList parseFileList(const QByteArray& payload);

signals:
    void sendCmd(int cmd, QByteArray data);

public slots:
    void handleRespond(int cmd, const quint8* data, int size);

private slots:
    void refreshLogType();
    void openLog();
    void clearLog();

protected:
    void changeEvent(QEvent* event) override;

private:
    std::shared_ptr<UI_DisplayLogPage> m_ui;
    bool m_opened = false;
};
