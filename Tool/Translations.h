// The languages the tool speaks: the Japanese its texts are written in, and
// English for everyone else. Qt's own dialogs are made to speak the same.
#pragma once

#include <QStringList>
#include <QTranslator>

enum class ToolLanguage { Japanese, English };

// The language for a person who prefers `uiLanguages`, most wanted first, as
// QLocale::uiLanguages() lists them ("ja-JP", "en", "C"): the first entry
// that is Japanese, English, or the C or POSIX locale (Japanese, the texts as
// written) decides; a list of other languages only gets English.
ToolLanguage ChooseLanguage(const QStringList& uiLanguages);

// While it lives, the application shows the tool's texts and Qt's dialogs in
// `language`. Japanese needs no translation of the tool's own texts, only
// Qt's; a translation that cannot be loaded leaves those texts as written.
class ToolTranslators {
public:
    explicit ToolTranslators(ToolLanguage language);
    ToolTranslators(const ToolTranslators&) = delete;
    ToolTranslators& operator=(const ToolTranslators&) = delete;

private:
    // Destroying a translator takes it out of the application again.
    QTranslator tool_;
    QTranslator qt_;
};
