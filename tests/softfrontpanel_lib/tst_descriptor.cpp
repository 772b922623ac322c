// Reading and ordering VISA resource descriptors.
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>

#include "tn6800fp_descriptor.h"

namespace {

enum Order
{
    Before,
    Equal,
    After
};

Order order(const QString &a, const QString &b)
{
    if (descriptorLessThan(a, b))
        return Before;
    return descriptorLessThan(b, a) ? After : Equal;
}

// Edge cases and random texts, including ones that broke whole-text ordering.
QStringList descriptorZoo()
{
    QStringList zoo{QString(),
                    QStringLiteral(":"),
                    QStringLiteral("::"),
                    QStringLiteral("0"),
                    QStringLiteral("1::INSTR"),
                    QStringLiteral(":VXI0"),
                    QStringLiteral("VXI0::1::INSTR"),
                    QStringLiteral("VXI0::5::INSTR"),
                    QStringLiteral("vxi1::2::INSTR"),
                    QStringLiteral("VXI"),
                    QStringLiteral("VXI-9"),
                    QStringLiteral("VXI 7::INSTR"),
                    QStringLiteral("VXI-3::INSTR"),
                    QStringLiteral("VXI2147483647999::INSTR"),
                    QStringLiteral("GPIB0::5::INSTR"),
                    QStringLiteral("GPIB-VXI0::1::INSTR"),
                    QStringLiteral("ASRL1::INSTR"),
                    QStringLiteral("ASRL10::INSTR"),
                    QStringLiteral("ASRL2::INSTR"),
                    QStringLiteral("asrl3::INSTR"),
                    QStringLiteral("USB0::0x1234::0x5678::SN1::INSTR"),
                    QStringLiteral("usb0::0x1234::0x5678::SN1::INSTR"),
                    QStringLiteral("USB1::1::INSTR"),
                    QStringLiteral("USBX"),
                    QStringLiteral("TCPIP0::1.2.3.4::INSTR"),
                    QStringLiteral("tcpip0::1.2.3.4::INSTR"),
                    QStringLiteral("TCPIP0::9.9.9.9::INSTR"),
                    QStringLiteral("TCPIP0::10.0.0.2::inst0::INSTR"),
                    QStringLiteral("TCPIP0::10.0.0.10::hislip0::INSTR"),
                    QStringLiteral("TCPIP0::host.lab::INSTR"),
                    QStringLiteral("TCPIP1::1.1.1.1::INSTR"),
                    QStringLiteral("TCPIP::1.1.1.1::INSTR"),
                    QStringLiteral("TCPIP0:: 1.2 .3.4::INSTR"),
                    QStringLiteral("TCPIP0::-1.+2.3.4::INSTR"),
                    QStringLiteral("TCPIP0::1.2"),
                    QStringLiteral("TCPIPX0::1.2.3.4"),
                    QStringLiteral("TCPIP0::99999999999.1.1.1::INSTR"),
                    QStringLiteral("TCPIP0::1.2.3.4::SOCKET"),
                    QString(300, QLatin1Char('A')),
                    QString(255, QLatin1Char('9')),
                    QString::fromUtf8("\xc3\xa4VXI0::1::INSTR"),
                    QString::fromLatin1("VXI0\x01\x7f\xff::INSTR")};
    QRandomGenerator rng(20261207);
    const QString alphabet = QStringLiteral("TCPIPVXIASRLGPIBUSBtcpvxi0123456789:.-+ _\t");
    for (int i = 0; i < 260; ++i) {
        QString s;
        const int len = int(rng.bounded(24));
        if (rng.bounded(3) == 0)
            s = QStringLiteral("TCPIP%1::").arg(rng.bounded(3));
        for (int k = 0; k < len; ++k) {
            if (rng.bounded(20) == 0)
                s += QChar(ushort(rng.bounded(1, 0xFFFF)));
            else
                s += alphabet.at(int(rng.bounded(alphabet.size())));
        }
        zoo << s;
    }
    return zoo;
}

} // namespace

class tst_descriptor : public QObject
{
    Q_OBJECT
private slots:
    void readings_data();
    void readings();
    void listedOrder_data();
    void listedOrder();
    void strictWeakOrdering();
    void sortedListIsSorted();
    void displayTexts();
};

