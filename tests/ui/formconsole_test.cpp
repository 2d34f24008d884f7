// The console window, alone and driving a batch of the tag writer.
#include "ui/formconsole.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "output/photorows.h"
#include "app/commands/tagcommands.h"
#include "support/fakedialogs.h"
#include "support/fakesessions.h"
#include "support/tempdir.h"
#include "table/datatable.h"

using namespace geovanta;

namespace {

// A shown main window, its console, and a batch over `photos` placed
// photographs with scripted ExifTool sessions.
struct Batch {
    QWidget mainWindow;
    TFormConsole console{&mainWindow};
    DataTable table;
    test::FakeSessions sessions{"/x/exiftool"};
    test::FakeDialogs dialogs;
    test::TempDir dir;  // the photographs' files, which the writer looks at

    explicit Batch(int photos) {
        mainWindow.show();
        for (int i = 1; i <= photos; ++i)
            test::addPhoto(table, dir.write(std::to_string(i) + ".jpg", "photo"), 50 + i * 0.1, 30);
    }
    void run() {
        TagWriter writer(sessions);
        TagCommands(table, console, writer).writeAllPhotos(dialogs);
    }
};

}  // namespace

class FormConsoleTest : public QObject {
    Q_OBJECT

private slots:
    void createdHiddenWithItsControls() {
        QWidget mainWindow;
        TFormConsole console(&mainWindow);
        QVERIFY(!console.isVisible());
        QVERIFY(console.windowFlags() & Qt::Tool);
        QCOMPARE(console.windowTitle(), QStringLiteral("EXIFtool>_"));
        QCOMPARE(console.size(), QSize(559, 420));
        QCOMPARE(console.Label1->text(), QStringLiteral("Информация:"));
        QCOMPARE(console.Label2->text(), QStringLiteral("Ошибки:"));
        QCOMPARE(console.Button1->text(), QStringLiteral("Прервать процесс"));
        QCOMPARE(console.Memo1->geometry(), QRect(1, 25, 557, 216));
        QCOMPARE(console.Memo2->geometry(), QRect(1, 270, 557, 89));
        QCOMPARE(console.ProgressBar1->minimum(), 0);
        QCOMPARE(console.ProgressBar1->maximum(), 100);
        QCOMPARE(console.ProgressBar1->value(), 0);
    }

    void everyWayOfClosingEnablesTheMainWindow() {
        QWidget mainWindow;
        mainWindow.show();
        TFormConsole console(&mainWindow);
        QPointer<TFormConsole> alive(&console);
        const auto closers = std::vector<std::function<void()>>{
            [&] { QTest::mouseClick(console.Button1, Qt::LeftButton); },
            [&] { console.close(); },  // the close box
            [&] { console.closeConsole(); },
        };
        for (const auto& closeIt : closers) {
            console.showConsole();
            QVERIFY(console.isVisible());
            QVERIFY(!mainWindow.isEnabled());
            QVERIFY(!console.abortRequested());
            closeIt();
            QVERIFY(!console.isVisible());
            QVERIFY(mainWindow.isEnabled());
            QVERIFY(console.abortRequested());
            QVERIFY(alive);
        }
    }

    void panesAppendAndReplace() {
        TFormConsole console;
        console.appendInfo({"a", "b"});
        console.appendInfo({});
        // A file name that is not UTF-8, as ExifTool prints it, shows its bytes.
        console.appendInfo({"\xff\xfe.JPG"});
        QCOMPARE(console.Memo1->toPlainText(), QStringLiteral("a\nb\n\n\\xFF\\xFE.JPG"));
        console.replaceInfo({"only"});
        QCOMPARE(console.Memo1->toPlainText(), QStringLiteral("only"));
        console.replaceErrors({"e1", "e2"});
        console.replaceErrors({"e3"});
        QCOMPARE(console.Memo2->toPlainText(), QStringLiteral("e3"));
        console.setProgressMaximum(3);
        console.stepProgress();
        console.stepProgress();
        QCOMPARE(console.ProgressBar1->value(), 2);
    }

    // A click on the abort button while the third photo is written is taken
    // up when that photo is done, and no other photo is started.
    void abortButtonStopsABatchAfterTheCurrentPhoto() {
        Batch b(10);
        // On the writer's thread: the click is queued to the window's thread.
        b.sessions.onRun = [&](int call) {
            if (call == 3) QMetaObject::invokeMethod(b.console.Button1, "click", Qt::QueuedConnection);
        };
        b.run();
        QCOMPARE(b.sessions.calls().size(), std::size_t(3));
        QVERIFY(b.mainWindow.isEnabled());
        QVERIFY(!b.console.isVisible());
        QCOMPARE(b.console.ProgressBar1->value(), 0);
        QCOMPARE(b.console.Memo1->toPlainText(),
                 QStringLiteral("    1 image files updated\n    1 image files updated\n"
                                "GPS tags: 3 written, 0 not placed, 0 failed, 7 not tried after the abort"));
        QVERIFY(b.dialogs.messages.empty());
        // The walk stops on the photo during which the abort came.
        QCOMPARE(b.table.recNo(), std::size_t(2));
        QVERIFY(!b.table.eof());
    }

    // While ExifTool works on a photo the window goes on handling events:
    // the writer waits, inside its photo, for something only the window's
    // thread can do, and the progress and main window show the batch.
    void theWindowHandlesEventsWhileAPhotoIsWritten() {
        Batch b(3);
        std::atomic<int> handled{0};
        b.sessions.onRun = [&](int call) {
            // Shared, so that a late answer never writes into a finished call.
            struct Seen {
                std::atomic<bool> done{false}, disabled{false};
                std::atomic<int> progress{-1};
            };
            auto seen = std::make_shared<Seen>();
            QMetaObject::invokeMethod(&b.console, [&b, seen] {
                seen->progress = b.console.ProgressBar1->value();
                seen->disabled = !b.mainWindow.isEnabled();
                seen->done = true;
            }, Qt::QueuedConnection);
            for (int waited = 0; !seen->done && waited < 5000; ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (seen->done && seen->progress == call - 1 && seen->disabled) ++handled;
        };
        b.run();
        QCOMPARE(handled.load(), 3);
        QVERIFY(b.mainWindow.isEnabled());
    }
};

QTEST_MAIN(FormConsoleTest)
#include "formconsole_test.moc"
