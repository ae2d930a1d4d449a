// The pages of the main window and the ways between them.
#include "app/tf_tarvex.h"
#include "platform/operator.h"

namespace tarvex::app {

namespace {

const char* const kHelpLines[] = {
    "[DIA] - Altera para o DIA atual",  "[MES] - Altera para o MES atual", "[ANO] - Altera para o ANO atual",
    "[SEMANA] - Dia da semana",         "[PEN] - Letra do pen drive",      "[EXT] - Extensão",
};

}  // namespace

void TF_TARVEX::designPages() {
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
    BU_FINAL_LOG.setHint("Diminuir");
    CB_VER_INICIO.setCaption("Ver Inicio");
    CB_VER_TERMINO.setCaption("Ver Término");
    GRID_LOG.fixedCols = 0;
}

void TF_TARVEX::wirePages() {
    auto on = [this](void (TF_TARVEX::*action)()) {
        return [this, action] { event([this, action] { (this->*action)(); }); };
    };
    BU_CALEND.onClick = LA_CALEND.onClick = on(&TF_TARVEX::BU_CALENDClick);
    BU_TAREFAS.onClick = LA_TAREFAS.onClick = GRID_C.onDblClick = on(&TF_TARVEX::BU_TAREFASClick);
    BU_HELP.onClick = LA_HELP.onClick = on(&TF_TARVEX::BU_HELPClick);
    BU_LOG.onClick = LA_LOG.onClick = on(&TF_TARVEX::BU_LOGClick);
    LA_PARAM.onClick = on(&TF_TARVEX::LA_PARAMClick);
    BU_PARAM_SALVA.onClick = on(&TF_TARVEX::BU_PARAM_SALVAClick);
    CB_FONTE.onClick = on(&TF_TARVEX::CB_FONTEClick);
    BU_MONTA_LOG.onClick = [this] { event([this] { logView_.BU_MONTA_LOGClick(); }); };
    BU_ZERA_LOG.onClick = [this] { event([this] { logView_.BU_ZERA_LOGClick(); }); };
    BU_FINAL_LOG.onClick = [this] { event([this] { logView_.BU_FINAL_LOGClick(); }); };
    PC_GERAL.onShow = [this](const std::string& page) { event([this, page] { pageShown(page); }); };
}

void TF_TARVEX::pageShown(const std::string& page) {
    if (page == "TS_CALEND") TS_CALENDShow();
    else if (page == "TS_LOG") TS_LOGShow();
}

// Shows its own page, or the other one when its own is already shown.
void TF_TARVEX::toggle(const char* own, const char* other) {
    showPage(PC_GERAL.active() == own ? other : own);
}

void TF_TARVEX::showPage(const std::string& page) {
    if (PC_GERAL.active() == "TS_TAREFAS" && page != "TS_TAREFAS" && !editor_.leaveRow()) return;
    PC_GERAL.show(page);
}

void TF_TARVEX::BU_CALENDClick() { toggle("TS_CALEND", "TS_TAREFAS"); }
void TF_TARVEX::BU_TAREFASClick() { toggle("TS_TAREFAS", "TS_CAPA"); }
void TF_TARVEX::BU_HELPClick() { toggle("TS_HELP", "TS_TAREFAS"); }
void TF_TARVEX::BU_LOGClick() { toggle("TS_LOG", "TS_TAREFAS"); }

void TF_TARVEX::VALDRIN1Click() { services_.shell.open(kMakerAddress, "", "", platform::SW_NORMAL_); }

}  // namespace tarvex::app
