// Files sent to loopback servers (tests/win32/send/file_server.py) by the
// program's own sender: FTP, FTP over explicit and implicit TLS with a
// certificate this prefix trusts, SFTP with its key pinned; and each refusal
// named as the operator will read it. The server runs for the whole program.
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <thread>
#include <tuple>

#include "platform/uploader.h"
#include "win32/mailer_curl.h"
#include "win32/uploader_curl.h"
#include "win32/wide.h"
#include "win32_test_util.h"

namespace tarvex::win32test {
namespace {

using platform::SendFault;
using platform::ServerProtocol;

const std::string kUser = "dono", kPassword = "senha-certa-42";

std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    for (auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(std::chrono::milliseconds(50)))
        if (done()) return true;
    return done();
}

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen());
    return s;
}

// The Python servers, a Linux program Wine starts but cannot wait on: driven
// through files in its folder, reached from here through drive Z:.
class FileServer {
public:
    FileServer() : port_(33000 + GetCurrentProcessId() % 3000 / 100 * 100) {
        unix_ = "/tmp/tarvex-send-" + std::to_string(GetCurrentProcessId()) + "/";
        std::filesystem::remove_all(z(""));
        std::filesystem::create_directories(z(""));
        std::wstring line = L"Z:\\usr\\bin\\python3 " +
                            win32::widen(std::string(TARVEX_WIN32_TESTS "/send/file_server.py ") + unix_ + " " +
                                         std::to_string(port_) + " " + kUser + " " + kPassword);
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            CloseHandle(pi.hProcess), CloseHandle(pi.hThread), started_ = order("", "listening");
    }
    ~FileServer() {
        order("quit", "ended");
        std::filesystem::remove_all(z(""));
    }
    std::filesystem::path z(const std::string& name) const { return L"Z:" + win32::widen(unix_ + name); }
    std::filesystem::path stored(const std::string& name) const { return z("root/" + name); }
    bool order(const std::string& what, const std::string& state) {
        if (!what.empty()) std::ofstream(z(what)) << "";
        return waitFor([&] { return slurp(z("state")) == state; });
    }
    platform::ServerPlace place(ServerProtocol protocol, int offset, const std::string& folder = "") const {
        return {protocol, "127.0.0.1", port_ + offset, folder, kUser, kPassword, "", 20};
    }
    bool started_ = false;

private:
    int port_;
    std::string unix_;
};

class Sending : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static win32::CurlMailer curlSetUp;   // libcurl's global set-up, as the program makes it
        static win32::CurlUploader sender;
        platform::setUploader(&sender);
        server = std::make_unique<FileServer>();
        ASSERT_TRUE(server->started_);
        // Trusted for this Wine prefix, as a company's own certificate would be.
        const std::string der = slurp(server->z("cert.der"));
        ASSERT_TRUE(CertAddEncodedCertificateToSystemStoreW(
            L"Root", reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size())));
    }
    static void TearDownTestSuite() { server.reset(); }

    platform::SendResult send(const platform::ServerPlace& place, const std::string& local,
                              const std::string& name, std::uint64_t* firstReport = nullptr) {
        bool first = true;
        return platform::uploader().upload(place, dir.path(local), name,
                                           [&](std::uint64_t sent, std::uint64_t total) {
                                               if (first && firstReport) *firstReport = sent;
                                               first = false;
                                               lastReport = {sent, total};
                                           },
                                           stop);
    }

    static inline std::unique_ptr<FileServer> server;
    TempFolder dir;
    std::atomic<bool> stop{false};
    std::pair<std::uint64_t, std::uint64_t> lastReport{0, 0};
};

struct Way {
    ServerProtocol protocol;
    int offset;
    const char* folder;
};

// Each way: into a folder made for it, under a name with a space and an accent;
// listed with its size and time; renamed from the partial name; removed.
TEST_F(Sending, EachWaySendsListsAndRemovesAFile) {
    const std::string bytes = randomBytes(300000, 1);
    dir.write("Relatório março.zip", bytes);
    for (const Way& way : {Way{ServerProtocol::Ftp, 0, "copias/ftp"}, Way{ServerProtocol::FtpExplicitTls, 1, "copias/explicito"},
                           Way{ServerProtocol::FtpImplicitTls, 2, "copias/implicito"}, Way{ServerProtocol::Sftp, 4, "copias/sftp"}}) {
        SCOPED_TRACE(way.folder);
        const auto place = server->place(way.protocol, way.offset, way.folder);
        const auto sent = send(place, "Relatório março.zip", "Relatório março.zip");
        ASSERT_TRUE(sent.ok()) << sent.detail;
        EXPECT_EQ(lastReport, std::make_pair(std::uint64_t{300000}, std::uint64_t{300000}));
        EXPECT_EQ(slurp(server->stored(std::string(way.folder) + "/Relatório março.zip")), bytes);
        std::vector<platform::RemoteFile> files;
        ASSERT_TRUE(platform::uploader().list(place, files, stop).ok());
        ASSERT_EQ(files.size(), 1u);   // the partial name is gone
        EXPECT_EQ(files[0].name, "Relatório março.zip");
        EXPECT_EQ(files[0].size, 300000u);
        EXPECT_LT(std::llabs(files[0].modified - std::time(nullptr)), 2 * 86400);
        ASSERT_TRUE(platform::uploader().remove(place, "Relatório março.zip", stop).ok());
        EXPECT_TRUE(platform::uploader().list(place, files, stop).ok() && files.empty());
    }
}

