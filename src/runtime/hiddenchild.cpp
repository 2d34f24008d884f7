#include "runtime/hiddenchild.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "table/messages.h"
#include "table/textcodec.h"

#if defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace geovanta {
namespace {

QString fromBytes(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

bool prepareHiddenChild(QProcess& process, const std::string& program, const std::vector<std::string>& args,
                        std::string& refusal) {
    for (const std::string& text : args) {
        if (isValidUtf8(text)) continue;
        refusal = textOf(Msg::ArgumentNotUtf8, {quotedExcerpt(text)});
        return false;
    }
    if (!isValidUtf8(program)) {
        refusal = textOf(Msg::ProgramNameNotUtf8);
        return false;
    }
    process.setProgram(fromBytes(program));
    QStringList list;
    list.reserve(qsizetype(args.size()));
    for (const std::string& arg : args) list << fromBytes(arg);
    process.setArguments(list);
    // A default-constructed environment is empty, not inherited: the child
    // sees none of our variables.
    process.setProcessEnvironment(QProcessEnvironment());
    process.setProcessChannelMode(QProcess::SeparateChannels);
#if defined(Q_OS_WIN)
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* a) {
        a->flags |= CREATE_NO_WINDOW;
        a->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        a->startupInfo->wShowWindow = SW_HIDE;
    });
#endif
    return true;
}

}  // namespace geovanta
