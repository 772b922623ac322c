// The stand-in platform libraries: bench files, VISA sessions and attributes,
// the driver's and the common library's behaviour, faults, trace and threads.
#include <QtTest>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#include "bench.h"
#include "testsupport.h"
#include "tn6800.h"
#include "tn6820.h"

using sfptest::SimBench;

namespace {

ViSession openResource(ViSession rm, const char *name, ViStatus *status = nullptr)
{
    ViSession vi = 0;
    ViStatus st = viOpen(rm, name, VI_NULL, VI_NULL, &vi);
    if (status)
        *status = st;
    return vi;
}

} // namespace

class tst_simulator : public QObject
{
    Q_OBJECT
private slots:
    void badBenchFile_data();
    void badBenchFile();
    void badBenchFallsBackToDefault();
    void defaultBenchListsFourResources();
    void attributesOfDefaultBench();
    void carrierDescription();
    void driverInitChecksTheCard_data();
    void driverInitChecksTheCard();
    void invalidSessions();
    void badArguments_data();
    void badArguments();
    void faultInjection_data();
    void faultInjection();
    void errorTexts();
    void delayWaits();
    void carrierHandleChecked_data();
    void carrierHandleChecked();
    void latencyPerEntryPoint();
    void strictBenchSettings();
    void traceWritesSamplesExactly();
    void cardKeepsItsState();
    void parallelCarrierOpens();
};

void tst_simulator::badBenchFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("what");
    QTest::newRow("key before section") << "slot = 3\n" << 1 << "before any section";
    QTest::newRow("unknown section") << "[rack]\n" << 1 << "unknown section";
    QTest::newRow("unclosed header") << "\n[carrier\n" << 2 << "must end with ']'";
    QTest::newRow("no equals") << "[bench]\nserial 12\n" << 2 << "expected 'key = value'";
    QTest::newRow("bad serial") << "[bench]\nserial = 0x1FFFFFFFF\n" << 2 << "bad value";
    QTest::newRow("unknown key") << "[bench]\ncolour = red\n" << 2 << "unknown key 'colour'";
    QTest::newRow("limits reversed") << "[bench]\nlow_limit = 5\nhigh_limit = 1\n"
                                     << 3 << "above low_limit";
    QTest::newRow("low limit at the default high limit") << "[bench]\nlow_limit = 10\n"
                                                         << 2 << "above low_limit";
    QTest::newRow("high limit below the default low limit")
        << "[bench]\nserial = 1\nhigh_limit = -12\nsubtype = XY\n"
        << 3 << "above low_limit";
    QTest::newRow("position before positions")
        << "[carrier]\nresource = VXI0::1::INSTR\ninterface = vxi\nposition = 1 0x6820\n"
        << 4 << "needs 'positions'";
    QTest::newRow("position out of range")
        << "[carrier]\nresource = VXI0::1::INSTR\ninterface = vxi\npositions = 2\nposition = 3 "
           "0x6820\n"
        << 5 << "bad value";
    QTest::newRow("subtype length")
        << "[carrier]\nresource = VXI0::1::INSTR\ninterface = vxi\npositions = 2\nposition = 1 "
           "0x6904 ABC\n"
        << 5 << "exactly two";
    QTest::newRow("carrier without positions")
        << "[carrier]\nresource = VXI0::1::INSTR\ninterface = vxi\n"
        << 4 << "number of positions";
    QTest::newRow("carrier without resource")
        << "[carrier]\ninterface = vxi\npositions = 1\n[resource]\n"
        << 4 << "names no resource";
    QTest::newRow("lxi without address")
        << "[carrier]\nresource = TCPIP0::h::INSTR\ninterface = tcpip\npositions = 1\n"
        << 5 << "has no address";
    QTest::newRow("serial carrier") << "[carrier]\nresource = ASRL1::INSTR\ninterface = asrl\n"
                                    << 3 << "vxi or tcpip";
    QTest::newRow("duplicate resource")
        << "[resource]\nresource = ASRL1::INSTR\n[resource]\nresource = asrl1::instr\n"
        << 5 << "listed twice";
    QTest::newRow("unknown entry point") << "[fault]\nfunction = viRead\nstatus = -1\n"
                                         << 2 << "no such entry point";
    QTest::newRow("fault without status") << "[fault]\nfunction = viOpen\n" << 3 << "needs both";
    QTest::newRow("bad when") << "[fault]\nfunction = viOpen\nstatus = -1\nwhen = sometimes\n"
                              << 4 << "'always', 'call N' or 'from N'";
    QTest::newRow("positive open status")
        << "[resource]\nresource = ASRL1::INSTR\nopen_status = 5\n"
        << 3 << "negative status";
    QTest::newRow("latency negative")
        << "[resource]\nresource = ASRL1::INSTR\nopen_latency_ms = -1\n"
        << 3 << "milliseconds";
    QTest::newRow("binary") << QString::fromLatin1("[bench]\nserial = 1\x01\x02\n") << 2
                            << "bad value";
    QTest::newRow("text over 255 characters")
        << "[bench]\n\ndriver_revision = " + QString(256, QLatin1Char('r')) + "\n"
        << 3 << "at most 255";
    QTest::newRow("error text without text") << "[bench]\nerror_text = 0xBFFF0015\n"
                                             << 2 << "<status> <text";
    QTest::newRow("latency of no entry point")
        << "[resource]\nresource = ASRL1::INSTR\nlatency = viRead 10\n"
        << 3 << "entry point";
    QTest::newRow("latency without time") << "[bench]\nlatency = viOpen\n" << 2 << "milliseconds";
}

