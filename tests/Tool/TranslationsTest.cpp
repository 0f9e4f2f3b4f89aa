#include <gtest/gtest.h>

#include "Tool/Translations.h"

namespace {

TEST(ChooseLanguageTest, TheFirstLanguageTheToolSpeaksDecides) {
    using enum ToolLanguage;
    const struct {
        QStringList uiLanguages;
        ToolLanguage expected;
    } cases[] = {{{"C"}, Japanese},          {{"POSIX"}, Japanese},      {{"ja-JP", "ja"}, Japanese},
                 {{"en-US", "en"}, English}, {{"de-DE", "de"}, English}, {{"de", "ja-JP"}, Japanese},
                 {{"pt-BR", "en"}, English}, {{"jv-ID"}, English},       {{}, English}};
    for (const auto& c : cases)
        EXPECT_EQ(ChooseLanguage(c.uiLanguages), c.expected) << c.uiLanguages.join(u',').toStdString();
}

}  // namespace
