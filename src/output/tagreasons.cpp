#include "output/tagreasons.h"

#include "table/messages.h"
#include "table/textcodec.h"

namespace geovanta {

std::string noAnswerReason(int seconds) { return textOf(Msg::NoAnswer, {seconds}); }

std::string notAnAnswerReason() { return textOf(Msg::NotAnAnswer); }

std::string endedByAbortReason() { return textOf(Msg::EndedByAbort); }

std::string notTriedAfterAbortReason() { return textOf(Msg::NotTriedAfterAbort); }

std::string notTriedAfterNoAnswersReason() { return textOf(Msg::NotTriedNoAnswers); }

std::string folderBusyReason() { return textOf(Msg::FolderBusy); }

std::string waitingForFolderNotice(std::string_view folder) {
    return textOf(Msg::WaitingForFolder, {displayFileName(folder)});
}

std::string sameFileNote(std::string_view writtenName) { return textOf(Msg::SameFile, {displayFileName(writtenName)}); }

std::string sameSidecarNote(std::string_view writtenName) {
    return textOf(Msg::SameSidecar, {displayFileName(writtenName)});
}

std::string relinkFailedReason(std::string_view writtenName, const std::string& error) {
    return textOf(Msg::RelinkFailed, {displayFileName(writtenName), error});
}

}  // namespace geovanta
