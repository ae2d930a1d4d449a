// E-mail end to end: a loopback SMTP server with STARTTLS and a login
// (tests/win32/mail/smtp_server.py) and the real tarvex.exe. The daily report
// and a failure arrive; with the server down a failure waits in the outbox and
// arrives once it is back, also across a restart of the program; the test button
// answers a wrong password, an unknown server and a refused recipient plainly;
// no file holds the password in clear.
#include <windows.h>
#include <wincrypt.h>

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/cp1252.h"
#include "win32/secrets_dpapi.h"
#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "win32/main_window.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

const std::string kPassword = "senha-certa-42";

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The Python server, a Linux program Wine starts but cannot wait on: it is
// driven through files in its folder, reached from here through drive Z:.
class SmtpServer {
public:
    SmtpServer() : port_(24000 + GetCurrentProcessId() % 5000) {
        unix_ = "/tmp/tarvex-smtp-" + std::to_string(GetCurrentProcessId()) + "/";
        std::filesystem::remove_all(z(""));
        std::filesystem::create_directories(z(""));
        const std::string script = TARVEX_WIN32_TESTS "/mail/smtp_server.py";
        std::wstring line = L"Z:\\usr\\bin\\python3 " + win32::widen(script + " " + unix_ + " " +
                                                                     std::to_string(port_) + " dono " + kPassword);
        STARTUPINFOW si{sizeof(si)};
        PROCESS_INFORMATION pi{};
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
        if (started_) CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
    }
    ~SmtpServer() {
        order("quit", "ended");
        std::filesystem::remove_all(z(""));
    }
    std::filesystem::path z(const std::string& name) const { return L"Z:" + win32::widen(unix_ + name); }
    bool order(const std::string& what, const std::string& state) {
        if (!what.empty()) std::ofstream(z(what)) << "";
        return waitFor([&] { return slurp(z("state").string()) == state; }, 20000);
    }
    int port() const { return port_; }
    std::string certificate() { return waitFor([&] { return std::filesystem::exists(z("cert.der")); }) ?
                                          slurp(z("cert.der").string()) : ""; }
    // Message n (from 1), subject and body decoded; empty until it has come.
    std::string message(int n, int ms = 30000) {
        std::string text;
        waitFor([&] { return !(text = slurp(z("msg-" + std::to_string(n) + ".txt").string())).empty(); }, ms);
        return platform::utf8ToCp1252(text);
    }
    bool started_ = false;

private:
    int port_;
    std::string unix_;
};

class Mail : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.started_ && server.order("", "listening"));
        // Trusted for this Wine prefix, as a company's own certificate would be.
        const std::string der = server.certificate();
        ASSERT_FALSE(der.empty());
        ASSERT_TRUE(CertAddEncodedCertificateToSystemStoreW(
            L"Root", reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size())));
        SYSTEMTIME now;
        GetLocalTime(&now);
        char hour[8];
        snprintf(hour, sizeof hour, "%02d:%02d", now.wHour, now.wMinute);
        dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 1));
        dir.write("TARVEX_EMAIL.TXT", "EMAIL#127.0.0.1#" + std::to_string(server.port()) + "#1#dono#" +
                                          win32::dpapiSecrets().protect(kPassword) +
                                          "#tarvex@teste.local#dono@teste.local; contador@teste.local#[TARVEX]#S#S#" +
                                          hour + "#N####");
        tasks::TaskTable g;
        g.setColCount(col::COUNT);
        g.setRowCount(2);
        tasks::numberRows(g);
        g.setCell(col::NOME, 1, "BACKUP NOTAS");
        g.setCell(col::TIPO, 1, "00 - XCOPY - Copia Arq.");
        g.setCell(col::PERIODO, 1, "01 - Todos os Dias");
        g.setCell(col::HORA, 1, "23:59");
        g.setCell(col::MEMO, 1, tasks::linesToCell("ECHO copiando as notas de março\r\nEXIT /B 4"));
        taskfile::save(g, dir.path(tasks::TASK_FILE_NAME));
    }
    void start() {
        app = std::make_unique<AppProcess>(dir);
        ASSERT_NE(app->window(), nullptr);
    }
    // "Executar agora" on the task; its failure is shown in a box.
    void runByHand() {
        click(app->find("T_EXEC"));
        EXPECT_NE(app->answer(IDOK, 30000), "");
    }
    std::string log() const { return dir.read("LOG_TIMER.TXT").value_or(""); }
    bool logged(const std::string& text) {
        return waitFor([&] { return log().find(text) != std::string::npos; }, 30000);
    }
    int waiting() const {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(platform::fsPath(dir.path("EMAIL_SAIDA"))))
            n += e.path().extension() == ".eml";
        return n;
    }

    SmtpServer server;
    AppFolder dir;
    std::unique_ptr<AppProcess> app;
};

