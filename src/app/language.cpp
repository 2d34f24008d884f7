#include "app/language.h"

#include <cstdlib>

namespace geovanta {
namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

}  // namespace

Language chooseLanguage(std::string_view setting, std::string_view lcAll, std::string_view lcMessages,
                        std::string_view lang) {
    if (setting == kRussianCode) return Language::Russian;
    if (setting == kEnglishCode) return Language::English;
    std::string_view locale = lang;
    if (!lcMessages.empty()) locale = lcMessages;
    if (!lcAll.empty()) locale = lcAll;
    return locale.substr(0, 2) == kRussianCode ? Language::Russian : Language::English;
}

Language chooseLanguage(std::string_view setting) {
    return chooseLanguage(setting, environment("LC_ALL"), environment("LC_MESSAGES"), environment("LANG"));
}

}  // namespace geovanta
