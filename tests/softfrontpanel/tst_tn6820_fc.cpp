// The DAC card object against the stand-in driver: texts, and the session
// operations with the arguments the driver receives.
#include <QtTest>

#include "testsupport.h"
#include "tn6800.h"
#include "tn6820.h"
#include "tn6820_fc.h"

using sfptest::SimBench;
using sfptest::traceArgs;

class tst_tn6820_fc : public QObject
{
    Q_OBJECT
private slots:
    void texts();
    void supportsOnlyItsOwnModel_data();
    void supportsOnlyItsOwnModel();
    void driverRevision();
    void errorMessage();
    void openPassesFirstCardNumberAndFlags();
    void openAndRememberTruncatesLongDescriptors();
    void reopenUsesRememberedCardWithBothFlags();
    void resetAndClose();
};

void tst_tn6820_fc::texts()
{
    tn6820_fc card;
    QCOMPARE(card.modelCode, 0x6820);
    QCOMPARE(card.description(), QStringLiteral("8-Channel, 200kS/s DAC Function Card"));
    QCOMPARE(card.softwareVersion(), QStringLiteral("4.3.2.12522"));
    QVERIFY(!card.noticeText().isEmpty());
    QVERIFY(!card.noticeText().contains(QLatin1Char('\n')));
    QCOMPARE(tn6800fp_modelString(card.modelCode), QStringLiteral("6820"));
    QCOMPARE(tn6800fp_modelString(0x123), QStringLiteral(" 123"));
}

void tst_tn6820_fc::supportsOnlyItsOwnModel_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("served");
    QTest::newRow("6820") << 0x6820 << true;
    QTest::newRow("6904") << 0x6904 << false;
    QTest::newRow("carrier 6800") << 0x6800 << false;
    QTest::newRow("decimal 6820") << 6820 << false;
    QTest::newRow("zero") << 0 << false;
    QTest::newRow("ffff") << 0xFFFF << false;
}

void tst_tn6820_fc::supportsOnlyItsOwnModel()
{
    QFETCH(int, code);
    QFETCH(bool, served);
    tn6820_fc card;
    QCOMPARE(card.supportsModel(quint16(code)), served);
}

void tst_tn6820_fc::driverRevision()
{
    SimBench bench(QStringLiteral("[bench]\ndriver_revision = 9.8.7.6543\n"));
    tn6820_fc card;
    QCOMPARE(card.driverRevision(), QStringLiteral("9.8.7.6543"));
    const QStringList calls = bench.calls(QStringLiteral("tn6820_revision_query"));
    QCOMPARE(calls.size(), 1);
    QCOMPARE(traceArgs(calls[0]).value("vi"), QStringLiteral("0"));
    SimBench failing(
        QStringLiteral("[fault]\nfunction = tn6820_revision_query\nstatus = 0xBFFF0000\n"));
    QCOMPARE(card.driverRevision(), QString());
}

void tst_tn6820_fc::errorMessage()
{
    SimBench bench;
    tn6820_fc card;
    QCOMPARE(card.errorMessage(TN6820_ERROR_NO_CARD),
             QStringLiteral("No 6820 function card in the given carrier position."));
    QCOMPARE(card.errorMessage(TN6800_ERROR_NOT_CARRIER), QString());
    QCOMPARE(card.errorMessage(ViStatus(0x12345678)), QString());
}

void tst_tn6820_fc::openPassesFirstCardNumberAndFlags()
{
    SimBench bench;
    tn6820_fc card;
    const qint16 numbers[3] = {2, 7, 9};
    ViSession vi = 0;
    QCOMPARE(card.open("VXI0::8::INSTR", numbers, VI_TRUE, VI_FALSE, &vi), VI_SUCCESS);
    QVERIFY(vi != 0);
    const QStringList init = bench.calls(QStringLiteral("tn6820_init"));
    QCOMPARE(init.size(), 1);
    const auto a = traceArgs(init[0]);
    QCOMPARE(a.value("resourceName"), QStringLiteral("VXI0::8::INSTR"));
    QCOMPARE(a.value("fcNumber"), QStringLiteral("2"));
    QCOMPARE(a.value("idQuery"), QStringLiteral("1"));
    QCOMPARE(a.value("reset"), QStringLiteral("0"));
    QCOMPARE(a.value("*vi"), QString::number(vi));
    QCOMPARE(card.close(vi), VI_SUCCESS);

    const qint16 wrong[1] = {1}; // the 6904
    QCOMPARE(card.open("VXI0::8::INSTR", wrong, VI_TRUE, VI_TRUE, &vi), VI_ERROR_FAIL_ID_QUERY);
}