TEST_F(Mail, ReportAndFailuresArriveAndWaitForTheServer) {
    start();
    const std::string report = server.message(1);
    EXPECT_NE(report.find("Subject: [TARVEX] Relatório do dia "), std::string::npos) << report;
    EXPECT_NE(report.find("To: dono@teste.local;contador@teste.local"), std::string::npos) << report;
    EXPECT_NE(report.find("23:59  01 - BACKUP NOTAS  não rodou"), std::string::npos) << report;

    runByHand();
    const std::string failure = server.message(2);
    EXPECT_NE(failure.find("Subject: [TARVEX] FALHA na tarefa 01 - BACKUP NOTAS - "), std::string::npos) << failure;
    EXPECT_NE(failure.find("A tarefa 01 - BACKUP NOTAS falhou."), std::string::npos) << failure;
    // What the batch wrote, back from the console's code page.
    EXPECT_NE(failure.find("Últimas linhas escritas pelo comando:"), std::string::npos) << failure;
    EXPECT_NE(failure.find("\n  copiando as notas de março"), std::string::npos) << failure;
    const std::string folder = dir.folder().substr(0, dir.folder().size() - 1);
    EXPECT_NE(failure.find(folder.substr(folder.find_last_of('\\') + 1)), std::string::npos) << failure;

    // The server goes down: the failure waits, and goes once the server is back.
    ASSERT_TRUE(server.order("stop", "stopped"));
    runByHand();
    ASSERT_TRUE(logged("Não enviado, guardado na caixa de saída para dono@teste.local;contador@teste.local"))
        << log();
    EXPECT_EQ(waiting(), 1);
    ASSERT_TRUE(server.order("start", "listening"));
    EXPECT_NE(server.message(3).find("FALHA na tarefa"), std::string::npos);
    EXPECT_TRUE(waitFor([&] { return waiting() == 0; }));

    // Down again, and the program closed with the message still waiting.
    ASSERT_TRUE(server.order("stop", "stopped"));
    runByHand();
    ASSERT_TRUE(waitFor([&] { return waiting() == 1; }));
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(app->answerClose(IDOK));
    ASSERT_TRUE(app->ended(20000));
    ASSERT_TRUE(server.order("start", "listening"));
    start();
    EXPECT_NE(server.message(4).find("FALHA na tarefa"), std::string::npos);
    EXPECT_TRUE(logged("MAIL#Enviado para dono@teste.local;contador@teste.local: [TARVEX] FALHA")) << log();
}

void setText(HWND edit, const std::string& text) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(win32::widen(text).c_str()));
}

TEST_F(Mail, TheTestButtonAnswersPlainlyAndNoFileHoldsAPassword) {
    // Names are looked up on a thread of curl's own, so closing never waits on one.
    EXPECT_TRUE(curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_ASYNCHDNS);
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));   // the cover: no editor to leave
    start();
    ASSERT_TRUE(app->showing("TS_CAPA"));   // start-up is over
    PostMessageW(app->window(), WM_COMMAND, win32::ID_PARAMETROS, 0);
    ASSERT_TRUE(app->showing("TS_PARAM"));
    EXPECT_EQ(readText(app->find("LA_EMAIL_SENHA")).rfind("senha gravada", 0), 0u);
    struct Case { std::string server, password, to, says; };
    const Case cases[] = {
        {"127.0.0.1", "errada-123", "dono@teste.local", "Usuário ou senha errada: o servidor recusou o login."},
        {"127.0.0.1", "", "recusado@teste.local", "O servidor recusou o destinatário."},
        {"nao-existe.invalid", "", "dono@teste.local", "Servidor não encontrado: confira o nome do servidor e a rede."},
    };
    for (const Case& c : cases) {
        setText(app->find("E_EMAIL_SERVIDOR"), c.server);
        setText(app->find("E_EMAIL_SENHA"), c.password);
        setText(app->find("E_EMAIL_DESTINO"), c.to);
        click(app->find("BU_EMAIL_TESTE"));
        EXPECT_TRUE(app->textBecomes("LA_EMAIL_TESTE", c.says)) << c.server << " " << c.to << ": "
                                                                << readText(app->find("LA_EMAIL_TESTE"));
    }

    setText(app->find("E_EMAIL_SERVIDOR"), "127.0.0.1");
    setText(app->find("E_EMAIL_SENHA"), "errada-123");
    click(app->find("BU_PARAM_SALVA"));
    ASSERT_TRUE(app->showing("TS_TAREFAS"));
    for (const char* file : {"TARVEX_EMAIL.TXT", "TARVEX_SISTEMA.TXT", "LOG_TIMER.TXT"}) {
        const std::string text = dir.read(file).value_or("");
        EXPECT_EQ(text.find("errada-123"), std::string::npos) << file;
        EXPECT_EQ(text.find(kPassword), std::string::npos) << file;
    }
    EXPECT_NE(dir.read("TARVEX_EMAIL.TXT").value_or("").find("#dono#"), std::string::npos);
}

}  // namespace
}  // namespace tarvex::testui
