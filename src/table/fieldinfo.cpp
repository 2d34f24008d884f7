#include "table/fieldinfo.h"

#include "table/asciicase.h"
#include "table/messages.h"

namespace geovanta {

std::optional<FieldId> findField(std::string_view name) {
    for (const FieldInfo& f : kFieldInfos) {
        const std::string_view n(f.name);
        if (equalsIgnoringAsciiCase(n, name)) return f.id;
    }
    return std::nullopt;
}

std::string invalidFloatMessage(std::string_view text) { return textOf(Msg::InvalidFloat, {text}); }

std::string invalidFloatFieldMessage(std::string_view text, std::string_view field) {
    return textOf(Msg::InvalidFloatForField, {text, field});
}

}  // namespace geovanta
