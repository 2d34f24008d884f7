#include "app/language.h"

#include <gtest/gtest.h>

#include "app/commands/languagecommand.h"
#include "app/document.h"
#include "support/fakedialogs.h"
#include "support/tempdir.h"

using namespace geovanta;

TEST(Language, SettingThenTheLocaleAsTheCLibraryPicksIt) {
    const struct {
        const char *setting, *lcAll, *lcMessages, *lang;
        Language expected;
    } cases[] = {
        {"", "", "", "ru_RU.UTF-8", Language::Russian},
        {"", "", "", "en_US.UTF-8", Language::English},
        {"", "", "", "", Language::English},  // no locale at all
        {"", "", "", "C.UTF-8", Language::English},
        {"", "", "ru_UA.UTF-8", "en_US.UTF-8", Language::Russian},
        {"", "C", "ru_RU.UTF-8", "ru_RU.UTF-8", Language::English},  // LC_ALL first
        {"en", "ru_RU.UTF-8", "", "", Language::English},
        {"ru", "", "", "de_DE.UTF-8", Language::Russian},
        {"fr", "", "", "ru_RU.UTF-8", Language::Russian},  // an unknown setting reads as empty
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooseLanguage(c.setting, c.lcAll, c.lcMessages, c.lang), c.expected)
            << c.setting << " " << c.lcAll << " " << c.lcMessages << " " << c.lang;
}

TEST(Language, TheMenuChoiceIsSavedAndTakesEffectAtTheNextStart) {
    test::TempDir dir;
    Document document(ProgramState{}, SettingsFile::inFolder(dir.folder()));
    test::FakeDialogs dialogs;
    LanguageCommand(dialogs, document).choose("en");
    EXPECT_EQ(document.state().language, "en");
    EXPECT_EQ(SettingsFile::inFolder(dir.folder()).read(dir.folder()).language, "en");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Information);
    // The same choice again says nothing.
    LanguageCommand(dialogs, document).choose("en");
    EXPECT_EQ(dialogs.messages.size(), 1u);
}
