#include "tasks/task_types.h"
#include "lib/routines.h"

namespace tarvex::tasks {

namespace {

using T = TaskType;
using R = RunKind;

// label, page, run, scheduled, pen wait, memo targets, destination, pen drive, fails from, batch, keep N
constexpr std::array<TaskTypeInfo, 11> kTypes{{
    {T::XCopy, "00 - XCOPY - Copia Arq.", "T00", R::Batch, true, true, true, true, true, 2, "XCOPY", false},
    {T::CopyFolders, "01 - Copiar Diretório", "T01", R::FolderCopy, true, true, true, false, false, 0, "", false},
    {T::CopyFile, "02 - Copiar Arquivo", "T02", R::FileCopy, true, true, false, true, true, 0, "", false},
    {T::StartProgram, "03 - Executar Programa", "T03", R::StartProgram, true, true, false, false, false, 0, "", false},
    {T::CloseProgram, "04 - Fechar Programa", "T04", R::CloseProgram, true, false, false, false, false, 0, "", false},
    {T::Power, "05 - FUNÇÕES", "T05", R::Power, true, false, false, false, false, 0, "", false},
    {T::Zip, "06 - WINZIP", "T06", R::Zip, true, false, false, true, false, 0, "", true},
    {T::Backup, "07 - GBAK - Firebird", "T07", R::Batch, true, true, false, true, true, 1, "O backup", true},
    {T::Send, "08 - Enviar para Servidor", "T08", R::Send, true, false, false, false, false, 0, "", true},
    {T::Notes, "09 - Observações", "T09", R::Nothing, false, false, false, false, false, 0, "", false},
    {T::Message, "10 - Mensagem", nullptr, R::Message, true, false, false, false, false, 0, "", false},
}};

constexpr TaskTypeInfo kUnused{T::Unused, "08 - ", "T99", R::Nothing, true, false, false, false, false, 0, "", false};

// Unknown codes were always scheduled like any other; only an empty type is not.
constexpr TaskTypeInfo kUnknown{T::None, "", nullptr, R::Nothing, true, false, false, false, false, 0, "", false};
constexpr TaskTypeInfo kEmpty{T::None, "", nullptr, R::Nothing, false, false, false, false, false, 0, "", false};

}  // namespace

const std::array<TaskTypeInfo, 11>& taskTypes() { return kTypes; }

const TaskTypeInfo& typeOf(std::string_view typeCell) {
    const std::string_view code = trimmed(typeCell.substr(0, 2));
    if (code.empty()) return kEmpty;
    if (code == "08" && typeCell.find_first_not_of(" -\t", 2) == std::string_view::npos) return kUnused;
    for (const TaskTypeInfo& t : kTypes)
        if (std::string_view(t.label).substr(0, 2) == code) return t;
    return kUnknown;
}

std::string pageOf(std::string_view typeCell) {
    const char* page = typeOf(typeCell).page;
    return page ? page : "";
}

}  // namespace tarvex::tasks
