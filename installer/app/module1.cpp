#include "installer/app/module1.h"

// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include "installer/app/ansi.h"
#include "installer/app/form1.h"
#include "installer/app/raii.h"
#include "installer/file_list.h"

namespace vortasetup {

std::wstring PickInstallFolder() {
    const std::string title = ToAnsi(L"インストールするフォルダを選択してください");
    BROWSEINFOA info{};
    info.hwndOwner = Form1Handle();
    info.pidlRoot = nullptr;  // the dialog starts at the desktop
    info.pszDisplayName = nullptr;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = nullptr;
    info.lParam = 0;

    CoTaskMemory<ITEMIDLIST> list(SHBrowseForFolderA(&info));
    if (!list) return {};

    std::string buffer(MAX_PATH, '\0');
    SHGetPathFromIDListA(list.get(), buffer.data());
    list.reset();
    return TextBeforeFirstNul(FromAnsi(buffer));
}

}  // namespace vortasetup
