#include "launcher/forms/win32/console_picker_host.h"

#include "common/win32/message_loop.h"
#include "launcher/app_title.h"
#include "launcher/settings.h"

namespace vorta::forms::win32 {

ConsolePickerHost::ConsolePickerHost(Platform& platform, ConsolePlatform& console,
                                     LauncherState& state, HINSTANCE instance)
    : platform_(platform), console_(console), state_(state), instance_(instance) {}

frmMain& ConsolePickerHost::Form() {
    if (!form_) {
        // Set before loading: the load step's own search touches the window's list
        // directly, and any later touch finds the window already there.
        form_ =
            std::make_unique<vorta::win32::Owned<frmMain>>(platform_, console_, state_, instance_);
        form_->Load();
    }
    return *form_;
}

std::optional<DiscoverySnapshots> ConsolePickerHost::LoadOwner() {
    if (form_) return std::nullopt;
    return Form().Commands().TakeSearchSnapshots();
}

PickerList& ConsolePickerHost::cmbFileName() {
    frmMain& form = Form();
    if (!form.IsOpen()) return fallback_;
    return form.PickerListControl();
}

int RunMessageLoop(frmMain& form) {
    return vorta::win32::RunMessageLoop([&form](MSG& message) {
        return vorta::win32::RouteToDialog(form.hwnd(), message) ||
               vorta::win32::RouteToDialog(form.SettingsAssistant().hwnd(), message);
    });
}

int ShowConsoleUntilClosed(Platform& platform, ConsolePickerHost& host, LauncherState& state) {
    LoadStateSettings(platform, state);
    frmMain& form = host.Form();
    if (!form.IsOpen()) {
        platform.MessageBox(L"コンソール ウィンドウを開けませんでした。", kAppTitle);
        return 1;
    }
    form.onClosed = [] { ::PostQuitMessage(0); };
    form.ShowCentred();
    return RunMessageLoop(form);
}

}  // namespace vorta::forms::win32
