#include "tn6800fp_calllogfile.h"
#include "tn6800fp_savefile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>
#else
#include <fcntl.h>
#include <io.h>
#endif

std::unique_ptr<tn6800fp_callLogFile>
tn6800fp_callLogFile::open(const QString &path, QString *why, bool *wouldBlock,
                           std::function<void(const QString &)> stopped)
{
    *wouldBlock = false;
    const QByteArray name = QFile::encodeName(path);
#ifdef Q_OS_UNIX
    // A reader that goes away must end the file, not the program.
    std::signal(SIGPIPE, SIG_IGN);
    // Without waiting: a named pipe that no program reads would block the
    // open for as long as none comes.
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        *wouldBlock = errno == ENXIO;
        if (why)
            *why = *wouldBlock ? QStringLiteral("it is a named pipe that no program reads")
                               : tn6800fp_systemText(errno);
        return nullptr;
    }
#else
    const int fd = ::_open(name.constData(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY, 0666);
    if (fd < 0) {
        if (why)
            *why = tn6800fp_systemText(errno);
        return nullptr;
    }
#endif
    return std::unique_ptr<tn6800fp_callLogFile>(
        new tn6800fp_callLogFile(fd, path, std::move(stopped)));
}

tn6800fp_callLogFile::tn6800fp_callLogFile(int fd, QString path,
                                           std::function<void(const QString &)> stopped)
    : m_fd(fd), m_path(std::move(path)), m_stopped(std::move(stopped))
{
    // A file written before keeps its lines; this run's start says where they end.
    tn6800fp_loggedCall start;
    start.startMs = tn6800fp_callLog::instance().sinceStartMs();
    start.arguments = QStringLiteral("Driver calls of process %1, started %2")
                          .arg(QCoreApplication::applicationPid())
                          .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    m_queue.push_back(start);
    m_thread = std::thread([this] { run(); });
}

tn6800fp_callLogFile::~tn6800fp_callLogFile()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    m_thread.join();
#ifdef Q_OS_UNIX
    ::close(m_fd);
#else
    ::_close(m_fd);
#endif
}

void tn6800fp_callLogFile::write(const tn6800fp_loggedCall &call)
{
    std::size_t missed = 0;
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stop)
            return;
        if (m_queue.size() < capacity) {
            // The writer waits only on an empty queue: only then is it woken.
            wake = m_queue.empty();
            m_queue.push_back(call);
        } else {
            missed = m_queue.size() + m_writing + 1;
            m_stop = true;
            m_queue.clear();
        }
    }
    if (missed)
        stop(QStringLiteral("it did not keep up (%1 calls were waiting)").arg(capacity), missed);
    if (wake)
        m_wake.notify_one();
}

bool tn6800fp_callLogFile::drain(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_written.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
        return m_said || (!m_stop && m_queue.empty() && m_writing == 0);
    });
}

bool tn6800fp_callLogFile::stopped() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stop;
}

void tn6800fp_callLogFile::stop(const QString &why, std::size_t missed)
{
    say(why, missed);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_said = true;
    }
    m_written.notify_all();
}

void tn6800fp_callLogFile::say(const QString &why, std::size_t missed)
{
    if (m_stopped)
        m_stopped(QStringLiteral("The driver-call log file %1 stopped: %2; %3 not written to it.")
                      .arg(m_path, why,
                           missed == 1 ? QStringLiteral("1 call was")
                                       : QStringLiteral("%1 calls were").arg(missed)));
}

void tn6800fp_callLogFile::run()
{
#ifdef Q_OS_LINUX
    // The file is never urgent: where the processors are busy (a search's
    // threads at work), this thread gives way to the ones that call into
    // the libraries, and catches up when they wait.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
#endif
    const auto deadline = [] { return std::chrono::steady_clock::now() + std::chrono::seconds(1); };
    auto closingBy = std::chrono::steady_clock::time_point::max();
    for (;;) {
        std::deque<tn6800fp_loggedCall> batch;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_closing || m_stop || !m_queue.empty(); });
            if (m_stop || (m_closing && m_queue.empty()))
                break;
            if (m_closing && closingBy == std::chrono::steady_clock::time_point::max())
                closingBy = deadline();
            batch.swap(m_queue);
            m_writing = batch.size();
        }
        QByteArray bytes;
        for (const tn6800fp_loggedCall &c : batch)
            bytes.append(tn6800fp_callLog::lineBytes(c)).append('\n');
        const bool written = writeAll(bytes);
        const int error = errno;
        std::size_t missed = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!written && !m_stop) {
                m_stop = true;
                missed = m_writing + m_queue.size();
                m_queue.clear();
            }
            m_writing = 0;
        }
        if (written)
            m_written.notify_all();
        if (!written && missed) {
            stop(error == EPIPE    ? QStringLiteral("its reader went away")
                 : error == EAGAIN ? QStringLiteral("its reader stopped reading")
                                   : tn6800fp_systemText(error),
                 missed);
            break;
        }
        if (std::chrono::steady_clock::now() > closingBy)
            break;
        // Calls come in bursts: a short pause gathers the next ones into one
        // write, where one each would wake this thread for every call.
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_closing; });
    }
    m_written.notify_all();
}

bool tn6800fp_callLogFile::writeAll(const QByteArray &bytes)
{
    const char *from = bytes.constData();
    qint64 left = bytes.size();
    // A reader that stops reading is waited for a while, not for ever.
    int patience = 20;
    while (left > 0) {
#ifdef Q_OS_UNIX
        const ssize_t n = ::write(m_fd, from, std::size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && patience-- > 0) {
            pollfd out{m_fd, POLLOUT, 0};
            ::poll(&out, 1, 100);
            continue;
        }
#else
        const int n = ::_write(m_fd, from, unsigned(std::min<qint64>(left, 1 << 20)));
#endif
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        patience = 20;
        from += n;
        left -= n;
    }
    return true;
}
