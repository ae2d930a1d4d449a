#include "app/settings_page.h"

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

SettingsPage::SettingsPage(SettingsControls controls, const std::string& folder, platform::Registry& registry,
                           const std::string& exePath, Tell tellAtStart, Tell tell)
    : c_(controls), folder_(folder), registry_(registry), exePath_(exePath), tellAtStart_(std::move(tellAtStart)),
      tell_(std::move(tell)) {}

void SettingsPage::design() {
    designList(c_.CB_FONTE, settings::kCalendarFontList);
    designList(c_.CB_FONTEXT, settings::kTextFontSizeList);
    designList(c_.CB_FONTNAME, settings::kFontNameList);
    c_.CB_AUTORUN.setCaption(settings::kAutorunCaption);
    designGroup(c_.startModeList, settings::kStartModeCaption, settings::kStartModeOptions);
    designGroup(c_.startPageList, settings::kStartPageCaption, settings::kStartPageOptions);
    c_.BU_PARAM_SALVA.setCaption(settings::kSaveCaption);
    c_.BU_PARAM_SALVA.setHint(settings::kSaveHint);
}

settings::Settings SettingsPage::fromPage() const {
    settings::Settings s;
    const ui::Window::Rect& r = c_.window.normalBounds();
    s.top = r.top, s.left = r.left, s.width = r.width, s.height = r.height;
    s.calendarFontSize = c_.CALEND.fontSize();
    s.textFontSize = c_.CB_FONTEXT.text();
    s.fontName = c_.CB_FONTNAME.text();
    s.autorun = c_.CB_AUTORUN.checked();
    s.startMode = c_.startModeList.itemIndex();
    s.startPage = c_.startPageList.itemIndex();
    s.showStart = c_.CB_VER_INICIO.checked();
    s.showClose = c_.CB_VER_TERMINO.checked();
    // Empty or not a number: the default, as the file would read it.
    try {
        if (!trim(c_.E_TEMPO_LIMITE.text()).empty()) s.timeLimitMinutes = toInt(trim(c_.E_TEMPO_LIMITE.text()));
    } catch (const ConvertError&) {
    }
    try {
        if (c_.E_LOG_MAXIMO && !trim(c_.E_LOG_MAXIMO->text()).empty())
            s.logMaxMegabytes = toInt(trim(c_.E_LOG_MAXIMO->text()));
    } catch (const ConvertError&) {
    }
    return s;
}

void SettingsPage::show(const settings::Settings& s) {
    current_ = s;
    c_.CB_FONTEXT.setText(s.textFontSize);
    c_.CB_FONTNAME.setText(s.fontName);
    c_.CB_AUTORUN.setChecked(s.autorun);
    c_.startModeList.setItemIndex(s.startMode);
    c_.startPageList.setItemIndex(s.startPage);
    c_.CB_VER_INICIO.setChecked(s.showStart);
    c_.CB_VER_TERMINO.setChecked(s.showClose);
    c_.E_TEMPO_LIMITE.setText(std::to_string(s.timeLimitMinutes));
    if (c_.E_LOG_MAXIMO) c_.E_LOG_MAXIMO->setText(std::to_string(s.logMaxMegabytes));
    c_.CALEND.setFontSize(s.calendarFontSize);
    c_.CB_FONTE.setText(std::to_string(s.calendarFontSize));
    c_.window.setNormalBounds({s.top, s.left, s.width, s.height});
    if (onRead) onRead(s);
}

// The settings file holds the record already limited; a field that does not
// convert has taken its default there. A damaged file is told with start-up's news.
void SettingsPage::read() { show(settings::readSettings(folder_, registry_, exePath_, tellAtStart_)); }

void SettingsPage::save() {
    settings::storeSettings(folder_, fromPage(), registry_, exePath_, tell_);
    read();
}

void SettingsPage::fontSizeClicked() {
    try {
        c_.CALEND.setFontSize(toInt(c_.CB_FONTE.text()));
    } catch (const ConvertError&) {
    }
}

}  // namespace tarvex::app
