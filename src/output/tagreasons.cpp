#include "output/tagreasons.h"

#include "table/textcodec.h"

namespace geovanta {

std::string noAnswerReason(int seconds) { return "ExifTool did not answer within " + std::to_string(seconds) + " s"; }

std::string notAnAnswerReason() { return "ExifTool printed more than 1 MB without answering"; }

std::string endedByAbortReason() { return "ExifTool was ended by the abort before it answered"; }

std::string notTriedAfterAbortReason() { return "not tried after the abort"; }

std::string notTriedAfterNoAnswersReason() { return "not tried: ExifTool did not answer twice in a row"; }

std::string folderBusyReason() { return "another write of GPS tags is running in its folder"; }

std::string waitingForFolderNotice(std::string_view folder) {
    return "another write of GPS tags is running in \"" + displayFileName(folder) + "\"; waiting for it to end";
}

std::string sameFileNote(std::string_view writtenName) {
    return "the same file as \"" + displayFileName(writtenName) + "\", written once";
}

std::string relinkFailedReason(std::string_view writtenName, const std::string& error) {
    return "the same file as \"" + displayFileName(writtenName) +
           "\", which was written; this name could not be given the written file: " + error;
}

}  // namespace geovanta
