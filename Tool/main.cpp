// vantel30, the screensaver's settings tool.
#include <QApplication>
#include <QLocale>

#include "Platform/Win32/Win32Extensions.h"
#include "Settings/ProgramDirectory.h"
#include "Settings/Settings.h"
#include "Tool/Form3.h"
#include "Tool/QtDialogUi.h"
#include "Tool/ToolCommandLine.h"
#include "Tool/Translations.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so that no display is needed and no window opens.
    if (const std::optional<int> answered = AnswerCommandLine(argc, argv)) return *answered;
    Win32SetProfileFolder(vantel_settings::kProfileFolder);
    Win32SetProfileFileKey(vantel_settings::kSettingSection, vantel_settings::kFileNameKey);
    // Before Qt starts, whose accessibility and dialogs would ask for a bus.
    Win32NeverAutolaunchSessionBus();
    // Qt's own lines on failure (no display, a lost one) speak in our name too.
    qSetMessagePattern(QStringLiteral("vantel30: %{if-category}%{category}: %{endif}%{message}"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantel30"));
    const ToolTranslators translators(ChooseLanguage(QLocale::system().uiLanguages()));
    QtDialogUi ui;
    Form3 form(ui, QString::fromLocal8Bit(vantel_settings::ProgramDirectory()));
    ui.SetOwner(&form);
    form.LoadSettingsOnStart();
    form.show();
    return QApplication::exec();
}
