#include "app/commands/dialogs.h"

namespace geovanta {

std::string failureText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

}  // namespace geovanta
