<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>geovanta::CommandKeys</name>
    <message>
        <source>Как привязать фотографии к треку:

1. Загрузите GPS трек (.plt, .wpt, .gpx) — %1
2. Загрузите папку с фотографиями — %2
3. Если часы камеры спешили или отставали, настройте смещение времени — %3
4. Проверьте: привязанные фотографии зелёные, непривязанные красные
5. Запишите координаты в фотографии — %4</source>
        <translation>How to place photographs on a track:

1. Load a GPS track (.plt, .wpt, .gpx) — %1
2. Load the folder of photographs — %2
3. If the camera&apos;s clock ran fast or slow, set the time offset — %3
4. Check: placed photographs are green, unplaced ones red
5. Write the positions into the photographs — %4</translation>
    </message>
</context>
<context>
    <name>geovanta::DataTableModel</name>
    <message>
        <source>Точка</source>
        <translation>Waypoint</translation>
    </message>
    <message>
        <source>Имя</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Дата Время</source>
        <translation>Date Time</translation>
    </message>
    <message>
        <source>Широта</source>
        <translation>Latitude</translation>
    </message>
    <message>
        <source>Долгота</source>
        <translation>Longitude</translation>
    </message>
    <message>
        <source>Высота</source>
        <translation>Altitude</translation>
    </message>
    <message>
        <source>Дистанция</source>
        <translation>Distance</translation>
    </message>
    <message>
        <source>Скорость</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Камера</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>Фото</source>
        <translation>Photo</translation>
    </message>
    <message>
        <source>Трек</source>
        <translation>Track</translation>
    </message>
</context>
<context>
    <name>geovanta::HandPlacing</name>
    <message>
        <source>&amp;Отменить</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>&amp;Повторить</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>&amp;Вернуть автоматическую привязку</source>
        <translation>&amp;Return to automatic placement</translation>
    </message>
</context>
<context>
    <name>geovanta::JobStatus</name>
    <message>
        <source> фото</source>
        <translation> photos</translation>
    </message>
    <message>
        <source> МБ</source>
        <translation> MB</translation>
    </message>
    <message>
        <source>%1 из %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>geovanta::LanguageMenu</name>
    <message>
        <source>&amp;Язык</source>
        <translation>Lan&amp;guage</translation>
    </message>
    <message>
        <source>&amp;Как в системе</source>
        <translation>As the &amp;system</translation>
    </message>
    <message>
        <source>&amp;Русский</source>
        <translation>&amp;Русский</translation>
    </message>
    <message>
        <source>&amp;English</source>
        <translation>&amp;English</translation>
    </message>
</context>
<context>
    <name>geovanta::MainMenus</name>
    <message>
        <source>&amp;О программе</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>&amp;Загрузить</source>
        <translation>&amp;Load</translation>
    </message>
    <message>
        <source>GPS &amp;трек</source>
        <translation>GPS &amp;track</translation>
    </message>
    <message>
        <source>&amp;Фотографии</source>
        <translation>&amp;Photographs</translation>
    </message>
    <message>
        <source>&amp;Очистить таблицу</source>
        <translation>&amp;Clear the table</translation>
    </message>
    <message>
        <source>&amp;Выход</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Правка</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Смещения времени…</source>
        <translation>Time &amp;offsets…</translation>
    </message>
    <message>
        <source>&amp;Вид</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>Только &amp;фото</source>
        <translation>&amp;Photos only</translation>
    </message>
    <message>
        <source>&amp;Следующее непривязанное фото</source>
        <translation>&amp;Next unplaced photo</translation>
    </message>
    <message>
        <source>&amp;Предыдущее непривязанное фото</source>
        <translation>P&amp;revious unplaced photo</translation>
    </message>
    <message>
        <source>П&amp;ередать в OziExplorer</source>
        <translation>Send to &amp;OziExplorer</translation>
    </message>
    <message>
        <source>&amp;Путь</source>
        <translation>&amp;Track</translation>
    </message>
    <message>
        <source>&amp;Показать фото</source>
        <translation>&amp;Show photo</translation>
    </message>
    <message>
        <source>&amp;Записать координаты в EXIF выбранного фото</source>
        <translation>&amp;Write the position into this photo&apos;s EXIF</translation>
    </message>
    <message>
        <source>&amp;Установить время по этой фотографии…</source>
        <translation>Set the &amp;time from this photograph…</translation>
    </message>
</context>
<context>
    <name>geovanta::MapCanvas</name>
    <message>
        <source>Показать всё</source>
        <translation>Show everything</translation>
    </message>
</context>
<context>
    <name>geovanta::MapWidget</name>
    <message>
        <source>Фото без координат: %1</source>
        <translation>Photos without a position: %1</translation>
    </message>
</context>
<context>
    <name>geovanta::PhotoDrag</name>
    <message>
        <source>%1 и ещё %2</source>
        <translation>%1 and %2 more</translation>
    </message>
