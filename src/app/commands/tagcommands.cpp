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

namespace {

void saved(Dialogs& dialogs, const std::optional<std::string>& error) {
    if (error) dialogs.showMessage(MessageKind::Failure, failureText(*error));
}

}  // namespace

void chooseWriteTarget(Document& document, Dialogs& dialogs, WriteTarget target) {
    document.state().writeTarget = target;
    saved(dialogs, document.settings().writeTarget(target));
}

void chooseKeepExisting(Document& document, Dialogs& dialogs, bool on) {
    document.state().keepExisting = on;
    saved(dialogs, document.settings().writeInteger(SettingsFile::kKeepExistingKey, on ? 1 : 0));
}

void chooseClearUnplaced(Document& document, Dialogs& dialogs, bool on) {
    document.state().clearUnplaced = on;
    saved(dialogs, document.settings().writeInteger(SettingsFile::kClearUnplacedKey, on ? 1 : 0));
}

TagWrite::Settings writeSettings(const ProgramState& state) {
    TagWrite::Settings settings;
    settings.batch.answerWithin = std::chrono::seconds(state.exifToolTimeout);
    if (state.writeTarget != WriteTarget::Photos)
        settings.sidecars = state.sidecarFullName ? Sidecars::FullName : Sidecars::BaseName;
    settings.rawOnly = state.writeTarget == WriteTarget::RawSidecars;
    settings.keepExisting = state.keepExisting;
    settings.clearUnplaced = state.clearUnplaced;
    settings.content = tagContent(state);
    settings.writeZones = state.writeZones;
    return settings;
}

TagWrite::Settings TagCommands::settings() const { return writeSettings(document_.state()); }

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
        else if (!outcome.keptLines.empty())
            dialogs_.showMessage(MessageKind::Plain, outcome.keptLines.front());
        else
            dialogs_.showMessage(MessageKind::Plain, textOf(Msg::CoordinatesWritten));
        return outcome;
    }
    // After an abort the person is told where it stopped, even with nothing failed.
    if (outcome.failures.empty()) {
        if (outcome.aborted) dialogs_.showMessage(MessageKind::Plain, outcome.summary());
        return outcome;
    }
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
