#include "tn6800fp_calllog.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "tn6800.h"
#include "tn6800fp_calllogfile.h"

namespace {

struct Name
{
    ViStatus status;
    const char *name;
};

std::mutex g_namesMutex;

std::vector<Name> &names()
{
    static std::vector<Name> all = {
        {VI_SUCCESS, "VI_SUCCESS"},
        {VI_WARN_NSUP_ID_QUERY, "VI_WARN_NSUP_ID_QUERY"},
        {VI_WARN_NSUP_RESET, "VI_WARN_NSUP_RESET"},
        {VI_SUCCESS_MAX_CNT, "VI_SUCCESS_MAX_CNT"},
        {VI_WARN_CONFIG_NLOADED, "VI_WARN_CONFIG_NLOADED"},
        {VI_SUCCESS_DEV_NPRESENT, "VI_SUCCESS_DEV_NPRESENT"},
        {VI_WARN_NULL_OBJECT, "VI_WARN_NULL_OBJECT"},
        {VI_WARN_NSUP_ATTR_STATE, "VI_WARN_NSUP_ATTR_STATE"},
        {VI_WARN_UNKNOWN_STATUS, "VI_WARN_UNKNOWN_STATUS"},
        {VI_ERROR_SYSTEM_ERROR, "VI_ERROR_SYSTEM_ERROR"},
        {VI_ERROR_INV_OBJECT, "VI_ERROR_INV_OBJECT"},
        {VI_ERROR_RSRC_LOCKED, "VI_ERROR_RSRC_LOCKED"},
        {VI_ERROR_INV_EXPR, "VI_ERROR_INV_EXPR"},
        {VI_ERROR_RSRC_NFOUND, "VI_ERROR_RSRC_NFOUND"},
        {VI_ERROR_INV_RSRC_NAME, "VI_ERROR_INV_RSRC_NAME"},
        {VI_ERROR_INV_ACC_MODE, "VI_ERROR_INV_ACC_MODE"},
        {VI_ERROR_TMO, "VI_ERROR_TMO"},
        {VI_ERROR_NSUP_ATTR, "VI_ERROR_NSUP_ATTR"},
        {VI_ERROR_NSUP_OPER, "VI_ERROR_NSUP_OPER"},
        {VI_ERROR_RSRC_BUSY, "VI_ERROR_RSRC_BUSY"},
        {VI_ERROR_LIBRARY_NFOUND, "VI_ERROR_LIBRARY_NFOUND"},
        {VI_ERROR_PARAMETER1, "VI_ERROR_PARAMETER1"},
        {VI_ERROR_PARAMETER2, "VI_ERROR_PARAMETER2"},
        {VI_ERROR_PARAMETER3, "VI_ERROR_PARAMETER3"},
        {VI_ERROR_PARAMETER4, "VI_ERROR_PARAMETER4"},
        {VI_ERROR_FAIL_ID_QUERY, "VI_ERROR_FAIL_ID_QUERY"},
        {VI_ERROR_INV_RESPONSE, "VI_ERROR_INV_RESPONSE"},
        {TN6800_ERROR_NOT_CARRIER, "TN6800_ERROR_NOT_CARRIER"},
        {TN6800_ERROR_NULL_POINTER, "TN6800_ERROR_NULL_POINTER"},
        {TN6800_ERROR_INV_POSITION, "TN6800_ERROR_INV_POSITION"},
        {TN6800_ERROR_INV_REGISTER, "TN6800_ERROR_INV_REGISTER"},
        {TN6800_ERROR_INV_HANDLE, "TN6800_ERROR_INV_HANDLE"},
    };
    return all;
}

thread_local int t_threadNumber = -1;
std::atomic<bool> g_recording{true};

} // namespace

tn6800fp_callLog::tn6800fp_callLog()
{
    m_clock.start();
    // The log may first be asked for on a search worker, a thread that ends:
    // its change notices belong to the application's thread, where the
    // Driver Calls window listens.
    if (const QCoreApplication *app = QCoreApplication::instance())
        moveToThread(app->thread());
}

// The file's writer ends first, while the log it reports to is still whole.
tn6800fp_callLog::~tn6800fp_callLog()
{
    closeFile();
}

tn6800fp_callLog &tn6800fp_callLog::instance()
{
    static tn6800fp_callLog log;
    return log;
}

void tn6800fp_callLog::setRecording(bool on)
{
    g_recording.store(on, std::memory_order_relaxed);
}

bool tn6800fp_callLog::recording()
{
    return g_recording.load(std::memory_order_relaxed);
}

double tn6800fp_callLog::sinceStartMs() const
{
    return m_clock.nsecsElapsed() / 1e6;
}

