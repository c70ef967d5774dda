#include "launcher/forms/win32/win32_settings_files.h"

#include "common/win32/system.h"
#include "common/win32/unique.h"

namespace vorta::forms::win32 {

namespace {

using vorta::win32::UniqueHandle;

FileResult Failure(DWORD code) {
    FileResult result;
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            result.status = FileStatus::kMissing;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD:
            result.status = FileStatus::kAccessDenied;
            break;
        default:
            result.status = FileStatus::kFailed;
            break;
    }
    result.code = code;
    result.detail = vorta::win32::SystemErrorText(code);
    return result;
}

FileResult LastFailure() {
    return Failure(::GetLastError());
}

}  // namespace

FileResult Win32SettingsFiles::ReadWhole(const std::wstring& path, std::string& bytes) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastFailure();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) return LastFailure();
    if (size.QuadPart > static_cast<LONGLONG>(kLumsetMaxBytes))
        return Failure(ERROR_FILE_TOO_LARGE);
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                        &got, nullptr))
            return LastFailure();
        if (got == 0) break;  // the file became shorter meanwhile
        done += got;
    }
    bytes.resize(done);
    return {};
}

FileResult Win32SettingsFiles::WriteNew(const std::wstring& path, std::string_view bytes) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastFailure();
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                         &written, nullptr))
            return LastFailure();
        if (written == 0) return Failure(ERROR_HANDLE_DISK_FULL);
        done += written;
    }
    if (!::FlushFileBuffers(file.get())) return LastFailure();
    return {};
}

FileResult Win32SettingsFiles::CopyOver(const std::wstring& from, const std::wstring& to) {
    if (!::CopyFileW(from.c_str(), to.c_str(), FALSE)) return LastFailure();
    return {};
}

FileResult Win32SettingsFiles::Rename(const std::wstring& from, const std::wstring& to) {
    if (!::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return LastFailure();
    return {};
}

void Win32SettingsFiles::Remove(const std::wstring& path) {
    ::DeleteFileW(path.c_str());
}

}  // namespace vorta::forms::win32
