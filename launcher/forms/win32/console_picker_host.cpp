#include "launcher/forms/win32/console_picker_host.h"

#include "launcher/startup.h"

namespace vorta::forms::win32 {

ConsolePickerHost::ConsolePickerHost(Platform& platform, ConsolePlatform& console,
                                     LauncherState& state, HINSTANCE instance)
    : platform_(platform), console_(console), state_(state), instance_(instance) {}

frmMain& ConsolePickerHost::Form() {
    if (!form_) {
        // Set before loading: the load step's own search touches the window's list
        // directly, and any later touch finds the window already there.
        form_ = std::make_unique<frmMain>(platform_, console_, state_, instance_);
        form_->Load();
    }
    return *form_;
}

PickerList& ConsolePickerHost::cmbFileName() {
    frmMain& form = Form();
    if (!form.IsOpen()) return fallback_;
    return form.PickerListControl();
}

int RunMessageLoop(frmMain& form) {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.IsOpen() && ::IsDialogMessageW(form.hwnd(), &message)) continue;
        frmSettingsAssistant& assistant = form.SettingsAssistant();
        if (assistant.IsOpen() && ::IsDialogMessageW(assistant.hwnd(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

int ShowConsoleUntilClosed(Platform& platform, ConsolePickerHost& host, LauncherState& state) {
    state.AppFolder = AppFolderOf(platform.ApplicationPath());
    state.settings = LoadLauncherSettings(platform, state.AppFolder);
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
