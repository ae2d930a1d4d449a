#pragma once
// The texts of the settings page TS_PARAM.
#include <string>
#include <vector>

namespace tarvex::settings {

inline constexpr const char* kPageName = "TS_PARAM";

struct EditableList {
    const char* name;
    const char* label;
    std::vector<std::string> items;
    const char* initialText;
};

inline const EditableList kCalendarFontList{
    "CB_FONTE", "Tamanho da Fonte do Calendário",
    {"4", "5", "6", "7", "8", "9", "10", "12", "14"}, "8"};
inline const EditableList kTextFontSizeList{
    "CB_FONTEXT", "Tamanho da Fonte dos textos",
    {"6", "7", "8", "9", "10", "12", "14", "16", "18"}, "8"};
inline const EditableList kFontNameList{
    "CB_FONTNAME", "Fontes",
    {"Arial", "Arial Black", "Arial Narrow", "Arial Rounded MT Bold",
     "Bahnschrift Light SemiCondensed", "MS Sans Serif", "System", "Small Fonts", "Tahoma",
     "Verdana"},
    "MS Sans Serif"};

inline constexpr const char* kAutorunCaption = "Iniciar automaticamente com o Windows";
inline constexpr const char* kSaveCaption = "Salvar Parâmetros";
inline constexpr const char* kTimeLimitLabel = "Tempo máximo por tarefa (min)";
inline constexpr const char* kLogMaxLabel = "Tamanho máximo do log (MB)";
inline constexpr const char* kSaveHint = "SALVA O REGISTRO ATUAL";
inline constexpr const char* kFolderLabel = "Pasta dos Parâmetros";

}  // namespace tarvex::settings
