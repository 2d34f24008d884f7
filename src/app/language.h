#pragma once
// Which language the window speaks: the settings key Language, "ru" or "en",
// or, when it is empty or anything else, the locale's: a locale of "ru"
// gives Russian, any other English.

#include <string>
#include <string_view>

#include "table/messages.h"

namespace geovanta {

inline constexpr const char* kRussianCode = "ru";
inline constexpr const char* kEnglishCode = "en";

// The locale is the first of LC_ALL, LC_MESSAGES and LANG that is set and
// not empty, as the C library picks the messages' locale.
Language chooseLanguage(std::string_view setting, std::string_view lcAll, std::string_view lcMessages,
                        std::string_view lang);
// The same from this process's environment.
Language chooseLanguage(std::string_view setting);

}  // namespace geovanta
