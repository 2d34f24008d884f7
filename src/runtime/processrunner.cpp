#include "runtime/processrunner.h"

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "table/textcodec.h"
#include "table/textlines.h"

#if defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace geovanta {

namespace {

QString fromBytes(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

std::vector<std::string> linesOf(const QByteArray& bytes) {
    return splitLines(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

}  // namespace

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args) {
    // Text that is not UTF-8 would reach the child with replacement
    // characters in place of its bytes: a file name would then name another
    // file, or none. Such a command is not run at all.
    for (const std::string& text : args) {
        if (isValidUtf8(text)) continue;
        CommandResult refused;
        refused.startError = "an argument is not valid UTF-8: " + quotedExcerpt(text);
        return refused;
    }
    if (!isValidUtf8(program)) {
        CommandResult refused;
        refused.startError = "the program name is not valid UTF-8";
        return refused;
    }
    QProcess process;
    process.setProgram(fromBytes(program));
    QStringList list;
    list.reserve(qsizetype(args.size()));
    for (const std::string& arg : args) list << fromBytes(arg);
    process.setArguments(list);
    // A default-constructed environment is empty, not inherited: the child
    // sees none of our variables.
    process.setProcessEnvironment(QProcessEnvironment());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::SeparateChannels);
#if defined(Q_OS_WIN)
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* a) {
        a->flags |= CREATE_NO_WINDOW;
        a->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        a->startupInfo->wShowWindow = SW_HIDE;
    });
#endif

    CommandResult result;
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
