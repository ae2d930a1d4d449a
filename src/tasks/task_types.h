#pragma once
// One descriptor per task type: what the editor, the agenda, the executor and
// the pre-run checks know of it. The type's code (the first two characters of
// column "Tipo Tarefa", as stored) is compared here and nowhere else; adding a
// type is one row of this table and its runner in the executor.
#include <array>
#include <string>
#include <string_view>

namespace tarvex::tasks {

enum class TaskType {
    XCopy,          // "00": XCOPY lines run as a batch file
    CopyFolders,    // "01": folder pairs through the shell's copy
    CopyFile,       // "02": a name or mask through the shell's copy
    StartProgram,   // "03"
    CloseProgram,   // "04"
    Power,          // "05": end the program, shut down or restart
    Zip,            // "06"
    Backup,         // "07": the database backup tool run as a batch file
    Send,           // "08": a folder's archives sent to a server
    Unused,         // "08 - " as stored before the code was taken: does nothing
    Notes,          // "09": a note, never scheduled
    Message,        // "10"
    None,           // an empty cell, or a code no descriptor has
};

// How a type is carried out.
enum class RunKind { Batch, FolderCopy, FileCopy, StartProgram, CloseProgram, Power, Zip, Send, Message, Nothing };

struct TaskTypeInfo {
    TaskType type;
    const char* label;         // the editor's list item, stored whole in "Tipo Tarefa"
    const char* page;          // the editor's page of fields ("T00"); nullptr: none
    RunKind run;
    bool scheduled;            // the agenda may choose it
    bool waitsForPen;          // a named pen drive must be there before it runs
    bool memoTargets;          // the drives after each "===>>" of its text must exist
    bool destinationDrive;     // the drive of "Dir Destino" must exist
    bool penDrive;             // the drive of its pen field must exist
    int failsFromStatus;       // a batch's exit status from which the run failed
    const char* batchName;     // how a failed batch is named to the operator
    bool keepsLast;            // "Manter os últimos N" applies
};

// Every type the editor lists, in the list's order.
const std::array<TaskTypeInfo, 11>& taskTypes();
// The descriptor of a stored "Tipo Tarefa" cell; the None descriptor for an
// empty cell or an unknown code. Code "08" was free and stored bare ("08 - "):
// a cell naming nothing after the code keeps doing nothing.
const TaskTypeInfo& typeOf(std::string_view typeCell);
inline bool isType(std::string_view typeCell, TaskType type) { return typeOf(typeCell).type == type; }
// The editor's page of a typed code, as "T00"; empty when the code has none.
std::string pageOf(std::string_view typeCell);

}  // namespace tarvex::tasks
