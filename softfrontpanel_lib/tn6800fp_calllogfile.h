#ifndef TN6800FP_CALLLOGFILE_H
#define TN6800FP_CALLLOGFILE_H

#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "tn6800fp_calllog.h"

// The file of the driver-call log, written by a thread of its own from a
// bounded queue: the threads that call into the platform libraries only
// queue their calls and never wait for the file, whatever it is (a full
// disk, a named pipe whose reader stopped reading or went away). When the
// file cannot take more, it stops for good, and says so once, with why and
// how many calls it missed.
class tn6800fp_callLogFile
{
public:
    // The most calls waiting to be written; a file that falls this far
    // behind stops.
    static constexpr std::size_t capacity = 100000;

    // Opens path for appending, without waiting: a file already there keeps
    // what it holds. Null, with why, when it cannot be opened (no such
    // folder, no permission, a named pipe that no program reads: then
    // wouldBlock is set, since it is no fault of the path).
    // stopped is called once when the file stops, on the thread that found
    // it so (the writer's, or a caller's whose call found the queue full).
    static std::unique_ptr<tn6800fp_callLogFile> open(const QString &path, QString *why,
                                                      bool *wouldBlock,
                                                      std::function<void(const QString &)> stopped);
    // Writes what is queued (waiting a few seconds at most), then ends.
    ~tn6800fp_callLogFile();

    // Queues a call; never waits.
    void write(const tn6800fp_loggedCall &call);
    // Waits until everything queued is written or the file has stopped;
    // false when the time ran out first.
    bool drain(int timeoutMs);
    bool stopped() const;

private:
    tn6800fp_callLogFile(int fd, QString path, std::function<void(const QString &)> stopped);
    void run();
    // Writes the bytes; false with errno set when the file cannot take them.
    bool writeAll(const QByteArray &bytes);
    // Says once that the file stopped (m_stop is set already), then lets
    // drain() return.
    void stop(const QString &why, std::size_t missed);
    void say(const QString &why, std::size_t missed);

    const int m_fd;
    const QString m_path;
    std::function<void(const QString &)> m_stopped;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    std::deque<tn6800fp_loggedCall> m_queue;
    std::size_t m_writing = 0; // taken from the queue, not yet written
    bool m_stop = false;       // the file stopped: nothing more is queued
    bool m_said = false;       // and that was said
    bool m_closing = false;    // the object goes: write what is queued and end
    std::thread m_thread;
};

#endif
