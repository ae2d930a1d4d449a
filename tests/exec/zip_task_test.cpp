#include <cstdlib>
#include <set>

#include "exec/zip_task.h"
#include "lib/errors.h"
#include "platform/files.h"
#include "testkit/disk_faults.h"
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
    // Noise at its start only: a sample of the start alone would store it.
    put("src/misto.dat", noise(30000) + std::string(300000, 'b'));
    zip();
    auto entries = readArchive(archive_);
    EXPECT_EQ(entries["texto.txt"].method, ZIP_CM_DEFLATE);
    EXPECT_EQ(entries["misto.dat"].method, ZIP_CM_DEFLATE);
    EXPECT_EQ(entries["texto.txt"].data, std::string(20000, 'a'));
    EXPECT_EQ(entries["ruido.bin"].method, ZIP_CM_STORE);
    EXPECT_EQ(entries["ruido.bin"].data, noise(200000));
    EXPECT_EQ(entries["pequeno.bin"].method, ZIP_CM_STORE);
}

// The archive's bytes depend on the files and the piece size alone, never on
// how many threads compress them; pieces of a big file join into one entry.
TEST_F(ZipTask, SameArchiveWhateverTheThreadsAndPiecesRoundTrip) {
    std::string text;
    for (int i = 0; text.size() < 300000; ++i) text += "linha " + std::to_string(i * 7919 % 1000) + ";valor\r\n";
    std::map<std::string, std::string> files{{"a/texto.csv", text},        {"a/b/ruido.bin", noise(150000)},
                                             {"vazio.txt", ""},             {"pequeno.txt", "abc"},
                                             {"z/misto.dat", text + noise(70000) + text}};
    for (const auto& [name, data] : files) put("src/" + name, data);
    for (const std::size_t piece : {std::size_t{0}, std::size_t{65536}}) {
        std::string first;
        for (const int threads : {1, 2, 8}) {
            SCOPED_TRACE(testing::Message() << "piece " << piece << ", threads " << threads);
            ZipJob job{str(root_ / "src"), str(archive_), "", ""};
            job.threads = threads;
            job.chunkSize = piece;
            writeZip(job);
            if (first.empty()) first = slurp(archive_);
            EXPECT_EQ(slurp(archive_), first);
            std::map<std::string, std::string> got;
            auto entries = readArchive(archive_);
            for (const auto& [name, e] : entries) got[name] = e.data;
            EXPECT_EQ(got, files);
            // Noise is stored whether whole or in pieces; a mix is deflated.
            EXPECT_EQ(entries["a/b/ruido.bin"].method, ZIP_CM_STORE);
            EXPECT_EQ(entries["z/misto.dat"].method, ZIP_CM_DEFLATE);
        }
    }
}

#ifndef _WIN32   // a sparse file of that size under Wine takes long; Linux says it all
// An entry over 4 GB needs ZIP64; a sparse file costs no disk. About 30 s, so
// it runs when TARVEX_ZIP_4G is set.
TEST_F(ZipTask, AnEntryOver4GbUsesZip64) {
    if (!std::getenv("TARVEX_ZIP_4G")) GTEST_SKIP() << "set TARVEX_ZIP_4G=1 to run";
    const std::uint64_t size = (std::uint64_t{1} << 32) + 12345;
    fs::path big = put("src/grande.bin", "");
    std::error_code ec;
    fs::resize_file(big, size, ec);
    if (ec) GTEST_SKIP() << "no sparse file here: " << ec.message();
    put("src/depois.txt", "depois");
    writeZip({str(root_ / "src"), str(archive_), "", ""});   // reads every entry back itself
    int code = 0;
    zip_t* za = zip_open(archive_.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    ASSERT_NE(za, nullptr);
    zip_stat_t st;
    ASSERT_EQ(zip_stat(za, "grande.bin", 0, &st), 0);
    EXPECT_EQ(st.size, size);
    EXPECT_EQ(st.comp_method, ZIP_CM_DEFLATE);
    EXPECT_LT(fs::file_size(archive_), std::uint64_t{64} << 20);
    zip_discard(za);
}
#endif

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

// Names Windows refuses are said in Portuguese with the character, before anything is written.
TEST_F(ZipFailure, ANameWindowsRefuses) {
    for (const char* name : {"BKP?07.ZIP", "BKP:07.ZIP", "BKP.ZIP."}) {
        ZipJob job{str(root_ / "src"), str(root_ / "dest") + "/" + name, "", ""};
        expectFailureKeepsArchive(job, "nome de arquivo inválido");
    }
}

TEST_F(ZipFailure, NothingMatches) {
    expectFailureKeepsArchive({str(root_ / "src"), str(archive_), "*.FDB", ""}, "Nenhum arquivo");
}

// A byte of the written archive changed before it is read back: the old one stays.
TEST_F(ZipFailure, AnArchiveThatDoesNotReadBackIsNotKept) {
    put("src/a.txt", std::string(5000, 'x') + "today");
    testkit::setWrittenHook([](const std::string& temp) {
        std::fstream f(platform::fsPath(temp), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(45);
        f.write("\xFF\xFF\xFF\xFF", 4);
    });
    expectFailureKeepsArchive({str(root_ / "src"), str(archive_), "", ""}, "verificação");
    testkit::setWrittenHook(nullptr);
}

// A worker that cannot read its file while others run ends the whole run.
TEST_F(ZipFailure, AFileLockedMidRunFailsTheRunWhateverTheThreads) {
    for (int i = 0; i < 40; ++i) put("src/f" + std::to_string(i) + ".txt", std::string(30000, char('a' + i % 26)));
    for (const int threads : {1, 4}) {
        testkit::setOpenHook([](const std::string& path) { return path.find("f21.txt") == std::string::npos; });
        ZipJob job{str(root_ / "src"), str(archive_), "", ""};
        job.threads = threads;
        expectFailureKeepsArchive(job, "f21.txt");
        testkit::setOpenHook(nullptr);
    }
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
