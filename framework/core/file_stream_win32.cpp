#include <windows.h>

#include <algorithm>

#include "framework/core/exceptions.h"
#include "framework/core/streams.h"
#include "framework/core/text.h"

namespace pogoda {
namespace {

HANDLE Handle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string r = n != 0 ? TrimRight(std::string(text, n)) : std::string();
    if (text != nullptr) LocalFree(text);
    return r;
}

}  // namespace

TFileStream::TFileStream(const std::string& path, unsigned mode) : m_path(path) {
    HANDLE h;
    if (mode == fmCreate) {
        h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            throw EFCreateError(Format(messages::kFCreateError, path, SystemErrorText(GetLastError())));
        }
    } else {
        static constexpr DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE,
                                            GENERIC_READ | GENERIC_WRITE, GENERIC_READ};
        static constexpr DWORD kShare[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE};
        const unsigned share = (mode >> 4) & 0xF;
        h = CreateFileA(path.c_str(), kAccess[mode & 3], share < 5 ? kShare[share] : 0, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            throw EFOpenError(Format(messages::kFOpenError, path, SystemErrorText(GetLastError())));
        }
    }
    m_handle = reinterpret_cast<intptr_t>(h);
}

TFileStream::~TFileStream() { CloseHandle(Handle(m_handle)); }

int64_t TFileStream::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<int64_t>(count - done, 1 << 30));
        if (!ReadFile(Handle(m_handle), static_cast<char*>(buffer) + done, want, &n, nullptr) ||
            n == 0) {
            break;
        }
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<int64_t>(count - done, 1 << 30));
        if (!WriteFile(Handle(m_handle), static_cast<const char*>(buffer) + done, want, &n,
                       nullptr) ||
            n == 0) {
            break;
        }
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    static constexpr DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(Handle(m_handle), distance, &result, kMethod[origin])) return -1;
    return result.QuadPart;
}

void TFileStream::SetSize(int64_t size) {
    const int64_t position = Position();
    Seek(size, soBeginning);
    if (!SetEndOfFile(Handle(m_handle))) throw EWriteError(messages::kWriteError);
    Seek(std::min(position, size), soBeginning);
}

}  // namespace pogoda
