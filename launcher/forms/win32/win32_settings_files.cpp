#include "launcher/forms/win32/win32_settings_files.h"

#include "common/win32/system.h"
#include "common/win32/unique.h"

namespace vorta::forms::win32 {

namespace {

using vorta::win32::UniqueHandle;

// The failure of an operation on path, its cause told apart where the user can act on it.
FileResult Failure(DWORD code, const std::wstring& path) {
    FileResult result;
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            result.status = FileStatus::kMissing;
            break;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            result.status = FileStatus::kInUse;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD: {
            // Denied to a read-only file or to a folder of that name, not to the folder.
            const DWORD attributes = ::GetFileAttributesW(path.c_str());
            result.status = attributes == INVALID_FILE_ATTRIBUTES ? FileStatus::kAccessDenied
                            : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileStatus::kIsFolder
                            : (attributes & FILE_ATTRIBUTE_READONLY) != 0
                                ? FileStatus::kReadOnly
                                : FileStatus::kAccessDenied;
            break;
        }
        default:
            result.status = FileStatus::kFailed;
            break;
    }
    result.code = code;
    result.detail = vorta::win32::SystemErrorText(code);
    return result;
}

FileResult LastFailure(const std::wstring& path) {
    return Failure(::GetLastError(), path);
}

}  // namespace

FileResult Win32SettingsFiles::ReadWhole(const std::wstring& path, std::string& bytes) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastFailure(path);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) return LastFailure(path);
    if (size.QuadPart > static_cast<LONGLONG>(assistant::kLumsetMaxBytes))
        return Failure(ERROR_FILE_TOO_LARGE, path);
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                        &got, nullptr))
            return LastFailure(path);
        if (got == 0) break;  // the file became shorter meanwhile
        done += got;
    }
    bytes.resize(done);
    return {};
}

FileResult Win32SettingsFiles::WriteNew(const std::wstring& path, std::string_view bytes) {
    // A file left there may be read-only, hidden or a system file: CREATE_ALWAYS refuses
    // each of them. Their attributes go first (nothing to do when there is no such file).
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) !=
            0)
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastFailure(path);
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                         &written, nullptr))
            return LastFailure(path);
        if (written == 0) return Failure(ERROR_HANDLE_DISK_FULL, path);
        done += written;
    }
    if (!::FlushFileBuffers(file.get())) return LastFailure(path);
    return {};
}

FileResult Win32SettingsFiles::Rename(const std::wstring& from, const std::wstring& to) {
    // Windows refuses to rename over a read-only file, Wine does not: refused here on both,
    // so that a Lumset.ini the user made read-only stays as it is.
    const DWORD target = ::GetFileAttributesW(to.c_str());
    if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY) != 0)
        return Failure(ERROR_ACCESS_DENIED, to);
    if (!::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return LastFailure(to);
    return {};
}

void Win32SettingsFiles::Remove(const std::wstring& path) {
    ::DeleteFileW(path.c_str());
}

}  // namespace vorta::forms::win32
