#include "source_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vokrin::engine {

std::shared_ptr<SourceFile> SourceFile::open(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EISDIR; // not a file we can read as audio
        return nullptr;
    }
    const std::string identity = std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino) +
                                 ':' + std::to_string(info.st_size) + ':' +
                                 std::to_string(info.st_mtim.tv_sec) + '.' +
                                 std::to_string(info.st_mtim.tv_nsec);
    return std::shared_ptr<SourceFile>(
        new SourceFile(fd, static_cast<uint64_t>(info.st_size), identity));
}

SourceFile::~SourceFile()
{
    ::close(m_fd);
}

long SourceFile::readAt(uint64_t offset, void *out, std::size_t bytes) const
{
    if (offset >= m_size || bytes == 0)
        return 0;
    if (bytes > m_size - offset)
        bytes = static_cast<std::size_t>(m_size - offset);
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t got = ::pread(m_fd, static_cast<char *>(out) + done, bytes - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return done > 0 ? static_cast<long>(done) : -1;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long>(done);
}

long FileWindow::read(void *out, std::size_t bytes)
{
    if (m_cancel && m_cancel->load(std::memory_order_relaxed))
        return 0;
    if (m_position >= size())
        return 0;
    if (bytes > size() - m_position)
        bytes = static_cast<std::size_t>(size() - m_position);
    const long got = m_file->readAt(m_begin + m_position, out, bytes);
    if (got > 0)
        m_position += static_cast<uint64_t>(got);
    return got;
}

int64_t FileWindow::seek(int64_t offset, int whence)
{
    int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<int64_t>(m_position);
    else if (whence == SEEK_END)
        base = static_cast<int64_t>(size());
    else if (whence != SEEK_SET)
        return -1;
    const int64_t target = base + offset;
    if (target < 0)
        return -1;
    m_position = static_cast<uint64_t>(target);
    return target;
}

} // namespace vokrin::engine
