// The sending page (type "08"): its fields, its password, and "Testar conexão".
#include <atomic>
#include <thread>

#include "app/editor.h"
#include "exec/send_address.h"
#include "lib/routines.h"
#include "platform/secrets.h"
#include "platform/uploader.h"

namespace tarvex::app {

namespace {

void maskServerPassword(EditorPages& p) { p.E08_SENHA.setMasked(!p.E08_MOSTRAR.checked()); }

}  // namespace

void EditorPages::designSendPage() {
    B08_ORIGEM.setCaption("Pasta LOCAL - arquivos para enviar");
    E08_ARQUIVO.setHint("Os arquivos da pasta a enviar, como *.ZIP; mais de uma máscara: separe com ponto e vírgula (;)");
    E08_SERVIDOR.setHint("ftp://servidor/pasta (FTP), ftpes:// (FTP com TLS), ftps:// (TLS, porta 990) ou "
                         "sftp://servidor:22/pasta (SSH); a pasta fica na do usuário, ou na raiz com //pasta");
    E08_USUARIO.setHint("Vazio: acesso anônimo");
    E08_MOSTRAR.setCaption("mostrar");
    E08_MOSTRAR.onClick = [this] { maskServerPassword(*this); };
    maskServerPassword(*this);
    E08_LIMITE.setHint("Segundos sem resposta do servidor até desistir; 0 ou vazio = sem limite");
    looks_[&E08_LIMITE].maxLength = 5;
    B08_TESTAR.setCaption("Testar conexão");
    B08_TESTAR.setHint("Conecta, entra na pasta do servidor e diz o que achou, sem enviar nada");
    place("T08", {&B08_ORIGEM, &E08_ORIGEM, &label("E08_ARQUIVO", "Arquivos (máscara)"), &E08_ARQUIVO,
                  &label("E08_SERVIDOR", "Endereço do servidor"), &E08_SERVIDOR,
                  &label("E08_USUARIO", "Usuário"), &E08_USUARIO, &label("E08_SENHA", "Senha"), &E08_SENHA,
                  &E08_MOSTRAR, &E08_SENHA_AVISO});
    keepField(E08_MANTER);
    E08_MANTER.setHint("0 = manter todos; no servidor só os arquivos da máscara, e nunca com *.* ou *");
    place("T08", {&label("E08_LIMITE", "Tempo limite (s)"), &E08_LIMITE, &B08_TESTAR, &E08_TESTE});
}

void showServerPassword(EditorPages& p, const std::string& stored) {
    p.serverPasswordStored = stored;
    const std::optional<std::string> clear =
        stored.empty() ? std::optional<std::string>("") : platform::secrets().unprotect(stored);
    p.E08_SENHA.setText(clear.value_or(""));
    p.E08_MOSTRAR.setChecked(false);
    maskServerPassword(p);
    p.E08_SENHA_AVISO.setCaption(clear ? "" : "A senha do servidor não pôde ser lida neste computador: digite-a de novo");
    p.E08_TESTE.setCaption("");
}

std::optional<std::string> serverPasswordCell(EditorPages& p, platform::Operator& op) {
    const std::string& typed = p.E08_SENHA.text();
    const std::string& stored = p.serverPasswordStored;
    // An unreadable password stays what it was until one is typed.
    if (typed.empty()) return !stored.empty() && !platform::secrets().unprotect(stored) ? stored : std::string();
    if (!stored.empty() && platform::secrets().unprotect(stored) == typed) return stored;
    std::string sealed = platform::secrets().protect(typed);
    if (sealed.empty()) {
        tell(op, "Não foi possível proteger a senha do servidor neste computador");
        return std::nullopt;
    }
    return sealed;
}

void TaskEditor::testServerClicked() {
    if (testingServer_) return;
    platform::ServerPlace place;
    if (const std::string wrong = exec::readServerAddress(pages.E08_SERVIDOR.text(), place); !wrong.empty()) {
        pages.E08_TESTE.setCaption(wrong);
        return;
    }
    place.user = trim(pages.E08_USUARIO.text());
    place.password = pages.E08_SENHA.text();
    const std::string limit = trim(pages.E08_LIMITE.text());
    place.limitSeconds = limit.empty() || limit.find_first_not_of("0123456789") != std::string::npos ? 0 : std::stoi(limit);
    if (links_.batchFolder) place.knownHostsFile = links_.batchFolder() + "\\" + exec::kServerKeysFile;
    testingServer_ = true;
    pages.E08_TESTE.setCaption("Testando " + place.host + "...");
    platform::SendResult result;
    std::atomic<bool> done{false};
    const std::atomic<bool> stop{false};
    {
        std::jthread tester([&] {
            result = platform::uploader().test(place, stop);
            done = true;
        });
        services_.op.waitUntil([&] { return done.load(); }, [] {});
    }
    testingServer_ = false;
    pages.E08_TESTE.setCaption(result.ok() ? "Conexão em ordem: " + place.host + " aceitou o login e a pasta"
                                           : "Falhou: " + platform::sendFaultText(result));
}

}  // namespace tarvex::app
