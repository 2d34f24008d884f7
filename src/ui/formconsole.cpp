#include "ui/formconsole.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QThread>

#include "table/textcodec.h"

namespace geovanta {

namespace {

// ExifTool prints file names as they are on disk; show them readable even
// when they are not UTF-8, and never as the name of another file.
QString paneText(const std::vector<std::string>& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) joined += '\n';
        joined += displayFileName(lines[i]);
    }
    return QString::fromUtf8(joined.data(), qsizetype(joined.size()));
}

QPlainTextEdit* memo(QWidget* parent, int left, int top, int width, int height) {
    auto* m = new QPlainTextEdit(parent);
    m->setGeometry(left, top, width, height);
    m->setReadOnly(true);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    return m;
}

}  // namespace

TFormConsole::TFormConsole() : QWidget(nullptr, Qt::Tool) {
    setWindowTitle(tr("EXIFtool>_"));
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setFixedSize(559, 420);

    panel = new QFrame(this);
    panel->setGeometry(0, 0, 559, 420);
    infoLabel = new QLabel(tr("Информация:"), panel);
    infoLabel->move(8, 8);
    infoPane = memo(panel, 1, 25, 557, 216);
    // The pane lays its text out later than it is appended, and a line wider
    // than the pane brings in the bar below it, taking room from the lines in
    // view: the range grows after the append, and left to itself the bar would
    // stay where it was, drifting away from the last line.
    QScrollBar* infoBar = infoPane->verticalScrollBar();
    connect(infoBar, &QScrollBar::rangeChanged, this, [this, infoBar](int, int maximum) {
        if (followInfo_) infoBar->setValue(maximum);
    });
    connect(infoBar, &QScrollBar::actionTriggered, this,
            [this, infoBar](int) { followInfo_ = infoBar->sliderPosition() >= infoBar->maximum(); });
    errorLabel = new QLabel(tr("Ошибки:"), panel);
    errorLabel->move(8, 248);
    errorPane = memo(panel, 1, 270, 557, 89);
    abortButton = new QPushButton(tr("Прервать процесс"), panel);
    abortButton->setGeometry(192, 368, 153, 33);
    abortButton->setEnabled(false);
    connect(abortButton, &QPushButton::clicked, this, &TFormConsole::abortBatch);
    progressBar = new QProgressBar(panel);
    progressBar->setGeometry(0, 410, 559, 10);
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // Ctrl+Q whatever the platform's theme calls its quit key.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, &TFormConsole::quitRequested);
}

void TFormConsole::onOwnThread(std::function<void()> work) {
    if (QThread::currentThread() == thread())
        work();
    else
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void TFormConsole::showConsole() {
    onOwnThread([this] {
        followInfo_ = true;
        infoPane->clear();
        errorPane->clear();
        show();
        raise();
        activateWindow();
    });
}

void TFormConsole::setAbortHandler(std::function<void()> handler) {
    onOwnThread([this, handler = std::move(handler)] {
        abort_ = handler;
        abortButton->setEnabled(bool(abort_));
    });
}

void TFormConsole::setProgressMaximum(int maximum) {
    // A range of 0..0 would turn the bar into a busy indicator.
    onOwnThread([this, maximum] { progressBar->setMaximum(qMax(maximum, 1)); });
}

void TFormConsole::setProgressPosition(int position) {
    onOwnThread([this, position] { progressBar->setValue(position); });
}

void TFormConsole::stepProgress() {
    onOwnThread([this] { progressBar->setValue(progressBar->value() + 1); });
}

void TFormConsole::appendInfo(const std::vector<std::string>& lines) {
    onOwnThread([this, text = paneText(lines)] {
        infoPane->appendPlainText(text);
        QScrollBar* bar = infoPane->verticalScrollBar();
        if (followInfo_) bar->setValue(bar->maximum());
    });
}

void TFormConsole::replaceInfo(const std::vector<std::string>& lines) {
    onOwnThread([this, text = paneText(lines)] { infoPane->setPlainText(text); });
}

void TFormConsole::replaceErrors(const std::vector<std::string>& lines) {
    onOwnThread([this, text = paneText(lines)] { errorPane->setPlainText(text); });
}

void TFormConsole::abortBatch() {
    if (!abort_) return;
    // Once is enough: the batch ends within its grace and says so here.
    abortButton->setEnabled(false);
    abort_();
}

void TFormConsole::closeEvent(QCloseEvent* event) {
    if (!abort_) {
        event->accept();
        return;
    }
    // While a batch runs, closing aborts it, and the console stays for the
    // summary of what was written and what was not.
    abortBatch();
    event->ignore();
}

}  // namespace geovanta
