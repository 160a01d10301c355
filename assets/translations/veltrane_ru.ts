<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>About</name>
    <message>
        <source>No module player found: click here to get xmp, then you will hear the music!</source>
        <translation>Проигрыватель модулей не найден: щёлкните здесь, чтобы получить xmp, и вы услышите музыку!</translation>
    </message>
    <message>
        <source>This little utility allows</source>
        <translation>Эта маленькая программа</translation>
    </message>
    <message>
        <source>you to change MP3 tags for</source>
        <translation>позволяет изменять теги MP3</translation>
    </message>
    <message>
        <source>loads of mp3&apos;s at once.</source>
        <translation>у множества файлов сразу.</translation>
    </message>
    <message>
        <source>Read whatsnew.txt to see</source>
        <translation>Прочтите whatsnew.txt, чтобы</translation>
    </message>
    <message>
        <source>what is new in this version.</source>
        <translation>узнать, что нового в этой версии.</translation>
    </message>
    <message>
        <source>Veltrane is freeware:</source>
        <translation>Veltrane бесплатна:</translation>
    </message>
    <message>
        <source>use it and pass it on</source>
        <translation>пользуйтесь и делитесь</translation>
    </message>
    <message>
        <source>as much as you like.</source>
        <translation>сколько угодно.</translation>
    </message>
    <message>
        <source>THIS SOFTWARE COMES WITHOUT</source>
        <translation>ЭТА ПРОГРАММА ПОСТАВЛЯЕТСЯ</translation>
    </message>
    <message>
        <source>ANY WARRANTY. YOU USE IT AT</source>
        <translation>БЕЗ ВСЯКИХ ГАРАНТИЙ. ВЫ ИСПОЛЬЗУЕТЕ</translation>
    </message>
    <message>
        <source>YOUR OWN RISK.</source>
        <translation>ЕЁ НА СВОЙ СТРАХ И РИСК.</translation>
    </message>
    <message>
        <source>Thanks go to the makers of</source>
        <translation>Спасибо создателям</translation>
    </message>
    <message>
        <source>Qt, GLib and GIO,</source>
        <translation>Qt, GLib и GIO,</translation>
    </message>
    <message>
        <source>PulseAudio and libpulse,</source>
        <translation>PulseAudio и libpulse,</translation>
    </message>
    <message>
        <source>GoogleTest, CMake and Ninja,</source>
        <translation>GoogleTest, CMake и Ninja,</translation>
    </message>
    <message>
        <source>GCC and Clang,</source>
        <translation>GCC и Clang,</translation>
    </message>
    <message>
        <source>shared-mime-info,</source>
        <translation>shared-mime-info,</translation>
    </message>
    <message>
        <source>the Adwaita icons,</source>
        <translation>значков Adwaita,</translation>
    </message>
    <message>
        <source>the Comic Neue font</source>
        <translation>шрифта Comic Neue</translation>
    </message>
    <message>
        <source>and the module players</source>
        <translation>и проигрывателей модулей</translation>
    </message>
    <message>
        <source>xmp and openmpt123.</source>
        <translation>xmp и openmpt123.</translation>
    </message>
    <message>
        <source>You only hear the music</source>
        <translation>Музыку слышно, только</translation>
    </message>
    <message>
        <source>when a module player is</source>
        <translation>если для файлов .mod</translation>
    </message>
    <message>
        <source>registered for .mod files.</source>
        <translation>назначен проигрыватель модулей.</translation>
    </message>
    <message>
        <source>Questions, ideas and bugs:</source>
        <translation>Вопросы, идеи и ошибки:</translation>
    </message>
    <message>
        <source>see README.md in Veltrane&apos;s</source>
        <translation>см. README.md в папке Veltrane</translation>
    </message>
    <message>
        <source>The web browser could not be started. To get a module player, visit %1</source>
        <translation>Не удалось запустить веб-браузер. Чтобы получить проигрыватель модулей, откройте %1</translation>
    </message>
    <message>
        <source>No web browser is registered for web pages. To get a module player, visit %1</source>
        <translation>Для веб-страниц не назначен веб-браузер. Чтобы получить проигрыватель модулей, откройте %1</translation>
    </message>
</context>
<context>
    <name>ChangePreview</name>
    <message>
        <source>%1 in %2</source>
        <translation>%1 в %2</translation>
    </message>
    <message>
        <source>%1 change</source>
        <translation>%1 изменение</translation>
    </message>
    <message>
        <source>%1 changes</source>
        <translation>%1 изменений</translation>
    </message>
    <message>
        <source>%1 file</source>
        <translation>%1 файл</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 файлов</translation>
    </message>
    <message>
        <source>%1 file unchanged</source>
        <translation>%1 файл без изменений</translation>
    </message>
    <message>
        <source>%1 files unchanged</source>
        <translation>%1 файлов без изменений</translation>
    </message>
    <message>
        <source>%1 row cannot be done</source>
        <translation>%1 строку нельзя выполнить</translation>
    </message>
    <message>
        <source>%1 rows cannot be done</source>
        <translation>%1 строк нельзя выполнить</translation>
    </message>
    <message>
        <source>%1 row with a warning</source>
        <translation>%1 строка с предупреждением</translation>
    </message>
    <message>
        <source>%1 rows with a warning</source>
        <translation>%1 строк с предупреждением</translation>
    </message>
    <message>
        <source>title</source>
        <translation>название</translation>
    </message>
    <message>
        <source>artist</source>
        <translation>исполнитель</translation>
    </message>
    <message>
        <source>album</source>
        <translation>альбом</translation>
    </message>
    <message>
        <source>year</source>
        <translation>год</translation>
    </message>
    <message>
        <source>genre</source>
        <translation>жанр</translation>
    </message>
    <message>
        <source>comment</source>
        <translation>комментарий</translation>
    </message>
    <message>
        <source>track</source>
        <translation>дорожка</translation>
    </message>
    <message>
        <source>name</source>
        <translation>имя</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>без изменений</translation>
    </message>
    <message>
        <source>more pieces than fields</source>
        <translation>частей больше, чем полей</translation>
    </message>
    <message>
        <source>the format names no field</source>
        <translation>формат не называет ни одного поля</translation>
    </message>
    <message>
        <source>the file has no tag</source>
        <translation>у файла нет тега</translation>
    </message>
    <message>
        <source>the name would be empty</source>
        <translation>имя было бы пустым</translation>
    </message>
    <message>
        <source>a file of that name exists</source>
        <translation>файл с таким именем существует</translation>
    </message>
    <message>
        <source>an earlier file of this run takes that name</source>
        <translation>это имя занимает более ранний файл этого запуска</translation>
    </message>
    <message>
        <source>the comment is cut to 28 characters</source>
        <translation>комментарий обрезан до 28 символов</translation>
    </message>
    <message>
        <source>not a track number from 1 to 255; the track is left as it is</source>
        <translation>не номер дорожки от 1 до 255; дорожка остаётся как есть</translation>
    </message>
    <message>
        <source>more pieces than fields: &quot;%1&quot; is not used</source>
        <translation>частей больше, чем полей: «%1» не используется</translation>
    </message>
    <message>
        <source>cut to 30 bytes</source>
        <translation>обрезано до 30 байт</translation>
    </message>
    <message>
        <source>cut to 28 bytes</source>
        <translation>обрезано до 28 байт</translation>
    </message>
    <message>
        <source>cut to 4 bytes</source>
        <translation>обрезано до 4 байт</translation>
    </message>
    <message>
        <source>the pattern hit PCRE2&apos;s match limit, the file is left as it is</source>
        <translation>шаблон достиг предела сопоставления PCRE2, файл оставлен как есть</translation>
    </message>
