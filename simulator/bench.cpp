// The process-wide bench: its sessions, call counts, injected faults and trace.
#include "bench.h"

#include <charconv>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

namespace orbsim {

namespace {

thread_local int t_depth = 0;

} // namespace

bool globMatch(const char *pattern, const char *text)
{
    // Iterative matcher with one backtrack point for the last '*'.
    const char *starP = nullptr;
    const char *starT = nullptr;
    while (*text) {
        if (*pattern == '*') {
            starP = pattern++;
            starT = text;
        } else if (*pattern == '?' ||
                   (*pattern && std::toupper(static_cast<unsigned char>(*pattern)) ==
                                    std::toupper(static_cast<unsigned char>(*text)))) {
            ++pattern;
            ++text;
        } else if (starP) {
            pattern = starP + 1;
            text = ++starT;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

Bench &Bench::instance()
{
    static Bench bench;
    return bench;
}

Bench::Bench()
{
    load();
}

void Bench::load()
{
    m_data = BenchData();
    std::string error;
    const char *path = std::getenv("ORBANA_SIM_BENCH");
    bool loaded = false;
    if (path && *path) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr,
                         "orbsim: %s: cannot read the bench file; using the default bench\n", path);
        } else {
            std::ostringstream text;
            text << in.rdbuf();
            if (parseBench(text.str(), path, m_data, error))
                loaded = true;
            else
                std::fprintf(stderr, "orbsim: %s; using the default bench\n", error.c_str());
        }
    }
    if (!loaded && !parseBench(defaultBenchText(), "<default bench>", m_data, error)) {
        std::fprintf(stderr, "orbsim: %s\n", error.c_str());
        std::abort();
    }
    const char *trace = std::getenv("ORBANA_SIM_TRACE");
    m_tracePath = trace ? trace : "";
    m_tracing.store(!m_tracePath.empty(), std::memory_order_relaxed);
}

void Bench::reload()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::lock_guard<std::mutex> traceLock(m_traceMutex);
    m_sessions.clear();
    m_driverSessions.clear();
    m_callCounts.clear();
    load();
}

ViSession Bench::addSession(const Session &s)
{
    ViSession vi = m_nextSession++;
    if (m_nextSession == 0)
        m_nextSession = 1;
    m_sessions[vi] = s;
    return vi;
}

Session *Bench::session(ViSession vi)
{
    auto it = m_sessions.find(vi);
    return it == m_sessions.end() ? nullptr : &it->second;
}

void Bench::removeSession(ViSession vi)
{
    m_sessions.erase(vi);
    m_driverSessions.erase(vi);
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (it->second.parent == vi) {
            ViSession child = it->first;
            it = m_sessions.erase(it);
            m_driverSessions.erase(child);
        } else {
            ++it;
        }
    }
}

std::size_t Bench::openSessionCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sessions.size();
}

const Fault *Bench::countCall(const std::string &function)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    long n = ++m_callCounts[function];
    for (const Fault &f : m_data.faults) {
        if (f.function != function)
            continue;
        if (f.when == Fault::When::Always || (f.when == Fault::When::OnCall && n == f.call) ||
            (f.when == Fault::When::FromCall && n >= f.call))
            return &f;
    }
    return nullptr;
}

int Bench::resourceOfSession(ViSession vi)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Session *s = session(vi);
    return s ? s->resource : -1;
}

int Bench::firstResourceOfCarrier(int carrier) const
{
    for (std::size_t i = 0; i < m_data.resources.size(); ++i) {
        if (m_data.resources[i].carrier == carrier)
            return static_cast<int>(i);
    }
    return -1;
}

void Bench::delay(const char *function, int resource)
{
    // The resource's own latency, else the one for every call, else none.
    const auto of = [function](const std::map<std::string, double> &latencies) {
        const auto it = latencies.find(function);
        return it == latencies.end() ? -1.0 : it->second;
    };
    double ms = -1;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (resource >= 0 && static_cast<std::size_t>(resource) < m_data.resources.size())
            ms = of(m_data.resources[static_cast<std::size_t>(resource)].latencyMs);
        if (ms < 0)
            ms = of(m_data.latencyMs);
    }
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

const std::string *Bench::errorText(ViStatus status)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_data.errorTexts.find(status);
    return it == m_data.errorTexts.end() ? nullptr : &it->second;
}

