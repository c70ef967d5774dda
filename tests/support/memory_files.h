// The settings assistant's file operations in memory, over a map of path to bytes (a
// FakePlatform's files, so that the launcher's reader reads what was saved). A folder
// that cannot be written refuses every write; single steps can be made to fail with a
// given result; read-only files refuse to be replaced by a rename, as Windows' do.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/assistant/lumset_file.h"

namespace vorta::testing {

class MemoryFiles : public assistant::SettingsFileSystem {
  public:
    explicit MemoryFiles(std::map<std::wstring, std::string>& store) : files(store) {}

    std::map<std::wstring, std::string>& files;
    std::set<std::wstring> readOnly;
    bool readOnlyFolder = false;
    // "read", "write", "backup", "rename": a write that fails leaves half its bytes.
    std::map<std::string, assistant::FileResult> failing;
    std::vector<std::string> steps;

    assistant::FileResult ReadWhole(const std::wstring& path, std::string& bytes) override;
    assistant::FileResult WriteNew(const std::wstring& path, std::string_view bytes) override;
    assistant::FileResult Rename(const std::wstring& from, const std::wstring& to) override;
    void Remove(const std::wstring& path) override;
};

}  // namespace vorta::testing
