#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// Every message box of the suite goes through here, so that tests can answer
// a box before it is shown and read what it said.
//
// Tests queue answers with setNextAnswer(); a box with a queued answer is not
// shown and returns the answer at once. A process started with the
// environment variable UPS_MESSAGEBOX_AUTO set (to a button index or a
// QMessageBox::StandardButton value) never shows a box either: it prints
// "MessageBox: <title>: <text>" to stderr and returns that value. Child
// processes of tests use this.
class MessageBox
{
public:
    enum Icon { NoIcon, Information, Warning, Critical, Question };

    struct Shown
    {
        Icon icon;
        QString title;
        QString text;
    };

    // Button-text form: up to three buttons with custom texts; returns the
    // index of the chosen button (0, 1 or 2), or escapeButton on Escape.
    static int show(Icon icon, QWidget* parent, const QString& title, const QString& text,
                    const QString& button0, const QString& button1 = QString(),
                    const QString& button2 = QString(), int defaultButton = 0, int escapeButton = -1);

    // Standard-button form.
    static QMessageBox::StandardButton show(Icon icon, QWidget* parent, const QString& title,
                                            const QString& text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    static int warning(QWidget* parent, const QString& title, const QString& text, const QString& button0,
                       const QString& button1 = QString(), const QString& button2 = QString(),
                       int defaultButton = 0, int escapeButton = -1)
    {
        return show(Warning, parent, title, text, button0, button1, button2, defaultButton, escapeButton);
    }
    static int information(QWidget* parent, const QString& title, const QString& text, const QString& button0,
                           const QString& button1 = QString(), const QString& button2 = QString(),
                           int defaultButton = 0, int escapeButton = -1)
    {
        return show(Information, parent, title, text, button0, button1, button2, defaultButton, escapeButton);
    }
    static int question(QWidget* parent, const QString& title, const QString& text, const QString& button0,
                        const QString& button1 = QString(), const QString& button2 = QString(),
                        int defaultButton = 0, int escapeButton = -1)
    {
        return show(Question, parent, title, text, button0, button1, button2, defaultButton, escapeButton);
    }
    static int critical(QWidget* parent, const QString& title, const QString& text, const QString& button0,
                        const QString& button1 = QString(), const QString& button2 = QString(),
                        int defaultButton = 0, int escapeButton = -1)
    {
        return show(Critical, parent, title, text, button0, button1, button2, defaultButton, escapeButton);
    }

    // Test hooks.
    static void setNextAnswer(int answer);
    static void clearAnswers();
    static int pendingAnswers();
    static QList<Shown> shown();
    static Shown lastShown();
    static void clearShown();

private:
    static bool takeAnswer(Icon icon, const QString& title, const QString& text, int* answer);
};
