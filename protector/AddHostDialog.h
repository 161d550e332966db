#pragma once

#include "SNMPInfo.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QRadioButton;

// Adds a host or edits one, and stores it in snmp_session.
class AddHostDialog : public QDialog
{
    Q_OBJECT
public:
    enum Mode { AddMode, ModifyMode };

    AddHostDialog(Mode mode, const SNMPInfo& info, QWidget* parent = nullptr);

    // For tests.
    QLineEdit* hostEdit() const { return m_host; }
    QLineEdit* portEdit() const { return m_port; }
    QLineEdit* communityEdit() const { return m_community; }
    QRadioButton* v2Button() const { return m_v2; }
    QRadioButton* v3Button() const { return m_v3; }
    QLineEdit* userEdit() const { return m_user; }
    QLineEdit* passwordEdit() const { return m_password; }
    QComboBox* authBox() const { return m_auth; }
    QComboBox* privBox() const { return m_priv; }

signals:
    void hostAdded(SNMPInfo info);
    void hostModified(SNMPInfo infoNew, SNMPInfo infoOld);

public slots:
    void handleSNMPVersionChanged(bool checked);
    // The "Sure" button: validate, store, emit and close.
    void onSure();

private:
    void warn(const QString& text);
    bool hostExists(const QString& ip);

    Mode m_mode;
    SNMPInfo m_old;
    QLineEdit* m_host;
    QLineEdit* m_port;
    QLineEdit* m_community;
    QRadioButton* m_v2;
    QRadioButton* m_v3;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QComboBox* m_auth;
    QComboBox* m_priv;
};
