// Work that was not done is never logged "EXE": a ZIP beside its own earlier
// archives, shell copies that left files behind, a copy into yesterday's copy.
#include <zip.h>

#include <functional>
#include <set>

#include "support/tasks_fixture.h"

namespace tarvex::win32test {
namespace {

std::set<std::string> entryNames(const std::string& archive) {
    std::set<std::string> names;
    int code = 0;
    const std::u8string name = platform::fsPath(archive).generic_u8string();
    zip_t* za = zip_open(std::string(name.begin(), name.end()).c_str(), ZIP_RDONLY, &code);
    if (!za) return {"cannot open"};
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) names.insert(zip_get_name(za, i, 0));
    zip_discard(za);
    return names;
}

struct Case {
    const char* name;
    std::function<Row(TempFolder&)> prepare;   // the disk as the operator left it, and the task
    std::string event;                         // the log's code and text for the run
    std::string stamp;
    std::function<void(TempFolder&)> onDisk;   // what must (not) be there afterwards
};

const std::string kDone = "09/12/26 08:00:00";
HANDLE heldOpen = INVALID_HANDLE_VALUE;   // a file another program keeps with no sharing

const Case kCases[] = {
    {"ZipLeavesItsDestinationAndItsArchivesOut",
     [](TempFolder& d) {
         d.write("Ação\\nota.txt", "n");
         d.write("Ação\\BKP_08.ZIP", "da tarefa, solto na origem");
         d.write("Ação\\Backup ZIP\\BKP_07.ZIP", "de anteontem");
         d.write("Ação\\Backup ZIP\\leia.txt", "ao lado dos arquivos");
         return Row{{col::NOME, "ZIP"}, {col::TIPO, "06 - WINZIP"}, {col::DIR_ORIGEM, d.path("Ação")},
                    {col::DIR_DESTINO, d.path("Ação\\Backup ZIP\\")}, {col::ARQDEST, "BKP"},
                    {col::EXTENSAO, "_[DIA]"}};
     },
     "EXE ZIP >> deixados de fora: a pasta de destino e 1 arquivo ZIP da própria tarefa", kDone,
     [](TempFolder& d) {
         EXPECT_EQ(entryNames(d.path("Ação\\Backup ZIP\\BKP_09.ZIP")), std::set<std::string>{"nota.txt"});
     }},
    {"FileCopyFromAFolderThatIsGoneFails",
     [](TempFolder& d) {
         return Row{{col::NOME, "ARQ"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::DIR_ORIGEM, d.path("sumiu\\")},
                    {col::ARQUIVO, "*.FDB"}, {col::DIR_DESTINO, d.path("destino\\")}};
     },
     "ERR ***   ERRO   ***   ARQ", "", [](TempFolder&) {}},
    {"FileCopyOfAFileHeldOpenFailsNamingIt",
     [](TempFolder& d) {
         d.write("dados\\livre.FDB", "livre");
         d.write("dados\\preso.FDB", "preso");
         heldOpen = CreateFileW(win32::widen(d.path("dados\\preso.FDB")).c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
         EXPECT_NE(heldOpen, INVALID_HANDLE_VALUE);
         return Row{{col::NOME, "ARQ"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::DIR_ORIGEM, d.path("dados\\")},
                    {col::ARQUIVO, "*.FDB"}, {col::DIR_DESTINO, d.path("destino\\")}};
     },
     "ERR ***   ERRO   ***   ARQ", "",
     [](TempFolder&) { CloseHandle(heldOpen); }},
    {"FolderCopyRefreshesYesterdaysCopy",
     [](TempFolder& d) {
         d.write("Pasta\\a.txt", "de hoje");
         d.write("Pasta\\sub\\b.txt", "b");
         d.write("Destino\\Pasta\\a.txt", "de ontem");
         return Row{{col::NOME, "DIRS"}, {col::TIPO, "01 - Copiar Diretório"},
                    {col::MEMO, memo({d.path("Pasta\\") + "  ===>>  " + d.path("Destino\\Pasta[EXT]\\")})}};
     },
     "EXE DIRS >> 2 arquivos conferidos", kDone,
     [](TempFolder& d) {
         EXPECT_EQ(d.read("Destino\\Pasta\\a.txt"), "de hoje");
         EXPECT_EQ(d.read("Destino\\Pasta\\sub\\b.txt"), "b");
         EXPECT_FALSE(d.exists("Destino\\Pasta\\Pasta"));
     }},
};

class ProvenRuns : public TasksTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ProvenRuns, LogOnlyWhatWasDone) {
    const Case& c = GetParam();
    runOne(c.prepare(dir));
    EXPECT_EQ(runEvents().at(0), c.event);
    EXPECT_EQ(stamps(1), std::vector<std::string>{c.stamp});
    c.onDisk(dir);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProvenRuns, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A batch that never ends is ended at the limit, and the next task of the day
// still runs.
TEST_F(TasksTest, ABatchPastItsTimeLimitIsEndedAndTheDayGoesOn) {
    const std::string after = dir.path("depois.txt");
    writeTasks({{{col::NOME, "DORME"}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::PERIODO, DAILY},
                 {col::HORA, "08:00"}, {col::MEMO, memo({":LACO", "GOTO LACO", "ECHO acordou>\"" +
                                                                                  dir.path("dormiu.txt") + "\""})}},
                {{col::NOME, "SEGUE"}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::PERIODO, DAILY},
                 {col::HORA, "08:01"}, {col::MEMO, memo({"ECHO feito>\"" + after + "\""})}}});
    start();
    form->commandRunner().setTimeLimit(2);
    host.runUntil(at(2026, 12, 9, 8, 1, 5));

    EXPECT_EQ(runEvents(), (std::vector<std::string>{"ERR ***   ERRO   ***   DORME - tempo esgotado (2 s)", "EXE SEGUE"}));
    EXPECT_EQ(stamps(2), (std::vector<std::string>{"", "09/12/26 08:01:00"}));
    EXPECT_FALSE(dir.exists("dormiu.txt"));
    EXPECT_TRUE(dir.exists("depois.txt"));
}

}  // namespace
}  // namespace tarvex::win32test
