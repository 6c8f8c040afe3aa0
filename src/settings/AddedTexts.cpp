#include "settings/AddedTexts.h"

namespace orvo {

// Row n is the text of identifier FirstAddedTextId + n, in the order of
// txt::AddedText.
const std::array<AddedTextRow, AddedTextCount> BuiltInAddedTexts = {{
    {"Converted", "Преобразована"},
    {"Converted, but not marked on the card", "Преобразована, но не отмечена на карте"},
    {"Partly converted", "Преобразована частично"},
    {"Not converted", "Не преобразована"},
    {"Interrupted by user", "Прервано пользователем"},
    {"Fragment cannot be read", "Фрагмент не читается"},
    {"Fragment is damaged", "Фрагмент повреждён"},
    {"Fragments missing", "Не хватает фрагментов"},
    {"Output file cannot be written", "Не удаётся записать файл"},
    {"GPS track cannot be copied", "Не удаётся скопировать GPS-трек"},
    {"Record file cannot be marked", "Не удаётся отметить файл записи"},
    {"its MP4 structure cannot be read", "структура MP4 не читается"},
    {"it has no tracks (cut short?)", "в нём нет дорожек (файл оборван?)"},
    {"a track has no samples", "в дорожке нет кадров"},
    {"a time scale is zero", "шкала времени равна нулю"},
    {"its timestamps do not increase", "метки времени не возрастают"},
    {"a sample lies beyond the end of the file", "кадр лежит за концом файла"},
    {"a sample is too large", "кадр слишком большой"},
    {"its tracks differ from the earlier fragments",
     "дорожки отличаются от предыдущих фрагментов"},
    {"More problems:", "Ещё проблем:"},
    {"Files written:", "Записаны файлы:"},
    {"Records not converted:", "Не преобразованы записи:"},
    {"Output file does not read back as written", "Записанный файл не читается как записан"},
    {"the part is too short to play", "часть слишком коротка для воспроизведения"},
}};

} // namespace orvo
