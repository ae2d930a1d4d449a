// A whole Wednesday on the virtual clock with the main window wired to the real
// Windows services: an XCOPY batch, folder and file copies, a ZIP archive, a
// program, a message and a power function (recorded) run at their hours; the log,
// the stamps in the task file and what each task left on disk are checked at the end.
#include <zip.h>

#include <chrono>
#include <set>

#include "support/tasks_fixture.h"

namespace tarvex::win32test {
namespace {

std::set<std::string> archiveEntries(const std::string& archive) {
    std::set<std::string> names;
    std::u8string name = platform::fsPath(archive).generic_u8string();
    int code = 0;
    zip_t* za = zip_open(std::string(name.begin(), name.end()).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!za) return {"cannot open: " + std::to_string(code)};
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) names.insert(zip_get_name(za, i, 0));
    zip_discard(za);
    return names;
}

class Day : public TasksTest {
protected:
    Day() : TasksTest(at(2026, 12, 9, 7, 0, 0)) {}

    void SetUp() override {
        TasksTest::SetUp();
        ASSERT_EQ(dir.folder().find(' '), std::string::npos) << dir.folder();
        dir.write("dados\\a.txt", "alfa");
        dir.write("dados\\b.dat", "beta");
        dir.write("dados\\sub\\c.txt", "gama");
        dir.write("grava.bat", "@echo %1> \"" + dir.path("programa.txt") + "\"\r\n");
        const std::string xcopy = "XCOPY  \"" + dir.path("dados") + "\"  ===>>  \"" + dir.path("pen[EXT]\\") +
                                  "\"      /E /D /Y /R /C /V";
        writeTasks({
            {{col::NOME, "COPIA PEN"}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::PERIODO, DAILY},
             {col::HORA, "08:00"}, {col::EXTENSAO, "_[DIA]"}, {col::MEMO, memo({"CHCP 1252 >NUL", xcopy})}},
            {{col::NOME, "COPIA DIRS"}, {col::TIPO, "01 - Copiar Diretório"}, {col::PERIODO, DAILY},
             {col::HORA, "09:00"}, {col::MENSAGEM, "Copiar as pastas?"},
             {col::MEMO, memo({dir.path("dados") + "\\  ===>>  " + dir.path("espelho_[MES]\\")})}},
            {{col::NOME, "COPIA TXT"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::PERIODO, DAILY},
             {col::HORA, "10:00"}, {col::DIR_ORIGEM, dir.path("dados\\")}, {col::ARQUIVO, "*.txt"},
             {col::DIR_DESTINO, dir.path("textos\\")}},
            {{col::NOME, "NOTA"}, {col::TIPO, "09 - Observações"}, {col::PERIODO, DAILY}, {col::HORA, "11:00"}},
            {{col::NOME, "ZIP"}, {col::TIPO, "06 - WINZIP"}, {col::PERIODO, DAILY}, {col::HORA, "12:00"},
             {col::DIR_ORIGEM, dir.path("dados")}, {col::DIR_DESTINO, dir.path("zips\\")},
             {col::ARQDEST, "BACKUP"}, {col::EXTENSAO, "_[DIA]"}, {col::ARQUIVO, "*.txt"}},
            {{col::NOME, "PROGRAMA"}, {col::TIPO, "03 - Executar Programa"}, {col::PERIODO, DAILY},
             {col::HORA, "13:00"}, {col::EXECUTAVEL, dir.path("grava.bat") + " [SEMANA]"}},
            {{col::NOME, "AVISO"}, {col::TIPO, "10 - Mensagem"}, {col::PERIODO, DAILY}, {col::HORA, "17:00"},
             {col::MENSAGEM, "Hora do cafe"}},
            {{col::NOME, "DESLIGA"}, {col::TIPO, "05 - FUNÇÕES"}, {col::PERIODO, DAILY}, {col::HORA, "23:00"},
             {col::FUNCOES, "2"}},
        });
    }
};

TEST_F(Day, EveryTaskRunsForRealAtItsHour) {
    start();
    host.runUntil(at(2026, 12, 9, 23, 0, 30));
    EXPECT_TRUE(form->quitRequested());
    form->shutDown();

    const std::string tail = "#01 - Todos os Dias#";
    EXPECT_EQ(logLines(), (std::vector<std::string>{
        "09/12/26#00#INI#Start TARVEX#07:00:00#07:00:00#00:00:00###",
        "09/12/26#01#EXE#COPIA PEN >> 3 arquivos conferidos#08:00:00#08:00:00#00:00:00#00 - XCOPY - Copia Arq." + tail,
        "09/12/26#02#EXE#COPIA DIRS >> 3 arquivos conferidos#09:00:00#09:00:00#00:00:00#01 - Copiar Diretório" + tail,
        "09/12/26#03#EXE#COPIA TXT >> 1 arquivo conferido#10:00:00#10:00:00#00:00:00#02 - Copiar Arquivo" + tail,
        "09/12/26#05#EXE#ZIP#12:00:00#12:00:00#00:00:00#06 - WINZIP" + tail,
        "09/12/26#06#EXE#PROGRAMA#13:00:00#13:00:00#00:00:00#03 - Executar Programa" + tail,
        "09/12/26#07#EXE#AVISO >> Hora do cafe#17:00:00#17:00:00#00:00:00#10 - Mensagem" + tail,
        "09/12/26#08#EXE#DESLIGA#23:00:00#23:00:00#00:00:00#05 - FUNÇÕES" + tail,
        "09/12/26#00#TER#Close TARVEX#23:00:30#23:00:30#00:00:00###"}));
    EXPECT_EQ(stamps(8), (std::vector<std::string>{"09/12/26 08:00:00", "09/12/26 09:00:00", "09/12/26 10:00:00",
                                                   "", "09/12/26 12:00:00", "09/12/26 13:00:00",
                                                   "09/12/26 17:00:00", "09/12/26 23:00:00"}));

    EXPECT_EQ(dir.read("pen_09\\sub\\c.txt"), "gama");
    EXPECT_EQ(dir.read("pen_09\\b.dat"), "beta");
    EXPECT_EQ(dir.read("espelho_12\\sub\\c.txt"), "gama");
    EXPECT_EQ(dir.read("textos\\a.txt"), "alfa");
    EXPECT_FALSE(dir.exists("textos\\b.dat"));
    EXPECT_EQ(archiveEntries(dir.path("zips\\BACKUP_09.ZIP")), (std::set<std::string>{"a.txt", "sub/c.txt"}));
    EXPECT_EQ(dir.readWithin("programa.txt", std::chrono::seconds(30)), "Quarta\r\n");
    EXPECT_EQ(power.calls, (std::vector<std::string>{"privilege", "exit 13 0"}));
    EXPECT_EQ(op.questions(), std::vector<std::string>{"Copiar as pastas?"});   // the message is shown, not asked
    EXPECT_TRUE(op.errors().empty());
    EXPECT_FALSE(form->CB_EXECUTANDO.checked());
}

}  // namespace
}  // namespace tarvex::win32test
