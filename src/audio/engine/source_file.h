#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>

namespace vokrin::engine {

// An open file, shared by the readers of one channel (the decoder and the length scan).
// Reads use pread, so readers on other threads never disturb each other's place.
class SourceFile
{
public:
    static std::shared_ptr<SourceFile> open(const std::string &path);
    ~SourceFile();
    SourceFile(const SourceFile &) = delete;
    SourceFile &operator=(const SourceFile &) = delete;

    uint64_t size() const { return m_size; }
    // Names this version of the file (device, inode, size, modification time): two opens
    // of an unchanged file give the same text.
    const std::string &identity() const { return m_identity; }
    // Reads up to `bytes` at `offset`; returns the count read (0 at the end, -1 on error).
    long readAt(uint64_t offset, void *out, std::size_t bytes) const;

private:
    SourceFile(int fd, uint64_t size, std::string identity)
        : m_fd(fd), m_size(size), m_identity(std::move(identity))
    {
    }
    int m_fd;
    uint64_t m_size;
    std::string m_identity;
};

// A part of a file seen as a whole file: [begin, end). The decoders read through one,
// so tags in front of and behind the audio are never taken for audio. `cancel`, when
// set, makes every later read end the data (a scan that is no longer wanted stops).
class FileWindow
{
public:
    FileWindow(std::shared_ptr<SourceFile> file, uint64_t begin, uint64_t end)
        : m_file(std::move(file)), m_begin(begin), m_end(end)
    {
    }
    void setCancel(const std::atomic<bool> *cancel) { m_cancel = cancel; }

    uint64_t size() const { return m_end - m_begin; }
    uint64_t tell() const { return m_position; }
    long read(void *out, std::size_t bytes);
    // Like lseek: the new position, or -1 for a place before the start.
    int64_t seek(int64_t offset, int whence);

    const std::shared_ptr<SourceFile> &file() const { return m_file; }
    uint64_t begin() const { return m_begin; }
    uint64_t end() const { return m_end; }

private:
    std::shared_ptr<SourceFile> m_file;
    uint64_t m_begin;
    uint64_t m_end;
    uint64_t m_position = 0;
    const std::atomic<bool> *m_cancel = nullptr;
};

} // namespace vokrin::engine