void tst_simulator::badBenchFile()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, what);
    orbsim::BenchData data;
    std::string error;
    QVERIFY(!orbsim::parseBench(text.toStdString(), "b.ini", data, error));
    const QString e = QString::fromStdString(error);
    QVERIFY2(e.startsWith(QStringLiteral("b.ini:%1: ").arg(line)), qPrintable(e));
    QVERIFY2(e.contains(what), qPrintable(e));
}

void tst_simulator::badBenchFallsBackToDefault()
{
    SimBench bench(QStringLiteral("[carrier]\nresource = VXI0::1::INSTR\n"));
    ViSession rm = 0;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    ViFindList list = 0;
    ViUInt32 count = 0;
    char desc[256];
    QCOMPARE(viFindRsrc(rm, "?*INSTR", &list, &count, desc), VI_SUCCESS);
    QCOMPARE(count, 4u);
    QCOMPARE(QString::fromLatin1(desc), QStringLiteral("VXI0::8::INSTR"));
    viClose(rm);
}

void tst_simulator::defaultBenchListsFourResources()
{
    SimBench bench;
    ViSession rm = 0;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    ViFindList list = 0;
    ViUInt32 count = 0;
    char desc[256];
    QCOMPARE(viFindRsrc(rm, "?*INSTR", &list, &count, desc), VI_SUCCESS);
    QStringList all{QString::fromLatin1(desc)};
    while (viFindNext(list, desc) == VI_SUCCESS)
        all << QString::fromLatin1(desc);
    QCOMPARE(all, QStringList({"VXI0::8::INSTR", "TCPIP0::192.168.10.20::inst0::INSTR",
                               "TCPIP0::192.168.10.20::hislip0::INSTR", "ASRL1::INSTR"}));
    QCOMPARE(viFindRsrc(rm, "GPIB?*INSTR", &list, &count, desc), VI_ERROR_RSRC_NFOUND);
    QCOMPARE(count, 0u);
    QCOMPARE(viClose(rm), VI_SUCCESS);
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
}

void tst_simulator::attributesOfDefaultBench()
{
    SimBench bench;
    ViSession rm = 0;
    viOpenDefaultRM(&rm);
    ViSession vxi = openResource(rm, "VXI0::8::INSTR");
    ViSession lxi = openResource(rm, "TCPIP0::192.168.10.20::hislip0::INSTR");
    // The address as typed by hand reaches the same carrier.
    ViStatus st = 0;
    ViSession typed = openResource(rm, "tcpip::192.168.10.20::INSTR", &st);
    QCOMPARE(st, VI_SUCCESS);
    QVERIFY(vxi && lxi && typed);

    ViInt16 slot = 0;
    QCOMPARE(viGetAttribute(vxi, VI_ATTR_SLOT, &slot), VI_SUCCESS);
    QCOMPARE(slot, ViInt16(3));
    QCOMPARE(viGetAttribute(lxi, VI_ATTR_SLOT, &slot), VI_ERROR_NSUP_ATTR);
    ViUInt16 intf = 0;
    QCOMPARE(viGetAttribute(lxi, VI_ATTR_INTF_TYPE, &intf), VI_SUCCESS);
    QCOMPARE(intf, ViUInt16(VI_INTF_TCPIP));
    char text[256];
    QCOMPARE(viGetAttribute(lxi, VI_ATTR_TCPIP_ADDR, text), VI_SUCCESS);
    QCOMPARE(QString::fromLatin1(text), QStringLiteral("192.168.10.20"));
    QCOMPARE(viGetAttribute(lxi, VI_ATTR_TCPIP_DEVICE_NAME, text), VI_SUCCESS);
    QCOMPARE(QString::fromLatin1(text), QStringLiteral("hislip0"));
    QCOMPARE(viGetAttribute(typed, VI_ATTR_TCPIP_DEVICE_NAME, text), VI_SUCCESS);
    QCOMPARE(QString::fromLatin1(text), QStringLiteral("inst0"));
    QCOMPARE(viGetAttribute(lxi, VI_ATTR_TCPIP_HOSTNAME, text), VI_SUCCESS);
    QCOMPARE(QString::fromLatin1(text), QStringLiteral("orbana-lxi-13.lab"));
    QCOMPARE(viGetAttribute(vxi, VI_ATTR_TCPIP_ADDR, text), VI_ERROR_NSUP_ATTR);
    QCOMPARE(openResource(rm, "TCPIP0::10.9.9.9::INSTR", &st), ViSession(0));
    QCOMPARE(st, VI_ERROR_RSRC_NFOUND);
    viClose(rm);
}

