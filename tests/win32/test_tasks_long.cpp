// A tree deeper than 260 characters, zipped and copied whole by the real task
// runs; and a copy that stops answering, given up at the time limit.
#include <zip.h>

#include <functional>
#include <set>

#include "lib/routines.h"
#include "platform/cp1252.h"
#include "support/tasks_fixture.h"
#include "win32/handles.h"

namespace tarvex::win32test {
namespace {

// Six levels of 50 characters below the temporary folder: past 300.
std::string deep(const std::string& name) {
    std::string rel = "longo";
    for (int i = 1; i <= 6; ++i) rel += "\\nivel_" + std::to_string(i) + "_de_uma_pasta_com_nome_bem_comprido_xx";
    return rel + (name.empty() ? "" : "\\" + name);
}

std::set<std::string> zipNames(const std::string& archive) {
    const std::u8string name = platform::longPath(archive).u8string();
    zip_t* za = zip_open(std::string(name.begin(), name.end()).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, nullptr);
    std::set<std::string> names;
    for (zip_int64_t i = 0; za && i < zip_get_num_entries(za, 0); ++i) names.insert(zip_get_name(za, i, 0));
    return za && !zip_close(za) ? names : std::set<std::string>{"unreadable"};
}

void removeTree(const std::filesystem::path& folder) {
    std::vector<platform::FolderEntry> found;
    platform::listFolder(folder, found);
    std::error_code ec;
    for (const auto& e : found)
        if (e.folder) removeTree(folder / platform::fsPath(e.name));
        else std::filesystem::remove(folder / platform::fsPath(e.name), ec);
    std::filesystem::remove(folder, ec);
}

class LongTree : public TasksTest {
protected:
    void SetUp() override {
        TasksTest::SetUp();
        put("longo\\raiz.txt", "raiz");
        put(deep("fundo.txt"), "fundo");
        put(deep("Ação.txt"), "ação");
        ASSERT_GT(dir.path(deep("fundo.txt")).size(), 300u);
    }
    void TearDown() override {
        TasksTest::TearDown();
        removeTree(platform::longPath(dir.folder()));
    }
    void put(const std::string& rel, const std::string& bytes) {
        for (size_t i = rel.find('\\'); i != std::string::npos; i = rel.find('\\', i + 1))
            platform::createDir(dir.path(rel.substr(0, i)));
        ASSERT_FALSE(platform::overwriteFile(dir.path(rel), bytes));
    }
};

// Yesterday's archives of the ZIP task, as deep as its tree and outside it.
const std::string kZips = "saida\\" + deep("zips");

struct Case {
    std::function<Row(TempFolder&)> task;
    std::string event;
    std::function<void(TempFolder&)> onDisk;   // every file there
};

const Case kCases[] = {
    {[](TempFolder& d) {
         return Row{{col::NOME, "ZIP"}, {col::TIPO, "06 - WINZIP"}, {col::DIR_ORIGEM, d.path("longo")},
                    {col::DIR_DESTINO, d.path(kZips + "\\")}, {col::ARQDEST, "BKP"}, {col::EXTENSAO, "_[DIA]"},
                    {col::MANTER, "2"}};
     },
     "EXE ZIP",
     [](TempFolder& d) {
         const std::string levels = replaceText(deep("").substr(6), "\\", "/") + "/";
         EXPECT_EQ(zipNames(d.path(kZips + "\\BKP_09.ZIP")),
                   (std::set<std::string>{"raiz.txt", levels + "fundo.txt", levels + platform::cp1252ToUtf8("Ação.txt")}));
         for (const char* old : {"BKP_05.ZIP", "BKP_06.ZIP"}) EXPECT_FALSE(d.exists(kZips + "\\" + old));
         EXPECT_TRUE(d.exists(kZips + "\\BKP_07.ZIP"));
     }},
    {[](TempFolder& d) {
         return Row{{col::NOME, "DIRS"}, {col::TIPO, "01 - Copiar Diretório"},
                    {col::MEMO, memo({d.path("longo\\") + "  ===>>  " + d.path("copia\\")})}};
     },
     "EXE DIRS >> 3 arquivos conferidos",
     [](TempFolder& d) { EXPECT_EQ(d.read("copia" + deep("Ação.txt").substr(5)), "ação"); }},
    {[](TempFolder& d) {
         return Row{{col::NOME, "ARQ"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::DIR_ORIGEM, d.path(deep("")) + "\\"},
                    {col::ARQUIVO, "*.txt"}, {col::DIR_DESTINO, d.path("arqs\\")}};
     },
     "EXE ARQ >> 2 arquivos conferidos",
     [](TempFolder& d) { EXPECT_EQ(d.read("arqs\\Ação.txt"), "ação"); }},
};

class LongTreeRuns : public LongTree, public ::testing::WithParamInterface<Case> {};

TEST_P(LongTreeRuns, AreDoneWhole) {
    for (const char* old : {"BKP_05.ZIP", "BKP_06.ZIP", "BKP_07.ZIP"}) put(kZips + "\\" + old, "antigo");
    runOne(GetParam().task(dir));
    EXPECT_EQ(runEvents(), std::vector<std::string>{GetParam().event});
    GetParam().onDisk(dir);
}

INSTANTIATE_TEST_SUITE_P(ZipFolderFiles, LongTreeRuns, ::testing::ValuesIn(kCases));

// A disk that stops answering on one file, until let go.
struct HangingDisk : platform::DiskFaults {
    bool opens(const std::string& path) override {
        if (path.find("trava") == std::string::npos) return true;
        ++inside;
        WaitForSingleObject(released.get(), 60000);
        --inside;
        return true;
    }
    win32::Handle released{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<int> inside{0};
};

TEST_F(LongTree, ACopyThatStopsAnsweringIsGivenUpAtTheLimitAndTheDayGoesOn) {
    put("parado\\trava.txt", "nunca lido");
    HangingDisk disk;
    platform::setDiskFaults(&disk);
    writeTasks({{{col::NOME, "TRAVA"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::PERIODO, DAILY}, {col::HORA, "08:00"},
                 {col::DIR_ORIGEM, dir.path("parado\\")}, {col::ARQUIVO, "*.txt"}, {col::DIR_DESTINO, dir.path("a\\")}},
                {{col::NOME, "SEGUE"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::PERIODO, DAILY}, {col::HORA, "08:01"},
                 {col::DIR_ORIGEM, dir.path("longo\\")}, {col::ARQUIVO, "raiz.txt"}, {col::DIR_DESTINO, dir.path("b\\")}}});
    start();
    form->commandRunner().setTimeLimit(2);
    host.runUntil(at(2026, 12, 9, 8, 1, 5));
    SetEvent(disk.released.get());
    while (disk.inside) SwitchToThread();   // the abandoned copy leaves the disk before it goes
    platform::setDiskFaults(nullptr);

    EXPECT_EQ(runEvents(), (std::vector<std::string>{"ERR ***   ERRO   ***   TRAVA - tempo esgotado (2 s)",
                                                     "EXE SEGUE >> 1 arquivo conferido"}));
}

}  // namespace
}  // namespace tarvex::win32test
