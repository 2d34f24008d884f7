// The console window, alone and showing a batch of the tag writer that runs
// on a thread of its own, as the main window runs it.
#include "ui/formconsole.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
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

    // The pane follows what is added to its last line, entry by entry and
    // in bursts from the batch's thread alike.
    void scrollBarFollowsTheText() {
        TFormConsole console;
        console.showConsole();
        QScrollBar* bar = console.infoPane->verticalScrollBar();
        int before = 0;
        // Lines wider than the pane bring in the bar below it, which takes
        // room from the lines in view.
        for (int i = 0; i < 20; ++i) {
            console.appendInfo(std::vector<std::string>(i % 4, "\"/photos/" + std::string(i * 10, 'x') + ".jpg\""));
            QCoreApplication::processEvents();
            QCOMPARE(bar->value(), bar->maximum());
            QVERIFY(bar->value() >= before);
            before = bar->value();
        }
        std::thread worker([&] {
            for (int i = 0; i < 200; ++i) {
                console.appendInfo(std::vector<std::string>(i % 4, "burst"));
                console.replaceErrors({"e"});
                console.stepProgress();
            }
        });
        worker.join();
        QCoreApplication::processEvents();
        QTRY_COMPARE(bar->value(), bar->maximum());
        QVERIFY(bar->value() > before);
        // Scrolled up to read, the pane stays there; back at the end, it follows again.
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        console.appendInfo({"more", "\"/photos/" + std::string(300, 'y') + ".jpg\""});
        QCoreApplication::processEvents();
        QCOMPARE(bar->value(), 0);
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        console.appendInfo({"last"});
        QCoreApplication::processEvents();
        QCOMPARE(bar->value(), bar->maximum());
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

    // A batch opens with the choices it is made with; its end stays in view:
    // every photograph not written named, the summary last.
    void summaryAfterAFullBatch() {
        Batch b(3);
        b.commands.settings().sidecars = Sidecars::BaseName;
        b.commands.settings().rawOnly = true;
        b.commands.settings().clearUnplaced = true;
        b.sessions.answer(test::FakeSessions::exited(1, {"Error: Not a valid JPG"}));
        b.run();
        QVERIFY(b.console.isVisible());
        QVERIFY(!b.console.abortButton->isEnabled());
        QCOMPARE(b.console.progressBar->value(), 3);
        const QStringList lines = b.infoLines();
        QCOMPARE(lines.size(), 3 + 3 + 2);
        QCOMPARE(lines.mid(0, 3), (QStringList{"Writing: raw files into XMP files beside them (IMG_0001.xmp), "
                                               "the others into the photos",
                                               "Coordinates a photo already has are replaced",
                                               "Coordinates of unplaced photos are removed"}));
        QCOMPARE(lines[6], QString::fromStdString("\"" + b.dir.file("1.jpg") +
                                                  "\": /x/exiftool exited with code 1 (Error: Not a valid JPG)"));
        QCOMPARE(lines[7], QStringLiteral("Written: 2 into photos, 0 into XMP files; 0 not placed, 1 failed"));
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
        // The photographs not tried are named, and the summary comes after
        // them all, repeated in a box.
        const QStringList lines = b.infoLines();
        QCOMPARE(lines.size(), 3 + 2 + 7 + 1);
        const QString summary = QStringLiteral("GPS tags: 3 written, 0 not placed, 0 failed, 7 not tried after the abort");
        QCOMPARE(lines[5], QString::fromStdString("\"" + b.dir.file("4.jpg") + "\": not tried after the abort"));
        QCOMPARE(lines.last(), summary);
        QCOMPARE(b.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(b.dialogs.messages[0].text), summary);
        QCOMPARE(b.table.recNo(), std::size_t(2));
    }
};

QTEST_MAIN(FormConsoleTest)
#include "formconsole_test.moc"
