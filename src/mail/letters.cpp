#include "mail/letters.h"

#include <cstdint>
#include <map>
#include <optional>

#include "lib/datetime.h"
#include "lib/routines.h"
#include "log/run_history.h"
#include "tasks/columns.h"

namespace tarvex::mail {

namespace {

std::string subject(const Origin& o, const std::string& text) {
    const std::string prefix = trim(o.prefix);
    return (prefix.empty() ? "" : prefix + " ") + text + " - " + o.pc;
}

const char* const kLastLine = "Pasta do TARVEX: ";

std::string signature(const Origin& o) {
    return "\n--\nComputador: " + o.pc + "\n" + kLastLine + o.folder + "\n";
}

std::string staleText(const std::vector<std::string>& stale) {
    if (stale.empty()) return "Nenhuma tarefa de cópia está atrasada.\n";
    std::string text = "Cópias atrasadas:\n";
    for (const auto& s : stale) text += "  " + s + "\n";
    return text;
}

// Field n (from 1) of a "#"-ended log line.
std::string logField(const std::string& line, int n) {
    size_t from = 0;
    for (int i = 1; i < n; ++i) {
        from = line.find('#', from);
        if (from == std::string::npos) return {};
        ++from;
    }
    const size_t end = line.find('#', from);
    return end == std::string::npos ? std::string() : line.substr(from, end - from);
}

}  // namespace

Letter failureLetter(const Origin& o, const std::string& task, const std::string& when, const std::string& reason,
                     const std::vector<std::string>& lines, bool output) {
    Letter l{'F', subject(o, "FALHA na tarefa " + task), ""};
    l.body = "A tarefa " + task + " falhou.\n\nQuando: " + when + "\nMotivo: " + reason + "\n";
    if (!lines.empty()) {
        l.body += output ? "\nÚltimas linhas escritas pelo comando:\n" : "\nÚltimas linhas do arquivo de comandos:\n";
        for (const auto& line : lines) l.body += "  " + line + "\n";
    }
    l.body += signature(o);
    return l;
}

Letter recoveredLetter(const Origin& o, const std::string& task, const std::string& when) {
    Letter l{'F', subject(o, "Tarefa " + task + " voltou a funcionar"), ""};
    l.body = "A tarefa " + task + " voltou a funcionar: executou sem erro.\n\nQuando: " + when + "\n" + signature(o);
    return l;
}

bool letterWhole(const std::string& body) {
    if (body.size() < 2 || body.compare(body.size() - 2, 2, "\r\n") != 0) return false;
    const size_t start = body.rfind("\r\n", body.size() - 3);
    const size_t last = start == std::string::npos ? 0 : start + 2;
    return body.compare(last, std::string(kLastLine).size(), kLastLine) == 0;
}

Letter reportLetter(const Origin& o, const std::string& day, const std::vector<DayRow>& rows,
                    const std::vector<std::string>& stale, const std::vector<std::string>& jumps) {
    int errors = 0, missed = 0, coming = 0;
    for (const auto& r : rows) {
        errors += r.status == "ERRO";
        missed += r.status == "não rodou";
        coming += r.status == "pendente";
    }
    const std::string summary = errors   ? std::to_string(errors) + " com ERRO"
                                : missed ? std::to_string(missed) + " não rodaram"
                                : coming ? "tudo OK até agora, " + std::to_string(coming) + " pendente" + (coming > 1 ? "s" : "")
                                         : "tudo OK";
    Letter l{'R', subject(o, "Relatório do dia " + day + ": " + summary), ""};
    l.body = "Tarefas do dia " + day + ":\n\n";
    if (rows.empty()) l.body += "  Nenhuma tarefa para hoje.\n";
    for (const auto& r : rows) {
        l.body += "  " + r.hour + "  " + r.task + "  " + r.status;
        if (!r.duration.empty()) l.body += "  (duração " + r.duration + ")";
        if (!r.size.empty()) l.body += "  " + r.size;
        if (!r.detail.empty()) l.body += ": " + r.detail;
        l.body += "\n";
    }
    if (!jumps.empty()) {
        l.body += "\nTamanho fora do comum:\n";
        for (const std::string& j : jumps) l.body += "  " + j + "\n";
    }
    l.body += "\n" + staleText(stale) + signature(o);
    return l;
}

void addSizes(std::vector<DayRow>& rows, const std::string& folder, const std::string& day) {
    const std::optional<Date> date = readDate(day);
    if (!date) return;
    std::map<std::string, std::int64_t> sizes;   // by name: the day's last run that knows its size
    for (const log::RunRecord& run : log::loadRuns(folder, *date))
        if (run.day == *date && run.bytes >= 0) sizes[run.name] = run.bytes;
    for (DayRow& r : rows) {
        const std::size_t dash = r.task.find(" - ");
        const auto it = sizes.find(dash == std::string::npos ? r.task : r.task.substr(dash + 3));
        if (it != sizes.end() && (r.status == "OK" || r.status == "ERRO")) r.size = log::sizeText(it->second);
    }
}

Letter alarmLetter(const Origin& o, const std::vector<std::string>& stale) {
    Letter l{'A', subject(o, "ALERTA: cópia atrasada"), ""};
    l.body = staleText(stale) + signature(o);
    return l;
}

Letter testLetter(const Origin& o, const std::string& when) {
    Letter l{'T', subject(o, "E-mail de teste"), ""};
    l.body = "Este é um e-mail de teste do TARVEX, enviado em " + when + ".\n" + signature(o);
    return l;
}

std::vector<DayRow> dayRows(const tasks::TaskTable& table, const std::string& logBytes, const std::string& day,
                            const std::string& hourNow) {
    // The day's last result of each row, from the log: code, duration, reason.
    struct Result { std::string code, duration, reason; };
    std::map<int, Result> results;
    for (const std::string& line : textLines(logBytes)) {
        if (line.compare(0, 8, day) != 0) continue;
        const std::string code = logField(line, 3);
        if (code != "EXE" && code != "ERR") continue;
        int item = 0;
        try {
            item = toInt(trim(logField(line, 2)));
        } catch (const std::exception&) {
            continue;
        }
        results[item] = {code, logField(line, 7), logField(line, 10)};
    }
    std::vector<DayRow> rows;
    for (int row = 1; row < table.rowCount(); ++row) {
        const auto it = results.find(row);
        const bool ranToday = table.cell(col::ULTIMA_EXEC, row).compare(0, 8, day) == 0;
        if (table.cell(col::SN_EXE, row) != "S" && !ranToday && it == results.end()) continue;
        DayRow r{zeroPad(row, 2) + " - " + trim(table.cell(col::NOME, row)), trim(table.cell(col::HORA, row)),
                 "não rodou", "", "", ""};
        if (it != results.end()) {
            r.status = it->second.code == "EXE" ? "OK" : "ERRO";
            r.duration = it->second.duration;
            if (it->second.code == "ERR") r.detail = trim(it->second.reason);
        } else if (ranToday) {
            r.status = "OK";
        } else if (!hourNow.empty() && r.hour > hourNow) {
            r.status = "pendente";
        }
        rows.push_back(r);
    }
    return rows;
}

}  // namespace tarvex::mail
