#pragma once
// What the tag writer says about a photograph it did not write, and about the
// batch itself, in the process's language (table/messages.h).

#include <string>
#include <string_view>

namespace geovanta {

// "ExifTool did not answer within N s"
std::string noAnswerReason(int seconds);
// ExifTool printed a bounded amount without the end of the command.
std::string notAnAnswerReason();
// Still writing when the grace after an abort ran out.
std::string endedByAbortReason();
// Photographs the batch did not hand to ExifTool.
std::string notTriedAfterAbortReason();
std::string notTriedAfterNoAnswersReason();
// The single photograph does not wait for another write in its folder.
std::string folderBusyReason();
// The batch waits for another write in `folder`.
std::string waitingForFolderNotice(std::string_view folder);
// A photograph whose file another row of the batch writes: a second name of
// it, or the same name twice.
std::string sameFileNote(std::string_view writtenName);
// A photograph whose XMP file another row's photograph writes: the raw file
// and the JPEG taken with it.
std::string sameSidecarNote(std::string_view writtenName);
// A second name of a written file could not be made to name it again.
std::string relinkFailedReason(std::string_view writtenName, const std::string& error);

}  // namespace geovanta
