// Sending end to end: a loopback FTP server (tests/win32/send/ftp_server.py) and
// the real tarvex.exe. The newest archives go, the server keeps the task's
// newest two and nothing else; a wrong password fails saying so, in the run and
// in the editor's connection test. A build that
// cannot send yet says so in its log, and the test is skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "win32/secrets_dpapi.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

std::string slurp(const std::filesystem::path& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

// The Python server, a Linux program Wine starts but cannot wait on: driven
// through files in its folder, reached from here through drive Z:.
class FtpServer {
public:
    FtpServer() {
        std::filesystem::remove_all(z(""));
        std::filesystem::create_directories(z("raiz/copias"));
        std::wstring line = L"Z:\\usr\\bin\\python3 " + win32::widen(std::string(TARVEX_WIN32_TESTS "/send/ftp_server.py ") +
                                                                     unix_ + " " + std::to_string(port_) + " dono segredo");
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
    }
    ~FtpServer() {
        std::ofstream(z("quit")) << "";
        waitFor([&] { return slurp(z("state")) == "ended"; }, 10000);
        std::filesystem::remove_all(z(""));
    }
    std::filesystem::path z(const std::string& name) const { return L"Z:" + win32::widen(unix_ + name); }
    std::string address() const { return "ftp://127.0.0.1:" + std::to_string(port_) + "/copias"; }

private:
    const int port_ = 29000 + GetCurrentProcessId() % 500 * 50;
    const std::string unix_ = "/tmp/tarvex-ftp-" + std::to_string(GetCurrentProcessId()) + "/";
};

TEST(Send, TheNewestArchivesGoTheServerKeepsTheTasksNewestTwoAndAWrongPasswordFails) {
    FtpServer server;
    ASSERT_TRUE(waitFor([&] { return slurp(server.z("state")) == "listening"; }, 20000));
    AppFolder dir;
    for (int day = 1; day <= 3; ++day) {   // a day apart, the newest last
        const std::string name = "arq\\BKP_0" + std::to_string(day) + ".ZIP";
        dir.write(name, std::string(100000 * day, static_cast<char>('a' + day)));
        std::filesystem::last_write_time(platform::fsPath(dir.path(name)), std::filesystem::file_time_type::clock::now() -
                                                                               std::chrono::hours(24 * (4 - day)));
    }
    std::ofstream(server.z("raiz/copias/BKP_00.ZIP")) << "velho";
    std::ofstream(server.z("raiz/copias/LEIAME.TXT")) << "de outro";
    auto task = [&](const char* name, const std::string& password) {
        return std::vector<std::pair<int, std::string>>{
            {col::NOME, name}, {col::TIPO, "08 - Enviar para Servidor"}, {col::HORA, "23:59"},
            {col::DIR_ORIGEM, dir.path("arq")}, {col::ARQUIVO, "BKP_*.ZIP"}, {col::DIR_DESTINO, server.address()},
            {col::USUARIO_SERVIDOR, "dono"}, {col::SENHA_SERVIDOR, win32::dpapiSecrets().protect(password)},
            {col::MANTER, "2"}, {col::LIMITE_SERVIDOR, "30"}};
    };
    writeDailyTasks(dir, {task("ENVIO", "segredo"), task("SENHA ERRADA", "errada")});
    AppProcess app(dir);
    ASSERT_NE(app.window(), nullptr);
    // "Executar agora" on task `row`; its log line, a failure's box answered.
    auto runByHand = [&](int row) {
        SendMessageW(app.find("GRID"), RegisterWindowMessageW(L"TARVEX.GridSelect"), 1, row);
        const int before = logCount(dir, "EXE") + logCount(dir, "ERR");
        click(app.find("T_EXEC"));
        waitFor([&] { return logCount(dir, "EXE") + logCount(dir, "ERR") > before; }, 60000);
        const std::string log = dir.read("LOG_TIMER.TXT").value_or("");
        const std::string last = log.substr(log.rfind('\n', log.size() - 3) + 1);
        if (last.find("#ERR#") != std::string::npos) app.answer(IDOK, 10000);
        return last;
    };

    const std::string sent = runByHand(1);
    EXPECT_NE(sent.find("#EXE#ENVIO >> 2 arquivos enviados, 0,5 MB#"), std::string::npos) << sent;
    EXPECT_EQ(slurp(server.z("raiz/copias/BKP_02.ZIP")), std::string(200000, 'c'));
    EXPECT_EQ(slurp(server.z("raiz/copias/BKP_03.ZIP")), std::string(300000, 'd'));
    EXPECT_FALSE(std::filesystem::exists(server.z("raiz/copias/BKP_01.ZIP")));   // past the newest two
    EXPECT_FALSE(std::filesystem::exists(server.z("raiz/copias/BKP_00.ZIP")));
    EXPECT_EQ(slurp(server.z("raiz/copias/LEIAME.TXT")), "de outro");
    // Again: both are there already, nothing is sent.
    EXPECT_NE(runByHand(1).find("#EXE#ENVIO >> 0 arquivos enviados, 0,0 MB (2 já no servidor)#"), std::string::npos);
    const std::string refused = runByHand(2);
    EXPECT_NE(refused.find("#ERR#***   ERRO   ***   SENHA ERRADA - Servidor 127.0.0.1: usuário ou senha errada"),
              std::string::npos) << refused;
    // The editor's "Testar conexão" on that task says the same.
    click(app.find("BU_TAREFAS"));
    ASSERT_TRUE(app.showing("T08"));
    click(app.find("B08_TESTAR"));
    EXPECT_TRUE(app.textBecomes("E08_TESTE", "Falhou: usuário ou senha errada"));
}

}  // namespace
}  // namespace tarvex::testui
