// The installer's platform on Windows: the folder dialog, file copies and renames, message
// boxes and the shell automation object (the desktop's own when the installer is elevated).
#pragma once

#include <functional>

#include "common/win32/window.h"
#include "installer/install_sequence.h"

namespace vorta::setup {

class Win32InstallPlatform final : public InstallPlatform {
  public:
    // The folder dialog and the message boxes are owned by `owner` (its window as it is when
    // they show); `processPendingEvents` is the window's pass over its waiting events.
    Win32InstallPlatform(const vorta::win32::Window& owner,
                         std::function<void()> processPendingEvents);

    std::wstring PickInstallFolder() override;
    std::wstring InstallerFolder() override;
    StepResult CopyToFile(const std::wstring& source, const std::wstring& target) override;
    StepResult RenameOver(const std::wstring& from, const std::wstring& to) override;
    void RemoveFile(const std::wstring& path) override;
    void ProcessPendingEvents() override;
    void ShowMessage(const std::wstring& text) override;
    StepResult OpenDocument(const std::wstring& path) override;

  private:
    const vorta::win32::Window& owner_;
    std::function<void()> processPendingEvents_;
};

}  // namespace vorta::setup
