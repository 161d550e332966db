#pragma once

#include <QString>

// Asks the operating system to power the computer off at once.
class PowerOff
{
public:
    virtual ~PowerOff() = default;
    // Returns true when the request was accepted.
    virtual bool powerOff() = 0;
    virtual QString name() const = 0;
};

// logind's PowerOff over the system D-Bus; where that is not available,
// "systemctl poweroff".
class SystemPowerOff : public PowerOff
{
public:
    bool powerOff() override;
    QString name() const override { return QStringLiteral("system"); }
};

// Only logs the request (started with --dry-run-poweroff).
class DryRunPowerOff : public PowerOff
{
public:
    bool powerOff() override;
    QString name() const override { return QStringLiteral("dry-run"); }
    int requests() const { return m_requests; }

private:
    int m_requests = 0;
};
