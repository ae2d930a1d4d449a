// A whole day with the real executor: batch tasks written and "run" by a recording
// process service, a file copy through the recording shell, a ZIP archive written
// for real, a program that is not there and a message; the log and the stamps in
// the task file are checked at the end of the day.
#include <zip.h>

#include <set>

#include "platform/files.h"
#include "tasks/task_store.h"
#include "wired_fixture.h"
#include "testkit/task_file.h"

namespace tarvex::testing {
namespace {

const std::string DAILY = "01 - Todos os Dias";

std::set<std::string> archiveEntries(const std::string& file) {
    std::set<std::string> names;
    int code = 0;
    zip_t* za = zip_open(file.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!za) return {"cannot open: " + std::to_string(code)};
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) names.insert(zip_get_name(za, i, 0));
    zip_discard(za);
    return names;
}

class Day : public WiredTest {
protected:
    void SetUp() override {
        WiredTest::SetUp();
        dir.write("dados/a.txt", "A");
        dir.write("dados/b.dat", "B");
        dir.write("dados/sub/c.txt", "C");
        const std::string memo = "CHCP 1252 >NUL\r\nXCOPY C:\\DADOS\\*.*  ===>>  [PEN]:\\DADOS[EXT]\\      /E /D /Y /R /C /V";
        writeTasks({
            {{col::NOME, "COPIA PEN"}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::PERIODO, DAILY},
             {col::HORA, "08:00"}, {col::PEN, "E"}, {col::EXTENSAO, "_[DIA]"}, {col::PAUSE, "S"},
             {col::MEMO, tasks::linesToCell(memo)}},
            {{col::NOME, "COPIA ARQ"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::PERIODO, DAILY},
             {col::HORA, "09:00"}, {col::DIR_ORIGEM, "C:\\DADOS\\"}, {col::ARQUIVO, "*.TXT"},
             {col::DIR_DESTINO, win("copias")}},
            {{col::NOME, "PROGRAMA"}, {col::TIPO, "03 - Executar Programa"}, {col::PERIODO, DAILY},
             {col::HORA, "10:00"}, {col::EXECUTAVEL, "C:\\NAO\\EXISTE.EXE /S"}},
            {{col::NOME, "ZIP"}, {col::TIPO, "06 - WINZIP"}, {col::PERIODO, DAILY}, {col::HORA, "12:00"},
             {col::DIR_ORIGEM, win("dados")}, {col::DIR_DESTINO, win("zips")},
             {col::ARQDEST, "BACKUP"}, {col::EXTENSAO, "_[DIA]"}, {col::ARQUIVO, "*.txt"}},
            {{col::NOME, "AVISO"}, {col::TIPO, "10 - Mensagem"}, {col::PERIODO, DAILY}, {col::HORA, "17:00"},
             {col::MENSAGEM, "Hora do cafe"}},
            {{col::NOME, "NOTA"}, {col::TIPO, "09 - Observações"}, {col::PERIODO, DAILY}, {col::HORA, "11:00"}},
        });
        fake.processes.onRun = [this](const std::string& line, int) {
            batches.push_back(dir.read("TIMER_xx.BAT"));
            lines.push_back(line);
            clock.elapse(3 * 60'000);   // the copy takes three minutes
            return 0;
        };
        fake.shell.onCopy = [this](const testkit::RecordingShell::Copy&) { return fake.shell.copies.size() == 1 ? 1 : 0; };
    }

    // A folder of the test as the system writes folders, with backslashes.
    std::string win(const std::string& name) const { return platform::fromFsPath(dir.path() / name); }

