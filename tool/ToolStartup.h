#pragma once

class QApplication;
class QTranslator;

namespace ToolStartup {
// Reads "language" from config/settings.ini (writing "English" when absent),
// installs translations/zh.qm for Chinese and returns whether Chinese is
// current. The translator is created with the application as parent.
bool loadLanguage(QApplication& app, QTranslator** translator);
// The tool's style sheet (velmora-tool.css from the resources).
void applyStyle(QApplication& app);
// Start-up after the application object exists: language, main window,
// event loop.
int run(QApplication& app);
}
