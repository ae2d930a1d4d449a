// The pages of the main window and the ways between them.
#include "app/main_form.h"
#include "lib/routines.h"
#include "platform/operator.h"
#include "tasks/columns.h"

namespace tarvex::app {

namespace {

const char* const kHelpLines[] = {
    "[DIA] - Altera para o DIA atual",  "[MES] - Altera para o MES atual", "[ANO] - Altera para o ANO atual",
    "[SEMANA] - Dia da semana",         "[PEN] - Letra do pen drive",      "[EXT] - Extensão",
};

}  // namespace

void MainForm::designPages() {
    for (const char* page : {"TS_CALEND", "TS_TAREFAS", "TS_PARAM", "TS_SISTEMA", "TS_HELP", "TS_CAPA", "TS_LOG"})
        PC_GERAL.addPage(page);
    BU_LOG.setCaption("LOG");
    BU_CALEND.setCaption("Calend");
    BU_CALEND.setHint("Calendário");
    BU_TAREFAS.setCaption("Tarefas");
    BU_TAREFAS.setHint("Todas as tarefas");
    BU_HELP.setCaption("Help");
    BU_HELP.setHint("Help");
    LA_LOG.setCaption("Log");
    LA_CALEND.setCaption("Calendário");
    LA_TAREFAS.setCaption("Tarefas ");
    LA_HELP.setCaption("HELP");
    LA_PARAM.setCaption("Parâmetros");
    E_HELP.setLines(std::vector<std::string>(std::begin(kHelpLines), std::end(kHelpLines)));
    E_HELP.setReadOnly(true);
    BU_MONTA_LOG.setCaption("Montar");
    BU_MONTA_LOG.setHint("Monta Grid");
    BU_ZERA_LOG.setCaption("Zerar Log");
    BU_ZERA_LOG.setHint("Exclui o LOG");
    BU_FINAL_LOG.setCaption("Vai para o Final");
    BU_FINAL_LOG.setHint("Mostra as últimas linhas do log");
    CB_VER_INICIO.setCaption("Ver Inicio");
    CB_VER_TERMINO.setCaption("Ver Término");
    GRID_LOG.fixedCols = 0;
}

void MainForm::wirePages() {
    auto on = [this](void (MainForm::*action)()) {
        return [this, action] { event([this, action] { (this->*action)(); }); };
    };
    BU_CALEND.onClick = LA_CALEND.onClick = on(&MainForm::calendarClicked);
    BU_TAREFAS.onClick = LA_TAREFAS.onClick = GRID_C.onDblClick = on(&MainForm::tasksClicked);
    BU_HELP.onClick = LA_HELP.onClick = on(&MainForm::helpClicked);
    BU_LOG.onClick = LA_LOG.onClick = on(&MainForm::logClicked);
    LA_PARAM.onClick = on(&MainForm::settingsLinkClicked);
    BU_PARAM_SALVA.onClick = on(&MainForm::saveSettingsClicked);
    CB_FONTE.onClick = on(&MainForm::fontSizeClicked);
    BU_MONTA_LOG.onClick = [this] { event([this] { logView_.reloadLog(); }); };
    BU_ZERA_LOG.onClick = [this] { event([this] { logView_.clearLog(); }); };
    BU_FINAL_LOG.onClick = [this] { event([this] { logView_.goToEnd(); }); };
    E_LOG_MES.onChange = E_LOG_TAREFA.onChange = E_LOG_RESULTADO.onChange = [this] {
        event([this] { logView_.choiceChanged(); });
    };
    logView_.taskNames = [this] {
        std::vector<std::string> names;
        for (int row = 1; row < table_.rowCount(); ++row)
            if (std::string name = trim(std::string(table_.cell(col::NOME, row))); !name.empty()) names.push_back(name);
        return names;
    };
    PC_GERAL.onShow = [this](const std::string& page) { event([this, page] { pageShown(page); }); };
}

void MainForm::pageShown(const std::string& page) {
    if (page == "TS_CALEND") calendarShown();
    else if (page == "TS_LOG") logShown();
}

// Shows its own page, or the other one when its own is already shown.
void MainForm::toggle(const char* own, const char* other) {
    showPage(PC_GERAL.active() == own ? other : own);
}

void MainForm::showPage(const std::string& page) {
    if (PC_GERAL.active() == "TS_TAREFAS" && page != "TS_TAREFAS" && !editor_.leaveRow()) return;
    PC_GERAL.show(page);
}

void MainForm::calendarClicked() { toggle("TS_CALEND", "TS_TAREFAS"); }
void MainForm::tasksClicked() { toggle("TS_TAREFAS", "TS_CAPA"); }
void MainForm::helpClicked() { toggle("TS_HELP", "TS_TAREFAS"); }
void MainForm::logClicked() { toggle("TS_LOG", "TS_TAREFAS"); }

void MainForm::makerMenuClicked() { services_.shell.open(kMakerAddress, "", "", platform::SW_NORMAL_); }

// The settings page's actions; saving leaves the task page (or the calendar) in front.
void MainForm::readSettings() { settingsPage_.read(); }

void MainForm::saveSettingsClicked() {
    settingsPage_.save();
    mail_.save();
    PC_GERAL.show("TS_TAREFAS");
}

void MainForm::calendarShown() { settingsPage_.save(); }

void MainForm::fontSizeClicked() { settingsPage_.fontSizeClicked(); }

}  // namespace tarvex::app
