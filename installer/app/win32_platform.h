// The installer's platform on Windows: the folder dialog, file copies, message boxes and
// the shell automation object.
#pragma once

#include "installer/install_sequence.h"

namespace vortasetup {

class Win32InstallPlatform final : public InstallPlatform {
  public:
    std::wstring PickInstallFolder() override;
    std::wstring InstallerFolder() override;
    StepResult CopyOneFile(const std::wstring& source, const std::wstring& destination) override;
    void ProcessPendingEvents() override;
    void ShowMessage(const std::wstring& text) override;
    StepResult OpenDocument(const std::wstring& path) override;
};

}  // namespace vortasetup