void tst_tn6820_fc::openAndRememberTruncatesLongDescriptors()
{
    SimBench bench;
    tn6820_fc card;
    const QByteArray longName(3000, 'X');
    const qint16 numbers[2] = {4, 5};
    ViSession vi = 0;
    QCOMPARE(card.openAndRemember(longName.constData(), numbers, 2, VI_TRUE, VI_TRUE, &vi),
             VI_ERROR_RSRC_NFOUND);
    QCOMPARE(QByteArray(card.rememberedDescriptorText()), longName.left(2047));
    QCOMPARE(card.rememberedFcNumber(0), qint16(4));
    QCOMPARE(card.rememberedFcNumber(1), qint16(5));

    const QByteArray exact(2047, 'Y');
    card.openAndRemember(exact.constData(), numbers, 1, VI_TRUE, VI_TRUE, &vi);
    QCOMPARE(QByteArray(card.rememberedDescriptorText()), exact);
    // A count beyond the array is held to the array's 256 entries.
    QVector<qint16> many(300, 3);
    card.openAndRemember("VXI0::8::INSTR", many.constData(), 300, VI_TRUE, VI_TRUE, &vi);
    QCOMPARE(card.rememberedFcNumber(255), qint16(3));
}

void tst_tn6820_fc::reopenUsesRememberedCardWithBothFlags()
{
    SimBench bench;
    tn6820_fc card;
    const qint16 numbers[1] = {1};
    ViSession vi = 0;
    QCOMPARE(card.openAndRemember("TCPIP0::192.168.10.20::inst0::INSTR", numbers, 1, VI_FALSE,
                                  VI_FALSE, &vi),
             VI_SUCCESS);
    card.close(vi);
    bench.clearTrace();
    ViSession again = 0;
    QCOMPARE(card.reopen(&again), VI_SUCCESS);
    const auto a = traceArgs(bench.calls(QStringLiteral("tn6820_init")).value(0));
    QCOMPARE(a.value("resourceName"), QStringLiteral("TCPIP0::192.168.10.20::inst0::INSTR"));
    QCOMPARE(a.value("fcNumber"), QStringLiteral("1"));
    QCOMPARE(a.value("idQuery"), QStringLiteral("1"));
    QCOMPARE(a.value("reset"), QStringLiteral("1"));
    card.close(again);
}

void tst_tn6820_fc::resetAndClose()
{
    SimBench bench(QStringLiteral("[carrier]\nresource = VXI0::1::INSTR\ninterface = vxi\n"
                                  "positions = 1\nposition = 1 0x6820\n"
                                  "[fault]\nfunction = tn6820_reset\nstatus = 0x3FFC0801\n"));
    tn6820_fc card;
    const qint16 numbers[1] = {1};
    ViSession vi = 0;
    QCOMPARE(card.open("VXI0::1::INSTR", numbers, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);
    QCOMPARE(card.reset(vi), TN6820_WARN_OUTPUT_CLIPPED);
    QCOMPARE(card.close(vi), VI_SUCCESS);
    QCOMPARE(card.close(vi), VI_ERROR_INV_OBJECT);
    QCOMPARE(card.reset(vi), VI_ERROR_INV_OBJECT);
    QCOMPARE(bench.calls(QStringLiteral("tn6820_close")).size(), 2);
}

QTEST_GUILESS_MAIN(tst_tn6820_fc)
#include "tst_tn6820_fc.moc"