void Bench::trace(const std::string &line)
{
    std::lock_guard<std::mutex> lock(m_traceMutex);
    if (m_tracePath.empty())
        return;
    if (FILE *f = std::fopen(m_tracePath.c_str(), "a")) {
        std::fwrite(line.data(), 1, line.size(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

int Bench::findResource(const std::string &descriptor) const
{
    std::string c = canonicalDescriptor(descriptor);
    for (std::size_t i = 0; i < m_data.resources.size(); ++i) {
        if (canonicalDescriptor(m_data.resources[i].descriptor) == c)
            return static_cast<int>(i);
    }
    return -1;
}

Call::Call(const char *function)
    : m_function(function), m_outer(++t_depth == 1),
      m_traced(m_outer && Bench::instance().tracing())
{
    if (m_traced)
        m_line = function;
    if (m_outer) {
        if (const Fault *f = Bench::instance().countCall(function)) {
            m_injected = f->status;
            m_afterWork = f->afterWork;
        }
    }
}

Call::~Call()
{
    --t_depth;
}

bool Call::injectedError(int resource)
{
    if (m_injected >= 0 || m_afterWork)
        return false;
    Bench::instance().delay(m_function, resource);
    return true;
}

Call &Call::arg(const char *name, long long value)
{
    if (!m_traced)
        return *this;
    m_line += ' ';
    m_line += name;
    m_line += '=';
    m_line += std::to_string(value);
    return *this;
}

Call &Call::argHex(const char *name, unsigned long long value)
{
    if (!m_traced)
        return *this;
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%02llX", value);
    m_line += ' ';
    m_line += name;
    m_line += '=';
    m_line += buf;
    return *this;
}

Call &Call::arg(const char *name, double value)
{
    if (!m_traced)
        return *this;
    m_line += ' ';
    m_line += name;
    m_line += '=';
    appendReal(value);
    return *this;
}

// 17 significant digits with a point, whatever the process's locale: the
// trace is read by programs.
void Call::appendReal(double value)
{
    char buf[40];
    const std::to_chars_result r =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
    m_line.append(buf, r.ptr);
}

Call &Call::arg(const char *name, const char *text)
{
    if (!m_traced)
        return *this;
    m_line += ' ';
    m_line += name;
    m_line += '=';
    if (!text) {
        m_line += "NULL";
        return *this;
    }
    m_line += '"';
    for (const char *p = text; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            m_line += '\\';
            m_line += *p;
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            m_line += buf;
        } else {
            m_line += *p;
        }
    }
    m_line += '"';
    return *this;
}

Call &Call::arg(const char *name, const void *pointer)
{
    if (!m_traced)
        return *this;
    m_line += ' ';
    m_line += name;
    m_line += pointer ? "=<pointer>" : "=NULL";
    return *this;
}

Call &Call::samples(const char *name, const double *values, std::size_t count)
{
    if (!m_traced)
        return *this;
    m_line += ' ';
    m_line += name;
    if (!values) {
        m_line += "=NULL";
        return *this;
    }
    m_line += "=[";
    for (std::size_t i = 0; i < count; ++i) {
        if (i)
            m_line += ',';
        appendReal(values[i]);
    }
    m_line += ']';
    return *this;
}

ViStatus Call::finish(ViStatus status)
{
    if (m_injected != VI_SUCCESS && (m_injected < 0 || status == VI_SUCCESS))
        status = m_injected;
    if (m_traced && !m_finished) {
        m_line += " -> ";
        m_line += std::to_string(status);
        Bench::instance().trace(m_line);
    }
    m_finished = true;
    return status;
}

void copyText(const std::string &text, char *buffer)
{
    if (!buffer)
        return;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

bool writeStatusText(ViStatus status, const StatusText *table, std::size_t count, char *message,
                     Call &call)
{
    if (const std::string *own = Bench::instance().errorText(status)) {
        copyText(*own, message);
    } else {
        const StatusText *end = table + count;
        const StatusText *t =
            std::find_if(table, end, [status](const StatusText &e) { return e.status == status; });
        if (t == end)
            return false;
        copyText(t->text, message);
    }
    call.arg("message", message);
    return true;
}

} // namespace orbsim
