// The installer's platform on Windows: the folder dialog, file copies and renames, message
// boxes and the shell automation object (the desktop's own when the installer is elevated).
#pragma once

#include "installer/install_sequence.h"

namespace vortasetup {

class Win32InstallPlatform final : public InstallPlatform {
  public:
    std::wstring PickInstallFolder() override;
    std::wstring InstallerFolder() override;
    StepResult CopyToFile(const std::wstring& source, const std::wstring& target) override;
    StepResult RenameOver(const std::wstring& from, const std::wstring& to) override;
    void RemoveFile(const std::wstring& path) override;
    void ProcessPendingEvents() override;
    void ShowMessage(const std::wstring& text) override;
    StepResult OpenDocument(const std::wstring& path) override;
};

}  // namespace vortasetup
