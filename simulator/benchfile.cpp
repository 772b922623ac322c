// The bench-file format: parsing, the built-in default bench, and how VISA
// compares descriptors.
#include "bench.h"

#include <charconv>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace orbsim {

namespace {

const char *const kDefaultBench =
    R"(# The bench the stand-ins simulate when ORBANA_SIM_BENCH names no file.
[bench]
serial = 0x00001A2B
subtype = AB
firmware_revision = 1.2.0.7
driver_revision = 4.3.0.1187
common_revision = 2.6.1.403
low_limit = -10
high_limit = 10

# A VXI carrier in slot 3: a 6904 in position 1, a 6820 in position 2.
[carrier]
resource = VXI0::8::INSTR
interface = vxi
slot = 3
model = 0x6800
positions = 4
position = 1 0x6904 AB
position = 2 0x6820

# A 13-position LXI carrier that VISA lists under two protocols.
[carrier]
resource = TCPIP0::192.168.10.20::inst0::INSTR
resource = TCPIP0::192.168.10.20::hislip0::INSTR
interface = tcpip
address = 192.168.10.20
hostname = orbana-lxi-13.lab
model = 6813
positions = 13
position = 1 0x6820

# A serial port: an instrument resource, but no carrier.
[resource]
resource = ASRL1::INSTR
interface = asrl
)";

// Texts the bench sets are at most this long, as VISA's 256-byte buffers allow.
const std::size_t kMaxText = 255;

const char *const kEntryPoints[] = {"viOpenDefaultRM",
                                    "viFindRsrc",
                                    "viFindNext",
                                    "viOpen",
                                    "viClose",
                                    "viGetAttribute",
                                    "tn6820_init",
                                    "tn6820_close",
                                    "tn6820_reset",
                                    "tn6820_error_message",
                                    "tn6820_revision_query",
                                    "tn6820_readSerialNo",
                                    "tn6820_getOutputLimits",
                                    "tn6820_setOutputEnable",
                                    "tn6820_writeChannels",
                                    "tn6820_setFilter",
                                    "tn6820_generateWaveforms",
                                    "tn6820_startContWaveformEx",
                                    "tn6820_stopContWaveform",
                                    "tn6820_resetFIFO",
                                    "tn6800_revision",
                                    "tn6800_openCarrier",
                                    "tn6800_closeCarrier",
                                    "tn6800_error_message",
                                    "tn6800_delay"};