void tst_descriptor::readings_data()
{
    QTest::addColumn<QString>("descriptor");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("board");
    QTest::addColumn<QList<int>>("octets");
    QTest::addColumn<QString>("group");
    QTest::newRow("vxi") << "VXI0::1::INSTR"
                         << "VXI" << 0 << QList<int>{0, 0, 0, 0} << "VXI0";
    QTest::newRow("serial 12") << "ASRL12::INSTR"
                               << "ASRL" << 12 << QList<int>{0, 0, 0, 0} << "ASRL12";
    QTest::newRow("tcpip address") << "TCPIP3::192.168.1.20::inst0::INSTR"
                                   << "TCPIP" << 3 << QList<int>{192, 168, 1, 20} << "TCPIP3";
    QTest::newRow("host name") << "TCPIP0::lab-host::INSTR"
                               << "TCPIP" << 0 << QList<int>{0, 0, 0, 0} << "TCPIP0";
    QTest::newRow("no board") << "TCPIP::1.2.3.4::INSTR"
                              << "TCPIP" << 0 << QList<int>{0, 0, 0, 0} << "TCPIP";
    QTest::newRow("lower case") << "tcpip0::1.2.3.4::INSTR"
                                << "TCPIP" << 0 << QList<int>{1, 2, 3, 4} << "tcpip0";
    QTest::newRow("half an address") << "TCPIP0::10.20::INSTR"
                                     << "TCPIP" << 0 << QList<int>{10, 20, 0, 0} << "TCPIP0";
    QTest::newRow("gpib-vxi") << "GPIB-VXI3::1::INSTR"
                              << "GPIB" << 0 << QList<int>{0, 0, 0, 0} << "GPIB-VXI3";
    QTest::newRow("digit first") << "1::INSTR"
                                 << "" << 0 << QList<int>{0, 0, 0, 0} << "1";
    QTest::newRow("no colon") << "USBX"
                              << "USBX" << 0 << QList<int>{0, 0, 0, 0} << "USBX";
    QTest::newRow("empty") << ""
                           << "" << 0 << QList<int>{0, 0, 0, 0} << "";
    QTest::newRow("huge board") << "ASRL99999999999::INSTR"
                                << "ASRL" << 2147483647 << QList<int>{0, 0, 0, 0}
                                << "ASRL99999999999";
    QTest::newRow("signed board") << "ASRL-4::INSTR"
                                  << "ASRL" << -4 << QList<int>{0, 0, 0, 0} << "ASRL-4";
}

void tst_descriptor::readings()
{
    QFETCH(QString, descriptor);
    QFETCH(QString, name);
    QFETCH(int, board);
    QFETCH(QList<int>, octets);
    QFETCH(QString, group);
    QCOMPARE(descriptorInterfaceName(descriptor), name);
    QCOMPARE(descriptorBoardNumber(descriptor), board);
    if (name == QLatin1String("TCPIP")) {
        const auto o = descriptorIpv4(descriptor);
        QCOMPARE(QList<int>({o[0], o[1], o[2], o[3]}), octets);
    }
    QCOMPARE(descriptorGroupKey(descriptor), group);
}

void tst_descriptor::listedOrder_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("last octet by number") << "TCPIP0::10.0.0.2::INSTR"
                                          << "TCPIP0::10.0.0.10::INSTR" << int(Before);
    QTest::newRow("third octet decides") << "TCPIP0::10.0.1.200::INSTR"
                                         << "TCPIP0::10.0.2.1::INSTR" << int(Before);
    QTest::newRow("board 1 after board 0") << "TCPIP1::1.1.1.1::INSTR"
                                           << "TCPIP0::255.255.255.255::INSTR" << int(After);
    QTest::newRow("two protocols of one carrier")
        << "TCPIP0::10.0.0.2::inst0::INSTR"
        << "TCPIP0::10.0.0.2::hislip0::INSTR" << int(Equal);
    QTest::newRow("host name before addresses") << "TCPIP0::host::INSTR"
                                                << "TCPIP0::0.0.0.1::INSTR" << int(Before);
    QTest::newRow("two host names") << "TCPIP0::alpha::INSTR"
                                    << "TCPIP0::beta::INSTR" << int(Equal);
    QTest::newRow("missing board is board 0, no address") << "TCPIP::9.9.9.9::INSTR"
                                                          << "TCPIP0::host::INSTR" << int(Equal);
    QTest::newRow("vxi logical addresses equal") << "VXI0::1::INSTR"
                                                 << "VXI0::5::INSTR" << int(Equal);
    QTest::newRow("vxi1 after vxi0") << "VXI1::1::INSTR"
                                     << "VXI0::5::INSTR" << int(After);
    QTest::newRow("asrl by number") << "ASRL10::INSTR"
                                    << "ASRL2::INSTR" << int(After);
    QTest::newRow("usb as text") << "USB0::0x1::INSTR"
                                 << "USB0::0x2::INSTR" << int(Before);
    QTest::newRow("asrl before gpib") << "ASRL1::INSTR"
                                      << "GPIB0::1::INSTR" << int(Before);
    QTest::newRow("gpib before tcpip") << "GPIB0::1::INSTR"
                                       << "TCPIP0::1.1.1.1::INSTR" << int(Before);
    QTest::newRow("tcpip before vxi") << "TCPIP0::1.1.1.1::INSTR"
                                      << "VXI0::1::INSTR" << int(Before);
    QTest::newRow("lower case like upper case") << "tcpip0::10.0.0.1::INSTR"
                                                << "TCPIP0::10.0.0.3::INSTR" << int(Before);
    QTest::newRow("lower case equal address") << "tcpip0::10.0.0.1::INSTR"
                                              << "TCPIP0::10.0.0.1::INSTR" << int(Equal);
    QTest::newRow("digit first as text") << "1::INSTR"
                                         << "2::INSTR" << int(Before);
    QTest::newRow("colon first as text") << ":b"
                                         << ":a" << int(After);
    QTest::newRow("prefix names by name") << "USB0::1"
                                          << "USBX" << int(Before);
    // Every interface that is ordered by board number: X10 after X2.
    for (const char *name : {"VXI", "GPIB", "SOCKET", "BACKPLANE", "PXI", "ASRL"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 by board number").arg(QLatin1String(name))))
            << QStringLiteral("%1%2::7::INSTR").arg(QLatin1String(name)).arg(10)
            << QStringLiteral("%1%2::3::INSTR").arg(QLatin1String(name)).arg(2) << int(After);
    }
}