</context>
<context>
    <name>CodePageCheck</name>
    <message>
        <source>The tag&apos;s code page (%1) cannot hold these characters; they will be saved as &quot;?&quot;:</source>
        <translation>Кодовая страница тега (%1) не может содержать эти символы; они будут сохранены как «?»:</translation>
    </message>
    <message>
        <source>Save anyway?</source>
        <translation>Всё равно сохранить?</translation>
    </message>
    <message>
        <source>In the tags of these files, characters the tag&apos;s code page cannot hold were saved as &quot;?&quot;:</source>
        <translation>В тегах этих файлов символы, которых нет в кодовой странице тега, сохранены как «?»:</translation>
    </message>
    <message>
        <source>In the tags of these files the comment was cut to 28 characters to make room for the track number:</source>
        <translation>В тегах этих файлов комментарий обрезан до 28 символов, чтобы освободить место для номера дорожки:</translation>
    </message>
    <message>
        <source>In the names of these files the track is not a number from 1 to 255; their tracks were left as they were:</source>
        <translation>В именах этих файлов дорожка не является числом от 1 до 255; их дорожки оставлены как были:</translation>
    </message>
    <message>
        <source>becomes &quot;?&quot;: %1</source>
        <translation>станет «?»: %1</translation>
    </message>
    <message>
        <source>cut after %1 characters: &quot;%2&quot; is left out</source>
        <translation>обрезано после %1 символов: «%2» не вошло</translation>
    </message>
    <message>
        <source>The names of these files have more pieces than fields; the rest of each name was not used:</source>
        <translation>В именах этих файлов частей больше, чем полей; остаток каждого имени не использован:</translation>
    </message>
    <message>
        <source>Code page: %1</source>
        <translation>Кодовая страница: %1</translation>
    </message>
    <message>
        <source>Code pages: %1</source>
        <translation>Кодовые страницы: %1</translation>
    </message>
</context>
<context>
    <name>CodePageChoice</name>
    <message>
        <source>Automatic (per file)</source>
        <translation>Автоматически (для каждого файла)</translation>
    </message>
    <message>
        <source>%1 (this system&apos;s)</source>
        <translation>%1 (этой системы)</translation>
    </message>
    <message>
        <source>Tags here look like %1: Preferences, More, Tag code page.</source>
        <translation>Теги здесь похожи на %1: Параметры, Дополнительно, Кодовая страница тегов.</translation>
    </message>
    <message>
        <source>Arabic (Windows-1256)</source>
        <translation>Арабская (Windows-1256)</translation>
    </message>
    <message>
        <source>Baltic (Windows-1257)</source>
        <translation>Балтийская (Windows-1257)</translation>
    </message>
    <message>
        <source>Central European (Windows-1250)</source>
        <translation>Центральноевропейская (Windows-1250)</translation>
    </message>
    <message>
        <source>Central European (ISO-8859-2)</source>
        <translation>Центральноевропейская (ISO-8859-2)</translation>
    </message>
    <message>
        <source>Chinese Simplified (GBK)</source>
        <translation>Китайская упрощённая (GBK)</translation>
    </message>
    <message>
        <source>Chinese Traditional (Big5)</source>
        <translation>Китайская традиционная (Big5)</translation>
    </message>
    <message>
        <source>Cyrillic (Windows-1251)</source>
        <translation>Кириллица (Windows-1251)</translation>
    </message>
    <message>
        <source>Cyrillic (KOI8-R)</source>
        <translation>Кириллица (KOI8-R)</translation>
    </message>
    <message>
        <source>Cyrillic (KOI8-U)</source>
        <translation>Кириллица (KOI8-U)</translation>
    </message>
    <message>
        <source>Cyrillic (DOS 866)</source>
        <translation>Кириллица (DOS 866)</translation>
    </message>
    <message>
        <source>Greek (Windows-1253)</source>
        <translation>Греческая (Windows-1253)</translation>
    </message>
    <message>
        <source>Hebrew (Windows-1255)</source>
        <translation>Иврит (Windows-1255)</translation>
    </message>
    <message>
        <source>Japanese (Shift_JIS)</source>
        <translation>Японская (Shift_JIS)</translation>
    </message>
    <message>
        <source>Korean (UHC)</source>
        <translation>Корейская (UHC)</translation>
    </message>
    <message>
        <source>Thai (Windows-874)</source>
        <translation>Тайская (Windows-874)</translation>
    </message>
    <message>
        <source>Turkish (Windows-1254)</source>
        <translation>Турецкая (Windows-1254)</translation>
    </message>
    <message>
        <source>Unicode (UTF-8)</source>
        <translation>Юникод (UTF-8)</translation>
    </message>
    <message>
        <source>Vietnamese (Windows-1258)</source>
        <translation>Вьетнамская (Windows-1258)</translation>
    </message>
    <message>
        <source>Western European (Windows-1252)</source>
        <translation>Западноевропейская (Windows-1252)</translation>
    </message>
    <message>
        <source>Western European (ISO-8859-1)</source>
        <translation>Западноевропейская (ISO-8859-1)</translation>
    </message>
    <message>
        <source>Western European (ISO-8859-15)</source>
        <translation>Западноевропейская (ISO-8859-15)</translation>
    </message>
</context>
<context>
    <name>ErrorText</name>
    <message>
        <source>... and %1 more</source>
        <translation>... и ещё %1</translation>
    </message>
</context>
<context>
    <name>FileList</name>
    <message>
        <source>Reading %1 files...</source>
        <translation>Чтение %1 файлов...</translation>
    </message>
    <message>
        <source>Sorting %1 items...</source>
        <translation>Сортировка %1 элементов...</translation>
    </message>
</context>
<context>
    <name>FileOp</name>
    <message>
        <source>This file could not be handled:</source>
        <translation>Этот файл не удалось обработать:</translation>
    </message>
    <message>
        <source>These files could not be handled:</source>
        <translation>Эти файлы не удалось обработать:</translation>
    </message>
