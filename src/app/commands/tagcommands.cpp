#include "app/commands/tagcommands.h"

#include <chrono>

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "app/settings.h"
#include "table/messages.h"

namespace geovanta {
namespace {

// Shown in the error box at most; the console holds them all.
constexpr std::size_t kFailuresInBox = 10;

}  // namespace

void chooseSidecars(Document& document, Dialogs& dialogs, bool on) {
    document.state().writeSidecars = on;
    if (const auto error = document.settings().writeInteger(SettingsFile::kWriteSidecarsKey, on ? 1 : 0))
        dialogs.showMessage(MessageKind::Failure, failureText(*error));
}

Sidecars sidecarsOf(const Document& document) {
    const ProgramState& state = document.state();
    if (!state.writeSidecars) return Sidecars::None;
    return state.sidecarFullName ? Sidecars::FullName : Sidecars::BaseName;
}

TagWrite::Settings TagCommands::settings() const {
    TagWrite::Settings settings;
    settings.batch.answerWithin = std::chrono::seconds(document_.state().exifToolTimeout);
    settings.sidecars = sidecarsOf(document_);
    settings.writeZones = document_.state().writeZones;
    return settings;
}

std::shared_ptr<TagWrite> TagCommands::begin(TagWrite::Scope scope) {
    TagWrite::Begun begun = TagWrite::begin(document_, console_, sessions_, scope, settings());
    if (begun.refusal) dialogs_.showMessage(MessageKind::Failure, failureText(*begun.refusal));
    return begun.write;
}

TagWrite::Outcome TagCommands::finish(TagWrite& write) {
    const TagWrite::Outcome outcome = write.finish();
    if (outcome.single) {
        std::optional<std::string> failure;
        if (!outcome.failures.empty()) failure = outcome.failures.front();
        if (!outcome.untried.empty()) failure = outcome.untried.front();
        if (failure)
            dialogs_.showMessage(MessageKind::Failure, failureText(textOf(Msg::CannotWriteTagsOf, {*failure})));
        else
            dialogs_.showMessage(MessageKind::Plain, textOf(Msg::CoordinatesWritten));
        return outcome;
    }
    if (outcome.failures.empty()) return outcome;
    std::string text = outcome.summary() + ":";
    for (std::size_t i = 0; i < outcome.failures.size() && i < kFailuresInBox; ++i) text += "\n" + outcome.failures[i];
    if (outcome.failures.size() > kFailuresInBox) text += "\n...";
    dialogs_.showMessage(MessageKind::Failure, failureText(text));
    return outcome;
}

std::optional<TagWrite::Outcome> TagCommands::writeAll() {
    const std::shared_ptr<TagWrite> write = begin(TagWrite::Scope::All);
    if (!write) return std::nullopt;
    write->run();
    return finish(*write);
}

void TagCommands::writeCurrentPhoto() {
    // Only a placed photograph can get here from the grid; anything else
    // writes nothing, so nothing is confirmed.
    const std::shared_ptr<TagWrite> write = begin(TagWrite::Scope::Current);
    if (!write) return;
    write->run();
    finish(*write);
}

}  // namespace geovanta
