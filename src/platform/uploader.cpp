#include "platform/uploader.h"

namespace tarvex::platform {

namespace {

class NoUploader : public Uploader {
public:
    SendResult test(const ServerPlace&, const std::atomic<bool>&) override { return none(); }
    SendResult list(const ServerPlace&, std::vector<RemoteFile>&, const std::atomic<bool>&) override {
        return none();
    }
    SendResult upload(const ServerPlace&, const std::string&, const std::string&, const SendProgress&,
                      const std::atomic<bool>&) override {
        return none();
    }
    SendResult remove(const ServerPlace&, const std::string&, const std::atomic<bool>&) override { return none(); }

private:
    static SendResult none() { return {SendFault::Unavailable, "sem envio a servidor nesta versão"}; }
};

std::atomic<Uploader*> current{nullptr};

// A stall's detail begins with the limit it passed ("30 s: ..."), shown as "(30 s)".
std::string limitOf(const std::string& detail) {
    const size_t digits = detail.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string::npos || detail.compare(digits, 2, " s") != 0) return "";
    return " (" + detail.substr(0, digits + 2) + ")";
}

}  // namespace

Uploader& uploader() {
    static NoUploader none;
    Uploader* u = current.load();
    return u ? *u : none;
}

void setUploader(Uploader* replacement) { current.store(replacement); }

std::string sendFaultText(const SendResult& r) {
    switch (r.fault) {
    case SendFault::None: return "enviado";
    case SendFault::ServerNotFound: return "servidor não encontrado";
    case SendFault::NoConnection: return "o servidor não atendeu (confira a porta e a segurança)";
    case SendFault::Login: return "usuário ou senha errada";
    case SendFault::Permission: return "sem permissão na pasta";
    case SendFault::Certificate: return "certificado não confiável";
    case SendFault::HostKeyChanged: return "a chave do servidor mudou";
    case SendFault::Full: return "o servidor está cheio";
    case SendFault::TimedOut: return "tempo esgotado" + limitOf(r.detail);
    case SendFault::Cancelled: return "envio interrompido";
    case SendFault::Mismatch: return "o arquivo no servidor não confere com o enviado";
    case SendFault::Unavailable: return "esta versão não envia a servidor";
    case SendFault::Other: break;
    }
    return "o envio falhou";
}

}  // namespace tarvex::platform