void tst_descriptor::listedOrder()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    QCOMPARE(int(order(a, b)), expected);
    QCOMPARE(int(order(b, a)), expected == Equal ? int(Equal) : 2 - expected);
}

void tst_descriptor::strictWeakOrdering()
{
    const QStringList zoo = descriptorZoo();
    const int n = zoo.size();
    QVector<QVector<char>> less(n, QVector<char>(n));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            less[i][j] = descriptorLessThan(zoo[i], zoo[j]);
    for (int i = 0; i < n; ++i) {
        QVERIFY2(!less[i][i], qPrintable("reflexive: " + zoo[i]));
        for (int j = 0; j < n; ++j) {
            if (less[i][j] && less[j][i])
                QFAIL(qPrintable("not asymmetric: " + zoo[i] + " / " + zoo[j]));
            for (int k = 0; k < n; ++k) {
                if (less[i][j] && less[j][k] && !less[i][k])
                    QFAIL(
                        qPrintable("not transitive: " + zoo[i] + " < " + zoo[j] + " < " + zoo[k]));
                const bool eqIJ = !less[i][j] && !less[j][i];
                const bool eqJK = !less[j][k] && !less[k][j];
                const bool eqIK = !less[i][k] && !less[k][i];
                if (eqIJ && eqJK && !eqIK)
                    QFAIL(qPrintable("equivalence not transitive: " + zoo[i] + " ~ " + zoo[j] +
                                     " ~ " + zoo[k]));
            }
        }
    }
}

void tst_descriptor::sortedListIsSorted()
{
    QStringList zoo = descriptorZoo();
    std::sort(zoo.begin(), zoo.end(), descriptorLessThan);
    for (int i = 1; i < zoo.size(); ++i)
        QVERIFY2(!descriptorLessThan(zoo[i], zoo[i - 1]),
                 qPrintable(zoo[i - 1] + " before " + zoo[i]));
    // The once-cyclic trio now has one order.
    QStringList trio{"USB0::1::INSTR", "tcpip0::1.2.3.4::INSTR", "TCPIP0::9.9.9.9::INSTR"};
    std::sort(trio.begin(), trio.end(), descriptorLessThan);
    QCOMPARE(trio,
             QStringList({"tcpip0::1.2.3.4::INSTR", "TCPIP0::9.9.9.9::INSTR", "USB0::1::INSTR"}));
}

void tst_descriptor::displayTexts()
{
    QCOMPARE(lxiCarrierText(QStringLiteral("192.168.10.20"), 6813),
             QStringLiteral("192.168.10.20 - 6813 LXI"));
    QCOMPARE(lxiCarrierText(QStringLiteral("%2"), 1), QStringLiteral("%2 - 1 LXI"));
    QCOMPARE(vxiCarrierText(3, 6800), QStringLiteral("Slot 3 - 6800 MB"));
    QCOMPARE(vxiCarrierText(-1, qint16(0x9000)), QStringLiteral("Slot -1 - -28672 MB"));
    QCOMPARE(cardPositionText(2), QStringLiteral("FC 2"));
    QCOMPARE(cardModelText(0x6820, QString()), QStringLiteral("6820"));
    QCOMPARE(cardModelText(0x6904, QStringLiteral("-AB")), QStringLiteral("6904-AB"));
    QCOMPARE(cardModelText(0x123, QString()), QStringLiteral(" 123"));
}

QTEST_GUILESS_MAIN(tst_descriptor)
#include "tst_descriptor.moc"
