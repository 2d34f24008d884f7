#pragma once
// The tag-writing commands as a person meets them: every placed photograph
// with the console shown, or the photograph of the current row alone, and
// the boxes that end them. The write itself is a TagWrite (app/tagwrite.h);
// these begin it with the settings in force, say why it cannot start, and
// tell what it came to.

#include <memory>
#include <optional>
#include <string>

#include "app/programstate.h"
#include "app/tagwrite.h"

namespace geovanta {

class Dialogs;
class Document;

// The choices of a write, made before it: where the positions go
// ("WriteSidecars"), whether a photograph's own position is kept
// ("KeepExisting") and whether unplaced photographs' positions are taken out
// ("ClearUnplaced"). Each is in force from the next write and saved at
// once; a settings file that cannot be written is said in a box.
void chooseWriteTarget(Document& document, Dialogs& dialogs, WriteTarget target);
void chooseKeepExisting(Document& document, Dialogs& dialogs, bool on);
void chooseClearUnplaced(Document& document, Dialogs& dialogs, bool on);
// The write's settings as the state gives them.
TagWrite::Settings writeSettings(const ProgramState& state);

class TagCommands {
public:
    TagCommands(Document& document, ConsoleView& console, Dialogs& dialogs, std::shared_ptr<SessionFactory> sessions)
        : document_(document), console_(console), dialogs_(dialogs), sessions_(std::move(sessions)) {}

    // The write's settings as the document's state gives them.
    TagWrite::Settings settings() const;

    // Begins a write on the document's thread; nothing, after saying why
    // when the table is held, or for nothing to write.
    std::shared_ptr<TagWrite> begin(TagWrite::Scope scope);
    // Finishes a write begun here, after its run, and tells what it came
    // to: an error box listing the photographs not written, a box with the
    // summary after an abort, or for the current photograph a confirmation,
    // that it was kept, or the error naming it.
    TagWrite::Outcome finish(TagWrite& write);

    // Begin, run and finish on the calling thread.
    std::optional<TagWrite::Outcome> writeAll();
    void writeCurrentPhoto();

private:
    Document& document_;
    ConsoleView& console_;
    Dialogs& dialogs_;
    std::shared_ptr<SessionFactory> sessions_;
};

}  // namespace geovanta
