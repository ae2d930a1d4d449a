#include "app/mail_desk.h"

#include "lib/datetime.h"
#include "lib/routines.h"
#include "lib/secret_mask.h"
#include "log/run_history.h"
#include "log/run_streak.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/secrets.h"

namespace tarvex::app {

namespace {

constexpr const char* kPasswordKept = "senha gravada (protegida)";
constexpr const char* kPasswordAgain = "digite a senha novamente";

std::string nowText() {
    const LocalTime t = platform::clock().now();
    return formatDate(Date{t.year, t.month, t.day}) + " " + formatTime(t.hour * 3600 + t.minute * 60 + t.second);
}

std::string hourNow() {
    const LocalTime t = platform::clock().now();
    return zeroPad(t.hour, 2) + ":" + zeroPad(t.minute, 2);
}

// How the task's runs went up to now, from the run history of `folder`.
log::Streak streakNow(const std::string& folder, const std::string& name) {
    const LocalTime t = platform::clock().now();
    const Date day{t.year, t.month, t.day};
    return log::streakOf(log::loadRuns(folder, day), trim(name), day);
}

// The end of the log, where today's entries are: a long log is not read whole.
std::string logTail(const std::string& path) {
    constexpr std::uint64_t kTail = 2 << 20;
    const std::uint64_t size = platform::fileSize(path).value_or(0);
    std::string bytes;
    const std::uint64_t from = size > kTail ? size - kTail : 0;
    if (platform::readFileAt(path, from, static_cast<size_t>(size - from), bytes)) return {};
    return bytes;
}

}  // namespace

MailDesk::MailDesk(const std::string& folder, const tasks::TaskTable& table, const log::Log& log, Balloon balloon,
                   std::function<void(const std::string&)> tellAtStart)
    : folder_(folder), table_(table), log_(log), balloon_(std::move(balloon)), tellAtStart_(std::move(tellAtStart)) {
    T_EMAIL.setInterval(1000);
}

std::vector<ui::Control*> MailDesk::controls() {
    return {&E_EMAIL_SERVIDOR, &E_EMAIL_PORTA,      &RG_EMAIL_SEGURANCA, &E_EMAIL_USUARIO, &E_EMAIL_SENHA,
            &LA_EMAIL_SENHA,   &E_EMAIL_REMETENTE,  &E_EMAIL_DESTINO,    &E_EMAIL_PREFIXO, &CB_EMAIL_FALHA,
            &CB_EMAIL_RELATORIO, &E_EMAIL_HORA,     &CB_EMAIL_ALERTA,    &BU_EMAIL_TESTE,  &LA_EMAIL_TESTE,
            &T_EMAIL};
}

void MailDesk::design() {
    RG_EMAIL_SEGURANCA.setItems({"Nenhuma", "STARTTLS", "TLS"});
    CB_EMAIL_FALHA.setCaption("Enviar a cada falha");
    CB_EMAIL_RELATORIO.setCaption("Relatório diário às");
    CB_EMAIL_ALERTA.setCaption("Alerta de cópia atrasada");
    BU_EMAIL_TESTE.setCaption("Enviar e-mail de teste");
}

void MailDesk::read() {
    if (!outbox_) {
        const char separator = folder_.empty() ? '\\' : folder_.back();
        outbox_ = std::make_unique<mail::Outbox>(folder_ + mail::kOutboxFolder + separator);
        sender_ = std::make_unique<mail::Sender>(*outbox_);
        for (const std::string& text : outbox_->finishInterrupted()) log_.logNow(0, "MAIL", text);
    }
    current_ = settings::readMailSettings(folder_, tellAtStart_);
    std::optional<std::string> password = std::string();
    if (!current_.storedPassword.empty()) password = platform::secrets().unprotect(current_.storedPassword);
    show(current_, !password);
    if (current_.ready() && password) sender_->setServer(settings::mailServer(current_, *password));
    else sender_->clearServer();
    T_EMAIL.setTimerEnabled(true);
}

void MailDesk::show(const settings::MailSettings& s, bool passwordLost) {
    E_EMAIL_SERVIDOR.setText(s.host);
    E_EMAIL_PORTA.setText(std::to_string(s.port));
    RG_EMAIL_SEGURANCA.setItemIndex(static_cast<int>(s.security));
    E_EMAIL_USUARIO.setText(s.user);
    E_EMAIL_SENHA.setText("");
    LA_EMAIL_SENHA.setCaption(passwordLost ? kPasswordAgain : s.storedPassword.empty() ? "" : kPasswordKept);
    E_EMAIL_REMETENTE.setText(s.sender);
    E_EMAIL_DESTINO.setText(s.recipients);
    E_EMAIL_PREFIXO.setText(s.subjectPrefix);
    CB_EMAIL_FALHA.setChecked(s.onFailure);
    CB_EMAIL_RELATORIO.setChecked(s.dailyReport);
    E_EMAIL_HORA.setText(s.reportHour);
    CB_EMAIL_ALERTA.setChecked(s.staleAlarm);
}

settings::MailSettings MailDesk::fromPage() const {
    settings::MailSettings s = current_;
    s.host = trim(E_EMAIL_SERVIDOR.text());
    try {
        s.port = toInt(trim(E_EMAIL_PORTA.text()));
    } catch (const std::exception&) {
    }
    const int security = RG_EMAIL_SEGURANCA.itemIndex();
    if (security >= 0 && security <= 2) s.security = static_cast<platform::MailSecurity>(security);
    s.user = trim(E_EMAIL_USUARIO.text());
    s.sender = trim(E_EMAIL_REMETENTE.text());
    s.recipients = trim(E_EMAIL_DESTINO.text());
    s.subjectPrefix = E_EMAIL_PREFIXO.text();
    s.onFailure = CB_EMAIL_FALHA.checked();
    s.dailyReport = CB_EMAIL_RELATORIO.checked();
    s.reportHour = trim(E_EMAIL_HORA.text());
    s.staleAlarm = CB_EMAIL_ALERTA.checked();
    return s;
}

void MailDesk::save() {
    settings::MailSettings s = fromPage();
    if (!E_EMAIL_SENHA.text().empty()) {
        s.storedPassword = platform::secrets().protect(E_EMAIL_SENHA.text());
        // Never the clear text in a file: a password the system cannot protect is not kept.
        if (s.storedPassword.empty()) balloon_("TARVEX: e-mail", "A senha não pôde ser protegida e não foi gravada.");
    }
    settings::writeMailSettings(folder_, s, [this](const std::string& text) { balloon_("TARVEX: e-mail", text); });
    read();
}

mail::Origin MailDesk::origin() const {
    return {platform::computerName(), folder_, current_.subjectPrefix};
}

void MailDesk::queue(const mail::Letter& letter) {
    if (!outbox_ || !current_.ready()) return;
    const LocalTime t = platform::clock().now();
    static int serial = 0;
    const std::string id = std::to_string(t.year) + zeroPad(t.month, 2) + zeroPad(t.day, 2) + zeroPad(t.hour, 2) +
                           zeroPad(t.minute, 2) + zeroPad(t.second, 2) + "." + std::to_string(++serial) + "." +
                           platform::computerName() + "@tarvex";
    // What a command echoed may hold a password: none leaves the office.
    const mail::Letter masked{letter.kind, maskSecrets(letter.subject), maskSecrets(letter.body)};
    mail::Queued q{"", letter.kind, current_.sender, current_.recipientList(), masked.subject, ""};
    q.message = mail::composeMessage(masked, q.from, q.to, t, id);
    std::vector<std::string> dropped;
    if (!outbox_->put(q, dropped)) {
        log_.logNow(0, "MAIL", "Não gravado na caixa de saída " + outbox_->folder() + ": " + masked.subject);
        return;
    }
    for (const auto& name : dropped)
        log_.logNow(0, "MAIL", "Caixa de saída cheia: relatório antigo descartado (" + name + ")");
    sender_->wake();
}

void MailDesk::runFailed(const std::string& task, const std::string& name, const std::string& reason,
                         const std::vector<std::string>& lines, bool output) {
    if (!current_.onFailure || !current_.ready()) return;
    // The run is in the history already: more than it failing today is a retry.
    if (streakNow(folder_, name).failuresToday > 1) return;
    queue(mail::failureLetter(origin(), task, nowText(), reason, lines, output));
}

void MailDesk::runSucceeded(const std::string& task, const std::string& name) {
    if (!current_.onFailure || !current_.ready()) return;
    // Not in the history yet: its last run there is the one before.
    if (streakNow(folder_, name).lastFailed) queue(mail::recoveredLetter(origin(), task, nowText()));
}

void MailDesk::lateTasks(const std::vector<std::string>& late) {
    late_ = late;
    const std::string today = todayText();
    if (late.empty() || !current_.staleAlarm || alarmDay_ == today) return;
    alarmDay_ = today;
    queue(mail::alarmLetter(origin(), late));
}

std::string MailDesk::reportDayFile() const { return outbox_ ? outbox_->folder() + "RELATORIO.TXT" : ""; }

void MailDesk::report(const std::string& day) {
    std::vector<mail::DayRow> rows = mail::dayRows(table_, logTail(log_.path()), day, hourNow());
    mail::addSizes(rows, folder_, day);
    const std::optional<Date> date = readDate(day);
    queue(mail::reportLetter(origin(), day, rows, late_, date ? log::sizeJumpsOn(folder_, *date) : std::vector<std::string>{}));
    if (!platform::dirExists(outbox_->folder())) platform::createDir(outbox_->folder().substr(0, outbox_->folder().size() - 1));
    platform::replaceFile(reportDayFile(), day);
    reportedDay_ = day;
}

void MailDesk::tick() {
    if (!sender_) return;
    for (const mail::SendEvent& e : sender_->takeEvents()) logEvent(e);
    if (!current_.dailyReport || !current_.ready() || hourNow() < current_.reportHour) return;
    const std::string today = todayText();
    if (reportedDay_.empty()) reportedDay_ = platform::readFile(reportDayFile()).value_or("-");
    if (reportedDay_ != today) report(today);
}

void MailDesk::logEvent(const mail::SendEvent& e) {
    using Kind = mail::SendEvent::Kind;
    const std::string plain = platform::mailFaultText(e.result);
    if (e.kind == Kind::Test) {
        LA_EMAIL_TESTE.setCaption(plain);
        log_.logNow(0, "MAIL", "Teste para " + e.recipients + ": " + plain + " " + e.result.detail);
    } else if (e.kind == Kind::Sent) {
        log_.logNow(0, "MAIL", "Enviado para " + e.recipients + ": " + e.subject);
    } else {
        log_.logNow(0, "MAIL", "Não enviado, guardado na caixa de saída para " + e.recipients + ": " + e.subject +
                                   " - " + plain + " " + e.result.detail);
        balloon_("TARVEX: e-mail não enviado", plain + " A mensagem fica na caixa de saída e será reenviada.");
    }
}

void MailDesk::testClicked() {
    const settings::MailSettings s = fromPage();
    std::optional<std::string> password = E_EMAIL_SENHA.text();
    if (password->empty() && !s.storedPassword.empty()) password = platform::secrets().unprotect(s.storedPassword);
    if (!password) return LA_EMAIL_TESTE.setCaption("Digite a senha novamente.");
    if (!s.ready()) return LA_EMAIL_TESTE.setCaption("Preencha o servidor, o remetente e os destinatários.");
    mail::Origin o{platform::computerName(), folder_, s.subjectPrefix};
    const mail::Letter letter = mail::testLetter(o, nowText());
    const std::vector<std::string> to = s.recipientList();
    const std::string message = mail::composeMessage(letter, s.sender, to, platform::clock().now(), "teste@tarvex");
    if (sender_->sendTest(settings::mailServer(s, *password), {s.sender, to, message}))
        LA_EMAIL_TESTE.setCaption("Enviando...");
}

}  // namespace tarvex::app
