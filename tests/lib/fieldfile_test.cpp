#include <gtest/gtest.h>

#include <algorithm>

#include "lib/routines.h"
#include "platform/operator.h"
#include "lib_fixture.h"

namespace tarvex {
namespace {

class FieldFile : public LibTest {
protected:
    // The window shows the file's troubles in the application's box.
    const Tell toBox = [](const std::string& text) { platform::op().message(platform::appTitle(), text); };
    void put(std::initializer_list<const char*> fields) {
        int k = 1;
        for (const char* f : fields) fieldTable[k++] = f;
    }
    Texts slots(int from, int to) const {
        Texts out;
        for (int k = from; k <= to; ++k) out.push_back(fieldTable[k]);
        return out;
    }
    // Every open of `path` fails, as for a file another program holds, `times` times.
    int opens = 0;
    void lock(const std::string& path, int times) {
        opens = 0;
        testkit::setOpenHook([=, this](const std::string& p) { return p != path || ++opens > times; });
    }
};

TEST_F(FieldFile, WritesOneLineWithoutBreakAndReadsItBack) {
    const std::string name = file("TARVEX_SISTEMA.TXT");
    put({"8", "", "Arial"});
    writeFieldFile(name, 3, toBox);
    EXPECT_EQ(platform::readFile(name).value_or("?"), "8##Arial#");
    put({"x", "x", "x", "old", "old", "keep"});
    readFieldFile(name, 3, toBox);
    EXPECT_EQ(slots(1, 6), (Texts{"8", "", "Arial", "old", "old", "keep"}));
    readFieldFile(name, 5, toBox);
    EXPECT_EQ(slots(1, 6), (Texts{"8", "", "Arial", "", "", "keep"}));
    put({"a", "#", "b#c"});  // a lone "#" is written empty; any other splits on reading
    writeFieldFile(name, 3, toBox);
    EXPECT_EQ(platform::readFile(name).value_or("?"), "a##b#c#");
    EXPECT_EQ(fieldTable[2], "");
    EXPECT_TRUE(operator_.boxes.empty());
}

TEST_F(FieldFile, ReadsTheLastOfTheFirst399Lines) {
    const std::string name = file("f.txt");
    for (const char* content : {"a#b#\r\nc#d#", "a#b#\nc#d#\r\n"}) {
        ASSERT_FALSE(platform::overwriteFile(name, content));
        readFieldFile(name, 2, toBox);
        EXPECT_EQ(slots(1, 2), (Texts{"c", "d"}));
    }
    std::string many;
    for (int i = 1; i <= 450; ++i) many += "L" + std::to_string(i) + "#\r\n";
    ASSERT_FALSE(platform::overwriteFile(name, many));
    readFieldFile(name, 1, toBox);
    EXPECT_EQ(fieldTable[1], "L399");
}

TEST_F(FieldFile, MissingFileOrUnusablePathGivesEmptyFieldsSilently) {
    for (const std::string& p : {file("nao.txt"), std::string(), std::string("0"), std::string("*.*")}) {
        put({"old", "old"});
        readFieldFile(p, 2, toBox);
        EXPECT_EQ(slots(1, 2), (Texts{"", ""})) << p;
    }
    EXPECT_TRUE(operator_.boxes.empty());
}

TEST_F(FieldFile, WritingIntoAMissingFolderWarnsOnceWithoutRetrying) {
    const std::string name = file("nao\\f.txt");
    lock(name, 99);
    writeFieldFile(name, 1, toBox);
    EXPECT_EQ(operator_.messages(), (Texts{"Diretório inválido para gravar Parâmetros (" + name + ")"}));
    EXPECT_EQ(opens, 0);
    put({"v"});  // doubled separators are collapsed before use
    writeFieldFile(dir + "\\\\TARVEX_SISTEMA.TXT", 1, toBox);
    EXPECT_EQ(platform::readFile(file("TARVEX_SISTEMA.TXT")).value_or("?"), "v#");
}

TEST_F(FieldFile, ALockedFileIsReadThreeTimesSilentlyThenWarnedTwiceThenGivesUp) {
    const std::string name = file("f.txt");
    ASSERT_FALSE(platform::overwriteFile(name, "a#b#"));
    lock(name, 99);
    put({"old", "old"});
    readFieldFile(name, 2, toBox);
    EXPECT_EQ(opens, 5);
    const std::string warn =
        "msg:(MRQ_READ) - AVISO - Erro na leitura do arquivo: " + name + " Tecle Enter para tentar novamente";
    EXPECT_EQ(operator_.events, (Texts{"pump", "pump", "pump", "pump", warn, "pump", warn,
                                       "msg:(MRQ_READ) - ERRO na tentativa de LER o Arquivo: " + name +
                                           " - " + platform::systemMessage(platform::accessDenied())}));
    EXPECT_EQ(slots(1, 2), (Texts{"", ""}));
    EXPECT_EQ(operator_.boxes.front().caption, "TARVEX VALDRIN");

    lock(name, 3);  // released before the fourth attempt
    readFieldFile(name, 2, toBox);
    EXPECT_EQ(slots(1, 2), (Texts{"a", "b"}));
}

TEST_F(FieldFile, ALockedFileIsWrittenFiveTimesThenLeftAsItWas) {
    const std::string name = file("f.txt");
    ASSERT_FALSE(platform::overwriteFile(name, "old#"));
    lock(name, 99);
    put({"new"});
    writeFieldFile(name, 1, toBox);
    EXPECT_EQ(opens, 5);
    const std::string warn =
        "(MRQ_WRITE) - AVISO - Erro na gravação do arquivo: " + name + " Tecle Enter para tentar novamente";
    EXPECT_EQ(operator_.messages(), (Texts{warn, warn, "(MRQ_WRITE) - ERRO na tentativa de GRAVAR o Arquivo: " + name +
                                                           " - " + platform::systemMessage(platform::accessDenied())}));
    testkit::setOpenHook({});
    EXPECT_EQ(platform::readFile(name).value_or("?"), "old#");
}

TEST_F(FieldFile, EventsDuringTheRetriesCannotDisturbTheFieldsInFlight) {
    const std::string name = file("f.txt"), other = file("other.txt");
    ASSERT_FALSE(platform::overwriteFile(other, "o1#o2#o3#"));
    bool inTimer = false;  // a timer that fires in every pump and uses the table itself
    operator_.onPump = [&] {
        if (inTimer) return;
        inTimer = true;
        readFieldFile(other, 3, toBox);
        inTimer = false;
    };
    lock(name, 3);
    put({"s1", "s2"});
    writeFieldFile(name, 2, toBox);
    EXPECT_EQ(platform::readFile(name).value_or("?"), "s1#s2#");
    lock(name, 3);
    readFieldFile(name, 2, toBox);
    EXPECT_EQ(slots(1, 3), (Texts{"s1", "s2", "o3"}));
}

TEST_F(FieldFile, CriaPastaCreatesEachMissingLevelUpToNineBelowTheDrive) {
    ASSERT_TRUE(platform::createDir(file("BACKUP")));
    fieldTable[1] = "kept";
    createFolders(file("BACKUP\\DIA\\ZIP\\"));
    EXPECT_TRUE(platform::dirExists(file("BACKUP\\DIA\\ZIP")));
    EXPECT_EQ(fieldTable[1], "kept");
    createFolders("\\\\SERVIDOR\\PASTA");  // a network path creates nothing

    const int levels = static_cast<int>(std::count(dir.begin(), dir.end(), '\\'));
    if (levels >= 8) GTEST_SKIP() << "temporary folder too deep: " << dir;
    std::string path = dir;
    Texts made;
    for (int i = levels + 1; i <= 11; ++i) made.push_back(path += "\\L" + std::to_string(i));
    createFolders(path);
    for (size_t k = 0; k < made.size(); ++k)
        EXPECT_EQ(platform::dirExists(made[k]), levels + 1 + static_cast<int>(k) <= 9) << made[k];
}

}  // namespace
}  // namespace tarvex