</context>
<context>
    <name>FillFromId3v2</name>
    <message>
        <source>Filling %1 tags, please wait...</source>
        <translation>Заполнение %1 тегов, подождите...</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 файл</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 файлов</translation>
    </message>
    <message>
        <source>ID3v1 tags filled from ID3v2 in %1.</source>
        <translation>Теги ID3v1 заполнены из ID3v2 в %1.</translation>
    </message>
    <message>
        <source>%1 had nothing to fill.</source>
        <translation>В %1 нечего было заполнить.</translation>
    </message>
    <message>
        <source>These files could not be filled:</source>
        <translation>Эти файлы не удалось заполнить:</translation>
    </message>
    <message>
        <source>Cut to the ID3v1 field widths (30 bytes, 28 for a comment beside a track):</source>
        <translation>Обрезано по ширине полей ID3v1 (30 байт, 28 для комментария рядом с дорожкой):</translation>
    </message>
    <message>
        <source>Characters the tag&apos;s code page cannot hold were saved as &quot;?&quot;:</source>
        <translation>Символы, которых нет в кодовой странице тега, сохранены как «?»:</translation>
    </message>
    <message>
        <source>Genres not in the genre table; the genre was left as it was:</source>
        <translation>Жанры не из таблицы жанров; жанр оставлен как был:</translation>
    </message>
    <message>
        <source>Tracks that are no number from 1 to 255; the track was left as it was:</source>
        <translation>Дорожки, не являющиеся числом от 1 до 255; дорожка оставлена как была:</translation>
    </message>
</context>
<context>
    <name>FindFile</name>
    <message>
        <source>dangling symbolic link</source>
        <translation>висячая символическая ссылка</translation>
    </message>
    <message>
        <source>symbolic link loop</source>
        <translation>петля символических ссылок</translation>
    </message>
    <message>
        <source>These entries could not be read and are not listed:
</source>
        <translation>Эти записи не удалось прочитать, и они не показаны:
</translation>
    </message>
</context>
<context>
    <name>HelpTexts</name>
    <message>
        <source>Show/hide change directory window</source>
        <translation>Показать/скрыть окно смены папки</translation>
    </message>
    <message>
        <source>This buttons opens the change directory window.</source>
        <translation>Эта кнопка открывает окно смены папки.</translation>
    </message>
    <message>
        <source>You can leave this windows open if you want.</source>
        <translation>Это окно можно оставить открытым.</translation>
    </message>
    <message>
        <source>Current directory</source>
        <translation>Текущая папка</translation>
    </message>
    <message>
        <source>This edit shows the current directory you&apos;re in. You can change this by either type another directory here, or use the Change Directory window by clicking the button left of this edit.</source>
        <translation>Здесь показана текущая папка. Её можно изменить, введя здесь другую папку или открыв окно смены папки кнопкой слева от этого поля.</translation>
    </message>
    <message>
        <source>Refresh (F5)</source>
        <translation>Обновить (F5)</translation>
    </message>
    <message>
        <source>With this button you can force the program to reload the current directory.</source>
        <translation>Этой кнопкой можно заставить программу заново прочитать текущую папку.</translation>
    </message>
    <message>
        <source>Select file(s) (+)</source>
        <translation>Выбрать файл(ы) (+)</translation>
    </message>
    <message>
        <source>With this button you can select MP3 files in the current list by entering text they contain.</source>
        <translation>Этой кнопкой можно выбрать файлы MP3 в текущем списке, введя текст, который они содержат.</translation>
    </message>
    <message>
        <source>i.e. select all files which contain the string &apos;no doubt&apos;</source>
        <translation>например, выбрать все файлы, содержащие строку &apos;no doubt&apos;</translation>
    </message>
    <message>
        <source>Deselect file(s) (-)</source>
        <translation>Снять выбор с файла(ов) (-)</translation>
    </message>
    <message>
        <source>With this button you can deselect MP3 files in the current list by entering text they contain.</source>
        <translation>Этой кнопкой можно снять выбор с файлов MP3 в текущем списке, введя текст, который они содержат.</translation>
    </message>
    <message>
        <source>i.e. deselect all files which contain the string &apos;no doubt&apos;</source>
        <translation>например, снять выбор со всех файлов, содержащих строку &apos;no doubt&apos;</translation>
    </message>
    <message>
        <source>Edit selected mp3&apos;s</source>
        <translation>Изменить выбранные MP3</translation>
    </message>
    <message>
        <source>Use this to edit properties for the selected files.</source>
        <translation>Изменение свойств выбранных файлов.</translation>
    </message>
    <message>
        <source>i.e. change the album name for all the selected songs, but keep all the artistnames etc.</source>
        <translation>например, изменить название альбома у всех выбранных песен, сохранив имена исполнителей и прочее.</translation>
    </message>
    <message>
        <source>Rename selected file (F2)</source>
        <translation>Переименовать выбранный файл (F2)</translation>
    </message>
    <message>
        <source>Here you can rename one of more files by entering a new name, or derive it from the tags.</source>
        <translation>Здесь можно переименовать один или несколько файлов, введя новое имя или составив его из тегов.</translation>
    </message>
    <message>
        <source>i.e. rename all selected files using the artistnames and songnames</source>
        <translation>например, переименовать все выбранные файлы по именам исполнителей и названиям песен</translation>
    </message>
    <message>
        <source>Playlist Editor</source>
        <translation>Редактор списка воспроизведения</translation>
    </message>
    <message>
        <source>Opens a new Winamp playlist, and puts all the selected MP3s in it.</source>
        <translation>Открывает новый список воспроизведения Winamp и помещает в него все выбранные MP3.</translation>
    </message>
    <message>
        <source>Read ID3 tags from filename</source>
        <translation>Прочитать теги ID3 из имени файла</translation>
    </message>
    <message>
        <source>Fill in ID3 tags according to the filename.</source>
        <translation>Заполнить теги ID3 по имени файла.</translation>
    </message>
    <message>
        <source>Play selected MP3 (Ctrl-Enter)</source>
        <translation>Воспроизвести выбранный MP3 (Ctrl-Enter)</translation>
    </message>
    <message>
        <source>This button plays the selected MP3 file.</source>
        <translation>Эта кнопка воспроизводит выбранный файл MP3.</translation>
    </message>
    <message>
        <source>note: works only if your MP3 file type is registered!</source>
        <translation>примечание: работает, только если тип файлов MP3 зарегистрирован!</translation>
    </message>
    <message>
        <source>Subdir mode</source>
        <translation>Режим подпапок</translation>
    </message>
    <message>
        <source>When this option is enabled, Veltrane searches all sub-dirs from the current dir for MP3s</source>
        <translation>Когда этот режим включён, Veltrane ищет MP3 во всех подпапках текущей папки</translation>
    </message>
    <message>
        <source>Delete selected files (Del)</source>
        <translation>Удалить выбранные файлы (Del)</translation>
    </message>
    <message>
        <source>Deletes the selected MP3 files. Files are actually deleted or moved to the recycle bin depending on the settings in the preferences window.</source>
        <translation>Удаляет выбранные файлы MP3. Файлы удаляются насовсем или перемещаются в корзину в зависимости от настроек в окне параметров.</translation>
    </message>
    <message>
        <source>Show help</source>
        <translation>Показать справку</translation>
    </message>
    <message>
        <source>Shows this help windows, you can keep this windows visible if you want, or you close it by either clicking the help button again, or clicking the &apos;close help&apos; button.</source>
        <translation>Показывает это окно справки; его можно оставить открытым или закрыть, снова нажав кнопку справки или кнопку «Закрыть справку».</translation>
    </message>
    <message>
        <source>About this program</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Shows some blah about this program.</source>
        <translation>Немного о программе.</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Opens the preferences window, here you can set things like default startup dir, whether to delete to the recycle bin or not, and more.</source>
        <translation>Открывает окно параметров, где можно задать, например, папку при запуске, удалять ли в корзину, и многое другое.</translation>
    </message>
    <message>
        <source>Close the program</source>
        <translation>Закрыть программу</translation>
    </message>
    <message>
        <source>Closes the program --&gt; do I need to say more?</source>
        <translation>Закрывает программу --&gt; что тут ещё сказать?</translation>
    </message>
    <message>
        <source>Help on help</source>
        <translation>Справка о справке</translation>
    </message>
    <message>
        <source>Move your mouse over the button you&apos;d like to know more about.</source>
        <translation>Наведите мышь на кнопку, о которой хотите узнать больше.</translation>
    </message>
    <message>
        <source>Opens the playlist editor, and puts the selected MP3&apos;s in a new playlist.</source>
        <translation>Открывает редактор списка воспроизведения и помещает выбранные MP3 в новый список.</translation>
    </message>
