#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

class QLabel;
class Led;

// The widget of one host list row: the host address and its lamp.
class ListWidgetItem : public QWidget
{
    Q_OBJECT
public:
    explicit ListWidgetItem(const QString& host, QWidget* parent = nullptr);

    void setStatus(int status);
    void setData(const QByteArray& data);
    void setHost(const QString& host);

    QString host() const { return m_host; }
    int status() const { return m_status; }
    bool alarm() const { return m_alarm; }
    QByteArray data() const { return m_data; }
    Led* led() const { return m_led; }

    // The four-line status text of a record.
    static QString statusTip(const QByteArray& data);

protected:
    void changeEvent(QEvent* event) override;

private:
    void refreshTip();

    QString m_host;
    QLabel* m_label;
    Led* m_led;
    int m_status = 0;
    bool m_alarm = false;
    bool m_tipShowsData = false; // the tooltip shows the record, not "Offline"
    QByteArray m_data = QByteArray(4, '\0');
};
