// The program's entry: the main window over the TARVEX model, then the message loop.
#include "win32/main_window.h"

#include "platform/files.h"
#include "platform/operator.h"
#include "win32/callback_guard.h"
#include "win32/mailer_curl.h"
#include "win32/uploader_curl.h"
#include "win32/output_relay.h"
#include "win32/secrets_dpapi.h"
#include "win32/services_win32.h"
#include "win32/single_instance.h"

namespace {

void initControls() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
}

// A later start in the same folder asked for the window: back from the
// notification area or the taskbar, and in front.
void bringForward(tarvex::app::MainForm& form, HWND main) {
    if ((!IsWindowVisible(main) || IsIconic(main)) && form.TrayIcon1.onClick) form.TrayIcon1.onClick();
    SetForegroundWindow(main);
}

// Runs until the main window is gone. A run that asked to end the program (a
// power task) closes the window without asking, once back in the loop.
void dispatch(tarvex::app::MainForm& form, tarvex::win32::MainWindow& window, MSG& msg) {
    HWND main = window.hwnd();
    if (main && msg.hwnd == main && msg.message == tarvex::win32::SingleInstance::showMessage()) {
        bringForward(form, main);
        return;
    }
    // Tab and Enter move between the fields of every page.
    if (!main || !IsDialogMessageW(main, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (form.quitRequested() && window.hwnd()) DestroyWindow(window.hwnd());
}

int messageLoop(tarvex::app::MainForm& form, tarvex::win32::MainWindow& window) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) tarvex::win32::guarded([&] { dispatch(form, window, msg); });
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tarvex;
    // A batch's console relay is this program too, and does nothing else.
    if (const std::optional<int> status = win32::runAsRelay()) return *status;
    win32::enableRelay();
    win32::SingleInstance instance(platform::exeFolder());
    if (!instance.first() && instance.refusal().empty()) {
        instance.bringForward(10000);
        return 0;
    }
    app::programEntry();
    initControls();
    win32::Win32Operator op;
    platform::setOperator(&op);
    if (!instance.refusal().empty()) {   // no claim, so no task may run
        op.error(instance.refusal());
        platform::setOperator(nullptr);
        return 1;
    }
    win32::Win32Services system;
    // Before the sender's thread exists: libcurl's set-up may not be thread-safe.
    win32::CurlMailer mailer;
    platform::setMailer(&mailer);
    win32::CurlUploader uploader;
    platform::setUploader(&uploader);
    platform::setSecrets(&win32::dpapiSecrets());

    app::MainForm form(app::Wiring{system.services, platform::exeFolder(), platform::exePath()});
    form.F_TARVEX.hide();  // nothing shows until start-up has chosen how to open
    win32::MainWindow window(form);
    op.setOwner(reinterpret_cast<std::uintptr_t>(window.hwnd()));
    instance.publish(window.hwnd());

    // A fault Windows' frames must not see is logged like a task's failure.
    win32::setFaultLog([&form](const std::string& text) { form.log().logNow(0, "ERR", text); });
    // Start-up runs whole before the first message, so no timer fires during it.
    win32::guarded([&] { form.startUp(); });
    PostMessageW(window.hwnd(), win32::WM_TARVEX_WINDOW_UP, 0, 0);

    int code = messageLoop(form, window);
    win32::setFaultLog(nullptr);
    platform::setOperator(nullptr);
    return code;
}
