#include "ui/formconsole.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

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

TFormConsole::TFormConsole(QWidget* mainWindow) : QWidget(nullptr, Qt::Tool), mainWindow_(mainWindow) {
    setWindowTitle(QStringLiteral("EXIFtool>_"));
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setFixedSize(559, 420);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 559, 420);
    Label1 = new QLabel(QStringLiteral("Информация:"), Panel1);
    Label1->move(8, 8);
    Memo1 = memo(Panel1, 1, 25, 557, 216);
    Label2 = new QLabel(QStringLiteral("Ошибки:"), Panel1);
    Label2->move(8, 248);
    Memo2 = memo(Panel1, 1, 270, 557, 89);
    Button1 = new QPushButton(QStringLiteral("Прервать процесс"), Panel1);
    Button1->setGeometry(192, 368, 153, 33);
    connect(Button1, &QPushButton::clicked, this, &TFormConsole::Button1Click);
    ProgressBar1 = new QProgressBar(Panel1);
    ProgressBar1->setGeometry(0, 410, 559, 10);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFormConsole::showConsole() {
    show();
    raise();
    activateWindow();
    if (mainWindow_) mainWindow_->setEnabled(false);
}

void TFormConsole::closeConsole() {
    close();
    // The main window comes back even when the console was never shown.
    FormClose();
}

void TFormConsole::setProgressMaximum(int maximum) {
    // A range of 0..0 would turn the bar into a busy indicator.
    ProgressBar1->setMaximum(qMax(maximum, 1));
}

void TFormConsole::setProgressPosition(int position) { ProgressBar1->setValue(position); }

void TFormConsole::stepProgress() { ProgressBar1->setValue(ProgressBar1->value() + 1); }

void TFormConsole::appendInfo(const std::vector<std::string>& lines) { Memo1->appendPlainText(paneText(lines)); }

void TFormConsole::replaceInfo(const std::vector<std::string>& lines) { Memo1->setPlainText(paneText(lines)); }

void TFormConsole::replaceErrors(const std::vector<std::string>& lines) { Memo2->setPlainText(paneText(lines)); }

void TFormConsole::processPendingEvents() { QCoreApplication::processEvents(); }

void TFormConsole::waitForEvents(bool userInput) {
    QEventLoop::ProcessEventsFlags flags = QEventLoop::WaitForMoreEvents;
    if (!userInput) flags |= QEventLoop::ExcludeUserInputEvents;
    QCoreApplication::processEvents(flags);
}

void TFormConsole::wake() {
    // An empty call queued to this window's thread: it ends the wait there,
    // and one queued before the wait begins is not lost.
    QMetaObject::invokeMethod(this, [] {}, Qt::QueuedConnection);
}

bool TFormConsole::abortRequested() const { return mainWindow_ ? mainWindow_->isEnabled() : !isVisible(); }

void TFormConsole::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TFormConsole::Button1Click() { close(); }

void TFormConsole::FormClose() {
    if (mainWindow_) mainWindow_->setEnabled(true);
}

}  // namespace geovanta
