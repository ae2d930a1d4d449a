// The outbox keeps failures over reports when full; a password is never stored
// in clear, and one this user cannot read back is asked for again.
#include <gtest/gtest.h>

#include "app/mail_desk.h"
#include "lib/run_context.h"
#include "mail/letters.h"
#include "mail/outbox.h"
#include "platform/secrets.h"
#include "testkit/tempdir.h"

namespace tarvex {
namespace {

TEST(Outbox, WhenFullTheOldestReportsGoAndFailuresStay) {
    struct Case { int failures, reports, keptFailures, keptReports; };
    for (const Case c : {Case{40, 20, 40, 10}, Case{60, 5, 60, 0}, Case{10, 10, 10, 10}}) {
        testkit::TempDir tmp;
        mail::Outbox box(tmp.folder() + "SAIDA/");
        std::string kinds;   // reports and failures taking turns, then the rest
        for (int r = c.reports, f = c.failures; r || f;) {
            const bool report = r && (kinds.size() % 2 || !f);
            kinds += report ? 'R' : 'F';
            --(report ? r : f);
        }
        std::vector<std::string> dropped;
        for (char kind : kinds) box.put({"", kind, "a@b", {"c@d"}, "assunto", "corpo"}, dropped);
        EXPECT_EQ(static_cast<int>(dropped.size()), c.reports - c.keptReports);
        int failures = 0, reports = 0;
        for (const std::string& name : box.names()) (box.read(name)->kind == 'F' ? failures : reports)++;
        EXPECT_EQ(failures, c.keptFailures) << c.failures << "/" << c.reports;
        EXPECT_EQ(reports, c.keptReports) << c.failures << "/" << c.reports;
    }
}

// A program ended while it wrote a message: the whole temporary is sent as any
// other; one cut anywhere (even between two lines) is kept aside, never sent.
TEST(Outbox, AnInterruptedMessageIsSentWholeOrNotAtAll) {
    const mail::Letter letter =
        mail::failureLetter({"PC", "C:\\TARVEX\\", ""}, "01 - NOTAS", "08/12/26", "saiu com 4", {"linha"});
    const std::string message = mail::composeMessage(letter, "a@b", {"c@d"}, LocalTime{}, "id@tarvex");
    const std::string file = "DE: a@b\r\nPARA: c@d\r\nASSUNTO: " + letter.subject + "\r\n\r\n" + message;
    const size_t lastLine = file.rfind("\r\n", file.size() - 3) + 2;
    struct Case { size_t keep; bool sent; };
    for (const Case c : {Case{file.size(), true}, Case{lastLine, false}, Case{file.size() - 3, false},
                         Case{file.find("ASSUNTO"), false}, Case{0, false}}) {
        testkit::TempDir tmp;
        tmp.write("SAIDA/20261208-080000-0001-F.eml.tmp~", file.substr(0, c.keep));
        mail::Outbox box(tmp.folder() + "SAIDA/");
        ASSERT_EQ(box.finishInterrupted().size(), 1u) << c.keep;
        EXPECT_EQ(box.names().size(), c.sent ? 1u : 0u) << c.keep;
        EXPECT_EQ(tmp.exists("SAIDA/20261208-080000-0001-F.eml.incompleto"), !c.sent) << c.keep;
        if (c.sent) {
            EXPECT_EQ(box.read(box.names()[0])->message, message);
        }
    }
}

class FakeSecrets : public platform::Secrets {
public:
    bool refuse = false;
    std::string protect(const std::string& clear) override { return refuse ? "" : "P" + std::to_string(clear.size()); }
    std::optional<std::string> unprotect(const std::string&) override { return std::nullopt; }
};

TEST(MailDesk, APasswordIsStoredProtectedOrNotAtAllAndAnUnreadableOneIsAskedAgain) {
    for (const bool refuse : {false, true}) {
        FakeSecrets secrets;
        secrets.refuse = refuse;
        platform::setSecrets(&secrets);
        testkit::TempDir tmp;
        const std::string folder = tmp.folder();
        tmp.write("TARVEX_EMAIL.TXT", "EMAIL#smtp.x#587#1#eu#DE-OUTRO-PC#eu@x#voce@y#[T]#S#N#18:00#S####");
        tasks::TaskTable table;
        RunContext context;
        log::Log log(folder, context);
        app::MailDesk desk(folder, table, log, [](const std::string&, const std::string&) {});
        desk.read();
        EXPECT_EQ(desk.LA_EMAIL_SENHA.caption(), "digite a senha novamente");
        desk.E_EMAIL_SENHA.setText("segredo");
        desk.save();
        const std::string file = tmp.read("TARVEX_EMAIL.TXT");
        EXPECT_EQ(file.find("segredo"), std::string::npos) << file;
        EXPECT_NE(file.find(refuse ? "#eu##eu@x#" : "#eu#P7#eu@x#"), std::string::npos) << file;
        platform::setSecrets(nullptr);
    }
}

TEST(ReportLetter, SaysEachRunsSizeAndTheSizesFarFromTheUsual) {
    testkit::TempDir dir;
    dir.write("HISTORICO_TIMER.TXT", "08/12/26#04:00:00#01#ZIP DOCS#OK#615#12582912#\r\n");
    std::vector<mail::DayRow> rows{{"01 - ZIP DOCS", "04:00", "OK", "00:10:15", "", ""},
                                   {"02 - COPIA", "05:00", "não rodou", "", "", ""}};
    mail::addSizes(rows, dir.folder(), "08/12/26");
    EXPECT_EQ(rows[0].size, "12 MB");
    EXPECT_EQ(rows[1].size, "");
    const mail::Letter l = mail::reportLetter({"PC", "C:\\TARVEX\\", ""}, "08/12/26", rows, {},
                                              {"ZIP DOCS: 12 MB hoje, mediana 480 MB"});
    EXPECT_NE(l.body.find("01 - ZIP DOCS  OK  (duração 00:10:15)  12 MB\n"), std::string::npos) << l.body;
    EXPECT_NE(l.body.find("Tamanho fora do comum:\n  ZIP DOCS: 12 MB hoje, mediana 480 MB\n"), std::string::npos);
}

}  // namespace
}  // namespace tarvex
