// The ZIP run against a file another program holds open without sharing, as a
// database server holds its database.
#include <windows.h>

#include <gtest/gtest.h>
#include <zip.h>

#include "exec/zip_task.h"
#include "lib/errors.h"
#include "win32_test_util.h"

namespace tarvex {
namespace {

TEST(ZipLocked, ALockedFileFailsTheRunAndKeepsYesterdaysArchive) {
    win32test::TempFolder dir;
    dir.write("origem\\a.txt", "alfa");
    dir.write("origem\\Banco.FDB", "dados");
    const std::string archive = dir.path("destino\\BKP.ZIP");
    dir.write("destino\\leia.txt", "");
    exec::writeZip({dir.path("origem"), archive, "", ""});
    const auto yesterday = platform::readFile(archive);
    ASSERT_TRUE(yesterday && !yesterday->empty());

    HANDLE lock = CreateFileW(win32::widen(dir.path("origem\\Banco.FDB")).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_THROW(exec::writeZip({dir.path("origem"), archive, "", ""}), FileError);
    CloseHandle(lock);

    EXPECT_EQ(platform::readFile(archive), yesterday);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(platform::fsPath(dir.path("destino")))) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 2);   // no temporary file left beside the archive

    exec::writeZip({dir.path("origem"), archive, "", ""});   // unlocked, it works again
}

TEST(ZipLocked, HiddenSystemAndReadOnlyFilesAreStored) {
    win32test::TempFolder dir;
    dir.write("origem\\oculto.txt", "h");
    dir.write("origem\\sistema.txt", "s");
    dir.write("origem\\leitura.txt", "r");
    SetFileAttributesW(win32::widen(dir.path("origem\\oculto.txt")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(win32::widen(dir.path("origem\\sistema.txt")).c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW(win32::widen(dir.path("origem\\leitura.txt")).c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string archive = dir.path("BKP.ZIP");
    exec::writeZip({dir.path("origem"), archive, "*.TXT", ""});

    std::u8string name = platform::fsPath(archive).generic_u8string();
    int code = 0;
    zip_t* za = zip_open(std::string(name.begin(), name.end()).c_str(), ZIP_RDONLY, &code);
    ASSERT_NE(za, nullptr);
    EXPECT_EQ(zip_get_num_entries(za, 0), 3);
    zip_discard(za);
    for (const char* f : {"origem\\oculto.txt", "origem\\sistema.txt", "origem\\leitura.txt"})
        SetFileAttributesW(win32::widen(dir.path(f)).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace tarvex