void tn6800fp_callLog::fileStopped(const QString &why)
{
    const QByteArray line = why.toLocal8Bit() + '\n';
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
    tn6800fp_loggedCall note;
    note.startMs = sinceStartMs();
    note.arguments = why;
    record(note);
}

bool tn6800fp_callLog::writeTo(const QString &path, QString *why)
{
    bool wouldBlock = false;
    QString reason;
    std::shared_ptr<tn6800fp_callLogFile> file = tn6800fp_callLogFile::open(
        path, &reason, &wouldBlock, [this](const QString &stopped) { fileStopped(stopped); });
    if (wouldBlock) {
        // The program goes on without the file, and says so.
        fileStopped(
            QStringLiteral("The driver-call log file %1 is not written: %2.").arg(path, reason));
        return true;
    }
    if (!file) {
        if (why)
            *why = reason;
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_file = std::move(file);
    return true;
}

void tn6800fp_callLog::closeFile()
{
    std::shared_ptr<tn6800fp_callLogFile> file;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        file.swap(m_file);
    }
}

bool tn6800fp_callLog::waitWritten(int timeoutMs)
{
    std::shared_ptr<tn6800fp_callLogFile> file;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        file = m_file;
    }
    return file && file->drain(timeoutMs);
}

int tn6800fp_callLog::threadNumber()
{
    const QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        return 0;
    if (t_threadNumber < 0)
        t_threadNumber = ++m_threads;
    return t_threadNumber;
}

void tn6800fp_callLog::record(const tn6800fp_loggedCall &call)
{
    std::shared_ptr<tn6800fp_callLogFile> file;
    tn6800fp_loggedCall kept;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(call);
        m_calls.back().thread = threadNumber();
        if (m_calls.size() > std::size_t(capacity))
            m_calls.pop_front();
        ++m_recorded;
        if (m_file) {
            file = m_file;
            kept = m_calls.back();
        }
        notifyLocked();
    }
    // Outside the log's lock: a file that stops records a note itself.
    if (file)
        file->write(kept);
}

void tn6800fp_callLog::notifyLocked()
{
    // At most one notice each 40 ms: a burst of calls (a search makes
    // thousands) costs the window one update, and each call no more than a
    // look at this flag.
    // Posted by name: the toolkit makes and reads the event itself, so no
    // object of the caller's thread is handed to the log's.
    if (!m_changePending) {
        m_changePending = true;
        QMetaObject::invokeMethod(this, "changeRecorded", Qt::QueuedConnection);
    }
}

void tn6800fp_callLog::changeRecorded()
{
    QTimer::singleShot(40, this, [this] {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_changePending = false;
        }
        emit changed();
    });
}

void tn6800fp_callLog::noteDemoMode()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_demoNoted)
            return;
        m_demoNoted = true;
    }
    tn6800fp_loggedCall note;
    note.startMs = sinceStartMs();
    note.arguments = QStringLiteral("Demo mode: the panel opens no card and sends nothing to one.");
    record(note);
}

QVector<tn6800fp_loggedCall> tn6800fp_callLog::calls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return QVector<tn6800fp_loggedCall>(m_calls.begin(), m_calls.end());
}

QVector<tn6800fp_loggedCall> tn6800fp_callLog::latest(qint64 after, qint64 *total) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    *total = m_recorded;
    const qint64 fresh = std::min<qint64>(m_recorded - after, qint64(m_calls.size()));
    return QVector<tn6800fp_loggedCall>(m_calls.end() - std::max<qint64>(fresh, 0), m_calls.end());
}

qint64 tn6800fp_callLog::recorded() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_recorded;
}

void tn6800fp_callLog::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.clear();
    m_demoNoted = false; // a log emptied says it again
}

QString tn6800fp_callLog::statusName(ViStatus status)
{
    std::lock_guard<std::mutex> lock(g_namesMutex);
    for (const Name &n : names()) {
        if (n.status == status)
            return QLatin1String(n.name);
    }
    return QString();
}

void tn6800fp_callLog::addStatusName(ViStatus status, const char *name)
{
    std::lock_guard<std::mutex> lock(g_namesMutex);
    names().push_back({status, name});
}

QString tn6800fp_callLog::threadName(int thread)
{
    return thread == 0 ? QStringLiteral("GUI") : QStringLiteral("worker %1").arg(thread);
}

bool tn6800fp_callLog::endOfList(const tn6800fp_loggedCall &call)
{
    return call.function && call.status == VI_ERROR_RSRC_NFOUND &&
           std::strcmp(call.function, "viFindNext") == 0;
}

bool tn6800fp_callLog::failed(const tn6800fp_loggedCall &call)
{
    return call.function && call.status < 0 && !endOfList(call);
}

