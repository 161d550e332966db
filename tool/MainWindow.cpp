#include "MainWindow.h"

#include "DevSereachPage.h"
#include "DisplayLogPage.h"
#include "FixedParamPage.h"
#include "Ipv4Pattern.h"
#include "MessageBox.h"
#include "ProgrammingPage.h"
#include "SPTestPage.h"
#include "SettingsPage.h"
#include "ToolSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRegExpValidator>
#include <QResizeEvent>
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStringListModel>
#include <QTranslator>
#include <QVBoxLayout>

std::function<QFont(bool*, const QFont&, QWidget*)> MainWindow::fontPicker =
    [](bool* ok, const QFont& initial, QWidget* parent) { return QFontDialog::getFont(ok, initial, parent, QString()); };

void UI_MainWindow::setupUi(QMainWindow* window)
{
    central = new QWidget(window);
    auto* vbox = new QVBoxLayout(central);
    auto* bar = new QHBoxLayout;
    labelIp = new QLabel(central);
    lineEditIp = new QLineEdit(central);
    lineEditIp->setObjectName(QStringLiteral("lineEditIp"));
    btnConnect = new QPushButton(central);
    btnConnect->setObjectName(QStringLiteral("btnConnect"));
    btnClearHistory = new QPushButton(central);
    btnClearHistory->setObjectName(QStringLiteral("btnClearHistory"));
    bar->addStretch();
    bar->addWidget(labelIp);
    bar->addWidget(lineEditIp);
    bar->addWidget(btnConnect);
    bar->addWidget(btnClearHistory);
    bar->addStretch();
    vbox->addLayout(bar);
    auto* splitter = new QSplitter(Qt::Horizontal, central);
    listWidget = new QListWidget(splitter);
    for (int i = 0; i < 6; ++i)
        listWidget->addItem(QString());
    stackWidget = new QStackedWidget(splitter);
    stackWidget->setObjectName(QStringLiteral("stackWidget"));
    splitter->addWidget(listWidget);
    splitter->addWidget(stackWidget);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 7);
    vbox->addWidget(splitter);
    window->setCentralWidget(central);

    labelStatus = new QLabel(window);
    labelStatus->setTextFormat(Qt::RichText);
    window->statusBar()->addWidget(labelStatus);

    menuTool = window->menuBar()->addMenu(QString());
    actionReboot = menuTool->addAction(QString());
    menuWindow = window->menuBar()->addMenu(QString());
    actionFont = menuWindow->addAction(QString());
    menuLanguage = menuWindow->addMenu(QString());
    actionEnglish = menuLanguage->addAction(QString());
    actionEnglish->setCheckable(true);
    actionChinese = menuLanguage->addAction(QString());
    actionChinese->setCheckable(true);
    menuHelp = window->menuBar()->addMenu(QString());
    actionAbout = menuHelp->addAction(QString());
    retranslateUi(window);
}

