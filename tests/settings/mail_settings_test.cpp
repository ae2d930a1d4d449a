#include <gtest/gtest.h>

#include <filesystem>

#include "settings/mail_settings.h"
#include "testkit/tempdir.h"

namespace tarvex::settings {
namespace {

// A damaged e-mail file is copied aside and named, and nothing is sent with it; a
// sound one is read quietly and never copied.
TEST(MailSettingsFile, ADamagedFileIsKeptAsideAndNamed) {
    const std::string sound = "EMAIL#smtp.teste#587#1#dono#abc#eu@teste#voce@teste#[T]#S#N#18:00#S####";
    struct Case { std::string bytes, says; };
    const Case cases[] = {
        {sound + "\r\n", ""},
        {"", "vazio"},
        {sound.substr(0, 20), "cortado"},
        {sound.substr(6), "15 campos"},
        {"X" + sound, "primeiro campo"},
        {sound + "\r\n" + sound, "mais de uma linha"},
    };
    for (const Case& c : cases) {
        testkit::TempDir dir;
        dir.write(kMailFileName, c.bytes);
        std::vector<std::string> told;
        const MailSettings s = readMailSettings(dir.folder(), [&](const std::string& text) { told.push_back(text); });
        std::vector<std::string> copies;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename().string() != kMailFileName) copies.push_back(e.path().filename().string());
        if (c.says.empty()) {
            EXPECT_TRUE(told.empty() && copies.empty());
            EXPECT_TRUE(s.ready());
            continue;
        }
        EXPECT_FALSE(s.ready()) << c.says;
        ASSERT_EQ(copies.size(), 1u) << c.says;
        EXPECT_EQ(copies[0].rfind(std::string(kMailFileName) + ".ilegivel-", 0), 0u);
        EXPECT_EQ(dir.read(copies[0]), c.bytes);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0].find(c.says), std::string::npos) << told[0];
        EXPECT_NE(told[0].find(copies[0]), std::string::npos) << told[0];
    }
}

// Written by Notepad in UTF-8, with its mark or without, the accents read right;
// the program's own Windows-1252 stays as it is.
TEST(MailSettingsFile, ReadsTheAccentsOfAUtf8File) {
    const std::string cp1252 = "EMAIL#smtp.teste#587#1#dono#abc#eu@teste#voce@teste#[Ação]#S#N#18:00#S####";
    const std::string utf8 = "EMAIL#smtp.teste#587#1#dono#abc#eu@teste#voce@teste#[A\xC3\xA7\xC3\xA3o]#S#N#18:00#S####";
    for (const std::string& bytes : {cp1252, utf8, "\xEF\xBB\xBF" + utf8}) {
        testkit::TempDir dir;
        dir.write(kMailFileName, bytes + "\r\n");
        std::vector<std::string> told;
        const MailSettings s = readMailSettings(dir.folder(), [&](const std::string& text) { told.push_back(text); });
        EXPECT_EQ(s.subjectPrefix, "[Ação]") << bytes;
        EXPECT_TRUE(told.empty() && s.ready()) << bytes;
    }
}

}  // namespace
}  // namespace tarvex::settings