QString tn6800fp_callLog::line(const tn6800fp_loggedCall &call)
{
    return QString::fromUtf8(lineBytes(call));
}

QByteArray tn6800fp_callLog::lineBytes(const tn6800fp_loggedCall &call)
{
    // Made straight into bytes: the file's thread makes one for every call.
    QByteArray out;
    out.reserve(call.arguments.size() + 96);
    char number[32];
    std::to_chars_result r =
        std::to_chars(number, number + sizeof number, call.startMs, std::chars_format::fixed, 3);
    out.append(number, int(r.ptr - number));
    out.append(" [", 2);
    if (call.thread == 0) {
        out.append("GUI", 3);
    } else {
        out.append("worker ", 7);
        r = std::to_chars(number, number + sizeof number, call.thread);
        out.append(number, int(r.ptr - number));
    }
    out.append(']');
    if (!call.function)
        return out.append(" # ", 3).append(call.arguments.toUtf8());
    out.append(' ').append(call.function).append('(').append(call.arguments.toUtf8());
    out.append(") -> 0x", 7);
    r = std::to_chars(number, number + sizeof number, quint32(call.status), 16);
    for (int pad = int(r.ptr - number); pad < 8; ++pad)
        out.append('0');
    out.append(QByteArray::fromRawData(number, int(r.ptr - number)).toUpper());
    const QString name = statusName(call.status);
    if (!name.isEmpty())
        out.append(' ').append(name.toLatin1());
    if (endOfList(call))
        out.append(" (the end of the list)");
    out.append(' ');
    r = std::to_chars(number, number + sizeof number, qRound64(call.durationUs));
    out.append(number, int(r.ptr - number));
    return out.append(" us", 3);
}

void tn6800fp_callArguments::append(const char *format, ...)
{
    char text[64];
    va_list values;
    va_start(values, format);
    const int n = std::vsnprintf(text, sizeof text, format, values);
    va_end(values);
    m_text.append(text, std::min<int>(n, int(sizeof text) - 1));
}

void tn6800fp_callArguments::name(const char *name)
{
    if (m_text.isEmpty())
        m_text.reserve(256);
    else
        m_text.append(", ", 2);
    m_text.append(name).append('=');
}

tn6800fp_callArguments &tn6800fp_callArguments::num(const char *name, long long value)
{
    this->name(name);
    char text[24];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, value);
    m_text.append(text, int(r.ptr - text));
    return *this;
}

tn6800fp_callArguments &tn6800fp_callArguments::hex(const char *name, unsigned long long value,
                                                    int digits)
{
    this->name(name);
    char text[24];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, value, 16);
    const int length = int(r.ptr - text);
    m_text.append("0x", 2);
    for (int pad = length; pad < digits; ++pad)
        m_text.append('0');
    m_text.append(QByteArray::fromRawData(text, length).toUpper());
    return *this;
}

// 17 significant digits with a point, whatever the locale: the log is read by
// programs and pasted into them.
void tn6800fp_callArguments::appendReal(double value)
{
    char text[40];
    const std::to_chars_result r =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 17);
    m_text.append(text, int(r.ptr - text));
}

tn6800fp_callArguments &tn6800fp_callArguments::real(const char *name, double value)
{
    this->name(name);
    appendReal(value);
    return *this;
}

tn6800fp_callArguments &tn6800fp_callArguments::text(const char *name, const char *value)
{
    this->name(name);
    if (!value) {
        m_text.append("null");
        return *this;
    }
    m_text.append('"').append(value).append('"');
    return *this;
}

tn6800fp_callArguments &tn6800fp_callArguments::samples(const char *name, const double *values,
                                                        std::size_t count)
{
    this->name(name);
    if (!values) {
        m_text.append("null");
        return *this;
    }
    append("[%zu:", count);
    // A handful of values (a value for each channel) all, a buffer its first four.
    const std::size_t shown = count <= 8 ? count : 4;
    for (std::size_t i = 0; i < shown; ++i) {
        m_text.append(' ');
        appendReal(values[i]);
        if (i + 1 < count)
            m_text.append(',');
    }
    if (count > shown)
        m_text.append(" ...");
    m_text.append(']');
    return *this;
}

tn6800fp_timedCall::tn6800fp_timedCall(const char *function)
    : m_function(function), m_startMs(tn6800fp_callLog::instance().sinceStartMs())
{
    m_timer.start();
}

ViStatus tn6800fp_timedCall::done(ViStatus status, const tn6800fp_callArguments &arguments)
{
    tn6800fp_loggedCall call;
    call.durationUs = m_timer.nsecsElapsed() / 1e3;
    call.startMs = m_startMs;
    call.function = m_function;
    call.arguments = arguments.str();
    call.status = status;
    tn6800fp_callLog::instance().record(call);
    return status;
}
