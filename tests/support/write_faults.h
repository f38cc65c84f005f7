#pragma once
// Faults of a user's disk, made inside the test process and lifted when the guard goes.

#include <QString>
#include <sys/resource.h>

namespace vokrin::testing {

// No file of this process may grow past `bytes`, as on a full disk: a write past it fails
// with EFBIG instead of raising SIGXFSZ. Holds for the superuser too.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(rlim_t bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit &) = delete;
    ScopedFileSizeLimit &operator=(const ScopedFileSizeLimit &) = delete;

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
};

// `folder` cannot be written by the calling thread: its mode is read and search only, and
// while the guard lives the thread has no right to override file permissions (which the
// superuser has, so tests run as root see the refusal a user sees).
class ScopedReadOnlyFolder
{
public:
    explicit ScopedReadOnlyFolder(const QString &folder);
    ~ScopedReadOnlyFolder();
    ScopedReadOnlyFolder(const ScopedReadOnlyFolder &) = delete;
    ScopedReadOnlyFolder &operator=(const ScopedReadOnlyFolder &) = delete;

    // False when the refusal could not be arranged (the test should say so and stop).
    bool active() const { return m_active; }

private:
    QString m_folder;
    unsigned m_savedMode = 0;
    unsigned m_savedEffective[2] = {0, 0};
    bool m_droppedRights = false;
    bool m_active = false;
};

} // namespace vokrin::testing
