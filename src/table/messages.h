#pragma once
// The texts made below the windows (load errors, placement reasons,
// summaries, the tag writer's lines), each in Russian and in English. A text
// is asked for by its id with its arguments and comes in the process's
// language: the window's, or English for geovanta-cli. Arguments are %1..%9;
// a text with forms for counts holds them apart by "|" (see textOfCount).

#include <cstdint>
#include <string>
#include <string_view>
#include <initializer_list>

namespace geovanta {

enum class Language { Russian, English };

// Set once at start, before any text is made; read from any thread.
void setLanguage(Language language);
Language currentLanguage();

enum class Msg {
    // Values typed or read into the table.
    InvalidDateTime,
    InvalidIntegerForField,
    FieldReadOnly,
    OutOfRangeForField,
    // Reading files.
    AtFileLine,
    NulByteInLine,
    FileTooLarge,
    NotEnoughMemory,
    NotRegularFile,
    FileNotFound,
    NotTrack,
    NotWgs84,
    NotWaypoints,
    NotGpx,
    GpxEmpty,
    GpxNoAttribute,
    GpxNotUtf8,
    MalformedXml,
    FolderCannotBeListed,
    FolderTooDeep,
    FileDateUnreadable,
    // Writing tags.
    ChangedSinceLoaded,
    NoLongerThere,
    LinkLeadsElsewhere,
    FolderInItsPlace,
    NoLongerRegular,
    CannotBeLookedAt,
    ReadOnlyFile,
    ChangedSinceWriteBegan,
    FolderHasSidecarName,
    SidecarIsThePhoto,
    NotThereYet,
    PositionOutOfRange,
    UnsayableName,
    RemovedLeftover,
    AltitudeLeftOut,
    AltitudeMetres,
    NotANumber,
    ArgumentFileCannotCarry,
    NoAnswer,
    NotAnAnswer,
    EndedByAbort,
    NotTriedAfterAbort,
    NotTriedNoAnswers,
    NotTriedEndedTwice,
    FolderBusy,
    WaitingForFolder,
    SameFile,
    SameSidecar,
    RelinkFailed,
    CouldNotStart,
    Crashed,
    ExitedWithCode,
    StoppedBeforeEnd,
    ArgumentNotUtf8,
    ProgramNameNotUtf8,
    CannotReplaceNotRegular,
    CannotWriteTo,
    CannotWriteToBecause,
    TagSummary,
    SidecarSummary,
    TagSummaryNotTried,
    TagSummaryNotTriedAfterAbort,
    CannotWriteTagsOf,
    CoordinatesWritten,
    WritingTagsProgress,
    // Placement.
    SummaryPoints,
    SummaryNoPhotos,
    SummaryPhotos,
    SummaryByHand,
    SummaryUnplaced,
    SummaryNoTrack,
    SummaryBeforeTrack,
    SummaryAfterTrack,
    SummaryInGaps,
    SummaryFromFileDate,
    OffsetsStatus,
    OffsetsPhotoZones,
    DaysUnit,
    SecondsUnit,
    Placed,
    BeforeTrack,
    AfterTrack,
    InGap,
    NoTrack,
    ByHand,
    TimeFromExif,
    TimeFromFileDate,
    TimeFromTypedFileDate,
    TimeFromFileDateInvalid,
    TimeFromTypedFileDateInvalid,
    TimeByPhotoZone,
    NoPhotoZone,
    ChangedSincePass,
    // Settings.
    CannotReadSettings,
    NegativeTolerance,
    NotSavedUnread,
    SettingsFileTooLarge,
    LanguageAtNextStart,
    // Commands.
    SkippedPoints,
    AltitudesOutOfRange,
    EarlierRowsKept,
    PhotosGone,
    SkippedNoPosition,
    SkippedVoidFixes,
    SkippedBadChecksums,
    SkippedImpossibleTimes,
    SkippedInaccurate,
    UnknownFileKind,
    FolderNotFound,
    SomeFilesUnread,
    AndMore,
    FileOrFolderNotFound,
    ClearQuestion,
    ViewerNotStarted,
    OziNotRunning,
    OziTrackSent,
    OziPhotosSent,
    PassTitle,
    TagWriteTitle,
    TableBusy,
    // The map.
    ScaleMetres,
    ScaleKilometres,
    // The formats read, as the open dialog and the help name them.
    FormatPlt,
    FormatWpt,
    FormatGpx,
    FormatAllGps,
    FormatJpeg,
    FormatTiff,
    FormatCr3,
    FormatCrw,
    FormatRaf,
    FormatHeif,
    FormatByContent,
    // Writing only where it belongs.
    SidecarIsALink,
    SidecarHasOtherNames,
    TempNameNotAFile,
    ReplacedWhileWritten,
    FolderLinkLeadsOut,
    // The file layer's and the readers' own texts.
    ReadBeyondEndOfFile,
    FileAccessDenied,
    IoError,
    CannotOpenFile,
    ListIndexOutOfBounds,
    UnableToWriteTo,
    DeleteRecordQuestion,
    InvalidFloat,
    InvalidFloatForField,
    // Place names.
    PlaceDataMissing,
    PlaceDataDamaged,
    PlaceDataDamagedAtLine,
    // Reading FIT and compressed files.
    AtFileByte,
    NotFit,
    FitNoPositions,
    FitSettingsFile,
    FitCutShort,
    FitUndefinedMessage,
    FitBadByteOrder,
    FitBadHeader,
    FitBadChecksum,
    FitTrailingBytes,
    FitCourse,
    NotGzip,
    GzipDamaged,
    GzipTooLarge,
    FormatFit,
    // Reading location histories.
    NotLocationHistory,
    MalformedJson,
    JsonTooDeep,
    AtFileLineByte,
    NoPathOnlyVisits,
    FormatLocationHistory,
    // Reading TCX, KML and KMZ files.
    NotTcx,
    NotKml,
    XmlFileEmpty,
    ZipDamaged,
    ZipNoKml,
    ZipEntryTooLarge,
    ZipEntryLongerThanStated,
    ZipEntryCrcWrong,
    FormatTcx,
    FormatKml,
    // Reading files of other devices.
    NotNmea,
    NotIgc,
    IgcDamagedRecord,
    FormatNmea,
    FormatIgc,
    // The write the photographer chooses beforehand.
    TimeFromFileDateEarlyYear,
    TimeFromTypedFileDateEarlyYear,
    FolderWithPhotoName,
    LinkLeadsNowhere,
    NotTriedRestarts,
    SharedSidecarConflict,
    MixedSummary,
    SummaryKept,
    SummaryCleared,
    AlreadyHasPosition,
    PositionsCleared,
    WriteIntoPhotos,
    WriteIntoSidecars,
    WriteRawIntoSidecars,
    KeepExistingOn,
    KeepExistingOff,
    ClearUnplacedOn,
    ClearUnplacedOff,
    CarriedPosition,
    // A mapped file cut short while it was read.
    FileCutWhileRead,
    // A load of a folder's photographs as a track, by the job's title.
    FormatPhotoTrack,
    // Place names of photographs and privacy zones.
    PlaceNamesPhotosOnly,
    InPrivacyZone,
    SummaryInPrivacyZones,
    HandPlaceInPrivacyZone,
    PlaceNamesTitle,
    PrivacyZoneUnreadable,
    PrivacyZoneInvalid,
    // Cameras on local time.
    LocalTimeZone,
    LocalTimeNearestZone,
    NoConsistentLocalZone,
    NoLocalZoneData,
    SummaryNoLocalZone,
    SummaryCamera,
    Count
};

// One argument: text as it is, a whole number in decimal.
class MsgArg {
public:
    MsgArg(std::string_view text) : text_(text) {}
    MsgArg(const std::string& text) : text_(text) {}
    MsgArg(const char* text) : text_(text) {}
    MsgArg(int value) : text_(std::to_string(value)) {}
    MsgArg(long value) : text_(std::to_string(value)) {}
    MsgArg(long long value) : text_(std::to_string(value)) {}
    MsgArg(unsigned value) : text_(std::to_string(value)) {}
    MsgArg(unsigned long value) : text_(std::to_string(value)) {}
    MsgArg(unsigned long long value) : text_(std::to_string(value)) {}
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// The text of `id` in the current language, %1..%9 replaced by `args`.
std::string textOf(Msg id, std::initializer_list<MsgArg> args = {});
// The same for a text with forms for counts, the form chosen by `count`
// (English: one, other; Russian: one, few, many).
std::string textOfCount(Msg id, uint64_t count, std::initializer_list<MsgArg> args = {});

// The stored text of `id` in `language`, arguments and forms unreplaced.
std::string_view messageTemplate(Msg id, Language language);

}  // namespace geovanta
