#include "table/messages.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <vector>

namespace geovanta {
namespace {

std::atomic<Language> gLanguage{Language::English};

struct Texts {
    Msg id;
    const char* russian;
    const char* english;
};

// In the order of Msg; a test holds each entry to its id. Russian texts the
// window showed before English came stay word for word.
constexpr std::array<Texts, static_cast<std::size_t>(Msg::Count)> kTexts{{
    {Msg::InvalidDateTime, "'%1' — недопустимые дата и время", "'%1' is not a valid date and time"},
    {Msg::InvalidIntegerForField, "'%1' — недопустимое целое число для поля '%2'",
     "'%1' is not a valid integer value for field '%2'"},
    {Msg::FieldReadOnly, "Поле '%1' нельзя изменить", "Field '%1' cannot be modified"},
    {Msg::OutOfRangeForField, "'%1' — вне допустимых значений поля '%2'", "'%1' is out of range for field '%2'"},

    {Msg::AtFileLine, "\n%1, строка %2", "\n%1, line %2"},
    {Msg::NulByteInLine, "В строке данных есть нулевой байт: файл повреждён",
     "A data line holds a NUL byte: the file is damaged"},
    {Msg::FileTooLarge, "Файл %1 слишком велик (больше %2 МБ)", "File %1 is too large (more than %2 MB)"},
    {Msg::NotEnoughMemory, "Недостаточно памяти, чтобы загрузить %1", "Not enough memory to load %1"},
    {Msg::NotRegularFile, "не обычный файл", "not a regular file"},
    {Msg::FileNotFound, "Файл не найден", "File not found"},
    {Msg::NotTrack, "Файл не является треком OziExplorer!", "The file is not an OziExplorer track!"},
    {Msg::NotWgs84, "Координаты точек не в WGS 84!", "The points' coordinates are not in WGS 84!"},
    {Msg::NotWaypoints, "Файл не совместим с указанным форматом", "The file does not match the chosen format"},
    {Msg::NotGpx, "Файл не является файлом GPX!", "The file is not a GPX file!"},
    {Msg::GpxEmpty, "Файл GPX пуст: %1", "The GPX file is empty: %1"},
    {Msg::GpxNoAttribute, "У точки нет атрибута '%1'", "The point has no '%1' attribute"},
    {Msg::GpxNotUtf8, "Файл не в кодировке UTF-8; сохраните его в UTF-8, чтобы прочитать",
     "The file is not in UTF-8; save it as UTF-8 to read it"},
    {Msg::MalformedXml, "Ошибка в XML: %1", "Malformed XML: %1"},
    {Msg::FolderCannotBeListed, "не удаётся прочитать содержимое папки: %1", "the folder cannot be listed: %1"},
    {Msg::FolderTooDeep, "папка вложена глубже %1 уровней", "the folder lies more than %1 levels deep"},
    {Msg::FileDateUnreadable, "не удаётся прочитать дату файла", "the file's date cannot be read"},

    {Msg::ChangedSinceLoaded, "изменён после загрузки", "changed since it was loaded"},
    {Msg::NoLongerThere, "его больше нет", "it is no longer there"},
    {Msg::LinkLeadsElsewhere, "ссылка теперь ведёт к другому файлу", "its link leads to another file now"},
    {Msg::FolderInItsPlace, "на его месте папка", "a folder is in its place"},
    {Msg::NoLongerRegular, "это больше не обычный файл", "it is no longer a regular file"},
    {Msg::CannotBeLookedAt, "файл не удаётся проверить: %1", "cannot be looked at: %1"},
    {Msg::ReadOnlyFile, "файл только для чтения", "the file is read-only"},
    {Msg::ChangedSinceWriteBegan, "изменён после начала записи", "changed since the write began"},
    {Msg::FolderHasSidecarName, "папка носит имя файла XMP", "a folder has the XMP file's name"},
    {Msg::SidecarIsThePhoto, "это сама фотография под другим именем", "it is the photograph itself under another name"},
    {Msg::NotThereYet, "его ещё не было", "it was not there yet"},
    {Msg::PositionOutOfRange, "координаты вне допустимых широт и долгот",
     "the position lies outside the range of latitudes and longitudes"},
    {Msg::UnsayableName, "в имени есть перевод строки рядом с \"$\" или \"@\", а такое имя ExifTool передать нельзя",
     "the name holds a line break beside \"$\" or \"@\", which ExifTool cannot be given"},
    {Msg::RemovedLeftover, "удалён \"%1\", оставшийся от прерванной записи",
     "removed \"%1\", left by an earlier write that was cut short"},
    {Msg::AltitudeLeftOut, "высоту %1 записать нельзя, она пропущена; широта и долгота записаны",
     "the altitude %1 cannot be written and was left out; latitude and longitude were written"},
    {Msg::AltitudeMetres, "%1 м", "%1 m"},
    {Msg::NotANumber, "(не число)", "(not a number)"},
    {Msg::ArgumentFileCannotCarry, "файл аргументов ExifTool не может передать %1",
     "ExifTool's argument file cannot carry %1"},
    {Msg::NoAnswer, "ExifTool не ответил за %1 с", "ExifTool did not answer within %1 s"},
    {Msg::NotAnAnswer, "ExifTool вывел больше 1 МБ, так и не ответив",
     "ExifTool printed more than 1 MB without answering"},
    {Msg::EndedByAbort, "ExifTool остановлен прерыванием, не успев ответить",
     "ExifTool was ended by the abort before it answered"},
    {Msg::NotTriedAfterAbort, "пропущено после прерывания", "not tried after the abort"},
    {Msg::NotTriedNoAnswers, "пропущено: ExifTool дважды подряд не ответил",
     "not tried: ExifTool did not answer twice in a row"},
    {Msg::NotTriedEndedTwice, "пропущено: %1 дважды подряд завершился", "not tried: %1 ended twice in a row"},
    {Msg::FolderBusy, "в его папке идёт другая запись GPS-тегов", "another write of GPS tags is running in its folder"},
    {Msg::WaitingForFolder, "в \"%1\" идёт другая запись GPS-тегов; ждём её окончания",
     "another write of GPS tags is running in \"%1\"; waiting for it to end"},
    {Msg::SameFile, "тот же файл, что \"%1\", записан один раз", "the same file as \"%1\", written once"},
    {Msg::SameSidecar, "тот же файл XMP, что \"%1\", записан один раз", "the same XMP file as \"%1\", written once"},
    {Msg::RelinkFailed,
     "тот же файл, что \"%1\", который записан; это имя не удалось снова связать с записанным файлом: %2",
     "the same file as \"%1\", which was written; this name could not be given the written file: %2"},
    {Msg::CouldNotStart, "не удалось запустить %1", "could not start %1"},
    {Msg::Crashed, "%1 завершился аварийно", "%1 crashed"},
    {Msg::ExitedWithCode, "%1 завершился с кодом %2", "%1 exited with code %2"},
    {Msg::StoppedBeforeEnd, "%1 остановился, не закончив (код выхода %2)",
     "%1 stopped before finishing (exit code %2)"},
    {Msg::ArgumentNotUtf8, "аргумент не в кодировке UTF-8: %1", "an argument is not valid UTF-8: %1"},
    {Msg::ProgramNameNotUtf8, "имя программы не в кодировке UTF-8", "the program name is not valid UTF-8"},
    {Msg::CannotReplaceNotRegular, "нельзя заменить '%1': это не обычный файл",
     "cannot replace '%1': not a regular file"},
    {Msg::CannotWriteTo, "не удаётся записать в '%1'", "cannot write to '%1'"},
    {Msg::CannotWriteToBecause, "не удаётся записать в '%1': %2", "cannot write to '%1': %2"},
    {Msg::TagSummary, "GPS-теги: записано %1, не привязано %2, ошибок %3",
     "GPS tags: %1 written, %2 not placed, %3 failed"},
    {Msg::SidecarSummary, "Файлы XMP: записано %1, не привязано %2, ошибок %3",
     "XMP files: %1 written, %2 not placed, %3 failed"},
    {Msg::TagSummaryNotTried, ", пропущено %1", ", %1 not tried"},
    {Msg::TagSummaryNotTriedAfterAbort, ", пропущено после прерывания %1", ", %1 not tried after the abort"},
    {Msg::CannotWriteTagsOf, "Не удалось записать GPS-теги в %1", "Cannot write the GPS tags of %1"},
    {Msg::CoordinatesWritten, "Координаты записаны", "The coordinates have been written"},
    {Msg::WritingTagsProgress, "запись GPS-тегов: %1 из %2 фото", "writing GPS tags: %1 of %2 photos"},

    {Msg::SummaryPoints, "%1 точка|%1 точки|%1 точек", "%1 point|%1 points"},
    {Msg::SummaryNoPhotos, "%1, фотографий нет", "%1, no photos"},
    {Msg::SummaryPhotos, "%1, %2 фото: привязано %3", "%1, %2 photo: placed %3|%1, %2 photos: placed %3"},
    {Msg::SummaryByHand, " (вручную %1)", " (by hand %1)"},
    {Msg::SummaryUnplaced, ", не привязано %1 (%2)", ", not placed %1 (%2)"},
    {Msg::SummaryNoTrack, "трек не загружен", "no track loaded"},
    {Msg::SummaryBeforeTrack, "до трека %1", "before the track %1"},
    {Msg::SummaryAfterTrack, "после %1", "after it %1"},
    {Msg::SummaryInGaps, "в разрывах %1", "in gaps %1"},
    {Msg::SummaryFromFileDate, ", по дате файла %1", ", from file date %1"},
    {Msg::OffsetsStatus, "Смещение: трек %1, фото %2; допуск %3 с", "Offsets: track %1, photos %2; tolerance %3 s"},
    {Msg::OffsetsPhotoZones, "; часовой пояс из фото", "; photos' own time zones"},
    {Msg::DaysUnit, "сут", "d"},
    {Msg::SecondsUnit, "с", "s"},
    // The English reasons are also geovanta-cli's lines after a file's name.
    {Msg::Placed, "Привязано: до ближайшей точки трека %1", "placed, %1 from the nearer point"},
    {Msg::BeforeTrack, "Не привязано: снято за %1 до начала трека", "not placed: before the first point by %1"},
    {Msg::AfterTrack, "Не привязано: снято через %1 после конца трека", "not placed: after the last point by %1"},
    {Msg::InGap, "Не привязано: разрыв в треке, до ближайшей точки %1, допуск %2 с",
     "not placed: in a gap, nearest point %1 away, tolerance %2 s"},
    {Msg::NoTrack, "Не привязано: трек не загружен", "not placed: no track loaded"},
    {Msg::ByHand, "Фото привязано вручную", "placed by hand"},
    {Msg::TimeFromExif, "Время съёмки из EXIF", "time from EXIF"},
    {Msg::TimeFromFileDate, "Время съёмки взято из даты файла: в EXIF его нет", "time from the file's date"},
    {Msg::TimeFromTypedFileDate, "Время съёмки взято из даты файла %1: в EXIF его нет", "time from the %1 file's date"},
    {Msg::TimeFromFileDateInvalid, "Время съёмки взято из даты файла: дата EXIF недопустима: %1",
     "time from the file's date: EXIF date is not a date: %1"},
    {Msg::TimeFromTypedFileDateInvalid, "Время съёмки взято из даты файла %1: дата EXIF недопустима: %2",
     "time from the %1 file's date: EXIF date is not a date: %2"},
    {Msg::TimeByPhotoZone, "время UTC по поясу из фото %1", "time to UTC by the photo's zone %1"},
    {Msg::NoPhotoZone, "пояса в фото нет, только смещение фото", "no zone in the photo, the photo offset alone"},
    {Msg::ChangedSincePass,
     "Таблица изменена после расчёта: координаты пересчитаются при следующей загрузке или смене смещений",
     "The table was changed after the calculation: positions are worked out again at the next load or change of "
     "offsets"},

    {Msg::CannotReadSettings,
     "Не удаётся прочитать файл настроек %1: %2. Действуют настройки по умолчанию, а файл оставлен как есть",
     "Cannot read the settings file %1: %2. The default settings apply, and the file is left as it is"},
    {Msg::NegativeTolerance, "DeltaSec=%1 в %2 меньше 0 секунд; взято %3",
     "DeltaSec=%1 in %2 is below 0 seconds; %3 is used"},
    {Msg::NotSavedUnread, "Не сохранено: файл настроек %1 не удалось прочитать при запуске (%2), поэтому он оставлен как есть",
     "Not saved: the settings file %1 could not be read at start (%2), so it is left as it is"},
    {Msg::SettingsFileTooLarge, "больше %1 МБ, слишком велик для файла настроек",
     "larger than %1 MB, too large for a settings file"},
    {Msg::LanguageAtNextStart, "Язык сменится при следующем запуске программы.",
     "The language changes at the program's next start."},

    {Msg::SkippedPoints, "Пропущено точек без времени: %1 (%2)", "Points without a time left out: %1 (%2)"},
    {Msg::AltitudesOutOfRange, "Точек с невозможной высотой (взяты без высоты): %1 (%2)",
     "Points with an impossible altitude (taken without one): %1 (%2)"},
    {Msg::EarlierRowsKept, "\nФайл не прочитан заново: точки его прежней загрузки оставлены.",
     "\nThe file could not be read again: the points of its earlier load are kept."},
    {Msg::PhotosGone, "Фотографий больше нет на диске, они убраны из таблицы: %1 (%2)",
     "Photographs no longer on the disk, taken out of the table: %1 (%2)"},
    {Msg::SkippedNoPosition, "Пропущено точек без координат: %1 (%2)", "Points without a position left out: %1 (%2)"},
    {Msg::SkippedVoidFixes, "Пропущено точек без решения приёмника: %1 (%2)",
     "Points the receiver marked as no fix left out: %1 (%2)"},
    {Msg::SkippedBadChecksums, "Пропущено записей с неверной контрольной суммой: %1 (%2)",
     "Records with a wrong checksum left out: %1 (%2)"},
    {Msg::SkippedImpossibleTimes, "Пропущено точек с невозможной датой: %1 (%2)",
     "Points with an impossible date left out: %1 (%2)"},
    {Msg::SkippedInaccurate, "Пропущено неточных точек (точность хуже предела): %1 (%2)",
     "Points less accurate than the limit left out: %1 (%2)"},
    {Msg::UnknownFileKind, "Неизвестный тип файла: %1", "Unknown file type: %1"},
    {Msg::FolderNotFound, "Папка не найдена: %1", "Folder not found: %1"},
    {Msg::SomeFilesUnread, "Не все файлы удалось прочитать, остальные фотографии загружены:",
     "Some files could not be read; the other photographs were loaded:"},
    {Msg::AndMore, "… и ещё %1", "… and %1 more"},
    {Msg::FileOrFolderNotFound, "Файл или папка не найдены: %1", "File or folder not found: %1"},
    {Msg::ClearQuestion, "Убрать из таблицы все точки и фотографии? Файлы на диске не изменятся.",
     "Remove all points and photographs from the table? The files on disk stay as they are."},
    {Msg::ViewerNotStarted, "Не удалось открыть фотографию в программе просмотра: %1",
     "Cannot open the photograph in a viewer: %1"},
    {Msg::OziNotRunning, "Запустите программу OziExplorer", "Start OziExplorer first"},
    {Msg::OziTrackSent, "Путь передан в OziExplorer", "The track has been sent to OziExplorer"},
    {Msg::OziPhotosSent, "Координаты фотографий переданы в OziExplorer",
     "The photographs' positions have been sent to OziExplorer"},
    {Msg::PassTitle, "Пересчёт", "Recalculating"},
    {Msg::TagWriteTitle, "запись координат в фото", "writing positions into photographs"},
    {Msg::TableBusy, "Таблица сейчас занята (%1): изменение не сделано. Дождитесь окончания или отмените.",
     "The table is busy (%1): nothing was changed. Wait until it is done, or cancel it."},

    {Msg::ScaleMetres, "%1 м", "%1 m"},
    {Msg::ScaleKilometres, "%1 км", "%1 km"},

    {Msg::FormatPlt, "Треки OziExplorer", "OziExplorer tracks"},
    {Msg::FormatWpt, "Точки OziExplorer", "OziExplorer waypoints"},
    {Msg::FormatGpx, "GPX", "GPX"},
    {Msg::FormatAllGps, "Все файлы GPS", "All GPS files"},
    {Msg::FormatJpeg, "JPEG", "JPEG"},
    {Msg::FormatTiff, "TIFF и raw-файлы на его основе", "TIFF and the raw files built on it"},
    {Msg::FormatCr3, "Canon CR3", "Canon CR3"},
    {Msg::FormatCrw, "Canon CRW", "Canon CRW"},
    {Msg::FormatRaf, "Fujifilm RAF", "Fujifilm RAF"},
    {Msg::FormatHeif, "HEIF и AVIF", "HEIF and AVIF"},
    {Msg::FormatByContent, " (по содержимому)", " (by content)"},
    {Msg::SidecarIsALink, "это символическая ссылка; не записан", "it is a symbolic link; not written"},
    {Msg::SidecarHasOtherNames, "у файла есть другие имена (жёсткие ссылки); не записан",
     "the file has other names (hard links); not written"},
    {Msg::TempNameNotAFile, "на месте временного файла ExifTool \"%1\" ссылка или не обычный файл; не записан",
     "a link or something other than a file has the name of ExifTool's temporary file \"%1\"; not written"},
    {Msg::ReplacedWhileWritten, "во время записи файл заменили ссылкой или не обычным файлом",
     "it was replaced by a link or something other than a file while it was written"},
    {Msg::FolderLinkLeadsOut, "ссылка ведёт за пределы выбранной папки; не прочитана",
     "the link leads out of the folder given; not read"},

    {Msg::ReadBeyondEndOfFile, "Чтение за концом файла", "Read beyond end of file"},
    {Msg::FileAccessDenied, "Доступ к файлу запрещён", "File access denied"},
    {Msg::IoError, "Ошибка ввода-вывода %1", "I/O error %1"},
    {Msg::CannotOpenFile, "Не удаётся открыть файл %1: %2", "Cannot open file %1: %2"},
    {Msg::ListIndexOutOfBounds, "Индекс списка вне границ (%1)", "List index out of bounds (%1)"},
    {Msg::UnableToWriteTo, "Не удаётся записать в %1", "Unable to write to %1"},
    {Msg::DeleteRecordQuestion, "Удалить запись?", "Delete record?"},
    {Msg::InvalidFloat, "'%1' — недопустимое дробное число", "'%1' is not a valid floating point value"},
    {Msg::InvalidFloatForField, "'%1' — недопустимое дробное число для поля '%2'",
     "'%1' is not a valid floating point value for field '%2'"},
    {Msg::PlaceDataMissing, "Названия мест недоступны: нет файла %1",
     "Place names are not available: the file %1 is missing"},
    {Msg::PlaceDataDamaged, "Названия мест недоступны: файл %1 повреждён",
     "Place names are not available: the file %1 is damaged"},
    {Msg::PlaceDataDamagedAtLine, "Названия мест недоступны: файл %1 повреждён (строка %2)",
     "Place names are not available: the file %1 is damaged (line %2)"},

    {Msg::AtFileByte, "\n%1, байт %2", "\n%1, byte %2"},
    {Msg::NotFit, "Файл не является файлом FIT!", "The file is not a FIT file!"},
    {Msg::FitNoPositions, "В файле FIT нет координат", "The FIT file holds no positions"},
    {Msg::FitSettingsFile, "В файле FIT хранятся настройки, а не координаты",
     "The FIT file holds settings, not positions"},
    {Msg::FitCutShort, "Файл FIT обрывается посреди данных", "The FIT file is cut short"},
    {Msg::FitUndefinedMessage, "Сообщение FIT местного типа %1 не определено",
     "A FIT message of local type %1 has no definition"},
    {Msg::FitBadByteOrder, "В определении сообщения FIT неизвестный порядок байтов (%1)",
     "A FIT message definition gives an unknown byte order (%1)"},
    {Msg::FitBadHeader, "Заголовок файла FIT повреждён", "The FIT file's header is damaged"},
    {Msg::FitBadChecksum, "Контрольная сумма файла FIT в байте %1 неверна: файл, возможно, повреждён",
     "The FIT file's checksum at byte %1 is wrong: the file may be damaged"},
    {Msg::FitTrailingBytes, "Байты начиная с %1-го, после конца данных FIT, не прочитаны",
     "The bytes from byte %1 on, after the end of the FIT data, were not read"},
    {Msg::FitCourse, "Файл FIT — это маршрут: время его точек может быть расчётным, а не записанным",
     "The FIT file is a course: its points' times may be planned rather than recorded"},
    {Msg::NotGzip, "Файл не сжат gzip", "The file is not compressed with gzip"},
    {Msg::GzipDamaged, "Сжатые данные повреждены или обрываются", "The compressed data are damaged or cut short"},
    {Msg::GzipTooLarge, "Файл %1 после распаковки больше %2 МБ", "File %1 expands beyond %2 MB"},
    {Msg::FormatFit, "FIT", "FIT"},

    {Msg::NotLocationHistory, "Файл не является историей местоположений!", "The file is not a location history!"},
    {Msg::MalformedJson, "Ошибка в JSON: %1", "Malformed JSON: %1"},
    {Msg::JsonTooDeep, "JSON вложен глубже %1 уровней", "The JSON nests deeper than %1 levels"},
    {Msg::AtFileLineByte, "\n%1, строка %2, байт %3", "\n%1, line %2, byte %3"},
    {Msg::NoPathOnlyVisits,
     "В файле нет пройденного пути, только %1 место или перемещение без пути: оно пропущено|"
     "В файле нет пройденного пути, только %1 места и перемещения без пути: они пропущены|"
     "В файле нет пройденного пути, только %1 мест и перемещений без пути: они пропущены",
     "The file holds no path, only %1 visit or activity without one, which is passed over|"
     "The file holds no path, only %1 visits and activities without one, which are passed over"},
    {Msg::FormatLocationHistory, "История местоположений", "Location history"},
    {Msg::NotTcx, "Файл не является файлом TCX!", "The file is not a TCX file!"},
    {Msg::NotKml, "Файл не является файлом KML!", "The file is not a KML file!"},
    {Msg::XmlFileEmpty, "Файл пуст: %1", "The file is empty: %1"},
    {Msg::ZipDamaged, "Архив %1 повреждён: %2", "The archive %1 is damaged: %2"},
    {Msg::ZipNoKml, "В архиве %1 нет файла KML", "The archive %1 holds no KML file"},
    {Msg::ZipEntryTooLarge, "%2 в архиве %1 в распакованном виде больше %3 МБ",
     "%2 in the archive %1 unpacks to more than %3 MB"},
    {Msg::ZipEntryLongerThanStated, "%1 в распакованном виде больше, чем указано в архиве",
     "%1 unpacks to more than the archive states"},
    {Msg::ZipEntryCrcWrong, "Контрольная сумма %1 в архиве не сходится: данные могут быть искажены",
     "The checksum of %1 in the archive is wrong: the data may be damaged"},
    {Msg::FormatTcx, "Garmin TCX", "Garmin TCX"},
    {Msg::FormatKml, "KML и KMZ", "KML and KMZ"},

    {Msg::NotNmea, "В файле нет сообщений NMEA 0183!", "The file holds no NMEA 0183 sentences!"},
    {Msg::NotIgc, "Файл не является записью полёта IGC!", "The file is not an IGC flight log!"},
    {Msg::IgcDamagedRecord, "Запись точки повреждена: '%1'", "A fix record is damaged: '%1'"},
    {Msg::FormatNmea, "Журналы NMEA 0183", "NMEA 0183 logs"},
    {Msg::FormatIgc, "Полёты IGC", "IGC flight logs"},

    {Msg::TimeFromFileDateEarlyYear, "Время съёмки взято из даты файла: год в дате EXIF раньше 1900: %1",
     "time from the file's date: the EXIF date's year is before 1900: %1"},
    {Msg::TimeFromTypedFileDateEarlyYear, "Время съёмки взято из даты файла %1: год в дате EXIF раньше 1900: %2",
     "time from the %1 file's date: the EXIF date's year is before 1900: %2"},
    {Msg::FolderWithPhotoName, "папка с именем фотографии; не прочитана",
     "a folder with a photograph's name; not read"},
    {Msg::LinkLeadsNowhere, "ссылка никуда не ведёт", "a link that leads nowhere"},
    {Msg::NotTriedRestarts, "пропущено: %1 завершался %2 раз подряд, не записав ни одного фото",
     "not tried: %1 ended %2 times in a row without writing a photograph"},
    {Msg::SharedSidecarConflict, "файл XMP \"%1\" общий с \"%2\", а координаты у них разные; файл XMP не изменён",
     "the XMP file \"%1\" is shared with \"%2\", whose position is not the same; the XMP file was left alone"},
    {Msg::MixedSummary, "Записано: в фото %1, в файлы XMP %2; не привязано %3, ошибок %4",
     "Written: %1 into photos, %2 into XMP files; %3 not placed, %4 failed"},
    {Msg::SummaryKept, ", не заменено %1 (уже есть координаты)", ", %1 kept (already had coordinates)"},
    {Msg::SummaryCleared, ", координаты удалены у %1", ", %1 cleared"},
    {Msg::AlreadyHasPosition, "уже есть координаты", "already has coordinates"},
    {Msg::PositionsCleared, "координаты удалены", "coordinates removed"},
    {Msg::WriteIntoPhotos, "Запись: в фото", "Writing: into the photos"},
    {Msg::WriteIntoSidecars, "Запись: в файлы XMP рядом с фото (%1)", "Writing: into XMP files beside the photos (%1)"},
    {Msg::WriteRawIntoSidecars, "Запись: raw — в файлы XMP рядом с ними (%1), остальные — в фото",
     "Writing: raw files into XMP files beside them (%1), the others into the photos"},
    {Msg::KeepExistingOn, "Координаты, которые уже есть в фото, не заменяются",
     "Coordinates a photo already has are kept"},
    {Msg::KeepExistingOff, "Координаты, которые уже есть в фото, заменяются",
     "Coordinates a photo already has are replaced"},
    {Msg::ClearUnplacedOn, "У непривязанных фото координаты удаляются", "Coordinates of unplaced photos are removed"},
    {Msg::ClearUnplacedOff, "У непривязанных фото координаты не трогаются",
     "Coordinates of unplaced photos are left as they are"},
    {Msg::CarriedPosition, "В фото уже были координаты: %1, %2", "The photo already had coordinates: %1, %2"},
    {Msg::FileCutWhileRead, "Файл %1 укоротился или перестал читаться во время загрузки",
     "File %1 was cut short or became unreadable while it was loaded"},
    {Msg::FormatPhotoTrack, "Трек из фотографий с координатами", "Track from photographs with coordinates"},
    {Msg::PlaceNamesPhotosOnly, "Названия мест бывают только у фотографий", "Only photographs have place names"},
    {Msg::InPrivacyZone, "Не привязано: в зоне приватности «%1»", "not placed: in the privacy zone “%1”"},
    {Msg::SummaryInPrivacyZones, "в зонах приватности %1", "in privacy zones %1"},
    {Msg::HandPlaceInPrivacyZone, "Это место в зоне приватности «%1»: фотографии туда не ставятся",
     "This place is in the privacy zone “%1”: no photograph is placed there"},
    {Msg::PlaceNamesTitle, "Названия мест", "Place names"},
    {Msg::PrivacyZoneUnreadable,
     "Зона приватности %1=%2 в файле %3 не прочитана и не действует: нужно «широта,долгота,радиус в метрах,название»",
     "The privacy zone %1=%2 in %3 cannot be read and does not apply: it should be \"LAT,LON,RADIUS_M,NAME\""},
    {Msg::PrivacyZoneInvalid, "Зона приватности не добавлена: радиус больше нуля и не больше 1000 км, зон не больше 100",
     "The privacy zone was not added: its radius must be above 0 and at most 1000 km, and there can be at most 100 zones"},
    {Msg::LocalTimeZone, "местное время %1, UTC%2", "local time %1, UTC%2"},
    {Msg::LocalTimeNearestZone, "местное время по поясу ближайшей точки трека %1, UTC%2",
     "local time by the nearest point's zone %1, UTC%2"},
    {Msg::NoConsistentLocalZone,
     "Не привязано: часы камеры идут по местному времени, но ни в одном часовом поясе трека это время не приходится "
     "на участок трека в том же поясе",
     "not placed: the camera keeps local time, and no time zone of the track reads it onto the track inside that "
     "zone"},
    {Msg::NoLocalZoneData,
     "Не привязано: часы камеры идут по местному времени, а данные о часовых поясах прочитать не удалось",
     "not placed: the camera keeps local time, and no time-zone data could be read"},
    {Msg::SummaryNoLocalZone, "без часового пояса %1", "no time zone %1"},
    {Msg::SummaryCamera, "; %1: привязано %2, не привязано %3", "; %1: placed %2, not placed %3"},
}};

constexpr bool inIdOrder() {
    for (std::size_t i = 0; i < kTexts.size(); ++i)
        if (static_cast<std::size_t>(kTexts[i].id) != i || !kTexts[i].russian || !kTexts[i].english) return false;
    return true;
}
static_assert(inIdOrder(), "every Msg has its entry, in the order of the enum");

// Forms of a text for counts, in the language's order.
std::vector<std::string_view> formsOf(std::string_view text) {
    std::vector<std::string_view> forms;
    for (std::size_t from = 0;;) {
        const std::size_t bar = text.find('|', from);
        forms.push_back(text.substr(from, bar == std::string_view::npos ? std::string_view::npos : bar - from));
        if (bar == std::string_view::npos) return forms;
        from = bar + 1;
    }
}

std::size_t formIndex(Language language, uint64_t n) {
    if (language == Language::English) return n == 1 ? 0 : 1;
    const uint64_t lastTwo = n % 100, last = n % 10;
    if (lastTwo >= 11 && lastTwo <= 14) return 2;
    if (last == 1) return 0;
    if (last >= 2 && last <= 4) return 1;
    return 2;
}

// One pass, so that an argument holding "%2" stays as it is.
std::string fill(std::string_view text, std::initializer_list<MsgArg> args) {
    std::string out;
    out.reserve(text.size() + 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t n = static_cast<std::size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && n < args.size()) {
            out += (args.begin() + n)->text();
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

void setLanguage(Language language) { gLanguage.store(language, std::memory_order_relaxed); }

Language currentLanguage() { return gLanguage.load(std::memory_order_relaxed); }

std::string_view messageTemplate(Msg id, Language language) {
    const Texts& t = kTexts[static_cast<std::size_t>(id)];
    return language == Language::Russian ? t.russian : t.english;
}

std::string textOf(Msg id, std::initializer_list<MsgArg> args) {
    return fill(messageTemplate(id, currentLanguage()), args);
}

std::string textOfCount(Msg id, uint64_t count, std::initializer_list<MsgArg> args) {
    const Language language = currentLanguage();
    const std::vector<std::string_view> forms = formsOf(messageTemplate(id, language));
    // A language that needs no other form gives one for every count.
    const std::size_t form = std::min(formIndex(language, count), forms.size() - 1);
    return fill(forms[form], args);
}

}  // namespace geovanta