void UI_MainWindow::retranslateUi(QMainWindow* window)
{
    window->setWindowTitle(MainWindow::tr("Upsprobe"));
    menuTool->setTitle(MainWindow::tr("Tool"));
    actionReboot->setText(MainWindow::tr("Reboot Device"));
    menuWindow->setTitle(MainWindow::tr("Window"));
    actionFont->setText(MainWindow::tr("Font"));
    menuLanguage->setTitle(MainWindow::tr("Language"));
    actionEnglish->setText(MainWindow::tr("English"));
    actionChinese->setText(MainWindow::tr("Chinese"));
    menuHelp->setTitle(MainWindow::tr("Help"));
    actionAbout->setText(MainWindow::tr("About"));
    const QStringList items{MainWindow::tr("Programming"), MainWindow::tr("Settings"), MainWindow::tr("Fixed Parameters"),
                            MainWindow::tr("Display Log"), MainWindow::tr("Serial Port Test"), MainWindow::tr("Device Search")};
    for (int i = 0; i < items.size(); ++i)
        listWidget->item(i)->setText(items[i]);
    labelIp->setText(MainWindow::tr("Device IP:"));
    btnClearHistory->setText(MainWindow::tr("Clear history"));
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), m_ui(std::make_shared<UI_MainWindow>()), m_comm(this)
{
    m_ui->setupUi(this);
    resize(800, 600);

    m_programming = new ProgrammingPage(m_ui->stackWidget);
    m_settings = new SettingsPage(m_ui->stackWidget);
    m_fixedParam = new FixedParamPage(m_ui->stackWidget);
    m_displayLog = new DisplayLogPage(m_ui->stackWidget);
    m_spTest = new SPTestPage(m_ui->stackWidget);
    m_devSearch = new DevSereachPage(m_ui->stackWidget);
    m_ui->stackWidget->addWidget(m_programming);
    m_ui->stackWidget->addWidget(m_settings);
    m_ui->stackWidget->addWidget(m_fixedParam);
    m_ui->stackWidget->addWidget(m_displayLog);
    m_ui->stackWidget->addWidget(m_spTest);
    m_ui->stackWidget->addWidget(m_devSearch);

    m_ui->lineEditIp->setValidator(new QRegExpValidator(QRegExp(QString::fromLatin1(Ipv4Pattern::kPattern)), this));
    m_model = new QStringListModel(this);
    m_completer = new QCompleter(this);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_ui->lineEditIp->setCompleter(m_completer);
    loadHistory();
    updateConnectionTexts();

    m_languageGroup = new QActionGroup(this);
    m_languageGroup->addAction(m_ui->actionEnglish);
    m_languageGroup->addAction(m_ui->actionChinese);
    m_languageGroup->setExclusive(true);
    m_ui->actionEnglish->setChecked(true);

    connect(m_ui->actionReboot, &QAction::triggered, this, &MainWindow::rebootDevice);
    connect(m_ui->actionFont, &QAction::triggered, this, &MainWindow::setAPPFont);
    connect(m_ui->actionEnglish, &QAction::triggered, this, &MainWindow::changeLanguage);
    connect(m_ui->actionChinese, &QAction::triggered, this, &MainWindow::changeLanguage);
    connect(m_ui->actionAbout, &QAction::triggered, this, &MainWindow::showAbout);
    connect(m_ui->btnConnect, &QPushButton::clicked, this, &MainWindow::connectEvent);
    connect(m_ui->btnClearHistory, &QPushButton::clicked, this, &MainWindow::clearHistory);
    connect(m_ui->listWidget, &QListWidget::currentRowChanged, m_ui->stackWidget, &QStackedWidget::setCurrentIndex);
    connect(&m_comm, &CommTcp::connectedToDevice, this, &MainWindow::connectedToDevice);
    connect(&m_comm, &CommTcp::connectionError, this, &MainWindow::connectionError);
    connect(&m_comm, &CommTcp::disconnected, this, &MainWindow::disconnectedFromDeivce);

    connect(&m_comm, &CommTcp::gotProgRespond, m_programming, &ProgrammingPage::handleRespond);
    connect(&m_comm, &CommTcp::disconnected, m_programming, &ProgrammingPage::handleError);
    connect(&m_comm, &CommTcp::sendError, m_programming, &ProgrammingPage::handleError);
    connect(&m_comm, &CommTcp::gotSettingsRespond, m_settings, &SettingsPage::handleRespond);
    connect(&m_comm, &CommTcp::gotLogRespond, m_displayLog, &DisplayLogPage::handleRespond);
    connect(&m_comm, &CommTcp::gotSPTestRespond, m_spTest, &SPTestPage::handleRespond);
    connect(&m_comm, &CommTcp::gotFixedParamRespond, m_fixedParam, &FixedParamPage::handleRespond);
    auto sendSlot = static_cast<void (CommTcp::*)(int, QByteArray)>(&CommTcp::send);
    connect(m_programming, &ProgrammingPage::sendCmd, &m_comm, sendSlot);
    connect(m_settings, &SettingsPage::sendCmd, &m_comm, sendSlot);
    connect(m_fixedParam, &FixedParamPage::sendCmd, &m_comm, sendSlot);
    connect(m_displayLog, &DisplayLogPage::sendCmd, &m_comm, sendSlot);
    connect(m_spTest, &SPTestPage::sendCmd, &m_comm, sendSlot);

    applyStoredSettings();
}

MainWindow::~MainWindow() = default;

void MainWindow::applyStoredSettings()
{
    QSettings settings(ToolSettings::settingsPath(), QSettings::IniFormat);
    if (settings.childGroups().contains(QStringLiteral("Font"))) {
        QFont font;
        font.setPointSize(settings.value(QStringLiteral("Font/size")).toInt());
        font.setFamily(settings.value(QStringLiteral("Font/family")).toString());
        font.setWeight(settings.value(QStringLiteral("Font/bold")).toBool() ? QFont::Bold : QFont::Normal);
        font.setItalic(settings.value(QStringLiteral("Font/italic")).toBool());
        QApplication::setFont(font);
    }
    if (settings.childGroups().contains(QStringLiteral("screen")))
        resize(settings.value(QStringLiteral("screen/width")).toInt(), settings.value(QStringLiteral("screen/height")).toInt());
}

void MainWindow::setTranslator(QTranslator* translator, bool chinese)
{
    m_translator = translator;
    if (chinese)
        m_ui->actionChinese->setChecked(true);
    else
        m_ui->actionEnglish->setChecked(true);
}

void MainWindow::loadHistory()
{
    QFile file(ToolSettings::completerPath());
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QByteArray chunk = file.read(16);
            if (chunk.isEmpty())
                break;
            const int zero = chunk.indexOf('\0');
            m_history.append(QString::fromLocal8Bit(zero >= 0 ? chunk.left(zero) : chunk));
        }
    }
    m_model->setStringList(m_history);
    m_completer->setModel(m_model);
}

