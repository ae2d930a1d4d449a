#pragma once
// The settings page: the settings record shown in its controls, read from and
// saved to the settings file and the logon auto-start value.
#include <functional>
#include <string>

#include "platform/services.h"
#include "settings/settings.h"
#include "ui/controls.h"

namespace tarvex::app {

struct SettingsControls {
    ui::ComboBox& CB_FONTE;        // the calendar's font size
    ui::ComboBox& CB_FONTEXT;
    ui::ComboBox& CB_FONTNAME;
    ui::CheckBox& CB_AUTORUN;
    ui::ListBox& startModeList;
    ui::ListBox& startPageList;
    ui::Button& BU_PARAM_SALVA;
    ui::Calendar& CALEND;
    ui::CheckBox& CB_VER_INICIO;   // the log page's filters are kept with the settings
    ui::CheckBox& CB_VER_TERMINO;
    ui::Edit& E_TEMPO_LIMITE;      // minutes a run may take
    ui::Window& window;            // its normal rectangle is kept too
    ui::Edit* E_LOG_MAXIMO = nullptr;   // megabytes the log grows to before older months move out
};

class SettingsPage {
public:
    using Tell = std::function<void(const std::string&)>;
    // `tellAtStart`: news found while reading (shown once the window is up);
    // `tell`: what a save finds.
    SettingsPage(SettingsControls controls, const std::string& folder, platform::Registry& registry,
                 const std::string& exePath, Tell tellAtStart, Tell tell);

    void design();
    // The file read and shown on the page.
    void read();
    // Written as the page stands, then read back, so the page shows what a start would.
    void save();
    // A size that does not convert leaves the calendar as it was.
    void fontSizeClicked();
    // The settings as last read: the editor's memo font comes from them.
    const settings::Settings& current() const { return current_; }
    // Told each time the record is read and shown.
    std::function<void(const settings::Settings&)> onRead;

private:
    settings::Settings fromPage() const;
    void show(const settings::Settings& s);

    SettingsControls c_;
    const std::string& folder_;
    platform::Registry& registry_;
    std::string exePath_;
    Tell tellAtStart_, tell_;
    settings::Settings current_;
};

}  // namespace tarvex::app
