// The operator's boxes as the executor and the agenda see them: a scheduled run
// never waits for a person, a question is answered while the schedule goes on.
#include "app/main_form.h"

#include "lib/routines.h"
#include "platform/operator.h"
#include "tasks/columns.h"

namespace tarvex::app {

using Question = tasks::ScheduleState::Question;

bool MainForm::ask(const std::string& text) { return platform::op().question("Mensagem do Sistema", text); }

void MainForm::tell(const std::string& text) { platform::op().message(platform::appTitle(), text); }

void MainForm::showMessage(const std::string& text) { platform::op().notice("Mensagem do Sistema", text); }

// A run the operator started by hand asks at once: the operator is at the PC.
// A scheduled one asks once; the task waits for the answer and runs when it is OK.
exec::ExecHost::Answer MainForm::confirmRun(tasks::TaskId task, const std::string& text) {
    if (handRun_) return ask(text) ? Answer::Yes : Answer::No;
    const std::string today = todayText();
    auto it = schedule_.questions.find(task);
    if (it == schedule_.questions.end() || it->second.day != today) {
        schedule_.questions[task] = {today, Question::Answer::Open, 0};
        const int box = platform::op().askLater("Mensagem do Sistema", text, [this, task, today](bool ok) {
            event([&] { questionAnswered(task, today, ok); });
        });
        it = schedule_.questions.find(task);
        if (it == schedule_.questions.end()) return Answer::No;
        it->second.box = box;
    }
    switch (it->second.answer) {
    case Question::Answer::Yes:
        schedule_.questions.erase(it);   // one answer, one run
        return Answer::Yes;
    case Question::Answer::No: return Answer::No;
    case Question::Answer::Open: break;
    }
    return Answer::Later;
}

void MainForm::questionAnswered(tasks::TaskId task, const std::string& day, bool ok) {
    auto it = schedule_.questions.find(task);
    if (it == schedule_.questions.end() || it->second.day != day || it->second.answer != Question::Answer::Open)
        return;
    it->second.answer = ok ? Question::Answer::Yes : Question::Answer::No;
    // An answer that came during a run is taken up by the agenda after it.
    if (!schedule_.running && !schedule_.stopped) agenda_.compute();
}

// A question nobody answered on its day: logged as not confirmed, taken off the screen.
void MainForm::questionsOfPastDays() {
    const std::string today = todayText();
    for (auto it = schedule_.questions.begin(); it != schedule_.questions.end();) {
        if (it->second.day == today) {
            ++it;
            continue;
        }
        if (it->second.answer == Question::Answer::Open) {
            platform::op().withdraw(it->second.box);
            executor_.notConfirmed(it->first);
        }
        it = schedule_.questions.erase(it);
    }
}

std::string MainForm::nextTaskLost() const {
    const int row = table_.rowOf(schedule_.armed);
    if (row < 1 || schedule_.nextHour.empty()) return "";
    return "A tarefa " + zeroPad(row, 2) + " - " + trim(table_.cell(col::NOME, row)) + " das " + schedule_.nextHour +
           " não será executada.";
}

}  // namespace tarvex::app