void tst_simulator::carrierDescription()
{
    SimBench bench;
    ViSession rm = 0;
    viOpenDefaultRM(&rm);
    ViSession vxi = openResource(rm, "VXI0::8::INSTR");
    tn6800_carrierHandle handle{};
    handle.resourceManager = rm;
    QCOMPARE(tn6800_openCarrier(vxi, &handle), VI_SUCCESS);
    QVERIFY(handle.carrier);
    const tn6800_carrierInfo *info = handle.carrier->info;
    QCOMPARE(info->positionCount, 4);
    QCOMPARE(info->carrierModel, ViUInt16(0x6800));
    QCOMPARE(info->positionCode[0], ViUInt16(0x6904));
    QCOMPARE(info->positionCode[1], ViUInt16(0x6820));
    QCOMPARE(info->positionCode[2], ViUInt16(0));
    QVERIFY(handle.carrier->accessTable(handle.carrier, 0, 1));
    QVERIFY(!handle.carrier->accessTable(handle.carrier, 2, 1));
    tn6800_accessTable *table = handle.carrier->accessTable(handle.carrier, 1, 1);
    QVERIFY(table && table->readRegister);
    ViUInt16 reg = 0;
    QCOMPARE(table->readRegister(handle.carrier, 1, 0xFC, &reg), VI_SUCCESS);
    QCOMPARE(reg, ViUInt16(('A' << 8) | 'B'));
    QCOMPARE(table->readRegister(handle.carrier, 5, 0xFC, &reg), TN6800_ERROR_INV_POSITION);
    QCOMPARE(tn6800_closeCarrier(&handle), VI_SUCCESS);
    QCOMPARE(tn6800_closeCarrier(&handle), TN6800_ERROR_NULL_POINTER);

    ViSession serial = openResource(rm, "ASRL1::INSTR");
    QVERIFY(serial);
    QCOMPARE(tn6800_openCarrier(serial, &handle), TN6800_ERROR_NOT_CARRIER);
    QVERIFY(!handle.carrier);
    viClose(rm);
}

void tst_simulator::driverInitChecksTheCard_data()
{
    QTest::addColumn<QString>("descriptor");
    QTest::addColumn<int>("fc");
    QTest::addColumn<int>("idQuery");
    QTest::addColumn<int>("status");
    QTest::newRow("vxi 6820") << "VXI0::8::INSTR" << 2 << 1 << int(VI_SUCCESS);
    QTest::newRow("lxi 6820") << "TCPIP0::192.168.10.20::inst0::INSTR" << 1 << 1 << int(VI_SUCCESS);
    QTest::newRow("6904 with id query")
        << "VXI0::8::INSTR" << 1 << 1 << int(VI_ERROR_FAIL_ID_QUERY);
    QTest::newRow("6904 without id query") << "VXI0::8::INSTR" << 1 << 0 << int(VI_SUCCESS);
    QTest::newRow("empty position") << "VXI0::8::INSTR" << 3 << 1 << int(TN6820_ERROR_NO_CARD);
    QTest::newRow("no such position")
        << "VXI0::8::INSTR" << 9 << 1 << int(TN6820_ERROR_INV_FC_NUMBER);
    QTest::newRow("card number 0") << "VXI0::8::INSTR" << 0 << 1 << int(TN6820_ERROR_INV_FC_NUMBER);
    QTest::newRow("unknown descriptor") << "VXI0::99::INSTR" << 1 << 1 << int(VI_ERROR_RSRC_NFOUND);
    QTest::newRow("no carrier") << "ASRL1::INSTR" << 1 << 1 << int(TN6820_ERROR_NOT_CARRIER);
    QTest::newRow("blanks") << "   " << 1 << 1 << int(VI_ERROR_RSRC_NFOUND);
}

void tst_simulator::driverInitChecksTheCard()
{
    QFETCH(QString, descriptor);
    QFETCH(int, fc);
    QFETCH(int, idQuery);
    QFETCH(int, status);
    SimBench bench;
    ViSession vi = 99;
    QByteArray d = descriptor.toLatin1();
    QCOMPARE(int(tn6820_init(d.data(), ViInt16(fc), ViBoolean(idQuery), VI_TRUE, &vi)), status);
    if (status == VI_SUCCESS) {
        QVERIFY(vi != 0);
        QCOMPARE(tn6820_close(vi), VI_SUCCESS);
    } else {
        QCOMPARE(vi, ViSession(0));
    }
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
}

