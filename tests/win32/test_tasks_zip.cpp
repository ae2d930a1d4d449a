// The ZIP task run for real by the main window, its archive read back entry by
// entry with libzip.
#include <zip.h>

#include <map>

#include "support/tasks_fixture.h"

namespace tarvex::win32test {
namespace {

struct Entry {
    std::string bytes;
    int method;
    bool operator==(const Entry&) const = default;
};

std::string utf8(const std::u8string& s) { return std::string(s.begin(), s.end()); }

// Every entry of the archive: name -> contents and compression method.
std::map<std::string, Entry> entries(const std::string& archive) {
    std::map<std::string, Entry> out;
    int code = 0;
    const std::string name = utf8(platform::fsPath(archive).generic_u8string());
    zip_t* za = zip_open(name.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!za) return {{"cannot open", {std::to_string(code), -1}}};
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, i, 0, &st);
        std::string bytes(st.size, '\0');
        zip_file_t* f = zip_fopen_index(za, i, 0);
        zip_int64_t got = f ? zip_fread(f, bytes.data(), st.size) : -1;
        if (f) zip_fclose(f);
        if (got != static_cast<zip_int64_t>(st.size)) bytes = "unreadable";
        out[st.name] = {bytes, st.comp_method};
    }
    zip_discard(za);
    return out;
}

// Bytes deflate cannot shrink.
std::string noise(size_t n) {
    std::string s(n, '\0');
    unsigned x = 12345;
    for (char& c : s) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 23);
    return s;
}

class ZipTask : public TasksTest {
protected:
    void SetUp() override {
        TasksTest::SetUp();
        dir.write("origem\\Banco.FDB", std::string(20000, 'F'));
        dir.write("origem\\Relatório.txt", "beta");
        dir.write("origem\\sub\\fundo\\ruido.FDB", ruido);
        dir.write("origem\\sub\\oculto.FDB", "oculto");
        dir.write("origem\\prog.EXE", "MZ");
        dir.write("origem\\BKP_2026_11.ZIP", "o do mes passado");
        SetFileAttributesW(win32::widen(dir.path("origem\\sub\\oculto.FDB")).c_str(),
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    }
    void TearDown() override {
        TasksTest::TearDown();
        SetFileAttributesW(win32::widen(dir.path("origem\\sub\\oculto.FDB")).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    Row task(const std::string& source) {
        return {{col::NOME, "ZIP"}, {col::TIPO, "06 - WINZIP"}, {col::DIR_ORIGEM, source},
                {col::DIR_DESTINO, dir.path("origem\\")}, {col::ARQDEST, "BKP"}, {col::EXTENSAO, "_[ANO]_[MES]"},
                {col::ARQUIVO, ""}, {col::EXCLUIR, "*.EXE; *.zip"}};
    }
    const std::string ruido = noise(70000);
};

// A run killed half-way last month left its temporary: gone, and never packed.
TEST_F(ZipTask, TheArchiveInsideItsOwnSourceHoldsEveryWantedFileOnce) {
    dir.write("origem\\BKP_2026_12.ZIP", "o de ontem, substituido");
    const std::string leftover = dir.path("origem\\BKP_2026_11.ZIP.tmp~.004fbfa0");
    dir.write("origem\\BKP_2026_11.ZIP.tmp~.004fbfa0", std::string(30000, 'Z'));
    runOne(task(dir.path("origem")));
    EXPECT_EQ(GetFileAttributesW(win32::widen(leftover).c_str()), INVALID_FILE_ATTRIBUTES);

    const std::map<std::string, Entry> expected{
        {"Banco.FDB", {std::string(20000, 'F'), ZIP_CM_DEFLATE}},
        {utf8(u8"Relatório.txt"), {"beta", ZIP_CM_STORE}},
        {"sub/fundo/ruido.FDB", {ruido, ZIP_CM_STORE}},
        {"sub/oculto.FDB", {"oculto", ZIP_CM_STORE}}};
    EXPECT_EQ(entries(dir.path("origem\\BKP_2026_12.ZIP")), expected);
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE ZIP"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{"09/12/26 08:00:00"});
    EXPECT_FALSE(form->CB_EXECUTANDO.checked());
}

TEST_F(ZipTask, AMissingSourceFailsAndKeepsTheOldArchive) {
    dir.write("origem\\BKP_2026_12.ZIP", "o de ontem");
    runOne(task(dir.path("nao_existe")));

    EXPECT_EQ(dir.read("origem\\BKP_2026_12.ZIP"), "o de ontem");
    EXPECT_EQ(runEvents(), std::vector<std::string>{"ERR ZIP"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{""});   // still due, tried again after a wait
    EXPECT_FALSE(form->CB_EXECUTANDO.checked());
}

}  // namespace
}  // namespace tarvex::win32test
