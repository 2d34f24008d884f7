#pragma once
// The tag write over a test's plain table: for each command the table is
// lent to a document, written through the document's own operation and
// given back with what the write changed, so that tests keep their fixtures.

#include <memory>
#include <optional>

#include "app/commands/dialogs.h"
#include "app/commands/tagcommands.h"
#include "app/document.h"
#include "app/tagwrite.h"
#include "output/tagwriter.h"
#include "table/datatable.h"

namespace geovanta::test {

class TableTagWrite {
public:
    TableTagWrite(DataTable& table, ConsoleView& console, TagWriter& writer, TagBatch::Settings settings = {})
        : table_(table), console_(console),
          sessions_(std::shared_ptr<SessionFactory>(&writer.sessions(), [](SessionFactory*) {})) {
        settings_.batch = settings;
    }

    void setSidecars(Sidecars sidecars) { settings_.sidecars = sidecars; }
    void setContent(const TagContent& content) { settings_.content = content; }
    TagWrite::Settings& settings() { return settings_; }

    // Begin, run and finish; an empty outcome for nothing to write.
    TagWrite::Outcome writeAll() {
        Lent lent(table_);
        const auto outcome =
            TagWrite::writeInline(lent.document, console_, sessions_, TagWrite::Scope::All, settings_);
        return outcome.value_or(TagWrite::Outcome{});
    }
    // The commands as the window's, with their boxes.
    TagWrite::Outcome writeAllPhotos(Dialogs& dialogs) {
        Lent lent(table_);
        return commands(lent.document, dialogs).writeAll().value_or(TagWrite::Outcome{});
    }
    void writeCurrentPhoto(Dialogs& dialogs) {
        Lent lent(table_);
        commands(lent.document, dialogs).writeCurrentPhoto();
    }

    // The steps apart, as the window takes them: begin and finish here, run
    // on any thread.
    bool beginAll() {
        lent_.emplace(table_);
        write_ = TagWrite::begin(lent_->document, console_, sessions_, TagWrite::Scope::All, settings_).write;
        return write_ != nullptr;
    }
    void run() { write_->run(); }
    void abort() {
        if (write_) write_->abort();
    }
    void finishAllPhotos(Dialogs& dialogs) {
        commands(lent_->document, dialogs).finish(*write_);
        write_.reset();
        lent_.reset();
    }

private:
    struct Lent {
        explicit Lent(DataTable& table) : table(table), document(ProgramState{}, SettingsFile(std::string())) {
            document.lease("test")->replaceRows(table);
        }
        ~Lent() { table.takeRows(document.lease("test")->rows()); }
        DataTable& table;
        Document document;
    };
    TagCommands commands(Document& document, Dialogs& dialogs) {
        document.state().exifToolTimeout =
            static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(settings_.batch.answerWithin).count());
        document.state().writeTarget = settings_.sidecars == Sidecars::None ? WriteTarget::Photos
                                       : settings_.rawOnly                  ? WriteTarget::RawSidecars
                                                                            : WriteTarget::Sidecars;
        document.state().sidecarFullName = settings_.sidecars == Sidecars::FullName;
        document.state().keepExisting = settings_.keepExisting;
        document.state().clearUnplaced = settings_.clearUnplaced;
        return TagCommands(document, console_, dialogs, sessions_);
    }

    DataTable& table_;
    ConsoleView& console_;
    std::shared_ptr<SessionFactory> sessions_;
    TagWrite::Settings settings_;
    std::optional<Lent> lent_;
    std::shared_ptr<TagWrite> write_;
};

}  // namespace geovanta::test