</context>
<context>
    <name>InOutError</name>
    <message>
        <source>File not found</source>
        <translation>Файл не найден</translation>
    </message>
    <message>
        <source>Invalid filename</source>
        <translation>Недопустимое имя файла</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Слишком много открытых файлов</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>Доступ к файлу запрещён</translation>
    </message>
    <message>
        <source>Read beyond end of file</source>
        <translation>Чтение за концом файла</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Диск заполнен</translation>
    </message>
    <message>
        <source>Invalid numeric input</source>
        <translation>Недопустимый числовой ввод</translation>
    </message>
    <message>
        <source>I/O error %1</source>
        <translation>Ошибка ввода-вывода %1</translation>
    </message>
</context>
<context>
    <name>JournaledSteps</name>
    <message>
        <source>Changes cannot be recorded for Undo: %1. Make them without Undo?</source>
        <translation>Изменения нельзя записать для отмены: %1. Внести их без возможности отмены?</translation>
    </message>
</context>
<context>
    <name>MainCommands</name>
    <message>
        <source>1 file selected</source>
        <translation>Выбран 1 файл</translation>
    </message>
    <message>
        <source>%1 files selected</source>
        <translation>Выбрано файлов: %1</translation>
    </message>
    <message>
        <source>%1 megabyte</source>
        <translation>%1 мегабайт</translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1 file(s)?</source>
        <translation>Вы уверены, что хотите удалить %1 файл(ов)?</translation>
    </message>
    <message>
        <source>Deleting %1 files.</source>
        <translation>Удаление %1 файлов.</translation>
    </message>
    <message>
        <source>Reading cancelled: 1 file left out of the list.</source>
        <translation>Чтение прервано: 1 файл не вошёл в список.</translation>
    </message>
    <message>
        <source>Reading cancelled: %1 files left out of the list.</source>
        <translation>Чтение прервано: %1 файлов не вошли в список.</translation>
    </message>
</context>
<context>
    <name>MainFileList</name>
    <message>
        <source>FileName</source>
        <translation>Имя файла</translation>
    </message>
    <message>
        <source>Song</source>
        <translation>Песня</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Исполнитель</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Альбом</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Год</translation>
    </message>
    <message>
        <source>Genre</source>
        <translation>Жанр</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Комментарий</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Длительность</translation>
    </message>
    <message>
        <source>Bitrate</source>
        <translation>Битрейт</translation>
    </message>
    <message>
        <source>#</source>
        <translation>#</translation>
    </message>
</context>
<context>
    <name>OpenRequest</name>
    <message>
        <source>These are not in %1 and were not selected:
</source>
        <translation>Этих файлов нет в %1, и они не выбраны:
</translation>
    </message>
    <message>
        <source>These are neither folders nor MP3 files and were not opened:
</source>
        <translation>Это не папки и не файлы MP3, и они не открыты:
</translation>
    </message>
</context>
<context>
    <name>PlayerCommands</name>
    <message>
        <source>No player is registered for %1

Choose one in your desktop&apos;s default applications, then start Veltrane again.</source>
        <translation>Для %1 не назначен проигрыватель

Выберите его в приложениях по умолчанию вашего рабочего стола, затем снова запустите Veltrane.</translation>
    </message>
</context>
<context>
    <name>Recode</name>
    <message>
        <source>converting 1 file</source>
        <translation>преобразование 1 файла</translation>
    </message>
    <message>
        <source>converting %1 files</source>
        <translation>преобразование файлов: %1</translation>
    </message>
</context>
<context>
    <name>RenameFromTags</name>
    <message>
        <source>Hmmm, an error occurt renaming this file! (%1)</source>
        <translation>Хм, при переименовании этого файла произошла ошибка! (%1)</translation>
    </message>
    <message>
        <source>Hmmm, an error occurt renaming one of the files! (%1)</source>
        <translation>Хм, при переименовании одного из файлов произошла ошибка! (%1)</translation>
    </message>
    <message>
        <source>Rename %1 files</source>
        <translation>Переименовать %1 файлов</translation>
    </message>
    <message>
        <source>Rename %1 to:</source>
        <translation>Переименовать %1 в:</translation>
    </message>
    <message>
        <source>Renaming %1 files, please wait...</source>
        <translation>Переименование %1 файлов, подождите...</translation>
    </message>
    <message>
        <source>File with that name already exists!</source>
        <translation>Файл с таким именем уже существует!</translation>
    </message>
    <message>
        <source>The new name is empty. Type a name.</source>
        <translation>Новое имя пустое. Введите имя.</translation>
    </message>
</context>
<context>
    <name>SelectSearch</name>
    <message>
        <source>Select all containing</source>
        <translation>Выбрать все, содержащие</translation>
    </message>
    <message>
        <source>Deselect all containing</source>
        <translation>Снять выбор со всех, содержащих</translation>
    </message>
    <message>
        <source>Reading %1 files...</source>
        <translation>Чтение %1 файлов...</translation>
    </message>
