// The ZIP page's password: typed twice, stored only protected for the Windows
// user, and asked for again when the stored one cannot be read on this PC.
#include "app/editor.h"

#include "platform/secrets.h"

namespace tarvex::app {

namespace {

void maskPassword(EditorPages& p) {
    p.E06_SENHA.setMasked(!p.E06_MOSTRAR.checked());
    p.E06_SENHA2.setMasked(!p.E06_MOSTRAR.checked());
}

bool unreadable(const std::string& stored) {
    return !stored.empty() && !platform::secrets().unprotect(stored);
}

}  // namespace

void EditorPages::designZipPassword() {
    E06_SENHA.setHint("Vazia: o arquivo ZIP não é criptografado. Com senha: AES-256, aberto por qualquer "
                      "programa de ZIP que a pergunte");
    E06_MOSTRAR.setCaption("mostrar");
    E06_MOSTRAR.onClick = [this] { maskPassword(*this); };
    maskPassword(*this);
    place("T06", {&label("E06_SENHA", "Senha do arquivo"), &E06_SENHA, &label("E06_SENHA2", "Confirme a senha"),
                  &E06_SENHA2, &E06_MOSTRAR, &E06_SENHA_AVISO});
}

void showZipPassword(EditorPages& p, const std::string& stored) {
    p.zipPasswordStored = stored;
    const std::optional<std::string> clear =
        stored.empty() ? std::optional<std::string>("") : platform::secrets().unprotect(stored);
    p.E06_SENHA.setText(clear.value_or(""));
    p.E06_SENHA2.setText(clear.value_or(""));
    p.E06_MOSTRAR.setChecked(false);
    p.E06_SENHA_AVISO.setCaption(clear ? "" : "A senha do arquivo não pôde ser lida neste computador: "
                                              "digite-a de novo");
}

std::optional<std::string> zipPasswordCell(EditorPages& p, platform::Operator& op) {
    const std::string& typed = p.E06_SENHA.text();
    if (typed != p.E06_SENHA2.text()) {
        tell(op, "A senha do arquivo e a confirmação não conferem");
        return std::nullopt;
    }
    const std::string& stored = p.zipPasswordStored;
    // Saving other fields never turns an unreadable password into no password:
    // the runs keep failing until it is typed again.
    if (typed.empty()) return unreadable(stored) ? stored : std::string();
    if (!stored.empty() && platform::secrets().unprotect(stored) == typed) return stored;
    std::string sealed = platform::secrets().protect(typed);
    if (sealed.empty()) {
        tell(op, "Não foi possível proteger a senha do arquivo neste computador");
        return std::nullopt;
    }
    return sealed;
}

}  // namespace tarvex::app