void tst_simulator::invalidSessions()
{
    SimBench bench;
    const ViSession bad = 4242;
    double lo = 0;
    double hi = 0;
    ViUInt32 serial = 0;
    char sub[16];
    double values[8] = {};
    QCOMPARE(tn6820_reset(bad), VI_ERROR_INV_OBJECT);
    QCOMPARE(tn6820_close(bad), VI_ERROR_INV_OBJECT);
    QCOMPARE(tn6820_getOutputLimits(bad, &lo, &hi), VI_ERROR_INV_OBJECT);
    QCOMPARE(tn6820_readSerialNo(bad, &serial, sub), VI_ERROR_INV_OBJECT);
    QCOMPARE(tn6820_setOutputEnable(bad, 0xFF), VI_ERROR_INV_OBJECT);
    QCOMPARE(tn6820_writeChannels(bad, 0xFF, values), VI_ERROR_INV_OBJECT);
    QCOMPARE(tn6820_setFilter(bad, 1), VI_ERROR_INV_OBJECT);
    QCOMPARE(tn6820_generateWaveforms(bad, 1, 4, 0, 0, 0, values), VI_ERROR_INV_OBJECT);
    QCOMPARE(tn6820_startContWaveformEx(bad, 1, 4, 0, 0, 0, 0, values, nullptr, nullptr),
             VI_ERROR_INV_OBJECT);
    QCOMPARE(tn6820_stopContWaveform(bad, VI_TRUE), VI_ERROR_INV_OBJECT);
    QCOMPARE(tn6820_resetFIFO(bad), VI_ERROR_INV_OBJECT);
    QCOMPARE(viClose(bad), VI_ERROR_INV_OBJECT);
    ViSession vi = 0;
    QCOMPARE(viOpen(bad, "VXI0::8::INSTR", 0, 0, &vi), VI_ERROR_INV_OBJECT);
    ViInt16 slot = 0;
    QCOMPARE(viGetAttribute(bad, VI_ATTR_SLOT, &slot), VI_ERROR_INV_OBJECT);

    // A closed session is as invalid as one never opened.
    QCOMPARE(tn6820_init(const_cast<char *>("VXI0::8::INSTR"), 2, 1, 1, &vi), VI_SUCCESS);
    QCOMPARE(tn6820_close(vi), VI_SUCCESS);
    QCOMPARE(tn6820_reset(vi), VI_ERROR_INV_OBJECT);
    QCOMPARE(viGetAttribute(vi, VI_ATTR_SLOT, &slot), VI_ERROR_INV_OBJECT);

    // So is a carrier reached through a session closed before it.
    ViSession rm = 0;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    QCOMPARE(viOpen(rm, "VXI0::8::INSTR", 0, 0, &vi), VI_SUCCESS);
    tn6800_carrierHandle handle{};
    handle.resourceManager = rm;
    QCOMPARE(tn6800_openCarrier(vi, &handle), VI_SUCCESS);
    tn6800_carrier *carrier = handle.carrier;
    const tn6800_accessTable *registers = carrier->accessTable(carrier, 1, 1);
    QVERIFY(registers);
    QCOMPARE(viClose(vi), VI_SUCCESS);
    ViUInt16 code = 0;
    QCOMPARE(registers->readRegister(carrier, 2, 0, &code), VI_ERROR_INV_OBJECT);
    QVERIFY(!carrier->accessTable(carrier, 1, 1));
    QCOMPARE(tn6800_closeCarrier(&handle), VI_ERROR_INV_OBJECT);
    QVERIFY(!handle.carrier);
    QCOMPARE(viClose(rm), VI_SUCCESS);
}

// A call the driver refuses for its arguments; vi is an open session of the
// default bench's 6820, values eight samples a channel.
using DriverCall = std::function<ViStatus(ViSession vi, ViReal64 *values)>;
Q_DECLARE_METATYPE(DriverCall)

void tst_simulator::badArguments_data()
{
    QTest::addColumn<DriverCall>("call");
    QTest::addColumn<int>("status");
    const ViInt16 byChannel = tn6820_GROUP_BY_CHANNEL;
    QTest::newRow("no channel to generate") << DriverCall([=](ViSession vi, ViReal64 *v) {
        return tn6820_generateWaveforms(vi, 0, 4, 0, 0, byChannel, v);
    }) << int(TN6820_ERROR_INV_CHANNEL_MASK);
    QTest::newRow("a ninth channel") << DriverCall([=](ViSession vi, ViReal64 *v) {
        return tn6820_generateWaveforms(vi, 0x100, 4, 0, 0, byChannel, v);
    }) << int(TN6820_ERROR_INV_CHANNEL_MASK);
    QTest::newRow("an empty segment") << DriverCall([=](ViSession vi, ViReal64 *v) {
        return tn6820_generateWaveforms(vi, 1, 0, 0, 0, byChannel, v);
    }) << int(TN6820_ERROR_INV_SEGMENT);
    QTest::newRow("more than the memory") << DriverCall([=](ViSession vi, ViReal64 *v) {
        return tn6820_generateWaveforms(vi, 0x03, 4097, 0, 0, byChannel, v);
    }) << int(TN6820_ERROR_MEMORY_OVERFLOW);
    QTest::newRow("rate code 11") << DriverCall([=](ViSession vi, ViReal64 *v) {
        return tn6820_generateWaveforms(vi, 1, 4, 11, 0, byChannel, v);
    }) << int(TN6820_ERROR_INV_RATE);
    QTest::newRow("filter code 4") << DriverCall([=](ViSession vi, ViReal64 *v) {
        return tn6820_generateWaveforms(vi, 1, 4, 0, 4, byChannel, v);
    }) << int(TN6820_ERROR_INV_FILTER);
    QTest::newRow("another grouping") << DriverCall([=](ViSession vi, ViReal64 *v) {
        return tn6820_generateWaveforms(vi, 1, 4, 0, 0, byChannel + 1, v);
    }) << int(VI_ERROR_PARAMETER4);
    QTest::newRow("no buffer") << DriverCall([=](ViSession vi, ViReal64 *) {
        return tn6820_generateWaveforms(vi, 1, 4, 0, 0, byChannel, nullptr);
    }) << int(TN6820_ERROR_NULL_POINTER);
    QTest::newRow("continuous with a reserved value") << DriverCall([=](ViSession vi, ViReal64 *v) {
        return tn6820_startContWaveformEx(vi, 1, 4, 0, 0, byChannel, 1, v, nullptr, nullptr);
    }) << int(VI_ERROR_PARAMETER4);
    QTest::newRow("filter code -1")
        << DriverCall([](ViSession vi, ViReal64 *) { return tn6820_setFilter(vi, -1); })
        << int(TN6820_ERROR_INV_FILTER);
    QTest::newRow("enable a ninth channel")
        << DriverCall([](ViSession vi, ViReal64 *) { return tn6820_setOutputEnable(vi, 0x1FF); })
        << int(TN6820_ERROR_INV_CHANNEL_MASK);
    QTest::newRow("write without values")
        << DriverCall([](ViSession vi, ViReal64 *) { return tn6820_writeChannels(vi, 1, nullptr); })
        << int(TN6820_ERROR_NULL_POINTER);
    QTest::newRow("limits without a place for them") << DriverCall([](ViSession vi, ViReal64 *v) {
        return tn6820_getOutputLimits(vi, v, nullptr);
    }) << int(TN6820_ERROR_NULL_POINTER);
    QTest::newRow("an error text without a buffer") << DriverCall([](ViSession vi, ViReal64 *) {
        return tn6820_error_message(vi, VI_ERROR_TMO, nullptr);
    }) << int(VI_ERROR_PARAMETER3);
    QTest::newRow("the text of an unknown status") << DriverCall([](ViSession vi, ViReal64 *) {
        char text[1024];
        return tn6820_error_message(vi, 0x12345, text);
    }) << int(VI_ERROR_PARAMETER2);
    QTest::newRow("open without a name") << DriverCall([](ViSession, ViReal64 *) {
        ViSession other = 0;
        return tn6820_init(nullptr, 2, 1, 1, &other);
    }) << int(VI_ERROR_PARAMETER1);
    QTest::newRow("open without a place for the session") << DriverCall([](ViSession, ViReal64 *) {
        return tn6820_init(const_cast<char *>("VXI0::8::INSTR"), 2, 1, 1, nullptr);
    }) << int(TN6820_ERROR_NULL_POINTER);
}

