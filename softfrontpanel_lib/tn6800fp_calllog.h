#ifndef TN6800FP_CALLLOG_H
#define TN6800FP_CALLLOG_H

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QVector>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

#include "visa.h"

class tn6800fp_callLogFile;

// One call the program made into a platform library (VISA, the common
// library or a card's driver), or a note about the log itself.
struct tn6800fp_loggedCall
{
    double startMs = 0;             // since the program started
    double durationUs = 0;          // how long the call took
    int thread = 0;                 // 0 the GUI's, else the nth other thread that called
    const char *function = nullptr; // the entry point; null for a note
    QString arguments;              // "vi=1, chanMask=0x05, segLen=200"; a note's text
    ViStatus status = VI_SUCCESS;
};

// The log of every call into the platform libraries, made by the program
// around its own calls (so it works with the real libraries as with the
// stand-ins). It keeps the last 100,000 calls; with a file it also writes
// each call there as one line as soon as it returns, flushed at once. Safe
// to record from any thread.
class tn6800fp_callLog : public QObject
{
    Q_OBJECT
public:
    static constexpr int capacity = 100000;

    static tn6800fp_callLog &instance();

    // Also writes every call from now on to the file, appended after a line
    // that marks this run's start, by a thread of its own: no call waits for
    // the file. False, with the reason, when it cannot be opened. Should the
    // file stop later (a full disk, a reader that goes away or stops
    // reading), that is said once, on standard error and as a note in the
    // log, with how many calls it missed; the program goes on.
    bool writeTo(const QString &path, QString *why);
    // Writes no file from now on (what is queued is written first).
    void closeFile();
    // Waits until the calls recorded so far are in the file (or it stopped);
    // false when the time ran out first, or there is no file.
    bool waitWritten(int timeoutMs);
    void record(const tn6800fp_loggedCall &call);
    // Says once that in demo mode no card is opened and nothing is sent to one.
    void noteDemoMode();
    // The calls kept, oldest first, and how many were recorded in all.
    QVector<tn6800fp_loggedCall> calls() const;
    qint64 recorded() const;
    // The calls kept that were recorded after the first `after` of all;
    // total gets the count of all recorded so far.
    QVector<tn6800fp_loggedCall> latest(qint64 after, qint64 *total) const;
    void clear();

    // A status's name ("VI_SUCCESS", "VI_ERROR_TMO"); empty when unknown.
    // A card's driver adds the names of its own statuses.
    static QString statusName(ViStatus status);
    static void addStatusName(ViStatus status, const char *name);
    // The call as a line of the file: "1532.207 [GUI] viClose(vi=3) ->
    // 0x00000000 VI_SUCCESS 12 us", the thread "GUI" or "worker 2".
    static QString line(const tn6800fp_loggedCall &call);
    static QByteArray lineBytes(const tn6800fp_loggedCall &call); // the same, in UTF-8
    static QString threadName(int thread);
    // A call that failed; the end of a find list is no failure.
    static bool failed(const tn6800fp_loggedCall &call);
    static bool endOfList(const tn6800fp_loggedCall &call);
    // The milliseconds since the program started, as the log counts them.
    double sinceStartMs() const;
    // Recording is on unless turned off (benchmarks compare both).
    static void setRecording(bool on);
    static bool recording();

signals:
    // Recorded calls wait to be shown: emitted, queued, on the log's own thread.
    void changed();

private slots:
    // Runs on the log's thread, posted by name from whichever thread recorded.
    void changeRecorded();

private:
    tn6800fp_callLog();
    ~tn6800fp_callLog() override;
    int threadNumber();
    // Tells the window, once until it has looked; called with the lock held.
    void notifyLocked();
    // Says on standard error and in the log that the file stopped, and why.
    void fileStopped(const QString &why);

    mutable std::mutex m_mutex;
    std::deque<tn6800fp_loggedCall> m_calls;
    qint64 m_recorded = 0;
    bool m_demoNoted = false;
    bool m_changePending = false;
    std::shared_ptr<tn6800fp_callLogFile> m_file;
    QElapsedTimer m_clock;
    int m_threads = 0;
};

// The arguments of a call, as the log writes them: "name=value, ...".
class tn6800fp_callArguments
{
public:
    tn6800fp_callArguments &num(const char *name, long long value);
    tn6800fp_callArguments &hex(const char *name, unsigned long long value, int digits = 2);
    tn6800fp_callArguments &real(const char *name, double value);
    tn6800fp_callArguments &text(const char *name, const char *value);
    // A buffer: its length and its values, the first four of a long one.
    tn6800fp_callArguments &samples(const char *name, const double *values, std::size_t count);
    QString str() const { return QString::fromLatin1(m_text); }

private:
    // Written as Latin-1 bytes into one buffer: a call's arguments cost one
    // allocation or two, not one for each piece.
    void name(const char *name);
    void append(const char *format, ...);
    void appendReal(double value);
    QByteArray m_text;
};

// Times one call into a platform library and records it when it returns.
class tn6800fp_timedCall
{
public:
    explicit tn6800fp_timedCall(const char *function);
    // Whether the call is to be recorded: its arguments need be written only then.
    bool recording() const { return tn6800fp_callLog::recording(); }
    // Records the call; returns its status.
    ViStatus done(ViStatus status, const tn6800fp_callArguments &arguments);

private:
    const char *m_function;
    double m_startMs;
    QElapsedTimer m_timer;
};

// Makes a call into a platform library and records it: describe(arguments,
// status) writes its arguments after the call, so that what the library
// wrote back can be shown, and only while the log records.
template <typename Call, typename Describe>
ViStatus tn6800fp_logCall(const char *function, Call &&call, Describe &&describe)
{
    tn6800fp_timedCall timed(function);
    const ViStatus status = call();
    if (timed.recording()) {
        tn6800fp_callArguments arguments;
        describe(arguments, status);
        timed.done(status, arguments);
    }
    return status;
}

#endif
