#include <gtest/gtest.h>

#include "lib/mrqr.h"
#include "lib_fixture.h"

namespace tarvex {
namespace {

class FieldFile : public TempDirTest {
protected:
    std::string file(const std::string& name) const { return dir + "\\" + name; }
    void put(std::initializer_list<const char*> fields) {
        int k = 1;
        for (const char* f : fields) MRQ_TABELA[k++] = f;
    }
    std::vector<std::string> slots(int from, int to) const {
        std::vector<std::string> out;
        for (int k = from; k <= to; ++k) out.push_back(MRQ_TABELA[k]);
        return out;
    }
    // Makes every open of `path` fail the first `times` times; counts the opens.
    int opens = 0;
    void lock(const std::string& path, int times) {
        platform::setOpenHookForTests([this, path, times](const std::string& p) {
            if (p != path) return true;
            return ++opens > times;
        });
    }
    using V = std::vector<std::string>;
};

TEST_F(FieldFile, WritesOneLineWithoutBreakAndReadsItBack) {
    const std::string name = file("TARVEX_SISTEMA.TXT");
    put({"8", "", "Arial"});
    MRQ_WRITE(name, 3);
    EXPECT_EQ(platform::readFile(name).value_or("?"), "8##Arial#");
    put({"x", "x", "x", "old", "old", "keep"});
    MRQ_READ(name, 3);
    EXPECT_EQ(slots(1, 6), (V{"8", "", "Arial", "old", "old", "keep"}));
    MRQ_READ(name, 5);
    EXPECT_EQ(slots(1, 6), (V{"8", "", "Arial", "", "", "keep"}));
    EXPECT_TRUE(operator_.boxes.empty());
}

TEST_F(FieldFile, AFieldOfJustANumberSignIsWrittenEmpty) {
    const std::string name = file("f.txt");
    put({"a", "#", "b#c"});
    MRQ_WRITE(name, 3);
    EXPECT_EQ(platform::readFile(name).value_or("?"), "a##b#c#");
    EXPECT_EQ(MRQ_TABELA[2], "");
    MRQ_READ(name, 4);
    EXPECT_EQ(slots(1, 4), (V{"a", "", "b", "c"}));
}

TEST_F(FieldFile, ReadsTheLastOfTheFirst399Lines) {
    const std::string name = file("f.txt");
    ASSERT_EQ(platform::writeFile(name, "a#b#\r\nc#d#"), "");
    MRQ_READ(name, 2);
    EXPECT_EQ(slots(1, 2), (V{"c", "d"}));
    ASSERT_EQ(platform::writeFile(name, "a#b#\nc#d#\r\n"), "");
    MRQ_READ(name, 2);
    EXPECT_EQ(slots(1, 2), (V{"c", "d"}));
    std::string many;
    for (int i = 1; i <= 450; ++i) many += "L" + std::to_string(i) + "#\r\n";
    ASSERT_EQ(platform::writeFile(name, many), "");
    MRQ_READ(name, 1);
    EXPECT_EQ(MRQ_TABELA[1], "L399");
}

TEST_F(FieldFile, MissingFileOrUnusablePathGivesEmptyFieldsSilently) {
    for (const std::string& p : {file("nao.txt"), std::string(), std::string("0"), std::string("*.*")}) {
        put({"old", "old"});
        MRQ_READ(p, 2);
        EXPECT_EQ(slots(1, 2), (V{"", ""})) << p;
    }
    EXPECT_TRUE(operator_.boxes.empty());
}

TEST_F(FieldFile, WritingIntoAMissingFolderWarnsOnceWithoutRetrying) {
    lock(file("nao\\f.txt"), 99);
    const std::string name = file("nao\\f.txt");
    put({"a"});
    MRQ_WRITE(name, 1);
    EXPECT_EQ(operator_.messages(), (V{"Diretório invalido para gravar Parametros (" + name + ")"}));
    EXPECT_EQ(opens, 0);
    EXPECT_FALSE(platform::dirExists(file("nao")));
}

TEST_F(FieldFile, DoubledSeparatorsInThePathAreCollapsed) {
    put({"v"});
    MRQ_WRITE(dir + "\\\\TARVEX_SISTEMA.TXT", 1);
    EXPECT_EQ(platform::readFile(file("TARVEX_SISTEMA.TXT")).value_or("?"), "v#");
}

TEST_F(FieldFile, ALockedFileIsReadThreeTimesSilentlyThenWarnedTwiceThenFails) {
    const std::string name = file("f.txt");
    ASSERT_EQ(platform::writeFile(name, "a#b#"), "");
    lock(name, 99);
    put({"old", "old"});
    MRQ_READ(name, 2);
    EXPECT_EQ(opens, 5);
    const std::string warn = "msg:(MRQ_READ) - AVISO - Erro na leitura do arquivo: " + name +
                             " Tecle Enter para tentar novamente";
    EXPECT_EQ(operator_.events, (V{"pump", "pump", "pump", "pump", warn, "pump", warn,
                                   "msg:(MRQ_READ) - ERRO na tentativa de LER o Arquivo: " + name}));
    EXPECT_EQ(slots(1, 2), (V{"", ""}));
    EXPECT_EQ(operator_.boxes.front().caption, platform::appTitle());
}

TEST_F(FieldFile, AReadSucceedsOnceTheLockIsGone) {
    const std::string name = file("f.txt");
    ASSERT_EQ(platform::writeFile(name, "a#b#"), "");
    lock(name, 3);
    MRQ_READ(name, 2);
    EXPECT_EQ(opens, 4);
    EXPECT_EQ(operator_.messages().size(), 1u);
    EXPECT_EQ(slots(1, 2), (V{"a", "b"}));
}

TEST_F(FieldFile, ALockedFileIsWrittenFiveTimesThenLeftAsItWas) {
    const std::string name = file("f.txt");
    ASSERT_EQ(platform::writeFile(name, "old#"), "");
    lock(name, 99);
    put({"new"});
    MRQ_WRITE(name, 1);
    EXPECT_EQ(opens, 5);
    const std::string warn = "(MRQ_WRITE) - AVISO - Erro na gravação do arquivo: " + name +
                             " Tecle Enter para tentar novamente";
    EXPECT_EQ(operator_.messages(),
              (V{warn, warn, "(MRQ_WRITE) - ERRO na tentativa de GRAVAR o Arquivo: " + name}));
    EXPECT_EQ(operator_.pumps, 5);
    platform::setOpenHookForTests({});
    EXPECT_EQ(platform::readFile(name).value_or("?"), "old#");
}

TEST_F(FieldFile, EventsDuringTheRetriesCannotDisturbTheFieldsInFlight) {
    const std::string name = file("f.txt");
    const std::string other = file("other.txt");
    ASSERT_EQ(platform::writeFile(other, "o1#o2#o3#"), "");
    // A timer that fires inside every pump and uses the table for its own file.
    bool inTimer = false;
    operator_.onPump = [&] {
        if (inTimer) return;
        inTimer = true;
        MRQ_READ(other, 3);
        inTimer = false;
    };
    lock(name, 3);
    put({"s1", "s2"});
    MRQ_WRITE(name, 2);
    EXPECT_EQ(platform::readFile(name).value_or("?"), "s1#s2#");

    opens = 0;
    lock(name, 3);
    MRQ_READ(name, 2);
    EXPECT_EQ(slots(1, 2), (V{"s1", "s2"}));
    EXPECT_EQ(MRQ_TABELA[3], "o3");
}

TEST_F(FieldFile, MessagesCarryTheApplicationTitle) {
    MRQ_MSG("Olá");
    platform::setAppTitle("TARVEX");
    MRQ_MSG("de novo");
    platform::setAppTitle("TARVEX VALDRIN");
    ASSERT_EQ(operator_.boxes.size(), 2u);
    EXPECT_EQ(operator_.boxes[0].caption, "TARVEX VALDRIN");
    EXPECT_EQ(operator_.boxes[0].text, "Olá");
    EXPECT_EQ(operator_.boxes[1].caption, "TARVEX");
}

class CriaPasta : public FieldFile {};

TEST_F(CriaPasta, CreatesEachMissingLevel) {
    ASSERT_TRUE(platform::createDir(file("BACKUP")));
    MRQ_TABELA[1] = "kept";
    MRQ_CRIA_PASTA(file("BACKUP\\DIA\\ZIP"));
    EXPECT_TRUE(platform::dirExists(file("BACKUP\\DIA\\ZIP")));
    MRQ_CRIA_PASTA(file("NOVA\\"));
    EXPECT_TRUE(platform::dirExists(file("NOVA")));
    EXPECT_EQ(MRQ_TABELA[1], "kept");
    MRQ_CRIA_PASTA("\\\\SERVIDOR\\PASTA");  // a network path creates nothing
}

TEST_F(CriaPasta, StopsNineLevelsBelowTheDrive) {
    int levels = 0;  // levels of `dir` below its root
    for (char c : dir) levels += c == '\\';
    if (levels >= 8) GTEST_SKIP() << "temporary folder too deep: " << dir;
    std::string path = dir;
    std::vector<std::string> made;
    for (int i = levels + 1; i <= 11; ++i) made.push_back(path += "\\L" + std::to_string(i));
    MRQ_CRIA_PASTA(path);
    for (size_t k = 0; k < made.size(); ++k)
        EXPECT_EQ(platform::dirExists(made[k]), levels + 1 + static_cast<int>(k) <= 9) << made[k];
}

}  // namespace
}  // namespace tarvex
