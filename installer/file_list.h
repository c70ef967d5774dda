// The files the installer copies, in copy order. Each name starts with a backslash and is
// appended unchanged to a folder path.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vorta::setup {

inline constexpr std::array<std::wstring_view, 10> InstallFileList = {
    L"\\vta_connect.exe",                  // companion program (CAD side)
    L"\\tardo.dat",                        // the launcher's pause file
    L"\\pontek.dcl",                       // dialog definition (CAD side)
    L"\\pontek.lsp",                       // LISP routine the launcher loads (CAD side)
    L"\\vorta_install_dir.lsp",            // LISP file (CAD side)
    L"\\lumset.ini",                       // the launcher's settings file
    L"\\vortastart.exe",                   // the launcher
    L"\\vortastart.lsp",                   // LISP file (CAD side)
    L"\\IJCAD-ヴォルタ_インストール.pdf",  // IJCAD installation guide, opened at the end
    L"\\ヴォルタ.pdf",                     // the product's own document
};

// The guide that is opened from the destination folder once everything is copied.
inline constexpr std::wstring_view kGuideName = L"\\IJCAD-ヴォルタ_インストール.pdf";

// Plain concatenation: no separator is added or removed, nothing is normalised, so a drive
// root ("C:\") gives two backslashes in a row.
inline std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    path += name;
    return path;
}

// The folder dialog's buffer holds the path up to its first NUL; a buffer without any NUL
// counts as no path at all.
inline std::wstring TextBeforeFirstNul(std::wstring_view buffer) {
    const auto nul = buffer.find(L'\0');
    if (nul == std::wstring_view::npos) return {};
    return std::wstring(buffer.substr(0, nul));
}

}  // namespace vorta::setup
