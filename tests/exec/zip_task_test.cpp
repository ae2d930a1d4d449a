#include <set>

#include "exec/zip_task.h"
#include "lib/errors.h"
#include "platform/files.h"
#include "zip_test_util.h"

namespace tarvex::exec {
namespace {

namespace fs = std::filesystem;
using ziptest::readArchive;

class ZipTask : public ziptest::ScratchDir {
protected:
    std::set<std::string> names(const fs::path& archive) {
        std::set<std::string> out;
        for (const auto& [name, e] : readArchive(archive)) out.insert(name);
        return out;
    }
    void zip(const std::string& masks = "", const std::string& excludes = "") {
        writeZip({str(root_ / "src"), str(archive_), masks, excludes});
    }
    fs::path archive_;
    void SetUp() override {
        ScratchDir::SetUp();
        archive_ = root_ / "dest" / "DADOS_06.ZIP";
        fs::create_directories(root_ / "dest");
    }
};

TEST_F(ZipTask, StoresEveryFileBelowTheSourceWithRelativeNames) {
    put("src/a.txt", "alpha");
    put("src/sub/b.fdb", "beta");
    put("src/sub/deeper/c", "gamma");
    put("src/.oculto", "hidden");
    fs::path ro = put("src/sub/somente_leitura.txt", "read-only");
    fs::permissions(ro, fs::perms::owner_read | fs::perms::group_read);
    fs::create_directories(root_ / "src/empty_folder");

    zip();
    fs::permissions(ro, fs::perms::owner_write, fs::perm_options::add);   // so it can be cleaned up

    auto entries = readArchive(archive_);
    std::map<std::string, std::string> got;
    for (const auto& [name, e] : entries) got[name] = e.data;
    EXPECT_EQ(got, (std::map<std::string, std::string>{{".oculto", "hidden"},
                                                       {"a.txt", "alpha"},
                                                       {"sub/b.fdb", "beta"},
                                                       {"sub/deeper/c", "gamma"},
                                                       {"sub/somente_leitura.txt", "read-only"}}));
}

TEST_F(ZipTask, SourcePathWithBackslashesAndTrailingSeparator) {
    put("src/x/y.txt", "y");
    writeZip({str(root_ / "src") + "\\  ", str(archive_), "", ""});
    EXPECT_EQ(names(archive_), (std::set<std::string>{"x/y.txt"}));
}

TEST_F(ZipTask, NonAsciiNamesBecomeUtf8Entries) {
    put("src/Relatório.txt", "r");
    zip("RELATÓRIO.TXT");
    EXPECT_EQ(names(archive_), (std::set<std::string>{"Relat\xC3\xB3rio.txt"}));
}

struct SelectCase {
    const char* masks;
    const char* excludes;
    std::set<std::string> expected;
};

class ZipSelect : public ZipTask, public ::testing::WithParamInterface<SelectCase> {};

TEST_P(ZipSelect, MasksAndExclusions) {
    for (const char* f : {"base.FDB", "sub/velho.fdb", "prog.EXE", "sub/ferramenta.exe",
                          "leia.txt", "copia.ZIP", "sem_extensao"})
        put(std::string("src/") + f, f);
    zip(GetParam().masks, GetParam().excludes);
    EXPECT_EQ(names(archive_), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ZipSelect, ::testing::Values(
    SelectCase{"", "", {"base.FDB", "sub/velho.fdb", "prog.EXE", "sub/ferramenta.exe", "leia.txt",
                        "copia.ZIP", "sem_extensao"}},
    SelectCase{"*.FDB;*.EXE", "*.EXE", {"base.FDB", "sub/velho.fdb"}},
    SelectCase{"*.fdb", "", {"base.FDB", "sub/velho.fdb"}},
    SelectCase{"*.*", "*.ZIP;*.EXE", {"base.FDB", "sub/velho.fdb", "leia.txt", "sem_extensao"}},
    SelectCase{" *.TXT ; ;*.zip;", " ", {"leia.txt", "copia.ZIP"}},
    SelectCase{";", "*.FDB", {"prog.EXE", "sub/ferramenta.exe", "leia.txt", "copia.ZIP",
                             "sem_extensao"}}));

TEST_F(ZipTask, ArchiveInsideTheSourceDoesNotHoldItself) {
    put("src/a.txt", "a");
    archive_ = root_ / "src" / "BKP.ZIP";
    zip();
    zip();   // now the previous archive lies in the tree and must be skipped
    EXPECT_EQ(names(archive_), (std::set<std::string>{"a.txt"}));
}

TEST_F(ZipTask, DeflatesWhatShrinksAndStoresWhatDoesNot) {
    put("src/texto.txt", std::string(20000, 'a'));
    put("src/ruido.bin", noise(200000));
    put("src/pequeno.bin", noise(100));
    zip();
    auto entries = readArchive(archive_);
    EXPECT_EQ(entries["texto.txt"].method, ZIP_CM_DEFLATE);
    EXPECT_EQ(entries["texto.txt"].data, std::string(20000, 'a'));
    EXPECT_EQ(entries["ruido.bin"].method, ZIP_CM_STORE);
    EXPECT_EQ(entries["ruido.bin"].data, noise(200000));
    EXPECT_EQ(entries["pequeno.bin"].method, ZIP_CM_STORE);
}

TEST_F(ZipTask, ReplacesTheOldArchiveAndLeavesNoTemporaryFile) {
    put("src/old.txt", "old");
    zip();
    fs::remove(root_ / "src/old.txt");
    put("src/new.txt", "new");
    zip();
    EXPECT_EQ(names(archive_), (std::set<std::string>{"new.txt"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "dest"), fs::directory_iterator()), 1);
}

TEST_F(ZipTask, AGarbageFileAtTheArchivePathIsReplaced) {
    put("src/a.txt", "a");
    put("dest/DADOS_06.ZIP", "not a zip at all");
    zip();
    EXPECT_EQ(names(archive_), (std::set<std::string>{"a.txt"}));
}

// Each failure throws a FileError naming the problem and leaves yesterday's
// archive byte for byte as it was.
class ZipFailure : public ZipTask {
protected:
    void SetUp() override {
        ZipTask::SetUp();
        put("src/a.txt", "yesterday");
        zip();
        yesterday_ = slurp(archive_);
    }
    void expectFailureKeepsArchive(const ZipJob& job, const std::string& inMessage) {
        try {
            writeZip(job);
            ADD_FAILURE() << "no error raised";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find(inMessage), std::string::npos) << e.what();
        }
        EXPECT_EQ(slurp(archive_), yesterday_);
        EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "dest"), fs::directory_iterator()), 1);
    }
    std::string yesterday_;
};

