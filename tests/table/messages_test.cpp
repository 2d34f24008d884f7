#include "table/messages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/language.h"

using namespace geovanta;
using geovanta::test::LanguageScope;

namespace {

// The numbered arguments a text uses, over all its forms.
std::set<char> argumentsOf(std::string_view text) {
    std::set<char> found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') found.insert(text[i + 1]);
    return found;
}

std::size_t formsOf(std::string_view text) {
    std::size_t forms = 1;
    for (char c : text) forms += c == '|';
    return forms;
}

}  // namespace

// A text missing in one language, or one that drops or adds an argument,
// would show the window half translated or lose a file name or a count.
TEST(Messages, EveryIdHasBothTextsWithTheSameArguments) {
    for (int i = 0; i < static_cast<int>(Msg::Count); ++i) {
        const Msg id = static_cast<Msg>(i);
        const std::string_view russian = messageTemplate(id, Language::Russian);
        const std::string_view english = messageTemplate(id, Language::English);
        SCOPED_TRACE("message " + std::to_string(i) + ": " + std::string(english));
        EXPECT_FALSE(russian.empty());
        EXPECT_FALSE(english.empty());
        EXPECT_EQ(argumentsOf(russian), argumentsOf(english));
        // Texts for counts: Russian has three forms, English two, or one
        // for every count ("фото").
        EXPECT_TRUE(formsOf(russian) == 1 || formsOf(russian) == 3);
        EXPECT_TRUE(formsOf(english) == 1 || formsOf(english) == 2);
    }
}

TEST(Messages, ArgumentsAndFormsForCounts) {
    LanguageScope russian(Language::Russian);
    // An argument that holds "%2" itself is not filled again.
    EXPECT_EQ(textOf(Msg::ExitedWithCode, {"100%2", 3}), "100%2 завершился с кодом 3");
    const struct {
        uint64_t count;
        const char* russian;
        const char* english;
    } counts[] = {{1, "1 точка", "1 point"},       {2, "2 точки", "2 points"},     {5, "5 точек", "5 points"},
                  {11, "11 точек", "11 points"},   {14, "14 точек", "14 points"},  {21, "21 точка", "21 points"},
                  {22, "22 точки", "22 points"},   {111, "111 точек", "111 points"}, {0, "0 точек", "0 points"}};
    for (const auto& c : counts) {
        setLanguage(Language::Russian);
        EXPECT_EQ(textOfCount(Msg::SummaryPoints, c.count, {c.count}), c.russian);
        setLanguage(Language::English);
        EXPECT_EQ(textOfCount(Msg::SummaryPoints, c.count, {c.count}), c.english);
    }
}
