// SettingsFileSystem over Win32: whole-file reads, and writes written through to the disk
// (a left file's read-only or hidden attribute cleared first); MoveFileExW for the
// replacing rename.
#pragma once

#include "launcher/assistant/lumset_file.h"

namespace vorta::forms::win32 {

using assistant::FileResult;
using assistant::FileStatus;
using assistant::SettingsFileSystem;

class Win32SettingsFiles final : public SettingsFileSystem {
  public:
    FileResult ReadWhole(const std::wstring& path, std::string& bytes) override;
    FileResult WriteNew(const std::wstring& path, std::string_view bytes) override;
    FileResult Rename(const std::wstring& from, const std::wstring& to) override;
    void Remove(const std::wstring& path) override;
};

}  // namespace vorta::forms::win32
