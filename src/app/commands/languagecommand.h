#pragma once
// The language menu: remembers the chosen language ("ru", "en", or empty for
// the locale's) in the settings file. The window keeps its language until
// the next start, and says so.

#include <string>

namespace geovanta {

class Dialogs;
class Document;

class LanguageCommand {
public:
    LanguageCommand(Dialogs& dialogs, Document& document) : dialogs_(dialogs), document_(document) {}

    void choose(const std::string& code);

private:
    Dialogs& dialogs_;
    Document& document_;
};

}  // namespace geovanta
