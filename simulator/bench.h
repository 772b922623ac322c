// The simulated bench of carriers and cards that the three stand-in platform
// libraries share. It lives in libvisa64.so, so the driver and the common
// library see the same instruments and sessions as VISA does.
#ifndef ORBSIM_BENCH_H
#define ORBSIM_BENCH_H

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tn6800.h"
#include "visa.h"

namespace orbsim {

struct Position
{
    std::uint16_t code = 0;   // identification code; 0 = empty
    std::string subtypeChars; // two characters read from register 252, may be empty
};

// What the simulated 6820 remembers between calls.
struct CardState
{
    unsigned enabledMask = 0;
    double values[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    int filter = 2;
    bool running = false;
    unsigned memoryMask = 0;
    std::vector<double> memory;
};

struct Carrier
{
    std::vector<std::string> resources;
    std::uint16_t interfaceType = VI_INTF_VXI;
    std::int16_t slot = 0;
    std::string address;
    std::string hostname;
    std::string deviceName; // empty: taken from the descriptor
    std::uint16_t model = 0;
    std::vector<Position> positions;
    tn6800_carrierInfo info{};
    std::vector<CardState> cards; // one per position
    // What the carrier object the common library hands out holds: a
    // damaged or foreign carrier may lack its description or access tables.
    bool hasDescription = true;
    bool hasAccessTables = true;
};

// One VISA resource; carrier is -1 for an instrument that is no carrier.
struct Resource
{
    std::string descriptor;
    int carrier = -1;
    std::uint16_t interfaceType = VI_INTF_ASRL;
    ViStatus openStatus = VI_SUCCESS;
    std::map<std::string, double> latencyMs; // entry point -> milliseconds
};

struct Fault
{
    enum class When
    {
        Always,
        OnCall,
        FromCall
    };
    std::string function;
    ViStatus status = VI_SUCCESS;
    When when = When::Always;
    long call = 0;
    // The entry point does its work (a session opened stays open) and then
    // returns the status, as drivers do that open and then fail a later step.
    bool afterWork = false;
};

struct CardData
{
    std::uint32_t serial = 0x00001A2B;
    std::string subtype = "AB";
    std::string firmwareRevision = "1.2.0.7";
    std::string driverRevision = "4.3.0.1187";
    std::string commonRevision = "2.6.1.403";
    double lowLimit = -10.0;
    double highLimit = 10.0;
    // tn6820_revision_query refuses VI_NULL, as many drivers do.
    bool revisionNeedsSession = false;
};

struct BenchData
{
    CardData card;
    std::vector<Carrier> carriers;
    std::vector<Resource> resources; // in the order VISA lists them
    std::vector<Fault> faults;
    std::map<std::string, double> latencyMs;    // entry point -> milliseconds, every call
    std::map<ViStatus, std::string> errorTexts; // texts that replace the libraries' own
};

// Parses a bench description; on failure returns false and writes
// "<file>:<line>: <what is wrong>" into error.
bool parseBench(const std::string &text, const std::string &fileName, BenchData &out,
                std::string &error);
const char *defaultBenchText();

enum class SessionKind
{
    ResourceManager,
    FindList,
    Instrument
};

struct Session
{
    SessionKind kind = SessionKind::Instrument;
    ViSession parent = 0;
    int resource = -1;
    std::vector<std::string> found; // find list: descriptors still to hand out
    std::size_t next = 0;
};

// Card addressed by a driver session.
struct DriverSession
{
    ViSession resourceManager = 0;
    int carrier = -1;
    int position = 0; // counted from 1
};

class Bench
{
public:
    static Bench &instance();
    // Reads the bench again from ORBANA_SIM_BENCH and forgets every session,
    // call count and trace file; for tests that try several benches in one process.
    void reload();

    std::mutex &mutex() { return m_mutex; }
    BenchData &data() { return m_data; }

    ViSession addSession(const Session &s);
    Session *session(ViSession vi); // null when not open
    void removeSession(ViSession vi);
    std::size_t openSessionCount();

    std::map<ViSession, DriverSession> &driverSessions() { return m_driverSessions; }

    // Called once per entry-point call made from outside the stand-ins:
    // counts the call and returns the fault it injects (null: none).
    const Fault *countCall(const std::string &function);
    void trace(const std::string &line);

    // Lookup by descriptor as VISA compares them (case, default board and
    // default device name do not matter); -1 when unknown.
    int findResource(const std::string &descriptor) const;
    // The resource of an instrument session or a driver session; -1 for none.
    int resourceOfSession(ViSession vi);
    int firstResourceOfCarrier(int carrier) const;

    // Waits the latency the bench gives the entry point for the resource (or
    // for every call); call without holding the bench's lock.
    void delay(const char *function, int resource = -1);
    // A text the bench sets for a status; null when it sets none.
    const std::string *errorText(ViStatus status);
    // Whether calls are traced: without a trace file no line is even made.
    bool tracing() const { return m_tracing.load(std::memory_order_relaxed); }

private:
    Bench();
    void load();

    std::mutex m_mutex;
    std::mutex m_traceMutex;
    BenchData m_data;
    std::map<ViSession, Session> m_sessions;
    std::map<ViSession, DriverSession> m_driverSessions;
    std::map<std::string, long> m_callCounts;
    ViSession m_nextSession = 1;
    std::string m_tracePath;
    std::atomic<bool> m_tracing{false};
};

std::string canonicalDescriptor(const std::string &descriptor);
bool globMatch(const char *pattern, const char *text);

// Records one entry-point call: its arguments, the status it returns, and
// whether a fault is injected. Only calls from outside the stand-ins are
// counted and traced (a call the driver makes into VISA is not).
class Call
{
public:
    explicit Call(const char *function);
    ~Call();
    Call(const Call &) = delete;
    Call &operator=(const Call &) = delete;

    Call &arg(const char *name, long long value);
    Call &argHex(const char *name, unsigned long long value);
    Call &arg(const char *name, double value);
    Call &arg(const char *name, const char *text);
    Call &arg(const char *name, const void *pointer);
    Call &samples(const char *name, const double *values, std::size_t count);

    // An injected error: the entry point returns it without doing its work,
    // after the latency the bench gives the entry point (for the resource,
    // when one is given), as a real call that fails late does.
    bool injectedError(int resource = -1);
    // Writes the trace line; an injected warning replaces a success.
    ViStatus finish(ViStatus status);

private:
    void appendReal(double value);

    const char *m_function;
    std::string m_line;
    bool m_outer;
    bool m_traced; // outer, and a trace is written: only then is the line made
    bool m_finished = false;
    ViStatus m_injected = VI_SUCCESS;
    bool m_afterWork = false;
};

// Copies the whole text, terminated, into a caller buffer, as a real library
// does: a buffer that is too small is overrun, which the sanitizers report.
void copyText(const std::string &text, char *buffer);

// A library's own text for a status.
struct StatusText
{
    ViStatus status;
    const char *text;
};

// Writes the text of a status into message, and into the call's trace: the
// bench's text for it where it sets one, else the library's from its table.
// False when neither has one, and nothing is written.
bool writeStatusText(ViStatus status, const StatusText *table, std::size_t count, char *message,
                     Call &call);

} // namespace orbsim

#endif
