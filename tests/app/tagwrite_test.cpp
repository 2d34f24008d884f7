// The tag write as one operation: a stop asked for before or while it looks
// at the photographs writes none of them, and a console reached after the
// write has gone reaches nothing.
#include "app/tagwrite.h"

#include <gtest/gtest.h>

#include <sstream>

#include "binding/bindingrows.h"
#include "app/streamconsole.h"
#include "support/documentrows.h"
#include "support/fakeconsole.h"
#include "support/fakesessions.h"

namespace geovanta {
namespace {

constexpr int kPhotos = 2000;

void photos(Document& document) {
    DataTable& t = test::rowsOf(document);
    for (int i = 0; i < kPhotos; ++i) {
        test::add(t, "F", ("IMG_" + std::to_string(i)).c_str(), test::at(10, 0, 0), 64.0 + i * 1e-4, -21.9);
        t.setText(t.rowCount() - 1, FieldId::FileName, "/trip/IMG_" + std::to_string(i) + ".JPG");
    }
}

// geovanta-cli turns a stop signal into the console's abort, and the signal
// may come at any moment: before the write begins, or once it has begun and
// is still looking at the files.
TEST(TagWrite, AStopBeforeTheFirstPhotographWritesNone) {
    for (const bool afterBegin : {false, true}) {
        SCOPED_TRACE(afterBegin ? "after begin" : "before begin");
        Document document(ProgramState{}, SettingsFile(std::string()));
        photos(document);
        std::ostringstream err;
        StreamConsole console(err, "");
        const auto sessions = std::make_shared<test::FakeSessions>();
        if (!afterBegin) console.requestAbort();
        const auto begun = TagWrite::begin(document, console, sessions, TagWrite::Scope::All, {});
        ASSERT_TRUE(begun.write);
        if (afterBegin) console.requestAbort();
        begun.write->run();
        const TagWrite::Outcome outcome = begun.write->finish();
        EXPECT_EQ(sessions->opened(), 0) << "no ExifTool was started";
        EXPECT_EQ(outcome.written, 0);
        EXPECT_EQ(outcome.notTried, kPhotos);
        EXPECT_TRUE(outcome.aborted);
        EXPECT_FALSE(document.busy()) << "the table is free again";
    }
}

// The console keeps the abort only while the write lives: closing it later
// must not reach a write that is gone.
TEST(TagWrite, TheConsoleIsDisarmedOnEveryWayOut) {
    Document document(ProgramState{}, SettingsFile(std::string()));
    photos(document);
    test::FakeConsole console;
    const auto sessions = std::make_shared<test::FakeSessions>();
    {
        const auto begun = TagWrite::begin(document, console, sessions, TagWrite::Scope::All, {});
        ASSERT_TRUE(begun.write);
        EXPECT_TRUE(console.abortable());
        EXPECT_TRUE(document.busy());
    }  // never run nor finished: a window that went away
    EXPECT_FALSE(console.abortable());
    EXPECT_FALSE(document.busy());
}

}  // namespace
}  // namespace geovanta