struct Refusal {
    ServerProtocol protocol;
    int offset;
    const char *host, *password;
    SendFault fault;
    const char* text;
};

TEST_F(Sending, RefusalsAreNamedForTheOperator) {
    const char *local = "127.0.0.1", *right = kPassword.c_str();
    for (const Refusal& r : {Refusal{ServerProtocol::Ftp, 0, local, "errada", SendFault::Login, "usuário ou senha errada"},
                             Refusal{ServerProtocol::Sftp, 4, local, "errada", SendFault::Login, "usuário ou senha errada"},
                             Refusal{ServerProtocol::FtpExplicitTls, 3, local, right, SendFault::Certificate,
                                     "certificado não confiável"},
                             Refusal{ServerProtocol::Ftp, 0, "servidor-inexistente.invalid", right,
                                     SendFault::ServerNotFound, "servidor não encontrado"},
                             Refusal{ServerProtocol::Ftp, 9, local, right, SendFault::NoConnection,
                                     "o servidor não atendeu (confira a porta e a segurança)"}}) {
        SCOPED_TRACE(r.text);
        auto place = server->place(r.protocol, r.offset);
        place.host = r.host;
        place.password = r.password;
        const auto result = platform::uploader().test(place, stop);
        EXPECT_EQ(result.fault, r.fault) << result.detail;
        EXPECT_EQ(platform::sendFaultText(result), r.text);
    }
}

TEST_F(Sending, AChangedHostKeyIsRefusedAfterTheFirstIsPinned) {
    auto place = server->place(ServerProtocol::Sftp, 4);
    place.knownHostsFile = dir.path("servidores_conhecidos.txt");
    ASSERT_TRUE(platform::uploader().test(place, stop).ok());
    EXPECT_NE(dir.read("servidores_conhecidos.txt").value_or(""), "");
    ASSERT_TRUE(platform::uploader().test(place, stop).ok());   // the pinned key again
    ASSERT_TRUE(server->order("newkey", "newkey-done"));
    const auto changed = platform::uploader().test(place, stop);
    EXPECT_EQ(changed.fault, SendFault::HostKeyChanged) << changed.detail;
    EXPECT_EQ(platform::sendFaultText(changed), "a chave do servidor mudou");
}

// A server over its quota refuses the file; one that tells a SHA-256 that is not
// the file's shows it is not the file sent. Neither leaves a file under the name.
TEST_F(Sending, AFileTheServerRefusesOrSpoilsIsNotReportedSent) {
    dir.write("notas.zip", randomBytes(300000, 2));
    for (const auto& [order, content, fault, text] :
         {std::tuple{"quota", "100000", SendFault::Full, "o servidor está cheio"},
          std::tuple{"badhash", "", SendFault::Mismatch, "o arquivo no servidor não confere com o enviado"}}) {
        SCOPED_TRACE(order);
        std::ofstream(server->z(order)) << content;
        const auto result = send(server->place(ServerProtocol::Ftp, 0, order), "notas.zip", "notas.zip");
        std::filesystem::remove(server->z(order));
        EXPECT_EQ(result.fault, fault) << result.detail;
        EXPECT_EQ(platform::sendFaultText(result), text);
        EXPECT_FALSE(std::filesystem::exists(server->stored(std::string(order) + "/notas.zip")));
    }
}

// The server drops the connection mid-file; the next try goes on from the part
// already there (its first report starts past it) and the file ends whole.
TEST_F(Sending, ACutShortFileIsResumedAndEndsWhole) {
    const std::string bytes = randomBytes(4 << 20, 3);
    dir.write("copia.zip", bytes);
    const auto place = server->place(ServerProtocol::Ftp, 0, "retomada");
    std::ofstream(server->z("drop")) << (1 << 20);
    EXPECT_FALSE(send(place, "copia.zip", "copia.zip").ok());
    const auto partial = server->stored("retomada/copia.zip.tarvex-parcial");
    ASSERT_TRUE(std::filesystem::exists(partial));
    const std::uint64_t cut = std::filesystem::file_size(partial);
    ASSERT_GT(cut, 0u);
    ASSERT_LT(cut, bytes.size());
    std::uint64_t firstReport = 0;
    const auto again = send(place, "copia.zip", "copia.zip", &firstReport);
    ASSERT_TRUE(again.ok()) << again.detail;
    EXPECT_GE(firstReport, cut);
    EXPECT_EQ(slurp(server->stored("retomada/copia.zip")), bytes);
    EXPECT_FALSE(std::filesystem::exists(partial));
}

// 200 MB, made here and deleted after, as large archives are what is sent.
TEST_F(Sending, A200MegabyteFileArrivesWhole) {
    const std::string block = randomBytes(1 << 20, 4);
    {
        std::ofstream out(platform::fsPath(dir.path("grande.zip")), std::ios::binary);
        for (int i = 0; i < 200; ++i) out << block << static_cast<char>(i);
    }
    const auto sent = send(server->place(ServerProtocol::Ftp, 0, "grande"), "grande.zip", "grande.zip");
    ASSERT_TRUE(sent.ok()) << sent.detail;
    std::ifstream there(server->stored("grande/grande.zip"), std::ios::binary);
    std::string piece(block.size() + 1, '\0');
    int whole = 0;
    while (there.read(piece.data(), piece.size()) && piece.compare(0, block.size(), block) == 0 &&
           piece.back() == static_cast<char>(whole))
        ++whole;
    EXPECT_EQ(whole, 200);
    there.close();
    std::filesystem::remove(server->stored("grande/grande.zip"));
}

}  // namespace
}  // namespace tarvex::win32test
