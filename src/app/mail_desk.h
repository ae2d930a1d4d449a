#pragma once
// E-mail: the "E-mail" section of the settings page, the outbox and its sender,
// and the messages themselves (a failure, the daily report, the stale-backup
// alarm, the test). Nothing here waits on the network: the sender's thread does,
// and what it did is taken on the window's thread by tick().
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "log/log.h"
#include "mail/letters.h"
#include "mail/outbox.h"
#include "mail/sender.h"
#include "settings/mail_settings.h"
#include "tasks/task_table.h"
#include "ui/controls.h"

namespace tarvex::app {

class MailDesk {
public:
    using Balloon = std::function<void(const std::string& title, const std::string& text)>;
    // `folder`: the program's folder, with its trailing separator.
    // `tellAtStart`: what was wrong with the settings file (shown once the window is up).
    MailDesk(const std::string& folder, const tasks::TaskTable& table, const log::Log& log, Balloon balloon,
             std::function<void(const std::string&)> tellAtStart = {});

    // The section's controls.
    ui::Edit E_EMAIL_SERVIDOR{"E_EMAIL_SERVIDOR"};
    ui::Edit E_EMAIL_PORTA{"E_EMAIL_PORTA"};
    ui::ListBox RG_EMAIL_SEGURANCA{"RG_EMAIL_SEGURANCA"};
    ui::Edit E_EMAIL_USUARIO{"E_EMAIL_USUARIO"};
    ui::Edit E_EMAIL_SENHA{"E_EMAIL_SENHA"};        // empty: the stored password stays
    ui::Label LA_EMAIL_SENHA{"LA_EMAIL_SENHA"};     // whether one is stored, or must be typed again
    ui::Edit E_EMAIL_REMETENTE{"E_EMAIL_REMETENTE"};
    ui::Edit E_EMAIL_DESTINO{"E_EMAIL_DESTINO"};
    ui::Edit E_EMAIL_PREFIXO{"E_EMAIL_PREFIXO"};
    ui::CheckBox CB_EMAIL_FALHA{"CB_EMAIL_FALHA"};
    ui::CheckBox CB_EMAIL_RELATORIO{"CB_EMAIL_RELATORIO"};
    ui::Edit E_EMAIL_HORA{"E_EMAIL_HORA"};
    ui::CheckBox CB_EMAIL_ALERTA{"CB_EMAIL_ALERTA"};
    ui::Button BU_EMAIL_TESTE{"BU_EMAIL_TESTE"};
    ui::Label LA_EMAIL_TESTE{"LA_EMAIL_TESTE"};
    ui::Timer T_EMAIL{"T_EMAIL"};                   // takes the sender's news, looks at the report's hour
    std::vector<ui::Control*> controls();

    void design();
    // The file read, shown, and the sender given its server.
    void read();
    // The section saved as it stands (a typed password protected first), then read back.
    void save();
    void testClicked();
    // The sender's news logged and shown; the daily report sent once its hour has come.
    void tick();

    // A run of `task` ("NN - NOME"; `name` as the run history keeps it) failed: a
    // message when the settings ask for one, at its first failure of the day only,
    // not at its retries (told by the run history, so a restart does not repeat it).
    // `lines`: that run's last lines of output (`output`), or else its command lines.
    void runFailed(const std::string& task, const std::string& name, const std::string& reason,
                   const std::vector<std::string>& lines, bool output);
    // A run of `task` succeeded: when its last run had failed, a message saying so.
    void runSucceeded(const std::string& task, const std::string& name);
    // The agenda's late tasks: an alarm once a day while there are any.
    void lateTasks(const std::vector<std::string>& late);

private:
    settings::MailSettings fromPage() const;
    void show(const settings::MailSettings& s, bool passwordLost);
    mail::Origin origin() const;
    void queue(const mail::Letter& letter);
    void report(const std::string& day);
    std::string reportDayFile() const;
    void logEvent(const mail::SendEvent& e);

    const std::string& folder_;
    const tasks::TaskTable& table_;
    const log::Log& log_;
    Balloon balloon_;
    std::function<void(const std::string&)> tellAtStart_;
    settings::MailSettings current_;
    std::vector<std::string> late_;
    std::string alarmDay_;
    std::string reportedDay_;   // the day of the last report sent (kept in the outbox folder)
    std::unique_ptr<mail::Outbox> outbox_;
    std::unique_ptr<mail::Sender> sender_;
};

}  // namespace tarvex::app
