#include "installer/app/folder_dialog.h"

// clang-format off
#include "common/win32/win.h"
#include <shlobj.h>
// clang-format on

#include "common/win32/ansi.h"
#include "common/win32/unique.h"
#include "installer/file_list.h"

namespace vorta::setup {

// The ANSI dialog: the chosen path comes back in the system's code page.
std::wstring PickInstallFolder(HWND owner) {
    const std::string title =
        vorta::win32::WideToAnsi(L"インストールするフォルダを選択してください");
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;  // the dialog starts at the desktop
    info.pszDisplayName = nullptr;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = nullptr;
    info.lParam = 0;

    vorta::win32::CoTaskMemory<ITEMIDLIST> list(SHBrowseForFolderA(&info));
    if (!list) return {};

    std::string buffer(MAX_PATH, '\0');
    SHGetPathFromIDListA(list.get(), buffer.data());
    list.reset();
    return TextBeforeFirstNul(vorta::win32::AnsiToWide(buffer));
}

}  // namespace vorta::setup
