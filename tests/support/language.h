#pragma once
// The process's language held for one test or fixture, given back after it.

#include "table/messages.h"

namespace geovanta::test {

class LanguageScope {
public:
    explicit LanguageScope(Language language) : before_(currentLanguage()) { setLanguage(language); }
    ~LanguageScope() { setLanguage(before_); }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

private:
    Language before_;
};

}  // namespace geovanta::test
