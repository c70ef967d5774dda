#include "launcher/paths.h"

namespace vorta {

std::wstring AppFolderOf(const std::wstring& applicationPath) {
    if (!applicationPath.empty() && applicationPath.back() == L'\\') return applicationPath;
    return applicationPath + L'\\';
}

std::wstring BaseNameOf(std::wstring path) {
    for (;;) {
        std::size_t at = path.find(L'\\');
        if (at == std::wstring::npos) at = path.find(L':');
        if (at == std::wstring::npos) break;
        path.erase(0, at + 1);
    }
    std::size_t dot = path.find(L'.');
    if (dot != std::wstring::npos) path.resize(dot);
    return path;
}

}  // namespace vorta
