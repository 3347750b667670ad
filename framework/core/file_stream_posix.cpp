#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "framework/core/exceptions.h"
#include "framework/core/streams.h"
#include "framework/core/text.h"

namespace pogoda {
namespace {

int Fd(intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

// Share modes have no POSIX counterpart; files are opened without them.
TFileStream::TFileStream(const std::string& path, unsigned mode) : m_path(path) {
    int fd;
    if (mode == fmCreate) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) throw EFCreateError(Format(messages::kFCreateError, path, std::strerror(errno)));
    } else {
        static constexpr int kAccess[] = {O_RDONLY, O_WRONLY, O_RDWR, O_RDONLY};
        fd = ::open(path.c_str(), kAccess[mode & 3] | O_CLOEXEC);
        if (fd < 0) throw EFOpenError(Format(messages::kFOpenError, path, std::strerror(errno)));
    }
    m_handle = fd;
}

TFileStream::~TFileStream() { ::close(Fd(m_handle)); }

int64_t TFileStream::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(Fd(m_handle), static_cast<char*>(buffer) + done,
                                 static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(Fd(m_handle), static_cast<const char*>(buffer) + done,
                                  static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    return ::lseek(Fd(m_handle), offset, kWhence[origin]);
}

void TFileStream::SetSize(int64_t size) {
    if (::ftruncate(Fd(m_handle), size) != 0) throw EWriteError(messages::kWriteError);
    if (Position() > size) Seek(size, soBeginning);
}

}  // namespace pogoda
