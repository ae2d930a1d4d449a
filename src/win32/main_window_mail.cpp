// The "E-mail" section of the settings page, at the page's right.
#include "win32/main_window.h"

namespace tarvex::win32 {

void MainWindow::buildMailSection(HWND p) {
    app::MailDesk& m = form_.mail();
    constexpr int x = 460, field = 575;
    caption(p, "E-mail", x, 8, 200, 16, fontPoints(8, true));
    struct Row { const char* label; ui::Edit& edit; int y, w; };
    const Row rows[] = {{"Servidor SMTP", m.E_EMAIL_SERVIDOR, 28, 200}, {"Usuário", m.E_EMAIL_USUARIO, 84, 200},
                        {"Senha", m.E_EMAIL_SENHA, 112, 200},         {"Remetente", m.E_EMAIL_REMETENTE, 156, 295},
                        {"Destinatários (;)", m.E_EMAIL_DESTINO, 184, 295},
                        {"Prefixo do assunto", m.E_EMAIL_PREFIXO, 212, 120}};
    for (const Row& r : rows) {
        caption(p, r.label, x, r.y + 3, 112, 14);
        View* view = keep(std::make_unique<EditView>(r.edit, p, field, r.y, r.w, 21));
        // The password is never shown as typed.
        if (&r.edit == &m.E_EMAIL_SENHA) SendMessageW(view->hwnd(), EM_SETPASSWORDCHAR, L'*', 0);
    }
    caption(p, "Porta", 782, 31, 34, 14);
    keep(std::make_unique<EditView>(m.E_EMAIL_PORTA, p, 820, 28, 50, 21));
    caption(p, "Segurança", x, 59, 112, 14);
    keep(std::make_unique<ListView>(m.RG_EMAIL_SEGURANCA, p, field, 56, 120, 21, ListKind::DropDown));
    keep(std::make_unique<LabelView>(m.LA_EMAIL_SENHA, p, field, 135, 295, 16, TextStyle{kBlue, kFormColor}));
    keep(std::make_unique<CheckBoxView>(m.CB_EMAIL_FALHA, p, x, 240, 250, 18));
    keep(std::make_unique<CheckBoxView>(m.CB_EMAIL_RELATORIO, p, x, 264, 150, 18));
    keep(std::make_unique<EditView>(m.E_EMAIL_HORA, p, 615, 262, 50, 21));
    keep(std::make_unique<CheckBoxView>(m.CB_EMAIL_ALERTA, p, x, 288, 250, 18));
    keep(std::make_unique<ButtonView>(m.BU_EMAIL_TESTE, p, x, 316, 170, 28));
    keep(std::make_unique<LabelView>(m.LA_EMAIL_TESTE, p, x, 350, 410, 40, TextStyle{kBlue, kFormColor}));
}

}  // namespace tarvex::win32