// Each refusal leaves the card's memory as it was: a waveform stored before
// is still there.
void tst_simulator::badArguments()
{
    QFETCH(DriverCall, call);
    QFETCH(int, status);
    SimBench bench;
    ViSession vi = 0;
    QCOMPARE(tn6820_init(const_cast<char *>("VXI0::8::INSTR"), 2, 1, 1, &vi), VI_SUCCESS);
    ViReal64 values[64] = {1, 2, 3, 4};
    QCOMPARE(tn6820_generateWaveforms(vi, 1, 4, 0, 0, tn6820_GROUP_BY_CHANNEL, values), VI_SUCCESS);
    ViReal64 other[64] = {};
    QCOMPARE(int(call(vi, other)), status);
    {
        orbsim::Bench &b = orbsim::Bench::instance();
        std::lock_guard<std::mutex> lock(b.mutex());
        const orbsim::CardState &card = b.data().carriers[0].cards[1];
        QCOMPARE(card.memory, (std::vector<double>{1, 2, 3, 4}));
        QCOMPARE(card.memoryMask, 1u);
    }
    QCOMPARE(tn6820_close(vi), VI_SUCCESS);
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
}

void tst_simulator::faultInjection_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QList<int>>("expected"); // statuses of five calls
    const int e = int(VI_ERROR_TMO);
    QTest::newRow("always") << "always"
                            << "0xBFFF0015" << QList<int>{e, e, e, e, e};
    QTest::newRow("on the third call") << "call 3"
                                       << "-1073807339" << QList<int>{0, 0, e, 0, 0};
    QTest::newRow("from the fourth call") << "from 4"
                                          << "0xBFFF0015" << QList<int>{0, 0, 0, e, e};
    QTest::newRow("warning") << "call 2"
                             << "0x3FFC0801"
                             << QList<int>{0, int(TN6820_WARN_OUTPUT_CLIPPED), 0, 0, 0};
}

