#include "runtime/processrunner.h"

#include <QByteArray>
#include <QProcess>

#include <algorithm>
#include <climits>

#include "output/tagreasons.h"
#include "runtime/hiddenchild.h"
#include "table/textlines.h"

namespace geovanta {

namespace {

// A killed child is gone at once unless the kernel holds it (a dead network
// disk); it is not waited for longer than this.
constexpr int kReapMs = 5000;

std::vector<std::string> linesOf(const QByteArray& bytes) {
    return splitLines(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

}  // namespace

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::milliseconds within) {
    CommandResult result;
    QProcess process;
    if (!prepareHiddenChild(process, program, args, result.startError)) return result;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    const int ms = static_cast<int>(std::min<std::chrono::milliseconds::rep>(within.count(), INT_MAX));
    if (!process.waitForStarted(ms)) {
        result.outcome = CommandResult::Outcome::NotStarted;
        result.startError = process.errorString().toStdString();
        return result;
    }
    // QProcess drains both pipes while it waits, so a child that fills one
    // pipe while we would be reading the other cannot stall.
    if (!process.waitForFinished(ms) && process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(kReapMs);
        result.outcome = CommandResult::Outcome::NoAnswer;
        result.givenUp = noAnswerReason(static_cast<int>(std::chrono::ceil<std::chrono::seconds>(within).count()));
        return result;
    }
    result.outputLines = linesOf(process.readAllStandardOutput());
    result.errorLines = linesOf(process.readAllStandardError());
    if (process.exitStatus() == QProcess::CrashExit) {
        result.outcome = CommandResult::Outcome::Crashed;
    } else {
        result.outcome = CommandResult::Outcome::Exited;
        result.exitCode = process.exitCode();
    }
    return result;
}

}  // namespace geovanta
