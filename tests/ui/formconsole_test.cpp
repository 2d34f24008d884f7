// The console window, alone and showing a batch of the tag writer that runs
// on a thread of its own, as the main window runs it.
#include "ui/formconsole.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "output/photorows.h"
#include "support/tabletagwrite.h"
#include "support/fakedialogs.h"
#include "support/fakesessions.h"
#include "support/tempdir.h"
#include "table/datatable.h"

using namespace geovanta;

namespace {

// A console and a batch over `photos` placed photographs with scripted
// ExifTool sessions, written on a worker thread.
struct Batch {
    TFormConsole console;
    DataTable table;
    test::FakeSessions sessions{"/x/exiftool"};
    TagWriter writer{sessions};
    test::TableTagWrite commands{table, console, writer};
    test::FakeDialogs dialogs;
    test::TempDir dir;  // the photographs' files, which the writer looks at

    explicit Batch(int photos) {
        for (int i = 1; i <= photos; ++i)
            test::addPhoto(table, dir.write(std::to_string(i) + ".jpg", "photo"), 50 + i * 0.1, 30);
    }
    // Begins and finishes on this thread, which keeps handling events while
    // the worker writes.
    void run() {
        QVERIFY(commands.beginAll());
        std::atomic<bool> done{false};
        std::thread worker([&] {
            commands.run();
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        worker.join();
        QCoreApplication::processEvents();  // what the worker queued last
        commands.finishAllPhotos(dialogs);
    }
    QStringList infoLines() const { return console.infoPane->toPlainText().split('\n'); }
};

}  // namespace

class FormConsoleTest : public QObject {
    Q_OBJECT

private slots:
    void createdHiddenWithItsControls() {
        TFormConsole console;
        QVERIFY(!console.isVisible());
        QVERIFY(console.windowFlags() & Qt::Tool);
        QCOMPARE(console.windowTitle(), QStringLiteral("EXIFtool>_"));
        QCOMPARE(console.infoLabel->text(), QStringLiteral("Информация:"));
        QCOMPARE(console.errorLabel->text(), QStringLiteral("Ошибки:"));
        QCOMPARE(console.abortButton->text(), QStringLiteral("Прервать процесс"));
        QVERIFY(!console.abortButton->isEnabled());
    }

    // While a batch runs, the button and the close box abort it once and
    // leave the console open; afterwards the close box just hides it.
    void abortingAndClosing() {
        TFormConsole console;
        int aborts = 0;
        for (const bool byButton : {true, false}) {
            console.showConsole();
            console.setAbortHandler([&] { ++aborts; });
            QVERIFY(console.abortButton->isEnabled());
            if (byButton)
                QTest::mouseClick(console.abortButton, Qt::LeftButton);
            else
                console.close();
            QVERIFY(console.isVisible());
            QVERIFY(!console.abortButton->isEnabled());
            console.setAbortHandler({});
            QVERIFY(console.close());
            QVERIFY(!console.isVisible());
        }
        QCOMPARE(aborts, 2);
    }

    // The choice of XMP files is the person's: a click tells it, showing it
    // does not, and a batch under way keeps the one it began with.
    void sidecarChoice() {
        TFormConsole console;
        QCOMPARE(console.sidecarBox->text(), QStringLiteral("Записывать в файлы XMP рядом с фото"));
        QSignalSpy chosen(&console, &TFormConsole::sidecarsChosen);
        console.setSidecarsChecked(true);
        QCOMPARE(chosen.count(), 0);
        console.show();
        QTest::mouseClick(console.sidecarBox, Qt::LeftButton, {}, QPoint(4, console.sidecarBox->height() / 2));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toBool(), false);
        console.setAbortHandler([] {});
        QVERIFY(!console.sidecarBox->isEnabled());
        console.setAbortHandler({});
        QVERIFY(console.sidecarBox->isEnabled());
    }

    // Calls from another thread come out in the order they were made.
    void panesFromAnyThread() {
        TFormConsole console;
        console.appendInfo({"stale"});
        console.showConsole();
        std::thread worker([&] {
            console.setProgressMaximum(3);
            console.appendInfo({"a", "b"});
            console.appendInfo({});
            // A file name that is not UTF-8, as ExifTool prints it, shows its bytes.
            console.appendInfo({"\xff\xfe.JPG"});
            console.replaceErrors({"e1", "e2"});
            console.replaceErrors({"e3"});
            console.stepProgress();
            console.stepProgress();
        });
        worker.join();
        QTRY_COMPARE(console.progressBar->value(), 2);
        QCOMPARE(console.infoPane->toPlainText(), QStringLiteral("a\nb\n\n\\xFF\\xFE.JPG"));
        QCOMPARE(console.errorPane->toPlainText(), QStringLiteral("e3"));
        console.replaceInfo({"only"});
        QCOMPARE(console.infoPane->toPlainText(), QStringLiteral("only"));
    }

    // The end of a batch stays in view: the summary last, every photograph
    // not written named under it.
    void summaryAfterAFullBatch() {
        Batch b(3);
        b.sessions.answer(test::FakeSessions::exited(1, {"Error: Not a valid JPG"}));
        b.run();
        QVERIFY(b.console.isVisible());
        QVERIFY(!b.console.abortButton->isEnabled());
        QCOMPARE(b.console.progressBar->value(), 3);
        const QStringList lines = b.infoLines();
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[2], QStringLiteral("GPS tags: 2 written, 0 not placed, 1 failed"));
        QCOMPARE(lines[3], QString::fromStdString("\"" + b.dir.file("1.jpg") +
                                                  "\": /x/exiftool exited with code 1 (Error: Not a valid JPG)"));
        QCOMPARE(b.dialogs.messages.size(), std::size_t(1));
    }

    // A click on the abort button while the third of ten is written: no
    // other photograph starts, and the console says what came of each.
    void summaryAfterAnAbort() {
        Batch b(10);
        b.sessions.onRun = [&](int call) {
            if (call != 3) return;
            QMetaObject::invokeMethod(b.console.abortButton, "click", Qt::QueuedConnection);
            // Written slowly enough for the click to come first.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        };
        b.run();
        QCOMPARE(b.sessions.calls().size(), std::size_t(3));
        QVERIFY(b.console.isVisible());
        const QStringList lines = b.infoLines();
        QCOMPARE(lines.size(), 2 + 1 + 7);
        QCOMPARE(lines[2], QStringLiteral("GPS tags: 3 written, 0 not placed, 0 failed, 7 not tried after the abort"));
        QCOMPARE(lines[3], QString::fromStdString("\"" + b.dir.file("4.jpg") + "\": not tried after the abort"));
        QVERIFY(b.dialogs.messages.empty());
        QCOMPARE(b.table.recNo(), std::size_t(2));
    }
};

QTEST_MAIN(FormConsoleTest)
#include "formconsole_test.moc"
