#include "write_faults.h"

#include <QFile>
#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vokrin::testing {
namespace {

// The rights that let the superuser write where the mode says no.
constexpr unsigned kOverrideRights =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool readRights(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

bool writeRights(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace

ScopedFileSizeLimit::ScopedFileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_saved);
    m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, m_saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_savedHandler);
}

ScopedReadOnlyFolder::ScopedReadOnlyFolder(const QString &folder) : m_folder(folder)
{
    struct stat info
    {
    };
    const QByteArray name = QFile::encodeName(folder);
    if (::stat(name.constData(), &info) != 0)
        return;
    m_savedMode = info.st_mode & 07777;
    if (::chmod(name.constData(), 0555) != 0)
        return;
    __user_cap_data_struct rights[2]{};
    if (readRights(rights)) {
        m_savedEffective[0] = rights[0].effective;
        m_savedEffective[1] = rights[1].effective;
        if (rights[0].effective & kOverrideRights) {
            rights[0].effective &= ~kOverrideRights;
            m_droppedRights = writeRights(rights);
        }
    }
    // What counts is whether a file can be made there by this thread now.
    const QByteArray probe = name + "/.write-probe";
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    m_active = fd < 0;
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.constData());
    }
}

ScopedReadOnlyFolder::~ScopedReadOnlyFolder()
{
    if (m_droppedRights) {
        __user_cap_data_struct rights[2]{};
        if (readRights(rights)) {
            rights[0].effective = m_savedEffective[0];
            rights[1].effective = m_savedEffective[1];
            writeRights(rights);
        }
    }
    ::chmod(QFile::encodeName(m_folder).constData(), m_savedMode);
}

} // namespace vokrin::testing
