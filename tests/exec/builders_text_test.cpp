// The command texts the copy and backup pages write.
#include <gtest/gtest.h>

#include "exec/builder_lines.h"
#include "exec/batch_text.h"

namespace tarvex::exec {
namespace {

struct Case {
    std::string in, out;
};

TEST(PenFolder, OfFileJoinsTheExtensionToTheFolder) {
    const std::string longFolder = "D:\\" + std::string(120, 'P') + "\\SUB";
    for (const Case& c : std::vector<Case>{
             {"D:\\DADOS\\ARQ.TXT", "\"[PEN]:\\DADOS[EXT]\\\""},
             {"D:\\ARQ.TXT", "\"[PEN]:[EXT]\\\""},
             {"C:\\A B\\C\\X.FDB", "\"[PEN]:\\A B\\C[EXT]\\\""},
             {longFolder + "\\ARQ.TXT", "\"[PEN]:\\" + std::string(120, 'P') + "\\SUB[EXT]\\\""},
         })
        EXPECT_EQ(penFolderOfFile(c.in), c.out) << c.in;
}

TEST(PenFolder, OfOriginAddsTheExtensionOnlyWhenQuoted) {
    const std::string longPath = std::string(150, 'L');
    for (const Case& c : std::vector<Case>{
             {"\"D:\\DADOS\"", "\"[PEN]:\\DADOS[EXT]\\\""},
             {"D:\\DADOS\\", "\"[PEN]:\\DADOS\\\""},
             {"D:\\DADOS", "\"[PEN]:\\DADOS\\\""},
             {"\"D:\\\\DADOS\\\\\"", "\"[PEN]:\\DADOS\\[EXT]\\\""},
             {"\"D:\\" + longPath + "\"", "\"[PEN]:\\" + longPath + "[EXT]\\\""},
             {"D:\\" + longPath, "\"[PEN]:\\" + longPath + "\\\""},
             {"", "\"[PEN]\\\""},
         })
        EXPECT_EQ(penFolderOfOrigin(c.in), c.out) << c.in;
}

TEST(CommandLines, XcopyQuotesBothPathsAndSinglesTheDestinationsBackslashes) {
    EXPECT_EQ(xcopyLine("\"D:\\DADOS\"", "\"[PEN]:\\DADOS[EXT]\\\""),
              "XCOPY  \"D:\\DADOS\"  ===>>  \"[PEN]:\\DADOS[EXT]\\\"      /E /D /Y /R /C /V /I");
    EXPECT_EQ(xcopyLine("D:\\Vendas 50% %USERNAME%", "\\\\SRV\\\\B"),
              "XCOPY  \"D:\\Vendas 50%% %%USERNAME%%\"  ===>>  \"\\\\SRV\\B\\\"      /E /D /Y /R /C /V /I");
    EXPECT_THROW(xcopyLine("\"D:\\A\" & echo x", "F:\\B"), BatchRefused);
    EXPECT_EQ(folderPairLine("D:\\DADOS", "F:\\BACKUP[EXT]\\"), "D:\\DADOS\\  ===>>  F:\\BACKUP[EXT]\\");
}

TEST(CommandLines, GbakBaseNameIsTheFileNameUpToItsFirstDot) {
    for (const Case& c : std::vector<Case>{
             {"D:\\DADOS\\BASE.FDB", "BASE"},
             {"D:\\DADOS\\BASE", "BASE"},
             {"D:\\DADOS\\BASE.2024.FDB", "BASE"},
             {"192.168.0.10/3050:C:\\DADOS\\EMPRESA.FDB", "EMPRESA"},
             {"servidor/3050:/dados/loja.fdb", "loja"},
             {"C:BASE.GDB", "BASE"},
             {"", ""},
         })
        EXPECT_EQ(gbakBaseName(c.in), c.out) << c.in;
}

TEST(CommandLines, GbakLineFillsTheExtensionOnlyWhenGiven) {
    const std::string head = "\"C:\\Program Files\\FB\\GBAK\" -G -B -V -T -Z  -user SYSDBA -password zanquiber   ";
    EXPECT_EQ(gbakLine("C:\\Program Files\\FB", "C:\\P&D\\BASE.FDB", "F:\\BACKUP", "_[DIA]"),
              head + "\"C:\\P&D\\BASE.FDB\"   \"F:\\BACKUP\\BASE_[DIA].GDK\"");
    EXPECT_EQ(gbakLine("C:\\Program Files\\FB", "C:\\P&D\\BASE.FDB", "F:\\BACKUP", ""),
              head + "\"C:\\P&D\\BASE.FDB\"   \"F:\\BACKUP\\BASE[EXT].GDK\"");
}

TEST(PathParts, FolderAndNameSplitAtTheLastBackslashOrColon) {
    EXPECT_EQ(folderOf("D:\\DADOS\\ARQ.TXT"), "D:\\DADOS\\");
    EXPECT_EQ(nameOf("D:\\DADOS\\ARQ.TXT"), "ARQ.TXT");
    EXPECT_EQ(folderOf("D:ARQ.TXT"), "D:");
    EXPECT_EQ(folderOf("ARQ.TXT"), "");
    EXPECT_EQ(nameOf("ARQ.TXT"), "ARQ.TXT");
}

}  // namespace
}  // namespace tarvex::exec