std::string trim(const std::string &s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string upper(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string lower(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool parseInteger(const std::string &text, long long minimum, long long maximum, long long &out)
{
    if (text.empty())
        return false;
    errno = 0;
    char *end = nullptr;
    long long v = 0;
    if (text[0] == '-' || text[0] == '+') {
        v = std::strtoll(text.c_str(), &end, 0);
    } else {
        unsigned long long u = std::strtoull(text.c_str(), &end, 0);
        if (u > static_cast<unsigned long long>(INT64_MAX))
            return false;
        v = static_cast<long long>(u);
    }
    if (errno != 0 || end == text.c_str() || *end != '\0' || v < minimum || v > maximum)
        return false;
    out = v;
    return true;
}

bool parseDouble(const std::string &text, double &out)
{
    if (text.empty())
        return false;
    // Read with a point as the decimal mark, whatever the process's locale.
    const char *from = text.c_str();
    const char *end = from + text.size();
    if (*from == '+')
        ++from;
    double v = 0;
    const std::from_chars_result r = std::from_chars(from, end, v);
    if (r.ec != std::errc() || r.ptr != end || !(v == v) || v > 1e300 || v < -1e300)
        return false;
    out = v;
    return true;
}

// A status in decimal or hexadecimal; hexadecimal is taken as the 32-bit pattern.
bool parseStatus(const std::string &text, ViStatus &out)
{
    long long v = 0;
    if (!parseInteger(text, INT32_MIN, UINT32_MAX, v))
        return false;
    out = static_cast<ViStatus>(static_cast<std::uint32_t>(v));
    return true;
}

std::uint16_t interfaceByName(const std::string &name, bool &ok)
{
    static const std::pair<const char *, std::uint16_t> names[] = {{"gpib", VI_INTF_GPIB},
                                                                   {"vxi", VI_INTF_VXI},
                                                                   {"gpib-vxi", VI_INTF_GPIB_VXI},
                                                                   {"asrl", VI_INTF_ASRL},
                                                                   {"pxi", 5},
                                                                   {"tcpip", VI_INTF_TCPIP},
                                                                   {"usb", 7}};
    ok = true;
    for (const auto &n : names) {
        if (name == n.first)
            return n.second;
    }
    ok = false;
    return 0;
}

std::vector<std::string> splitWords(const std::string &s)
{
    std::vector<std::string> words;
    std::istringstream in(s);
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

bool knownEntryPoint(const std::string &name)
{
    for (const char *e : kEntryPoints) {
        if (name == e)
            return true;
    }
    return false;
}

bool parseYesNo(const std::string &text, bool &out)
{
    const std::string t = lower(text);
    if (t == "yes" || t == "true" || t == "1")
        out = true;
    else if (t == "no" || t == "false" || t == "0")
        out = false;
    else
        return false;
    return true;
}

class Parser
{
public:
    Parser(const std::string &fileName, BenchData &out) : m_file(fileName), m_out(out) {}

    bool run(const std::string &text, std::string &error)
    {
        std::istringstream in(text);
        std::string raw;
        while (std::getline(in, raw)) {
            ++m_line;
            if (raw.find('\0') != std::string::npos)
                return fail("the line holds a NUL byte", error);
            std::string line = raw;
            std::size_t hash = line.find('#');
            if (hash != std::string::npos &&
                (hash == 0 || std::isspace(static_cast<unsigned char>(line[hash - 1]))))
                line.erase(hash);
            line = trim(line);
            if (line.empty())
                continue;
            if (line.front() == '[') {
                if (!closeSection(error))
                    return false;
                if (line.back() != ']')
                    return fail("a section header must end with ']'", error);
                if (!openSection(trim(line.substr(1, line.size() - 2)), error))
                    return false;
                continue;
            }
            std::size_t eq = line.find('=');
            if (eq == std::string::npos)
                return fail("expected 'key = value'", error);
            std::string key = lower(trim(line.substr(0, eq)));
            std::string value = trim(line.substr(eq + 1));
            if (m_section.empty())
                return fail("'" + key + "' stands before any section", error);
            if (!setKey(key, value, error))
                return false;
        }
        ++m_line;
        if (!closeSection(error))
            return false;
        // Checked once both limits are known: either may stand alone and meet the default.
        if (!(m_out.card.lowLimit < m_out.card.highLimit)) {
            m_line = m_limitLine;
            return fail("high_limit must be above low_limit", error);
        }
        return true;
    }

private:
    bool fail(const std::string &what, std::string &error)
    {
        error = m_file + ":" + std::to_string(m_line) + ": " + what;
        return false;
    }

    bool openSection(const std::string &name, std::string &error)
    {
        std::string n = lower(name);
        if (n != "bench" && n != "carrier" && n != "resource" && n != "fault")
            return fail("unknown section [" + name + "]", error);
        m_section = n;
        m_sectionLine = m_line;
        m_carrier = Carrier();
        m_positionsSet = false;
        m_resources.clear();
        m_resource = Resource();
        m_fault = Fault();
        m_faultStatusSet = false;
        m_latency.clear();
        m_openStatus = VI_SUCCESS;
        m_interfaceSet = false;
        return true;
    }

    bool addResources(std::uint16_t intf, int carrier, std::string &error)
    {
        if (m_resources.empty())
            return fail("the section from line " + std::to_string(m_sectionLine) +
                            " names no resource",
                        error);
        for (const std::string &d : m_resources) {
            std::string c = canonicalDescriptor(d);
            if (!m_seen.insert(c).second)
                return fail("resource '" + d + "' is listed twice", error);
            Resource r;
            r.descriptor = d;
            r.carrier = carrier;
            r.interfaceType = intf;
            r.openStatus = m_openStatus;
            r.latencyMs = m_latency;
            m_out.resources.push_back(r);
        }
        return true;
    }

    bool closeSection(std::string &error)
    {
        if (m_section == "carrier") {
            if (!m_interfaceSet)
                return fail("the carrier from line " + std::to_string(m_sectionLine) +
                                " has no interface",
                            error);
            if (m_carrier.interfaceType == VI_INTF_TCPIP && m_carrier.address.empty())
                return fail("the LXI carrier from line " + std::to_string(m_sectionLine) +
                                " has no address",
                            error);
            if (!m_positionsSet)
                return fail("the carrier from line " + std::to_string(m_sectionLine) +
                                " does not say its number of positions",
                            error);
            tn6800_carrierInfo &info = m_carrier.info;
            std::memset(&info, 0, sizeof info);
            std::snprintf(info.reserved, sizeof info.reserved, "Orbana carrier %u",
                          static_cast<unsigned>(m_carrier.model));
            info.positionCount = static_cast<ViInt32>(m_carrier.positions.size());
            info.carrierModel = m_carrier.model;
            for (std::size_t i = 0; i < m_carrier.positions.size(); ++i)
                info.positionCode[i] = m_carrier.positions[i].code;
            m_carrier.cards.assign(m_carrier.positions.size(), CardState());
            m_carrier.resources = m_resources;
            int index = static_cast<int>(m_out.carriers.size());
            m_out.carriers.push_back(m_carrier);
            if (!addResources(m_carrier.interfaceType, index, error))
                return false;
        } else if (m_section == "resource") {
            if (!addResources(m_resource.interfaceType, -1, error))
                return false;
        } else if (m_section == "fault") {
            if (m_fault.function.empty() || !m_faultStatusSet)
                return fail("the fault from line " + std::to_string(m_sectionLine) +
                                " needs both 'function' and 'status'",
                            error);
            m_out.faults.push_back(m_fault);
        }
        m_section.clear();
        return true;
    }

    bool setKey(const std::string &key, const std::string &value, std::string &error)
    {
        long long n = 0;
        const std::string bad = "bad value '" + value + "' for '" + key + "'";
        if (m_section == "bench") {
            CardData &c = m_out.card;
            if (key == "serial") {
                if (!parseInteger(value, 0, UINT32_MAX, n))
                    return fail(bad + ": expected a number from 0 to 0xFFFFFFFF", error);
                c.serial = static_cast<std::uint32_t>(n);
            } else if (key == "subtype" || key == "firmware_revision" || key == "driver_revision" ||
                       key == "common_revision") {
                if (value.size() > kMaxText)
                    return fail(bad + ": at most 255 characters", error);
                (key == "subtype"             ? c.subtype
                 : key == "firmware_revision" ? c.firmwareRevision
                 : key == "driver_revision"   ? c.driverRevision
                                              : c.commonRevision) = value;
            } else if (key == "driver_revision_needs_session") {
                if (!parseYesNo(value, c.revisionNeedsSession))
                    return fail(bad + ": expected yes or no", error);
            } else if (key == "error_text") {
                const std::size_t gap = value.find_first_of(" \t");
                ViStatus status = 0;
                const std::string text =
                    gap == std::string::npos ? std::string() : trim(value.substr(gap));
                if (gap == std::string::npos || !parseStatus(value.substr(0, gap), status) ||
                    text.empty() || text.size() > kMaxText)
                    return fail(bad + ": expected '<status> <text of 1 to 255 characters>'", error);
                m_out.errorTexts[status] = text;
            } else if (key == "latency") {
                return setLatency(m_out.latencyMs, value, bad, error);
            } else if (key == "low_limit" || key == "high_limit") {
                double d = 0;
                if (!parseDouble(value, d))
                    return fail(bad + ": expected a number of volts", error);
                (key == "low_limit" ? c.lowLimit : c.highLimit) = d;
                m_limitLine = m_line;
            } else {
                return fail("unknown key '" + key + "' in [bench]", error);
            }
            return true;
        }
        if (key == "resource") {
            if (value.empty() || value.size() > 255)
                return fail(bad + ": a descriptor of 1 to 255 characters", error);
            m_resources.push_back(value);
            return true;
        }
        if (key == "open_latency_ms" && m_section != "fault") {
            double d = 0;
            if (!parseDouble(value, d) || d < 0 || d > 60000)
                return fail(bad + ": expected 0 to 60000 milliseconds", error);
            m_latency["viOpen"] = d;
            return true;
        }
        if (key == "latency" && m_section != "fault")
            return setLatency(m_latency, value, bad, error);
        if (key == "open_status" && m_section != "fault") {
            ViStatus s = 0;
            if (!parseStatus(value, s) || s > 0)
                return fail(bad + ": expected 0 or a negative status", error);
            m_openStatus = s;
            return true;
        }
        if (key == "interface" && m_section != "fault") {
            bool ok = false;
            std::uint16_t intf = interfaceByName(lower(value), ok);
            if (!ok)
                return fail(bad + ": expected vxi, tcpip, gpib, gpib-vxi, asrl, pxi or usb", error);
            if (m_section == "carrier" && intf != VI_INTF_VXI && intf != VI_INTF_TCPIP)
                return fail(bad + ": a carrier is reached over vxi or tcpip", error);
            m_carrier.interfaceType = intf;
            m_resource.interfaceType = intf;
            m_interfaceSet = true;
            return true;
        }
        if (m_section == "carrier")
            return setCarrierKey(key, value, bad, error);
        if (m_section == "fault")
            return setFaultKey(key, value, bad, error);
        return fail("unknown key '" + key + "' in [" + m_section + "]", error);
    }

    bool setCarrierKey(const std::string &key, const std::string &value, const std::string &bad,
                       std::string &error)
    {
        long long n = 0;
        if (key == "slot") {
            if (!parseInteger(value, INT16_MIN, INT16_MAX, n))
                return fail(bad + ": expected a 16-bit number", error);
            m_carrier.slot = static_cast<std::int16_t>(n);
        } else if (key == "address" || key == "hostname" || key == "device_name") {
            if (value.size() > 255)
                return fail(bad + ": at most 255 characters", error);
            (key == "address"    ? m_carrier.address
             : key == "hostname" ? m_carrier.hostname
                                 : m_carrier.deviceName) = value;
        } else if (key == "description" || key == "access_tables") {
            if (!parseYesNo(value, key == "description" ? m_carrier.hasDescription
                                                        : m_carrier.hasAccessTables))
                return fail(bad + ": expected yes or no", error);
        } else if (key == "model") {
            if (!parseInteger(value, 0, UINT16_MAX, n))
                return fail(bad + ": expected a number from 0 to 0xFFFF", error);
            m_carrier.model = static_cast<std::uint16_t>(n);
        } else if (key == "positions") {
            if (m_positionsSet)
                return fail("'positions' is given twice", error);
            if (!parseInteger(value, 0, TN6800_MAX_POSITIONS, n))
                return fail(bad + ": expected 0 to " + std::to_string(TN6800_MAX_POSITIONS), error);
            m_carrier.positions.assign(static_cast<std::size_t>(n), Position());
            m_positionsSet = true;
        } else if (key == "position") {
            std::vector<std::string> w = splitWords(value);
            if (!m_positionsSet)
                return fail("'position' needs 'positions' before it", error);
            long long p = 0;
            long long code = 0;
            if (w.size() < 2 || w.size() > 3 ||
                !parseInteger(w[0], 1, static_cast<long long>(m_carrier.positions.size()), p) ||
                !parseInteger(w[1], 0, UINT16_MAX, code))
                return fail(bad + ": expected '<position 1.." +
                                std::to_string(m_carrier.positions.size()) +
                                "> <code> [two subtype characters]'",
                            error);
            if (w.size() == 3 && w[2].size() != 2)
                return fail(bad + ": the subtype is exactly two characters", error);
            Position &pos = m_carrier.positions[static_cast<std::size_t>(p - 1)];
            if (pos.code != 0)
                return fail("position " + w[0] + " is described twice", error);
            pos.code = static_cast<std::uint16_t>(code);
            pos.subtypeChars = w.size() == 3 ? w[2] : std::string();
        } else {
            return fail("unknown key '" + key + "' in [carrier]", error);
        }
        return true;
    }

    // 'latency = <entry point> <milliseconds>'; readRegister names the
    // carrier's register read.
    bool setLatency(std::map<std::string, double> &latency, const std::string &value,
                    const std::string &bad, std::string &error)
    {
        const std::vector<std::string> w = splitWords(value);
        double ms = 0;
        if (w.size() != 2 || !(knownEntryPoint(w[0]) || w[0] == "readRegister") ||
            !parseDouble(w[1], ms) || ms < 0 || ms > 60000)
            return fail(bad + ": expected '<entry point> <0 to 60000 milliseconds>'", error);
        latency[w[0]] = ms;
        return true;
    }

    bool setFaultKey(const std::string &key, const std::string &value, const std::string &bad,
                     std::string &error)
    {
        if (key == "function") {
            if (!knownEntryPoint(value))
                return fail(bad + ": no such entry point", error);
            m_fault.function = value;
        } else if (key == "status") {
            if (!parseStatus(value, m_fault.status) || m_fault.status == 0)
                return fail(bad + ": expected a non-zero status", error);
            m_faultStatusSet = true;
        } else if (key == "after_work") {
            if (!parseYesNo(value, m_fault.afterWork))
                return fail(bad + ": expected yes or no", error);
        } else if (key == "when") {
            std::vector<std::string> w = splitWords(lower(value));
            long long n = 0;
            if (w.size() == 1 && w[0] == "always") {
                m_fault.when = Fault::When::Always;
            } else if (w.size() == 2 && (w[0] == "call" || w[0] == "from") &&
                       parseInteger(w[1], 1, INT32_MAX, n)) {
                m_fault.when = w[0] == "call" ? Fault::When::OnCall : Fault::When::FromCall;
                m_fault.call = static_cast<long>(n);
            } else {
                return fail(bad + ": expected 'always', 'call N' or 'from N'", error);
            }
        } else {
            return fail("unknown key '" + key + "' in [fault]", error);
        }
        return true;
    }

    std::string m_file;
    BenchData &m_out;
    int m_line = 0;
    int m_limitLine = 0;
    int m_sectionLine = 0;
    std::string m_section;
    Carrier m_carrier;
    bool m_positionsSet = false;
    bool m_interfaceSet = false;
    std::vector<std::string> m_resources;
    Resource m_resource;
    Fault m_fault;
    bool m_faultStatusSet = false;
    std::map<std::string, double> m_latency;
    ViStatus m_openStatus = VI_SUCCESS;
    std::set<std::string> m_seen;
};

} // namespace

bool parseBench(const std::string &text, const std::string &fileName, BenchData &out,
                std::string &error)
{
    BenchData data;
    Parser parser(fileName, data);
    if (!parser.run(text, error))
        return false;
    out = std::move(data);
    return true;
}

const char *defaultBenchText()
{
    return kDefaultBench;
}

std::string canonicalDescriptor(const std::string &descriptor)
{
    std::string u = upper(trim(descriptor));
    std::vector<std::string> tokens;
    std::size_t start = 0;
    for (;;) {
        std::size_t sep = u.find("::", start);
        tokens.push_back(
            u.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
        if (sep == std::string::npos)
            break;
        start = sep + 2;
    }
    std::string &first = tokens[0];
    std::size_t letters = 0;
    while (letters < first.size() && std::isalpha(static_cast<unsigned char>(first[letters])))
        ++letters;
    std::string intf = first.substr(0, letters);
    if (letters == first.size())
        first += "0";
    static const char *const classes[] = {"INSTR", "SOCKET", "BACKPLANE", "SERVANT", "INTFC"};
    bool hasClass = false;
    for (const char *c : classes)
        hasClass = hasClass || tokens.back() == c;
    if (!hasClass)
        tokens.push_back("INSTR");
    if (intf == "TCPIP" && tokens.size() == 3 && tokens[2] == "INSTR")
        tokens.insert(tokens.begin() + 2, "INST0");
    std::string out;
    for (std::size_t i = 0; i < tokens.size(); ++i)
        out += (i ? "::" : "") + tokens[i];
    return out;
}

} // namespace orbsim
