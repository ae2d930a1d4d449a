// The settings page: its controls copied to and from the settings record.
#include "app/main_form.h"
#include "lib/errors.h"
#include "lib/routines.h"
#include "settings/page.h"
#include "settings/settings_file.h"
#include "settings/start_options.h"

namespace tarvex::app {

namespace {

void designList(ui::ComboBox& box, const settings::EditableList& list) {
    box.items = list.items;
    box.setText(list.initialText);
}

void designGroup(ui::ListBox& group, const char* caption, const auto& options) {
    group.setHint(caption);
    group.setItems({options.begin(), options.end()});
    group.setItemIndex(0);
}

}  // namespace

void MainForm::designSettingsPage() {
    designList(CB_FONTE, settings::kCalendarFontList);
    designList(CB_FONTEXT, settings::kTextFontSizeList);
    designList(CB_FONTNAME, settings::kFontNameList);
    CB_AUTORUN.setCaption(settings::kAutorunCaption);
    designGroup(RG_INICIAR, settings::kStartModeCaption, settings::kStartModeOptions);
    designGroup(RG_TELAINI, settings::kStartPageCaption, settings::kStartPageOptions);
    BU_PARAM_SALVA.setCaption(settings::kSaveCaption);
    BU_PARAM_SALVA.setHint(settings::kSaveHint);
}

settings::Settings MainForm::pageSettings() const {
    settings::Settings s;
    const ui::Window::Rect& r = F_TARVEX.normalBounds();
    s.top = r.top, s.left = r.left, s.width = r.width, s.height = r.height;
    s.calendarFontSize = CALEND.fontSize();
    s.textFontSize = CB_FONTEXT.text();
    s.fontName = CB_FONTNAME.text();
    s.autorun = CB_AUTORUN.checked();
    s.startMode = RG_INICIAR.itemIndex();
    s.startPage = RG_TELAINI.itemIndex();
    s.showStart = CB_VER_INICIO.checked();
    s.showClose = CB_VER_TERMINO.checked();
    // Empty or not a number: the default, as the file would read it.
    try {
        if (!trim(E_TEMPO_LIMITE.text()).empty()) s.timeLimitMinutes = toInt(trim(E_TEMPO_LIMITE.text()));
    } catch (const ConvertError&) {
    }
    return s;
}

void MainForm::applySettings(const settings::Settings& s) {
    settings_ = s;
    E_DIR_PARAM.setText(store_.folder());
    CB_FONTEXT.setText(s.textFontSize);
    CB_FONTNAME.setText(s.fontName);
    CB_AUTORUN.setChecked(s.autorun);
    RG_INICIAR.setItemIndex(s.startMode);
    RG_TELAINI.setItemIndex(s.startPage);
    CB_VER_INICIO.setChecked(s.showStart);
    CB_VER_TERMINO.setChecked(s.showClose);
    E_TEMPO_LIMITE.setText(std::to_string(s.timeLimitMinutes));
    commandRunner_.setTimeLimit(s.timeLimitMinutes * 60);
    CALEND.setFontSize(s.calendarFontSize);
    CB_FONTE.setText(std::to_string(s.calendarFontSize));
    F_TARVEX.setNormalBounds({s.top, s.left, s.width, s.height});
}

// The settings file holds the record already limited; a field that does not
// convert has taken its default there.
// A damaged file is told as start-up's other news, once the window is up.
void MainForm::readSettings() {
    applySettings(settings::readSettings(store_.folder(), services_.registry, exePath_,
                                    [this](const std::string& text) { tellAgenda(text); }));
}

// Written as the page stands, then read back, so the page shows what a start would.
void MainForm::saveSettings() {
    settings::storeSettings(store_.folder(), pageSettings(), services_.registry, exePath_,
                            [this](const std::string& text) { tell(text); });
    readSettings();
}

void MainForm::saveSettingsClicked() {
    saveSettings();
    PC_GERAL.show("TS_TAREFAS");
}

// Saving leaves the calendar page in front.
void MainForm::calendarShown() { saveSettings(); }

// A size that does not convert leaves the calendar as it was.
void MainForm::fontSizeClicked() {
    try {
        CALEND.setFontSize(toInt(CB_FONTE.text()));
    } catch (const ConvertError&) {
    }
}

}  // namespace tarvex::app