</context>
<context>
    <name>StepNames</name>
    <message>
        <source>set %2 of %1</source>
        <translation>изменение: %2, %1</translation>
    </message>
    <message>
        <source>write tags of %1</source>
        <translation>запись тегов, %1</translation>
    </message>
    <message>
        <source>edit tag of %3</source>
        <translation>правка тега %3</translation>
    </message>
    <message>
        <source>import tags of %1</source>
        <translation>импорт тегов, %1</translation>
    </message>
    <message>
        <source>number tracks of %1</source>
        <translation>нумерация дорожек, %1</translation>
    </message>
    <message>
        <source>fill ID3v1 from ID3v2 of %1</source>
        <translation>ID3v1 из ID3v2, %1</translation>
    </message>
    <message>
        <source>tags from file names of %1</source>
        <translation>теги из имён файлов, %1</translation>
    </message>
    <message>
        <source>rename %1 from tags</source>
        <translation>переименование по тегам, %1</translation>
    </message>
    <message>
        <source>rename %3 to %4</source>
        <translation>переименование %3 в %4</translation>
    </message>
    <message>
        <source>move %1 to the trash</source>
        <translation>перемещение в корзину, %1</translation>
    </message>
    <message>
        <source>title case of %2 in %1</source>
        <translation>Каждое Слово С Заглавной: %2, %1</translation>
    </message>
    <message>
        <source>upper case of %2 in %1</source>
        <translation>ВСЕ ЗАГЛАВНЫЕ: %2, %1</translation>
    </message>
    <message>
        <source>lower case of %2 in %1</source>
        <translation>все строчные: %2, %1</translation>
    </message>
    <message>
        <source>sentence case of %2 in %1</source>
        <translation>Как в предложении: %2, %1</translation>
    </message>
    <message>
        <source>replace in %2 of %1</source>
        <translation>замена: %2, %1</translation>
    </message>
    <message>
        <source>format %2 of %1</source>
        <translation>формат: %2, %1</translation>
    </message>
    <message>
        <source>title</source>
        <translation>название</translation>
    </message>
    <message>
        <source>artist</source>
        <translation>исполнитель</translation>
    </message>
    <message>
        <source>album</source>
        <translation>альбом</translation>
    </message>
    <message>
        <source>year</source>
        <translation>год</translation>
    </message>
    <message>
        <source>comment</source>
        <translation>комментарий</translation>
    </message>
    <message>
        <source>genre</source>
        <translation>жанр</translation>
    </message>
    <message>
        <source>track</source>
        <translation>дорожка</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source> and </source>
        <translation> и </translation>
    </message>
    <message>
        <source>%1 file</source>
        <translation>файлов: %1</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>файлов: %1</translation>
    </message>
    <message>
        <source>convert %1 to %3</source>
        <translation>перекодирование в %3, %1</translation>
    </message>
</context>
<context>
    <name>SystemErrors</name>
    <message>
        <source>Operation not permitted</source>
        <translation>Операция не позволена</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>Нет такого файла или каталога</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Ошибка ввода/вывода</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Отказано в доступе</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Устройство или ресурс занято</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>Файл существует</translation>
    </message>
    <message>
        <source>Invalid cross-device link</source>
        <translation>Неверная ссылка между устройствами</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Это не каталог</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Это каталог</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>Недопустимый аргумент</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Слишком много открытых файлов</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>На устройстве не осталось свободного места</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Файловая система доступна только для чтения</translation>
    </message>
    <message>
        <source>Too many links</source>
        <translation>Слишком много ссылок</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Слишком длинное имя файла</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>Каталог не пуст</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Слишком много уровней символических ссылок</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Превышена дисковая квота</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>Устаревший дескриптор файла</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>Текстовый файл занят</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Файл слишком велик</translation>
    </message>
</context>
<context>
    <name>TFormDeriveFormat</name>
    <message>
        <source>Put at least one field into the format.</source>
        <translation>Поместите в формат хотя бы одно поле.</translation>
    </message>
</context>
<context>
    <name>TMsgBox</name>
    <message>
        <source>&amp;Abort</source>
        <translation>&amp;Прервать</translation>
    </message>
    <message>
        <source>&amp;Retry</source>
        <translation>П&amp;овторить</translation>
    </message>
    <message>
        <source>&amp;Ignore</source>
        <translation>Пр&amp;опустить</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;ОК</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>О&amp;тмена</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Да</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Нет</translation>
    </message>
</context>
<context>
    <name>TagActions</name>
    <message>
        <source>a % at character %1 has no closing %; write %% for a percent sign</source>
        <translation>у % в позиции %1 нет закрывающего %; для знака процента пишите %%</translation>
    </message>
    <message>
        <source>unknown placeholder %%1%</source>
        <translation>неизвестная подстановка %%1%</translation>
    </message>
    <message>
        <source>%1 at character %2</source>
        <translation>%1 в позиции %2</translation>
    </message>
    <message>
        <source>no field is chosen</source>
        <translation>не выбрано ни одно поле</translation>
    </message>
    <message>
        <source>a format fills one field, not several</source>
        <translation>формат заполняет одно поле, а не несколько</translation>
    </message>
    <message>
        <source>longer than %1 bytes</source>
        <translation>длиннее %1 байт</translation>
    </message>
    <message>
        <source>nothing to find</source>
        <translation>нечего искать</translation>
    </message>
    <message>
        <source>In the tags of these files, values longer than their fields were cut (30 bytes, the year 4, a comment beside a track 28):</source>
        <translation>В тегах этих файлов значения длиннее своих полей были обрезаны (30 байт, год 4, комментарий рядом с номером дорожки 28):</translation>
    </message>
    <message>
        <source>On these files the pattern hit PCRE2&apos;s match limit; they were left as they were:</source>
        <translation>На этих файлах шаблон достиг предела сопоставления PCRE2; они оставлены как были:</translation>
    </message>
    <message>
        <source>Changing %1 tags, please wait...</source>
        <translation>Изменение тегов: %1, подождите...</translation>
    </message>
</context>
<context>
    <name>TagEditing</name>
    <message>
        <source>changing tag for 1 file</source>
        <translation>изменение тега 1 файла</translation>
    </message>
    <message>
        <source>changing tag for %1 files</source>
        <translation>изменение тега %1 файлов</translation>
    </message>
    <message>
        <source>Updating %1 tags, please wait...</source>
        <translation>Обновление %1 тегов, подождите...</translation>
    </message>
    <message>
        <source>Track: type a number from 1 to 255, or leave the box empty for no track.</source>
        <translation>Дорожка: введите число от 1 до 255 или оставьте поле пустым, если дорожки нет.</translation>
    </message>
</context>
<context>
    <name>TagFromFileName</name>
    <message>
        <source>Deriving %1 tags, please wait...</source>
        <translation>Получение %1 тегов, подождите...</translation>
    </message>
    <message>
        <source>Reading %1 tags, please wait...</source>
        <translation>Чтение %1 тегов, подождите...</translation>
    </message>
