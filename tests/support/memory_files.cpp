#include "tests/support/memory_files.h"

namespace vorta::testing {

using assistant::FileResult;
using assistant::FileStatus;

FileResult MemoryFiles::ReadWhole(const std::wstring& path, std::string& bytes) {
    steps.push_back("read");
    if (failing.count("read")) return failing["read"];
    auto it = files.find(path);
    if (it == files.end()) return {FileStatus::kMissing, 2, {}};
    bytes = it->second;
    return {};
}

FileResult MemoryFiles::WriteNew(const std::wstring& path, std::string_view bytes) {
    const std::string step = path.ends_with(L".bak") ? "backup" : "write";
    steps.push_back(step);
    if (readOnlyFolder) return {FileStatus::kAccessDenied, 5, L"アクセスが拒否されました。"};
    if (failing.count(step)) {
        files[path] = std::string(bytes.substr(0, bytes.size() / 2));  // the disk filled
        return failing[step];
    }
    files[path] = std::string(bytes);
    readOnly.erase(path);  // a left file's attributes are cleared
    return {};
}

FileResult MemoryFiles::Rename(const std::wstring& from, const std::wstring& to) {
    steps.push_back("rename");
    if (readOnlyFolder) return {FileStatus::kAccessDenied, 5, {}};
    if (failing.count("rename")) return failing["rename"];
    if (readOnly.count(to)) return {FileStatus::kReadOnly, 5, L"アクセスが拒否されました。"};
    files[to] = files.at(from);
    files.erase(from);
    return {};
}

void MemoryFiles::Remove(const std::wstring& path) {
    steps.push_back("remove");
    files.erase(path);
}

}  // namespace vorta::testing
