// placeholder until the curl uploader lands: nothing can send, and the faults
// read as the operator will read them.
#include "platform/uploader.h"

namespace tarvex::platform {

namespace {

class NoUploader : public Uploader {
public:
    SendResult test(const ServerPlace&, const std::atomic<bool>&) override { return none(); }
    SendResult list(const ServerPlace&, std::vector<RemoteFile>&, const std::atomic<bool>&) override { return none(); }
    SendResult upload(const ServerPlace&, const std::string&, const std::string&, const SendProgress&,
                      const std::atomic<bool>&) override {
        return none();
    }
    SendResult remove(const ServerPlace&, const std::string&, const std::atomic<bool>&) override { return none(); }

private:
    static SendResult none() { return {SendFault::Unavailable, "sem envio para servidor nesta versão"}; }
};

std::atomic<Uploader*> current{nullptr};

}  // namespace

Uploader& uploader() {
    static NoUploader none;
    Uploader* u = current.load();
    return u ? *u : none;
}

void setUploader(Uploader* replacement) { current.store(replacement); }

std::string sendFaultText(const SendResult& r) {
    switch (r.fault) {
    case SendFault::None: return "conexão em ordem";
    case SendFault::ServerNotFound: return "servidor não encontrado";
    case SendFault::NoConnection: return "o servidor não atendeu";
    case SendFault::Login: return "usuário ou senha errada";
    case SendFault::Permission: return "sem permissão na pasta";
    case SendFault::Certificate: return "certificado não confiável";
    case SendFault::HostKeyChanged: return "a chave do servidor mudou";
    case SendFault::Full: return "o servidor está sem espaço";
    case SendFault::TimedOut: return "a conexão parou e o tempo limite passou";
    case SendFault::Cancelled: return "envio interrompido";
    case SendFault::Mismatch: return "o arquivo no servidor não confere com o enviado";
    case SendFault::Unavailable: return "esta versão não envia para servidor";
    case SendFault::Other: break;
    }
    return "falha no envio";
}

}  // namespace tarvex::platform
