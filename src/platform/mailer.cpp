#include "platform/mailer.h"

#include <cstdlib>

namespace tarvex::platform {

namespace {

class NoMailer : public Mailer {
public:
    MailResult send(const MailServer&, const MailEnvelope&, const std::atomic<bool>&) override {
        return {MailFault::Unavailable, "sem envio de e-mail nesta versão"};
    }
};

std::atomic<Mailer*> current{nullptr};

}  // namespace

Mailer& mailer() {
    static NoMailer none;
    Mailer* m = current.load();
    return m ? *m : none;
}

void setMailer(Mailer* replacement) { current.store(replacement); }

std::string mailFaultText(const MailResult& r) {
    switch (r.fault) {
    case MailFault::None: return "E-mail enviado.";
    case MailFault::ServerNotFound: return "Servidor não encontrado: confira o nome do servidor e a rede.";
    case MailFault::NoConnection:
        return "O servidor não atendeu: confira a porta e a segurança, ou se um firewall bloqueia.";
    case MailFault::Login: return "Usuário ou senha errada: o servidor recusou o login.";
    case MailFault::Certificate: return "O certificado do servidor não é confiável.";
    case MailFault::Secure: return "Não foi possível abrir a conexão segura: confira a segurança e a porta.";
    case MailFault::Sender: return "O servidor recusou o remetente.";
    case MailFault::Recipient: return "O servidor recusou o destinatário.";
    case MailFault::Unavailable: return "Esta versão não envia e-mail.";
    case MailFault::Other: break;
    }
    return "O e-mail não foi enviado.";
}

}  // namespace tarvex::platform

namespace tarvex::platform {

std::string computerName() {
    for (const char* name : {"COMPUTERNAME", "HOSTNAME"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return "?";
}

}  // namespace tarvex::platform
