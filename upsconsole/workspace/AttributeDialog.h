#pragma once

#include <QDialog>
#include <QString>
#include <QVector>

class QLabel;
class QGridLayout;

// Shows the stored attributes of a station (kind 0) or of a device (kind 1).
class AttributeDialog : public QDialog
{
    Q_OBJECT
public:
    AttributeDialog(int kind, QWidget* parent = nullptr);

    // Fill the dialog, then run it modally.
    int showStation(int stationId, int substations, int devices);
    int showDevice(const QString& ipv4, const QString& stationName);

    // Value shown in row `row` (for tests and screenshots).
    QString valueText(int row) const;
    QString captionText(int row) const;
    int rowCount() const { return m_values.size(); }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void fillStation(int stationId, int substations, int devices);
    void fillDevice(const QString& ipv4, const QString& stationName);

    int m_kind;
    QVector<QLabel*> m_captions;
    QVector<QLabel*> m_values;
    bool m_threePhase = false;
};
