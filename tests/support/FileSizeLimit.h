#pragma once

// While the object lives, writes past a size fail for this process and the
// programs it starts: a full disk that root meets too.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(long long bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN)) // else the write kills
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit limited{rlim_t(bytes), m_old.rlim_max};
        m_ok = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old), std::signal(SIGXFSZ, m_handler); }
    bool ok() const { return m_ok; }

private:
    void (*m_handler)(int);
    rlimit m_old{};
    bool m_ok = false;
};