TEST_F(ZipFailure, MissingSourceFolder) {
    expectFailureKeepsArchive({str(root_ / "nao_existe"), str(archive_), "", ""}, "nao_existe");
}

TEST_F(ZipFailure, NothingMatches) {
    expectFailureKeepsArchive({str(root_ / "src"), str(archive_), "*.FDB", ""}, "Nenhum arquivo");
}

// A byte of the written archive changed before it is read back: the old one stays.
TEST_F(ZipFailure, AnArchiveThatDoesNotReadBackIsNotKept) {
    put("src/a.txt", std::string(5000, 'x') + "today");
    setZipWrittenHookForTests([](const std::string& temp) {
        std::fstream f(platform::fsPath(temp), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(45);
        f.write("\xFF\xFF\xFF\xFF", 4);
    });
    expectFailureKeepsArchive({str(root_ / "src"), str(archive_), "", ""}, "verificação");
    setZipWrittenHookForTests(nullptr);
}

#ifdef __linux__   // the Windows programs test a locked file instead
TEST_F(ZipFailure, AFileThatCannotBeReadMidWay) {
    put("src/b.txt", "more");
    // Reading this file fails with an I/O error although it looks like a plain file.
    fs::create_symlink("/proc/self/mem", root_ / "src/c.txt");
    expectFailureKeepsArchive({str(root_ / "src"), str(archive_), "", ""}, "DADOS_06.ZIP");
}
#endif

TEST_F(ZipTask, DestinationFolderMissingCreatesNothing) {
    put("src/a.txt", "a");
    fs::path elsewhere = root_ / "nao_existe" / "X.ZIP";
    EXPECT_THROW(writeZip({str(root_ / "src"), str(elsewhere), "", ""}), FileError);
    EXPECT_FALSE(fs::exists(root_ / "nao_existe"));
}

}  // namespace
}  // namespace tarvex::exec