    std::vector<std::string> batches, lines;
};

TEST_F(Day, EveryTaskRunsAtItsHourAndLeavesItsLineAndStamp) {
    start();
    host.runUntil(at(2026, 12, 9, 23, 59, 0));
    EXPECT_TRUE(form->closeRequested());
    form->shutDown();

    const std::string tail = "#01 - Todos os Dias#";
    // A program that is not there fails at its hour and again at longer and longer waits.
    const std::string notFound = "09/12/26#03#ERR#***   ERRO   ***   Programa não localizado PROGRAMA#";
    std::vector<std::string> retries;
    for (const std::string& line : logLines())
        if (line.rfind(notFound, 0) == 0) retries.push_back(line.substr(notFound.size(), 8));
    // Each retry runs at the minute "Próximo" announced for it.
    EXPECT_EQ(retries, (std::vector<std::string>{"10:00:00", "10:10:00", "10:30:00", "11:10:00", "12:30:00",
                                                 "15:10:00", "19:10:00", "23:10:00"}));
    std::vector<std::string> others;
    std::string reason;   // a failure's reason follows its nine fields
    for (std::string line : logLines()) {
        if (line.rfind(notFound, 0) == 0) continue;
        size_t ninth = 0;
        for (int f = 0; f < 9 && ninth != std::string::npos; ++f) ninth = line.find('#', ninth + (f ? 1 : 0));
        if (ninth != std::string::npos && ninth + 1 < line.size()) {
            reason = line.substr(ninth + 1);
            line.resize(ninth + 1);
        }
        others.push_back(line);
    }
    EXPECT_EQ(reason.rfind("Erro na cópia: C:\\DADOS\\*.TXT", 0), 0u) << reason;
    EXPECT_EQ(others, (std::vector<std::string>{
        "09/12/26#00#INI#Start TARVEX#07:00:00#07:00:00#00:00:00###",
        "09/12/26#01#EXE#COPIA PEN#08:00:00#08:03:00#00:03:00#00 - XCOPY - Copia Arq." + tail,
        "09/12/26#02#ERR#***   ERRO   ***   COPIA ARQ#09:00:00#09:00:00#00:00:00#02 - Copiar Arquivo" + tail,
        "09/12/26#02#EXE#COPIA ARQ#09:10:00#09:10:00#00:00:00#02 - Copiar Arquivo" + tail,
        "09/12/26#04#EXE#ZIP#12:00:00#12:00:00#00:00:00#06 - WINZIP" + tail,
        "09/12/26#05#EXE#AVISO >> Hora do cafe#17:00:00#17:00:00#00:00:00#10 - Mensagem" + tail,
        "09/12/26#00#TER#Close TARVEX#23:59:00#23:59:00#00:00:00###"}));

    // The batch: placeholders expanded, the arrow gone; run once (its pause is a console apart).
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_TRUE(batches[0].starts_with(
        "@SETLOCAL DISABLEDELAYEDEXPANSION\r\nXCOPY C:\\DADOS\\*.* E:\\DADOS_09\\ /E /D /Y /R /C /V\r\nIF ERRORLEVEL 2 (>\""))
        << batches[0];
    EXPECT_TRUE(batches[0].ends_with("TIMER_xx.ERR\" ECHO 2& EXIT /B %ERRORLEVEL%) ELSE (CALL )")) << batches[0];
    EXPECT_NE(lines[0].find("TIMER_xx.BAT"), std::string::npos);
    // The file copy: refused once, done at the next agenda, into a folder made for it.
    ASSERT_EQ(fake.shell.copies.size(), 2u);
    EXPECT_EQ(fake.shell.copies[1].from, "C:\\DADOS\\*.TXT");
    EXPECT_TRUE(dir.exists("copias"));
    EXPECT_TRUE(fake.shell.opens.empty());
    EXPECT_EQ(archiveEntries(dir.file("zips/BACKUP_09.ZIP")), (std::set<std::string>{"a.txt", "sub/c.txt"}));
    EXPECT_EQ(op.messages(), std::vector<std::string>{"Hora do cafe"});   // shown, not asked
    EXPECT_EQ(op.questions(), (std::vector<std::string>{"Saindo do programa, não serão executadas as tarefas.\r\n\r\nSair assim mesmo ?"}));

    testkit::TaskFile reader(dir.folder());
    reader.taskStore().load();
    std::vector<std::string> stamps;
    for (int row = 1; row <= 6; ++row) stamps.emplace_back(reader.table().cell(col::ULTIMA_EXEC, row));
    EXPECT_EQ(stamps, (std::vector<std::string>{"09/12/26 08:03:00", "09/12/26 09:10:00", "",
                                                "09/12/26 12:00:00", "09/12/26 17:00:00", ""}));
}

}  // namespace
}  // namespace tarvex::testing