</context>
<context>
    <name>TrackNumbers</name>
    <message>
        <source>The first track number must be between 1 and 255, not %1.</source>
        <translation>Номер первой дорожки должен быть от 1 до 255, а не %1.</translation>
    </message>
    <message>
        <source>Track numbers end at 255: numbering from %1 fits %2 of these %3 files. No file was changed.</source>
        <translation>Номера дорожек кончаются на 255: нумерация с %1 подходит для %2 из этих %3 файлов. Ни один файл не изменён.</translation>
    </message>
    <message>
        <source>Numbering %1 tracks, please wait...</source>
        <translation>Нумерация %1 дорожек, подождите...</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>Undo: %1</source>
        <translation>Отменить: %1</translation>
    </message>
    <message>
        <source>Nothing was undone: %1</source>
        <translation>Ничего не отменено: %1</translation>
    </message>
    <message>
        <source>These files were left as they are:</source>
        <translation>Эти файлы оставлены как есть:</translation>
    </message>
    <message>
        <source>Nothing was left to undo of &quot;%1&quot;: its files already are as before.</source>
        <translation>От «%1» нечего отменять: его файлы уже такие, как до него.</translation>
    </message>
    <message>
        <source>Redo: %1</source>
        <translation>Повторить: %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Nothing was redone: %1</source>
        <translation>Ничего не повторено: %1</translation>
    </message>
    <message>
        <source>Redone: %1</source>
        <translation>Повторено: %1</translation>
    </message>
    <message>
        <source>Undone: %1</source>
        <translation>Отменено: %1</translation>
    </message>
    <message>
        <source>Nothing was left to redo of &quot;%1&quot;: its files already are as after it.</source>
        <translation>От «%1» нечего повторять: его файлы уже такие, как после него.</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormAbout</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormActions</name>
    <message>
        <source>Song</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Исполнитель</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Альбом</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Год</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Комментарий</translation>
    </message>
    <message>
        <source>acting on 1 file</source>
        <translation>для 1 файла</translation>
    </message>
    <message>
        <source>acting on %1 files</source>
        <translation>для файлов: %1</translation>
    </message>
    <message>
        <source>Actions</source>
        <translation>Действия</translation>
    </message>
    <message>
        <source>Fields:</source>
        <translation>Поля:</translation>
    </message>
    <message>
        <source>Change to</source>
        <translation>Изменить на</translation>
    </message>
    <message>
        <source>Title Case</source>
        <translation>Каждое Слово С Заглавной</translation>
    </message>
    <message>
        <source>UPPER CASE</source>
        <translation>ВСЕ ПРОПИСНЫЕ</translation>
    </message>
    <message>
        <source>lower case</source>
        <translation>все строчные</translation>
    </message>
    <message>
        <source>Sentence case</source>
        <translation>Как в предложении</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Регистр</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Найти</translation>
    </message>
    <message>
        <source>Replace with</source>
        <translation>Заменить на</translation>
    </message>
    <message>
        <source>Ignore case</source>
        <translation>Без учёта регистра</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Регулярное выражение</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Замена</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Поле</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>Шаблон</translation>
    </message>
    <message>
        <source>%title% %artist% %album% %year% %comment% %genre% %track% %file%; %% for %</source>
        <translation>%title% %artist% %album% %year% %comment% %genre% %track% %file%; %% для %</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Формат</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Эти файлы не удалось изменить:</translation>
    </message>
    <message>
        <source>Actions...</source>
        <translation>Действия...</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormAddMP3</name>
    <message>
        <source>Add MP3s to current playlist</source>
        <translation>Добавить MP3 в текущий список</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormChangeDir</name>
    <message>
        <source>Current directory</source>
        <translation>Текущая папка</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormConvertCodePage</name>
    <message>
        <source>Convert code page</source>
        <translation>Преобразовать кодовую страницу</translation>
    </message>
    <message>
        <source>Read as</source>
        <translation>Читать как</translation>
    </message>
    <message>
        <source>Write as</source>
        <translation>Записать как</translation>
    </message>
    <message>
        <source>Automatic (per file)</source>
        <translation>Автоматически (для каждого файла)</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Преобразовать</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>The tags of these files are in %1 already, or hold only ASCII text.</source>
        <translation>Теги этих файлов уже в кодировке %1 или содержат только текст ASCII.</translation>
    </message>
    <message>
        <source>These files were left as they were: their text cannot be written in %1 whole:</source>
        <translation>Эти файлы оставлены как были: их текст нельзя целиком записать в кодировке %1:</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Эти файлы не удалось изменить:</translation>
    </message>
    <message>
        <source>Convert code page...</source>
        <translation>Преобразовать кодовую страницу...</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormDeSelect</name>
    <message>
        <source>(de)select some mp3&apos;s</source>
        <translation>(Снять) выбор MP3</translation>
    </message>
    <message>
        <source>Select all containing</source>
        <translation>Выбрать все, содержащие</translation>
    </message>
    <message>
        <source>case sensitive</source>
        <translation>учитывать регистр</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Стиль</translation>
    </message>
    <message>
        <source>use text search</source>
        <translation>искать по тексту</translation>
    </message>
    <message>
        <source>use style search</source>
        <translation>искать по стилю</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>The tags of these files could not be read:</source>
        <translation>Теги этих файлов не удалось прочитать:</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormDeriveFormat</name>
    <message>
        <source>Derive options</source>
        <translation>Параметры формата</translation>
    </message>
    <message>
        <source>seperator sign</source>
        <translation>знак-разделитель</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormEditMP3Tag</name>
    <message>
        <source>Edit tag</source>
        <translation>Изменить тег</translation>
    </message>
    <message>
        <source>Song</source>
        <translation>Песня</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Исполнитель</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Альбом</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Год</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Стиль</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Комментарий</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Дорожка</translation>
    </message>
    <message>
        <source>note: editting tags while the file is</source>
        <translation>примечание: изменение тегов, пока файл</translation>
    </message>
    <message>
        <source>played by an external MP3 player</source>
        <translation>воспроизводится внешним проигрывателем MP3,</translation>
    </message>
    <message>
        <source>might result in errors I can&apos;t prevent!!</source>
        <translation>может привести к ошибкам, которые я не могу предотвратить!!</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Edit tag for %1</source>
        <translation>Изменить тег: %1</translation>
    </message>
    <message>
        <source>%1 was changed by another program since it was opened here.</source>
        <translation>%1 изменён другой программой после того, как был открыт здесь.</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Перечитать</translation>
    </message>
    <message>
        <source>Write anyway</source>
        <translation>Всё равно записать</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormEditMore</name>
    <message>
        <source>Change tag for more files</source>
        <translation>Изменить тег нескольких файлов</translation>
    </message>
    <message>
        <source>Song</source>
        <translation>Песня</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Исполнитель</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Альбом</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Год</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Стиль</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Комментарий</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Дорожка</translation>
    </message>
    <message>
        <source>leave as it is</source>
        <translation>оставить как есть</translation>
    </message>
    <message>
        <source>note: renaming a file while the file is played by an</source>
        <translation>примечание: переименование файла, пока его воспроизводит</translation>
    </message>
    <message>
        <source>external MP3 player might result in errors I can&apos;t prevent!</source>
        <translation>внешний проигрыватель MP3, может привести к ошибкам, которые я не могу предотвратить!</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Эти файлы не удалось изменить:</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormFillFromId3v2</name>
    <message>
        <source>Song</source>
        <translation>Песня</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Исполнитель</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Альбом</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Год</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Комментарий</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Стиль</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Дорожка</translation>
    </message>
    <message>
        <source>filling 1 file</source>
        <translation>заполнение 1 файла</translation>
    </message>
    <message>
        <source>filling %1 files</source>
        <translation>заполнение %1 файлов</translation>
    </message>
    <message>
        <source>Fill ID3v1 from ID3v2</source>
        <translation>Заполнить ID3v1 из ID3v2</translation>
    </message>
    <message>
        <source>take from the ID3v2 tag:</source>
        <translation>взять из тега ID3v2:</translation>
    </message>
    <message>
        <source>Only fill empty fields</source>
        <translation>Заполнять только пустые поля</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Fill ID3v1 from ID3v2...</source>
        <translation>Заполнить ID3v1 из ID3v2...</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormGetTagFromFilename</name>
    <message>
        <source>Derive tag from filename</source>
        <translation>Тег из имени файла</translation>
    </message>
    <message>
        <source>Edit derive format</source>
        <translation>Изменить формат</translation>
    </message>
    <message>
        <source>smart cut *</source>
        <translation>умная обрезка *</translation>
    </message>
    <message>
        <source>clear tag</source>
        <translation>очистить тег</translation>
    </message>
    <message>
        <source>* smart cut:</source>
        <translation>* умная обрезка:</translation>
    </message>
    <message>
        <source>When this option is enabled, the</source>
        <translation>Когда этот режим включён, программа</translation>
    </message>
    <message>
        <source>program tries to find out itself, which part of the</source>
        <translation>сама пытается понять, какую часть</translation>
    </message>
    <message>
        <source>filename needs to be transported to the ID3 tag.</source>
        <translation>имени файла перенести в тег ID3.</translation>
    </message>
    <message>
        <source>This way it tries to get rid of all the extra spaces</source>
        <translation>Так она старается убрать лишние пробелы,</translation>
    </message>
    <message>
        <source>and brackets and so on. Be aware, the program</source>
        <translation>скобки и тому подобное. Имейте в виду: программа</translation>
    </message>
    <message>
        <source>might make a wrong dicision somewhere!</source>
        <translation>может где-то ошибиться!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Эти файлы не удалось изменить:</translation>
    </message>
    <message>
        <source>Tags from file names</source>
        <translation>Теги из имён файлов</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormHelp</name>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Close help</source>
        <translation>Закрыть справку</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormLoadPlayList</name>
    <message>
        <source>Load playList</source>
        <translation>Загрузить список воспроизведения</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Загрузить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Do you want to append this play list to the current playlist, or overwrite the current playlist?</source>
        <translation>Добавить этот список воспроизведения к текущему или заменить им текущий?</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Заменить</translation>
    </message>
    <message>
        <source>Only a file name is taken here; the folder is chosen in the folder list.</source>
        <translation>Здесь вводится только имя файла; папка выбирается в списке папок.</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormNumberTracks</name>
    <message>
        <source>numbering 1 file</source>
        <translation>нумерация 1 файла</translation>
    </message>
    <message>
        <source>numbering %1 files</source>
        <translation>нумерация %1 файлов</translation>
    </message>
    <message>
        <source>Number tracks</source>
        <translation>Нумерация дорожек</translation>
    </message>
    <message>
        <source>first track</source>
        <translation>первая дорожка</translation>
    </message>
    <message>
        <source>leave files that have a track as they are</source>
        <translation>не трогать файлы, у которых уже есть дорожка</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Эти файлы не удалось изменить:</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormPlayListEditor</name>
    <message>
        <source>Playlist editor</source>
        <translation>Редактор списка воспроизведения</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Save the current playlist</source>
        <translation>Сохранить текущий список воспроизведения</translation>
    </message>
    <message>
        <source>Saves the current playlist, if the destination file already exists, you can either overwrite or append</source>
        <translation>Сохраняет текущий список; если файл уже существует, его можно заменить или дописать</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Загрузить</translation>
    </message>
    <message>
        <source>Load a playlist</source>
        <translation>Загрузить список воспроизведения</translation>
    </message>
    <message>
        <source>Load an existing playlist, you can either overwrite or append to the current playlist</source>
        <translation>Загружает существующий список; им можно заменить текущий или дописать его к текущему</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Add MP3s</source>
        <translation>Добавить MP3</translation>
    </message>
    <message>
        <source>Add one of more MP3s to the current playlist.</source>
        <translation>Добавить один или несколько MP3 в текущий список воспроизведения.</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Remove selected MP3</source>
        <translation>Убрать выбранный MP3</translation>
    </message>
    <message>
        <source>Removes the selected MP3s from the current playlist.</source>
        <translation>Убирает выбранные MP3 из текущего списка воспроизведения.</translation>
    </message>
    <message>
        <source>Move selected MP3 one place up</source>
        <translation>Переместить выбранный MP3 на одно место вверх</translation>
    </message>
    <message>
        <source>Move the selected MP3 one place up in the current playlist</source>
        <translation>Переместить выбранный MP3 на одно место вверх в текущем списке</translation>
    </message>
    <message>
        <source>Move selected MP3 one place down</source>
        <translation>Переместить выбранный MP3 на одно место вниз</translation>
    </message>
    <message>
        <source>Reverse</source>
        <translation>Обратить</translation>
    </message>
    <message>
        <source>Reverse the list</source>
        <translation>Обратить список</translation>
    </message>
    <message>
        <source>Simply reverses the current playlist</source>
        <translation>Просто переставляет текущий список в обратном порядке</translation>
    </message>
    <message>
        <source>Randomize</source>
        <translation>Перемешать</translation>
    </message>
    <message>
        <source>Randomize the list</source>
        <translation>Перемешать список</translation>
    </message>
    <message>
        <source>Randomizes the current playlist (kinda like shuffle :-))</source>
        <translation>Перемешивает текущий список (примерно как shuffle :-))</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Сортировать</translation>
    </message>
    <message>
        <source>Arrange the current playlist alphabetically</source>
        <translation>Упорядочить текущий список по алфавиту</translation>
    </message>
    <message>
        <source>Arranges the current playlist alphabetically</source>
        <translation>Упорядочивает текущий список по алфавиту</translation>
    </message>
    <message>
        <source>Cleanup</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Clean up the playlist</source>
        <translation>Очистить список</translation>
    </message>
    <message>
        <source>Selects all MP3 in the current playlist that don not (longer) exist</source>
        <translation>Выбирает все MP3 текущего списка, которых (больше) нет</translation>
    </message>
    <message>
        <source>Launch</source>
        <translation>Запустить</translation>
    </message>
    <message>
        <source>Launch playlist</source>
        <translation>Запустить список</translation>
    </message>
    <message>
        <source>Starts your MP3 player up with the current playlist</source>
        <translation>Запускает ваш проигрыватель MP3 с текущим списком</translation>
    </message>
    <message>
        <source>note: works only if your MP3 file type is registered!</source>
        <translation>примечание: работает, только если тип файлов MP3 зарегистрирован!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Close this window</source>
        <translation>Закрыть это окно</translation>
    </message>
    <message>
        <source>This one&apos;s to simple for help =]</source>
        <translation>Тут всё слишком просто для справки =]</translation>
    </message>
    <message>
        <source>Save changes?</source>
        <translation>Сохранить изменения?</translation>
    </message>
    <message>
        <source>Please save the playlist first!</source>
        <translation>Сначала сохраните список воспроизведения!</translation>
    </message>
    <message>
        <source>.m3u files</source>
        <translation>Файлы .m3u</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormPreferences</name>
    <message>
        <source>Preferences</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Default directory:</source>
        <translation>Папка по умолчанию:</translation>
    </message>
    <message>
        <source>Directory which Veltrane will use at at startup</source>
        <translation>Папка, которую Veltrane открывает при запуске</translation>
    </message>
    <message>
        <source>Delete to recycle bin</source>
        <translation>Удалять в корзину</translation>
    </message>
    <message>
        <source>Doubleclick action:</source>
        <translation>Действие по двойному щелчку:</translation>
    </message>
    <message>
        <source>Edit tag</source>
        <translation>Изменить тег</translation>
    </message>
    <message>
        <source>Play file</source>
        <translation>Воспроизвести файл</translation>
    </message>
    <message>
        <source>Rename file</source>
        <translation>Переименовать файл</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Keep the list layout between runs</source>
        <translation>Сохранять вид списка между запусками</translation>
    </message>
    <message>
        <source>Stretch the list with the window</source>
        <translation>Растягивать список вместе с окном</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>More</source>
        <translation>Дополнительно</translation>
    </message>
    <message>
        <source>Make read-only files writable when reading a folder</source>
        <translation>Делать файлы только для чтения доступными для записи при чтении папки</translation>
    </message>
    <message>
        <source>Keep ID3v2 tags in step</source>
        <translation>Обновлять и теги ID3v2</translation>
    </message>
    <message>
        <source>Show length and bit rate</source>
        <translation>Показывать длительность и битрейт</translation>
    </message>
    <message>
        <source>Show the preview of Read ID3 tags from filename</source>
        <translation>Показывать предпросмотр «Прочитать теги ID3 из имени файла»</translation>
    </message>
    <message>
        <source>Show the preview of Rename from tags</source>
        <translation>Показывать предпросмотр «Переименовать по тегам»</translation>
    </message>
    <message>
        <source>Show the preview of Import tags</source>
        <translation>Показывать предпросмотр «Импорт тегов»</translation>
    </message>
    <message>
        <source>Tag code page:</source>
        <translation>Кодовая страница тегов:</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormPreviewChanges</name>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Поле</translation>
    </message>
    <message>
        <source>Old value</source>
        <translation>Старое значение</translation>
    </message>
    <message>
        <source>New value</source>
        <translation>Новое значение</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Примечание</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Show this preview</source>
        <translation>Показывать этот предпросмотр</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormRename</name>
    <message>
        <source>Rename</source>
        <translation>Переименовать</translation>
    </message>
    <message>
        <source>derive from filename</source>
        <translation>составить из имени файла</translation>
    </message>
    <message>
        <source>Edit derive format</source>
        <translation>Изменить формат</translation>
    </message>
    <message>
        <source>note: renaming a file while the file is played by an</source>
        <translation>примечание: переименование файла, пока его воспроизводит</translation>
    </message>
    <message>
        <source>external MP3 player might result in errors I can&apos;t prevent!</source>
        <translation>внешний проигрыватель MP3, может привести к ошибкам, которые я не могу предотвратить!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>These files could not be renamed:</source>
        <translation>Эти файлы не удалось переименовать:</translation>
    </message>
    <message>
        <source>Rename from tags</source>
        <translation>Переименовать по тегам</translation>
    </message>
    <message>
        <source>The new name is empty.</source>
        <translation>Новое имя пустое.</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormSavePlayList</name>
    <message>
        <source>Save playlist</source>
        <translation>Сохранить список воспроизведения</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Extended (#EXTINF from the tags)</source>
        <translation>Расширенный (#EXTINF из тегов)</translation>
    </message>
    <message>
        <source>Relative paths</source>
        <translation>Относительные пути</translation>
    </message>
    <message>
        <source>The file specified already exists.</source>
        <translation>Указанный файл уже существует.</translation>
    </message>
    <message>
        <source>Should the new file overwrite the old one, or be appended to the old one?</source>
        <translation>Заменить старый файл новым или дописать новый к старому?</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Дописать</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Заменить</translation>
    </message>
</context>
<context>
    <name>veltrane::TMainForm</name>
    <message>
        <source>searching for all MP3&apos;s from:</source>
        <translation>поиск всех MP3 начиная с:</translation>
    </message>
    <message>
        <source>Directory</source>
        <translation>Папка</translation>
    </message>
    <message>
        <source>Edit tools</source>
        <translation>Правка</translation>
    </message>
    <message>
        <source>Misc</source>
        <translation>Разное</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Обновить</translation>
    </message>
    <message>
        <source>Select files</source>
        <translation>Выбрать файлы</translation>
    </message>
    <message>
        <source>Deselect files</source>
        <translation>Снять выбор с файлов</translation>
    </message>
    <message>
        <source>Edit selected MP3&apos;s</source>
        <translation>Изменить выбранные MP3</translation>
    </message>
    <message>
        <source>Rename selected files</source>
        <translation>Переименовать выбранные файлы</translation>
    </message>
    <message>
        <source>Play selected file</source>
        <translation>Воспроизвести выбранный файл</translation>
    </message>
    <message>
        <source>Delete selected files</source>
        <translation>Удалить выбранные файлы</translation>
    </message>
    <message>
        <source>Number tracks...</source>
        <translation>Нумерация дорожек...</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Ход выполнения</translation>
    </message>
    <message>
        <source>MP3 files</source>
        <translation>Файлы MP3</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Фильтр</translation>
    </message>
    <message>
        <source>%1 of %2 files shown</source>
        <translation>Показано файлов: %1 из %2</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Папка %1 не существует.</translation>
    </message>
    <message>
        <source>%1 files also hold an ID3v2 tag, which players show first; it was not changed (Preferences, More: Keep ID3v2 tags in step).</source>
        <translation>Файлов, в которых есть и тег ID3v2, который проигрыватели показывают первым: %1; он не изменён (Настройки, Дополнительно: Обновлять и теги ID3v2).</translation>
    </message>
    <message>
        <source>These files&apos; ID3v2 tags were left as they were; their ID3v1 tags were written:</source>
        <translation>Теги ID3v2 этих файлов оставлены как были; их теги ID3v1 записаны:</translation>
    </message>
    <message>
        <source>The tag code page &quot;%1&quot; in the settings is unknown; tags are read in Windows-1252.</source>
        <translation>Кодовая страница тегов «%1» в настройках неизвестна; теги читаются в Windows-1252.</translation>
    </message>
</context>
<context>
    <name>veltrane::TMarsCaption</name>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Развернуть</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Свернуть</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Восстановить</translation>
    </message>
</context>
<context>
    <name>veltrane::TTagTableActions</name>
    <message>
        <source>Export tags...</source>
        <translation>Экспорт тегов...</translation>
    </message>
    <message>
        <source>Import tags...</source>
        <translation>Импорт тегов...</translation>
    </message>
    <message>
        <source>Tag tables (*.csv *.tsv);;All files (*)</source>
        <translation>Таблицы тегов (*.csv *.tsv);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Export tags</source>
        <translation>Экспорт тегов</translation>
    </message>
    <message>
        <source>Import tags</source>
        <translation>Импорт тегов</translation>
    </message>
    <message>
        <source>These files could not be read:</source>
        <translation>Эти файлы не удалось прочитать:</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Не удаётся прочитать %1: %2</translation>
    </message>
    <message>
        <source>%1: %2; nothing imported.</source>
        <translation>%1: %2; ничего не импортировано.</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Эти файлы не удалось изменить:</translation>
    </message>
</context>
<context>
    <name>veltrane::TUndoAction</name>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
</context>
<context>
    <name>veltrane::TfrmProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
</TS>