void MainWindow::saveHistory()
{
    QDir().mkpath(QStringLiteral("config"));
    QFile file(ToolSettings::completerPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    for (const QString& ip : m_history) {
        QByteArray record = ip.toLocal8Bit().left(16);
        record.append(QByteArray(16 - record.size(), '\0'));
        file.write(record);
    }
    file.close();
}

void MainWindow::clearHistory()
{
    QDir().mkpath(QStringLiteral("config"));
    QFile file(ToolSettings::completerPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.close();
    m_history.clear();
    m_model->setStringList(m_history);
    m_completer->setModel(m_model);
}

void MainWindow::updateConnectionTexts()
{
    if (m_connected) {
        m_ui->labelStatus->setText(tr("<font color=#00FF00>Connected to device"));
        m_ui->btnConnect->setText(tr("Disconnect"));
    } else {
        m_ui->labelStatus->setText(tr("<font color=#FF0000>Disconnect with device"));
        m_ui->btnConnect->setText(tr("Connect"));
    }
}

void MainWindow::connectEvent()
{
    if (m_connected) {
        m_comm.disconnectDevice();
        return;
    }
    const QString ip = m_ui->lineEditIp->text();
    if (ip.isEmpty()) {
        MessageBox::information(this, tr("Tip"), tr("Device IP Address could not be null!"), tr("Sure"));
        return;
    }
    if (!Ipv4Pattern::isValid(ip)) {
        MessageBox::information(this, tr("Tip"), tr("Device IP Address format error!"), tr("Sure"));
        return;
    }
    m_ui->btnConnect->setEnabled(false);
    m_comm.connectDevice(ip);
}

void MainWindow::connectedToDevice()
{
    const QString ip = m_ui->lineEditIp->text();
    if (!m_history.contains(ip)) {
        m_history.append(ip);
        m_model->setStringList(m_history);
        m_completer->setModel(m_model);
        saveHistory();
    }
    m_connected = true;
    m_ui->btnConnect->setEnabled(true);
    updateConnectionTexts();
}

void MainWindow::connectionError(QString error)
{
    MessageBox::information(this, tr("Tip"), tr("Connect to device failed, %1!").arg(error), tr("Sure"));
    m_ui->btnConnect->setEnabled(true);
}

void MainWindow::disconnectedFromDeivce()
{
    m_comm.disconnectDevice();
    m_connected = false;
    updateConnectionTexts();
}

void MainWindow::rebootDevice()
{
    const QMessageBox::StandardButton answer =
        MessageBox::show(MessageBox::Warning, this, tr("Warning"), tr("Are you sure to reboot device?"),
                         QMessageBox::Ok | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Ok)
        m_comm.send(CardCmd::Reboot, QByteArray());
}

void MainWindow::setAPPFont()
{
    bool ok = false;
    const QFont font = fontPicker(&ok, QApplication::font(), this);
    QApplication::setFont(ok ? font : QApplication::font());
    const QFont current = QApplication::font();
    QSettings settings(ToolSettings::settingsPath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Font/size"), current.pointSize());
    settings.setValue(QStringLiteral("Font/family"), current.family());
    settings.setValue(QStringLiteral("Font/bold"), current.weight() > 57);
    settings.setValue(QStringLiteral("Font/italic"), current.style() != QFont::StyleNormal);
}

void MainWindow::changeLanguage()
{
    QSettings settings(ToolSettings::settingsPath(), QSettings::IniFormat);
    if (sender() == m_ui->actionChinese) {
        settings.setValue(QStringLiteral("language"), QStringLiteral("Chinese"));
        m_ui->actionChinese->setChecked(true);
        if (m_translator && m_translator->load(ToolSettings::translationPath()))
            QApplication::installTranslator(m_translator);
    } else if (sender() == m_ui->actionEnglish) {
        settings.setValue(QStringLiteral("language"), QString());
        m_ui->actionEnglish->setChecked(true);
        if (m_translator)
            QApplication::removeTranslator(m_translator);
    }
    m_ui->retranslateUi(this);
    updateConnectionTexts();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QSettings settings(ToolSettings::settingsPath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("screen/width"), width());
    settings.setValue(QStringLiteral("screen/height"), height());
    QMainWindow::resizeEvent(event);
}

QString MainWindow::aboutText()
{
    return QStringLiteral("<html><span style=\"font-weight:bold; font-size:16px\">Upsprobe v") + QStringLiteral("1.3.1") +
           QStringLiteral("</span><br><br>") + tr("Built on") + QLatin1Char(' ') + QStringLiteral(__DATE__) +
           QLatin1Char(' ') + QStringLiteral(__TIME__) + QStringLiteral("<br><br>") +
           tr("This software is used for device programming and settings.") + QStringLiteral("</html>");
}

void MainWindow::showAbout()
{
    MessageBox::show(MessageBox::Information, this, tr("About Upsprobe"), aboutText(), QMessageBox::Ok);
}