</context>
<context>
    <name>geovanta::QtDialogs</name>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
</context>
<context>
    <name>geovanta::ShotTimeDialog</name>
    <message>
        <source>Время съёмки</source>
        <translation>Shooting time</translation>
    </message>
    <message>
        <source>Например, время на снятом экране GPS-приёмника или телефона. Смещение фотографий станет таким, чтобы время этой фотографии совпало с введённым.</source>
        <translation>For example, the time on a GPS receiver&apos;s or phone&apos;s screen in the photograph. The photo offset becomes whatever makes this photograph&apos;s time match the one entered.</translation>
    </message>
    <message>
        <source>Когда на самом деле снята фотография %1?</source>
        <translation>When was the photograph %1 really taken?</translation>
    </message>
</context>
<context>
    <name>geovanta::TAboutBox</name>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>geovanta::TFormConsole</name>
    <message>
        <source>EXIFtool&gt;_</source>
        <translation>EXIFtool&gt;_</translation>
    </message>
    <message>
        <source>Информация:</source>
        <translation>Information:</translation>
    </message>
    <message>
        <source>Ошибки:</source>
        <translation>Errors:</translation>
    </message>
    <message>
        <source>Прервать процесс</source>
        <translation>Abort</translation>
    </message>
    <message>
        <source>Записывать в файлы XMP рядом с фото</source>
        <translation>Write into XMP files beside the photos</translation>
    </message>
    <message>
        <source>Координаты записываются в IMG_0001.xmp рядом с IMG_0001.CR3, а сами фото не меняются; действует со следующей записи</source>
        <translation>Positions go into IMG_0001.xmp beside IMG_0001.CR3 and the photos themselves stay as they are; applies from the next write</translation>
    </message>
</context>
<context>
    <name>geovanta::TFotoDlg</name>
    <message>
        <source>Путь к фотографиям</source>
        <translation>Photo folder</translation>
    </message>
    <message>
        <source>Выбрать папку</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>Включая вложенные папки</source>
        <translation>Including the folders inside it</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>geovanta::TMainForm</name>
    <message>
        <source>Загрузить GPS трек</source>
        <translation>Load a GPS track</translation>
    </message>
    <message>
        <source>Загрузить фотографии</source>
        <translation>Load photographs</translation>
    </message>
    <message>
        <source>Передать в OziExplorer путь</source>
        <translation>Send the track to OziExplorer</translation>
    </message>
    <message>
        <source>Передать в OziExplorer фотографии</source>
        <translation>Send the photographs to OziExplorer</translation>
    </message>
    <message>
        <source>Настроить смещение даты и времени</source>
        <translation>Set the date and time offsets</translation>
    </message>
    <message>
        <source>Записать GPS координаты в файлы изображений</source>
        <translation>Write the GPS positions into the image files</translation>
    </message>
    <message>
        <source>Version 5+</source>
        <translation>Version 5+</translation>
    </message>
    <message>
        <source>Программа для привязки фотографий
по трекам GPS приемника</source>
        <translation>Places photographs
on the tracks of a GPS receiver</translation>
    </message>
    <message>
        <source>Непривязанных фотографий нет</source>
        <translation>No unplaced photographs</translation>
    </message>
    <message>
        <source>Фотографий в таблице нет. Включено «Только фото» (меню «Вид»): точки треков скрыты.</source>
        <translation>The table has no photographs. &quot;Photos only&quot; is on (menu &quot;View&quot;): the track points are hidden.</translation>
    </message>
</context>
<context>
    <name>geovanta::TSetDeltaDlg</name>
    <message>
        <source>Смещение даты и времени</source>
        <translation>Date and time offsets</translation>
    </message>
    <message>
        <source>Треки и точки</source>
        <translation>Tracks and waypoints</translation>
    </message>
    <message>
        <source>дней</source>
        <translation>days</translation>
    </message>
    <message>
        <source>часов</source>
        <translation>hours</translation>
    </message>
    <message>
        <source>минут</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>Фотографии</source>
        <translation>Photographs</translation>
    </message>
    <message>
        <source>Часы камеры спешат относительно GPS: смещение отрицательное</source>
        <translation>Camera clock ahead of the GPS: the offset is negative</translation>
    </message>
    <message>
        <source>Макс. допустимое 
отклонение от точки трека</source>
        <translation>Largest allowed 
distance from a track point</translation>
    </message>
    <message>
        <source>секунд</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Учитывать часовой пояс из фото</source>
        <translation>Use the photos&apos; own time zones</translation>
    </message>
    <message>
        <source>Время фото с записанным камерой поясом (OffsetTimeOriginal) сначала переводится в UTC, затем к нему прибавляется смещение</source>
        <translation>A photo whose camera recorded its time zone (OffsetTimeOriginal) has its time brought to UTC first; the offset is added after that</translation>
    </message>
</context>
</TS>
