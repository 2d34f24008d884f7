#include "runtime/processrunner.h"

#include <QByteArray>
#include <QProcess>

#include "runtime/hiddenchild.h"
#include "table/textlines.h"

namespace geovanta {

namespace {

std::vector<std::string> linesOf(const QByteArray& bytes) {
    return splitLines(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

}  // namespace

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args) {
    CommandResult result;
    QProcess process;
    if (!prepareHiddenChild(process, program, args, result.startError)) return result;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        result.outcome = CommandResult::Outcome::NotStarted;
        result.startError = process.errorString().toStdString();
        return result;
    }
    // QProcess drains both pipes while it waits, so a child that fills one
    // pipe while we would be reading the other cannot stall.
    process.waitForFinished(-1);
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