void tst_simulator::faultInjection()
{
    QFETCH(QString, when);
    QFETCH(QString, status);
    QFETCH(QList<int>, expected);
    SimBench bench(QStringLiteral("[carrier]\nresource = VXI0::1::INSTR\ninterface = vxi\n"
                                  "positions = 1\nposition = 1 0x6820\n"
                                  "[fault]\nfunction = tn6820_setFilter\nstatus = %1\nwhen = %2\n")
                       .arg(status, when));
    ViSession vi = 0;
    QCOMPARE(tn6820_init(const_cast<char *>("VXI0::1::INSTR"), 1, 1, 1, &vi), VI_SUCCESS);
    QList<int> got;
    for (int i = 0; i < 5; ++i)
        got << int(tn6820_setFilter(vi, 1));
    QCOMPARE(got, expected);
    const QStringList lines = bench.calls(QStringLiteral("tn6820_setFilter"));
    QCOMPARE(lines.size(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(int(sfptest::traceStatus(lines[i])), expected[i]);
    tn6820_close(vi);
}

void tst_simulator::errorTexts()
{
    SimBench bench;
    char text[1024];
    QCOMPARE(tn6820_error_message(VI_NULL, TN6820_ERROR_NO_CARD, text), VI_SUCCESS);
    QVERIFY(QString::fromLatin1(text).contains(QStringLiteral("No 6820")));
    QVERIFY(tn6820_error_message(VI_NULL, ViStatus(0xBFFC0FFF), text) != VI_SUCCESS);
    QVERIFY(tn6820_error_message(VI_NULL, TN6800_ERROR_NOT_CARRIER, text) != VI_SUCCESS);
    QCOMPARE(tn6800_error_message(TN6800_ERROR_NOT_CARRIER, text), VI_SUCCESS);
    QCOMPARE(QString::fromLatin1(text), QStringLiteral("The resource is not an Orbana carrier."));
    QCOMPARE(tn6800_error_message(VI_ERROR_RSRC_NFOUND, text), VI_SUCCESS);
    QVERIFY(QString::fromLatin1(text).contains(QStringLiteral("not present")));
    char revision[40];
    QCOMPARE(tn6800_revision(revision), VI_SUCCESS);
    QCOMPARE(QString::fromLatin1(revision), QStringLiteral("2.6.1.403"));
}

void tst_simulator::delayWaits()
{
    SimBench bench;
    QElapsedTimer t;
    t.start();
    QCOMPARE(tn6800_delay(60.0), VI_SUCCESS);
    QVERIFY(t.elapsed() >= 59);
    QCOMPARE(tn6800_delay(-1.0), VI_ERROR_PARAMETER1);
}

void tst_simulator::carrierHandleChecked_data()
{
    QTest::addColumn<int>("field"); // which caller field is set wrong; -1 none
    QTest::addColumn<int>("status");
    QTest::newRow("prepared as required") << -1 << int(VI_SUCCESS);
    QTest::newRow("no resource manager") << 0 << int(TN6800_ERROR_INV_HANDLE);
    QTest::newRow("another resource manager") << 1 << int(TN6800_ERROR_INV_HANDLE);
    QTest::newRow("the instrument's own session") << 2 << int(TN6800_ERROR_INV_HANDLE);
    QTest::newRow("reserved field at byte 8") << 3 << int(TN6800_ERROR_INV_HANDLE);
    QTest::newRow("reserved field at byte 16") << 4 << int(TN6800_ERROR_INV_HANDLE);
}

void tst_simulator::carrierHandleChecked()
{
    QFETCH(int, field);
    QFETCH(int, status);
    SimBench bench;
    ViSession rm = 0;
    ViSession other = 0;
    viOpenDefaultRM(&rm);
    viOpenDefaultRM(&other);
    ViSession vxi = openResource(rm, "VXI0::8::INSTR");
    tn6800_carrierHandle handle{};
    handle.resourceManager = rm;
    switch (field) {
    case 0:
        handle.resourceManager = 0;
        break;
    case 1:
        handle.resourceManager = other;
        break;
    case 2:
        handle.resourceManager = vxi;
        break;
    case 3:
        handle.reserved1 = 1;
        break;
    case 4:
        handle.reserved2 = 7;
        break;
    default:
        break;
    }
    QCOMPARE(int(tn6800_openCarrier(vxi, &handle)), status);
    QCOMPARE(handle.carrier != nullptr, status == VI_SUCCESS);
    if (handle.carrier)
        QCOMPARE(tn6800_closeCarrier(&handle), VI_SUCCESS);
    viClose(other);
    viClose(rm);
}

// Each entry point can be slow for one resource, or for every call.
void tst_simulator::latencyPerEntryPoint()
{
    SimBench bench(QStringLiteral(
        "[bench]\nlatency = tn6820_setFilter 80\n"
        "[carrier]\nresource = VXI0::1::INSTR\ninterface = vxi\nmodel = 6800\npositions = 2\n"
        "position = 1 0x6904 AB\nposition = 2 0x6820\nlatency = tn6800_openCarrier 80\n"
        "latency = readRegister 80\nlatency = tn6800_closeCarrier 80\nlatency = viClose 80\n"
        "latency = viGetAttribute 80\n"
        "[carrier]\nresource = VXI0::2::INSTR\ninterface = vxi\nmodel = 6800\npositions = 1\n"
        "position = 1 0x6904 AB\n"));
    ViSession rm = 0;
    viOpenDefaultRM(&rm);
    for (const char *name : {"VXI0::1::INSTR", "VXI0::2::INSTR"}) {
        const bool slow = name[6] == '1';
        QElapsedTimer t;
        auto took = [&t] { return t.restart(); };
        t.start();
        ViSession vi = openResource(rm, name);
        tn6800_carrierHandle handle{};
        handle.resourceManager = rm;
        took();
        QCOMPARE(tn6800_openCarrier(vi, &handle), VI_SUCCESS);
        QCOMPARE(took() >= 79, slow);
        ViUInt16 reg = 0;
        handle.carrier->accessTable(handle.carrier, 1, 1)
            ->readRegister(handle.carrier, 1, 0xFC, &reg);
        QCOMPARE(took() >= 79, slow);
        ViInt16 slot = 0;
        viGetAttribute(vi, VI_ATTR_SLOT, &slot);
        QCOMPARE(took() >= 79, slow);
        tn6800_closeCarrier(&handle);
        QCOMPARE(took() >= 79, slow);
        viClose(vi);
        QCOMPARE(took() >= 79, slow);
    }
    viClose(rm);
    ViSession vi = 0;
    QCOMPARE(tn6820_init(const_cast<char *>("VXI0::1::INSTR"), 2, 1, 1, &vi), VI_SUCCESS);
    QElapsedTimer t;
    t.start();
    tn6820_setFilter(vi, 1);
    QVERIFY(t.elapsed() >= 79);
    tn6820_close(vi);

    // Every entry point waits its latency, and an injected error waits it too.
    SimBench slow(QStringLiteral("[bench]\nlatency = tn6820_revision_query 80\n"
                                 "latency = tn6820_error_message 80\n"
                                 "latency = tn6800_revision 80\nlatency = tn6800_error_message 80\n"
                                 "latency = tn6820_reset 80\n"
                                 "[fault]\nfunction = tn6820_reset\nstatus = 0xBFFF0015\n"
                                 "[carrier]\nresource = VXI0::8::INSTR\ninterface = vxi\n"
                                 "positions = 2\nposition = 2 0x6820\n"));
    QCOMPARE(tn6820_init(const_cast<char *>("VXI0::8::INSTR"), 2, 1, 1, &vi), VI_SUCCESS);
    char text[1024];
    char firmware[1024];
    const QList<std::function<ViStatus()>> calls{
        [&] { return tn6820_revision_query(vi, text, firmware); },
        [&] { return tn6820_error_message(vi, VI_ERROR_TMO, text); },
        [&] { return tn6800_revision(text); },
        [&] { return tn6800_error_message(VI_ERROR_TMO, text); },
        [&] { return tn6820_reset(vi) == VI_ERROR_TMO ? VI_SUCCESS : VI_ERROR_SYSTEM_ERROR; }};
    for (int i = 0; i < calls.size(); ++i) {
        t.restart();
        QCOMPARE(calls[i](), VI_SUCCESS);
        QVERIFY2(t.elapsed() >= 79, qPrintable(QString::number(i)));
    }
    tn6820_close(vi);
}

// Texts are written whole, as a real library writes them; a driver may refuse
// the session-less revision query; a fault may come after the work is done.
void tst_simulator::strictBenchSettings()
{
    const QByteArray t255(255, 't');
    SimBench bench(QStringLiteral("[bench]\ndriver_revision = %1\nfirmware_revision = %1\n"
                                  "subtype = %1\ncommon_revision = %1\nerror_text = 0xBFFF0015 %1\n"
                                  "driver_revision_needs_session = yes\n"
                                  "[fault]\nfunction = tn6820_init\nstatus = 0xBFFF0015\n"
                                  "when = call 2\nafter_work = yes\n"
                                  "[carrier]\nresource = VXI0::8::INSTR\ninterface = vxi\n"
                                  "positions = 2\nposition = 2 0x6820\n")
                       .arg(QString::fromLatin1(t255)));
    char big[1024];
    char other[1024];
    QCOMPARE(tn6820_revision_query(VI_NULL, big, nullptr), VI_ERROR_INV_OBJECT);
    ViSession vi = 0;
    QCOMPARE(tn6820_init(const_cast<char *>("VXI0::8::INSTR"), 2, 1, 1, &vi), VI_SUCCESS);
    QCOMPARE(tn6820_revision_query(vi, big, other), VI_SUCCESS);
    QCOMPARE(QByteArray(big), t255);
    QCOMPARE(QByteArray(other), t255);
    ViUInt32 serial = 0;
    QCOMPARE(tn6820_readSerialNo(vi, &serial, big), VI_SUCCESS);
    QCOMPARE(QByteArray(big), t255);
    QCOMPARE(tn6800_revision(big), VI_SUCCESS);
    QCOMPARE(QByteArray(big), t255);
    QCOMPARE(tn6820_error_message(VI_NULL, VI_ERROR_TMO, big), VI_SUCCESS);
    QCOMPARE(QByteArray(big), t255);
    QCOMPARE(tn6800_error_message(VI_ERROR_TMO, big), VI_SUCCESS);
    QCOMPARE(QByteArray(big), t255);
    QCOMPARE(tn6820_close(vi), VI_SUCCESS);
    // The second open fails after it opened: the session comes back with the error.
    QCOMPARE(tn6820_init(const_cast<char *>("VXI0::8::INSTR"), 2, 1, 1, &vi), VI_ERROR_TMO);
    QVERIFY(vi != 0);
    QCOMPARE(tn6820_close(vi), VI_SUCCESS);
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
}

void tst_simulator::traceWritesSamplesExactly()
{
    SimBench bench;
    ViSession vi = 0;
    QCOMPARE(tn6820_init(const_cast<char *>("VXI0::8::INSTR"), 2, 1, 1, &vi), VI_SUCCESS);
    double samples[8];
    for (int i = 0; i < 8; ++i)
        samples[i] = std::sin(i * 0.7) / 3.0 + 1e-17 * i;
    QCOMPARE(tn6820_generateWaveforms(vi, 0x05, 4, 0, 2, 0, samples), VI_SUCCESS);
    const QStringList lines = bench.calls(QStringLiteral("tn6820_generateWaveforms"));
    QCOMPARE(lines.size(), 1);
    const auto args = sfptest::traceArgs(lines[0]);
    QCOMPARE(args.value("channelMask"), QStringLiteral("0x05"));
    QCOMPARE(args.value("segmentLength"), QStringLiteral("4"));
    const QVector<double> got = sfptest::traceSamples(lines[0], QStringLiteral("buffer"));
    QCOMPARE(got.size(), 8);
    QCOMPARE(std::memcmp(got.constData(), samples, sizeof samples), 0);
    // The driver's own use of VISA is not traced: init shows as one line.
    QCOMPARE(bench.calls(QStringLiteral("viOpen")).size(), 0);
    QCOMPARE(bench.calls(QStringLiteral("tn6820_init")).size(), 1);
    tn6820_close(vi);
}

void tst_simulator::cardKeepsItsState()
{
    SimBench bench;
    ViSession vi = 0;
    QCOMPARE(tn6820_init(const_cast<char *>("VXI0::8::INSTR"), 2, 1, 1, &vi), VI_SUCCESS);
    double values[8] = {1, 2, 3, 4, 5, 6, 7, 11};
    QCOMPARE(tn6820_setOutputEnable(vi, 0xFF), VI_SUCCESS);
    QCOMPARE(tn6820_writeChannels(vi, 0xFF, values), TN6820_WARN_OUTPUT_CLIPPED);
    QCOMPARE(tn6820_setFilter(vi, 4), TN6820_ERROR_INV_FILTER);
    QCOMPARE(tn6820_setFilter(vi, 3), VI_SUCCESS);
    double wave[16] = {};
    QCOMPARE(tn6820_startContWaveformEx(vi, 0x03, 8, 0, 3, 0, 0, wave, nullptr, nullptr),
             VI_SUCCESS);
    QCOMPARE(tn6820_resetFIFO(vi), VI_ERROR_RSRC_BUSY); // memory in use while running
    {
        auto &b = orbsim::Bench::instance();
        std::lock_guard<std::mutex> lock(b.mutex());
        const orbsim::CardState &card = b.data().carriers[0].cards[1];
        QCOMPARE(card.enabledMask, 0xFFu);
        QCOMPARE(card.values[7], 10.0);
        QCOMPARE(card.filter, 3);
        QVERIFY(card.running);
        QCOMPARE(card.memory.size(), std::size_t(16));
    }
    QCOMPARE(tn6820_stopContWaveform(vi, VI_TRUE), VI_SUCCESS);
    QCOMPARE(tn6820_resetFIFO(vi), VI_SUCCESS);
    QCOMPARE(tn6820_generateWaveforms(vi, 0xFF, 1025, 0, 2, 0, wave), TN6820_ERROR_MEMORY_OVERFLOW);
    QCOMPARE(tn6820_reset(vi), VI_SUCCESS);
    {
        auto &b = orbsim::Bench::instance();
        std::lock_guard<std::mutex> lock(b.mutex());
        const orbsim::CardState &card = b.data().carriers[0].cards[1];
        QCOMPARE(card.enabledMask, 0u);
        QVERIFY(card.memory.empty());
    }
    tn6820_close(vi);
}

void tst_simulator::parallelCarrierOpens()
{
    QString text;
    for (int i = 0; i < 128; ++i)
        text +=
            QStringLiteral("[carrier]\nresource = TCPIP0::10.1.%1.%2::INSTR\ninterface = tcpip\n"
                           "address = 10.1.%1.%2\nmodel = 6813\npositions = 13\n"
                           "position = %3 0x6820\nposition = 13 0x6904 CD\n"
                           "open_latency_ms = 20\n")
                .arg(i / 100)
                .arg(i % 100)
                .arg(1 + i % 12);
    SimBench bench(text);
    ViSession rm = 0;
    QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 128; ++i) {
        threads.emplace_back([&, i] {
            const QByteArray name =
                QStringLiteral("TCPIP0::10.1.%1.%2::INSTR").arg(i / 100).arg(i % 100).toLatin1();
            ViSession vi = 0;
            if (viOpen(rm, name.constData(), 0, 0, &vi) != VI_SUCCESS)
                return;
            tn6800_carrierHandle handle{};
            handle.resourceManager = rm;
            if (tn6800_openCarrier(vi, &handle) == VI_SUCCESS) {
                tn6800_accessTable *table = handle.carrier->accessTable(handle.carrier, 1, 1);
                ViUInt16 reg = 0;
                const bool ok = handle.carrier->info->positionCode[i % 12] == 0x6820 && table &&
                                table->readRegister(handle.carrier, 13, 0xFC, &reg) == 0 &&
                                reg == (('C' << 8) | 'D');
                tn6800_closeCarrier(&handle);
                if (ok && viClose(vi) == VI_SUCCESS)
                    ++good;
            }
        });
    }
    for (auto &th : threads)
        th.join();
    QCOMPARE(good.load(), 128);
    // The opens waited side by side, not one after another (128 x 20 ms).
    QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(bench.calls(QStringLiteral("viOpen")).size(), 128);
    QCOMPARE(viClose(rm), VI_SUCCESS);
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
}

QTEST_GUILESS_MAIN(tst_simulator)
#include "tst_simulator.moc"
