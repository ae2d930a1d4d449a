#pragma once
// The command lines the task pages build and the executor later runs.
#include <array>
#include <string>


namespace tarvex::exec {

// ---- the texts the builders write ------------------------------------------------
inline constexpr const char* ARROW = "  ===>>  ";
// /I and the destination's closing "\" make it a folder: XCOPY never asks.
inline constexpr const char* XCOPY_SWITCHES = "      /E /D /Y /R /C /V /I";
extern const std::array<std::string, 3> GBAK_SET_LINES;

std::string inQuotes(const std::string& text);
// The folder part of a path, with its trailing backslash (or colon); "" without one.
std::string folderOf(const std::string& path);
// The name part of a path: what follows its last backslash or colon.
std::string nameOf(const std::string& path);
// The same folder on the pen drive, "[EXT]" joined to the folder's name, quoted:
// "D:\DADOS\ARQ.TXT" gives "[PEN]:\DADOS[EXT]\" in quotes. The whole path is kept.
std::string penFolderOfFile(const std::string& file);
// The pen-drive destination of an origin as typed: a quoted origin gets "[EXT]\",
// an unquoted one only "\". The whole path is kept.
std::string penFolderOfOrigin(const std::string& origem);
std::string xcopyLine(const std::string& origem, const std::string& destino);
std::string folderPairLine(const std::string& origem, const std::string& destino);
// The database's name without folder and extensions: "D:\DADOS\BASE.2024.FDB" gives "BASE".
std::string gbakBaseName(const std::string& source);
// The gbak command line; "[EXT]" is filled in now when `extensao` is not empty.
std::string gbakLine(const std::string& pastaExe, const std::string& source, const std::string& destino,
                     const std::string& extensao);

}  // namespace tarvex::exec
