// The address-entry dialog and the file that remembers what was typed.
#include <QComboBox>
#include <QLabel>
#include <QSettings>
#include <QtTest>

#include "testcard.h"
#include "testsupport.h"
#include "tn6800fp_addressdefaults.h"
#include "tn6800fp_fcenteraddress.h"

namespace {

// A dialog whose file lives in a fresh folder named by ALLUSERSPROFILE.
struct Fixture : sfptest::ProfileDir
{
    sfptest::TestCard card;
    void writeIni(const QByteArray &content) const
    {
        QDir().mkpath(path() + QStringLiteral("/Morvix"));
        sfptest::writeFile(path() + QStringLiteral("/Morvix"),
                           QStringLiteral("DefaultInstrDescr.ini"), content);
    }
};

QStringList items(QComboBox *c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

} // namespace

class tst_fcenteraddress : public QObject
{
    Q_OBJECT
private slots:
    void filePath_data();
    void filePath();
    void groupWrittenAsTheReaderReadsIt_data();
    void groupWrittenAsTheReaderReadsIt();
    void rememberedDescriptors_data();
    void rememberedDescriptors();
    void storedNumbers_data();
    void storedNumbers();
    void singleCardDialog();
    void firstRunDefaults();
    void damagedFiles_data();
    void damagedFiles();
    void keepsFiveMostRecent();
    void pickingAnOlderEntryMovesItFirst();
    void rememberedAcrossTwoRuns();
};

void tst_fcenteraddress::groupWrittenAsTheReaderReadsIt_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("value");
    const QByteArray others = "[General]\nkept=1\n\n[6904]\n1.1.Descriptor=TCPIP::a::INSTR\n"
                              "FC_Count=2\n";
    QTest::newRow("a new file") << QByteArray() << "VXI0::8::INSTR";
    QTest::newRow("after other cards' groups") << others << "VXI0::8::INSTR";
    QTest::newRow("replacing the group between others")
        << QByteArray("[6820]\nFC_Count=7\nold=x\n\n") + others << "TCPIP::10.0.0.1::INSTR";
    QTest::newRow("commas, a semicolon, quotes, a backslash") << others << "A,B;C \"q\" \\ =";
    QTest::newRow("letters beyond ASCII, a hexadecimal digit behind")
        << others << QStringLiteral("\u00e9a1\u6ce2F");
    QTest::newRow("empty") << others << "";
}

// The group is written by the panel and read by the toolkit: every value
// comes back as it was, and the other cards' groups stay.
void tst_fcenteraddress::groupWrittenAsTheReaderReadsIt()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, value);
    QTemporaryDir dir;
    const QString path = sfptest::writeFile(
        dir.path(), QStringLiteral("DefaultInstrDescr.ini"),
        tn6800fp_iniWithGroup(before, QStringLiteral("6820"),
                              {{QStringLiteral("1.1.Descriptor"), value},
                               {QStringLiteral("1.FC_Number"), QStringLiteral("2")},
                               {QStringLiteral("FC_Count"), QStringLiteral("1")}}));
    QSettings ini(path, QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("6820/1.1.Descriptor")).toString(), value);
    QCOMPARE(ini.value(QStringLiteral("6820/1.FC_Number")).toString(), QStringLiteral("2"));
    QCOMPARE(ini.value(QStringLiteral("6820/FC_Count")).toString(), QStringLiteral("1"));
    QVERIFY(!ini.contains(QStringLiteral("6820/old")));
    QCOMPARE(ini.value(QStringLiteral("6904/1.1.Descriptor")).toString(),
             QString(before.isEmpty() ? "" : "TCPIP::a::INSTR"));
    QCOMPARE(ini.value(QStringLiteral("kept")).toString(), QString(before.isEmpty() ? "" : "1"));
}

void tst_fcenteraddress::filePath_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<bool>("windows");
    QTest::addColumn<QString>("path");
    QTest::newRow("windows") << "C:\\ProgramData" << true
                             << "C:\\ProgramData\\Morvix\\DefaultInstrDescr.ini";
    QTest::newRow("windows without variable")
        << "" << true << "c:\\vxipnp\\Morvix\\DefaultInstrDescr.ini";
    QTest::newRow("linux") << "/srv/shared" << false << "/srv/shared/Morvix/DefaultInstrDescr.ini";
    QTest::newRow("linux without variable")
        << "" << false << "/home/u/.config/Morvix/DefaultInstrDescr.ini";
}

void tst_fcenteraddress::filePath()
{
    QFETCH(QString, profile);
    QFETCH(bool, windows);
    QFETCH(QString, path);
    QCOMPARE(tn6800fp_defaultsFilePath(profile, QStringLiteral("/home/u/.config"), windows), path);
}

void tst_fcenteraddress::rememberedDescriptors_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("new first") << "E" << QStringList{"A", "B"} << QStringList{"E", "A", "B"};
    QTest::newRow("duplicates go")
        << "B" << QStringList{"A", "B", "A", "C"} << QStringList{"B", "A", "C"};
    QTest::newRow("five at most") << "F" << QStringList{"A", "B", "C", "D", "E"}
                                  << QStringList{"F", "A", "B", "C", "D"};
    QTest::newRow("empty current") << "" << QStringList{"A"} << QStringList{"", "A"};
}

void tst_fcenteraddress::rememberedDescriptors()
{
    QFETCH(QString, current);
    QFETCH(QStringList, list);
    QFETCH(QStringList, expected);
    QCOMPARE(tn6800fp_rememberedDescriptors(current, list), expected);
}

void tst_fcenteraddress::storedNumbers_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("cardIndex");
    QTest::addColumn<int>("countIndex");
    QTest::newRow("1") << "1" << 1 << 0;
    QTest::newRow("3") << "3" << 3 << 2;
    QTest::newRow("8") << "8" << 8 << 7;
    QTest::newRow("9") << "9" << 0 << 0;
    QTest::newRow("0") << "0" << 0 << 0;
    QTest::newRow("negative") << "-3" << 0 << 0;
    QTest::newRow("not a number") << "two" << 0 << 0;
    QTest::newRow("huge") << "99999999999999" << 0 << 0;
    QTest::newRow("smallest int") << "-2147483648" << 0 << 0;
    QTest::newRow("blank") << "" << 0 << 0;
}

void tst_fcenteraddress::storedNumbers()
{
    QFETCH(QString, stored);
    QFETCH(int, cardIndex);
    QFETCH(int, countIndex);
    QCOMPARE(tn6800fp_storedCardNumberIndex(stored), cardIndex);
    QCOMPARE(tn6800fp_storedCountIndex(stored), countIndex);
}

void tst_fcenteraddress::singleCardDialog()
{
    Fixture f;
    tn6800fp_fcEnterAddress dialog(&f.card);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Orbana 6820 SFP: Enter Function Card Address"));
    QVERIFY(!dialog.multiCard());
    QVERIFY(dialog.row(0));
    QCOMPARE(dialog.iniPath(), f.iniPath());
    QVERIFY(dialog.countSelector()->isHidden());
    QComboBox *numbers = dialog.row(0)->cardNumberSelector;
    QCOMPARE(items(numbers), QStringList({"Select", "FC 1", "FC 2", "FC 3", "FC 4", "FC 5", "FC 6",
                                          "FC 7", "FC 8"}));
    QCOMPARE(numbers->toolTip(), QStringLiteral("Select the Function Card Number"));
    const QString tip = dialog.row(0)->descriptorSelector->toolTip();
    QVERIFY(tip.startsWith(QStringLiteral(
        "Enter the Instrument descriptor for the Function Card you want to connect to.<br>")));
    QVERIFY(tip.contains(QStringLiteral("<b>TCPIP::%1::INSTR</b> - Network Instrument with IP "
                                        "Address %1")
                             .arg(QStringLiteral("192.168.10.20"))));

    sfptest::TestCard multi(0x6904);
    tn6800fp_fcEnterAddress multiDialog(&multi);
    QCOMPARE(multiDialog.windowTitle(),
             QStringLiteral("Orbana 6904 SFP: Enter Addresses of Function Cards"));
    QVERIFY(multiDialog.row(7));
    multiDialog.countSelector()->setCurrentIndex(2);
    QVERIFY(multiDialog.row(2)->isEnabled());
    QVERIFY(!multiDialog.row(3)->isEnabled());
    // Rows beyond the count are remembered but not returned.
    multiDialog.row(5)->descriptorSelector->setEditText(QStringLiteral("VXI0::6::INSTR"));
    QStringList d;
    QList<int> n;
    multiDialog.readAddresses(d, n);
    QCOMPARE(d.size(), 3);
    QSettings ini(f.iniPath(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("6904/6.1.Descriptor")).toString(),
             QStringLiteral("VXI0::6::INSTR"));
    QCOMPARE(ini.value(QStringLiteral("6904/FC_Count")).toInt(), 3);
}

void tst_fcenteraddress::firstRunDefaults()
{
    Fixture f;
    tn6800fp_fcEnterAddress dialog(&f.card);
    dialog.loadDefaults();
    QCOMPARE(items(dialog.row(0)->descriptorSelector),
             QStringList{QStringLiteral("TCPIP::192.168.10.20::INSTR")});
    QCOMPARE(dialog.row(0)->descriptorSelector->currentText(),
             QStringLiteral("TCPIP::192.168.10.20::INSTR"));
    QCOMPARE(dialog.row(0)->cardNumberSelector->currentText(), QStringLiteral("Select"));
    QCOMPARE(dialog.countSelector()->currentText(), QStringLiteral("1"));
    QVERIFY(!QFile::exists(f.iniPath())); // loading writes nothing
}

void tst_fcenteraddress::damagedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("descriptors");
    QTest::addColumn<QString>("cardNumber");
    QTest::addColumn<QString>("count");
    const QString d = QStringLiteral("TCPIP::192.168.10.20::INSTR");
    QTest::newRow("empty") << QByteArray() << QStringList{d} << "Select"
                           << "1";
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 131 + 7) & 0xFF);
    QTest::newRow("binary") << binary << QStringList{d} << "Select"
                            << "1";
    QTest::newRow("not numbers")
        << QByteArray("[6820]\n1.FC_Number=three\nFC_Count=x\n1.1.Descriptor=VXI0::1::INSTR\n")
        << QStringList{"VXI0::1::INSTR"} << "Select"
        << "1";
    QTest::newRow("huge and negative")
        << QByteArray("[6820]\n1.FC_Number=99999999999\nFC_Count=-7\n") << QStringList{d}
        << "Select"
        << "1";
    QTest::newRow("count 9") << QByteArray("[6820]\nFC_Count=9\n1.FC_Number=2\n") << QStringList{d}
                             << "FC 2"
                             << "1";
    QTest::newRow("card number 9")
        << QByteArray("[6820]\n1.FC_Number=9\nFC_Count=2\n") << QStringList{d} << "Select"
        << "2";
    QTest::newRow("slot 1 empty") << QByteArray(
                                         "[6820]\n1.1.Descriptor=\n1.2.Descriptor=ASRL1::INSTR\n")
                                  << QStringList{d, "ASRL1::INSTR"} << "Select"
                                  << "1";
    const QByteArray longDescriptor(300, 'V');
    QTest::newRow("300 characters") << QByteArray("[6820]\n1.1.Descriptor=" + longDescriptor + "\n")
                                    << QStringList{QString::fromLatin1(longDescriptor)} << "Select"
                                    << "1";
    QTest::newRow("other model's group")
        << QByteArray("[6904]\n1.1.Descriptor=VXI0::9::INSTR\n1.FC_Number=4\n") << QStringList{d}
        << "Select"
        << "1";
    QTest::newRow("gaps are skipped")
        << QByteArray("[6820]\n1.1.Descriptor=A\n1.3.Descriptor=C\n1.5.Descriptor=E\n")
        << QStringList{"A", "C", "E"} << "Select"
        << "1";
}

void tst_fcenteraddress::damagedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, descriptors);
    QFETCH(QString, cardNumber);
    QFETCH(QString, count);
    Fixture f;
    f.writeIni(content);
    tn6800fp_fcEnterAddress dialog(&f.card);
    dialog.loadDefaults();
    QCOMPARE(items(dialog.row(0)->descriptorSelector), descriptors);
    QCOMPARE(dialog.row(0)->cardNumberSelector->currentText(), cardNumber);
    QCOMPARE(dialog.countSelector()->currentText(), count);
}

void tst_fcenteraddress::keepsFiveMostRecent()
{
    Fixture f;
    tn6800fp_fcEnterAddress dialog(&f.card);
    for (int i = 1; i <= 6; ++i) {
        dialog.loadDefaults();
        dialog.row(0)->descriptorSelector->setEditText(QStringLiteral("VXI0::%1::INSTR").arg(i));
        QStringList d;
        QList<int> n;
        dialog.readAddresses(d, n);
        QCOMPARE(d, QStringList{QStringLiteral("VXI0::%1::INSTR").arg(i)});
    }
    QSettings ini(f.iniPath(), QSettings::IniFormat);
    QStringList storedSlots;
    for (int k = 1; k <= 5; ++k)
        storedSlots << ini.value(QStringLiteral("6820/1.%1.Descriptor").arg(k)).toString();
    QCOMPARE(storedSlots, QStringList({"VXI0::6::INSTR", "VXI0::5::INSTR", "VXI0::4::INSTR",
                                       "VXI0::3::INSTR", "VXI0::2::INSTR"}));
}

void tst_fcenteraddress::pickingAnOlderEntryMovesItFirst()
{
    Fixture f;
    f.writeIni("[6820]\n1.1.Descriptor=A\n1.2.Descriptor=B\n1.3.Descriptor=C\n1.4.Descriptor=D\n");
    tn6800fp_fcEnterAddress dialog(&f.card);
    dialog.loadDefaults();
    dialog.row(0)->descriptorSelector->setCurrentIndex(2);
    dialog.row(0)->cardNumberSelector->setCurrentIndex(4);
    QStringList d;
    QList<int> n;
    dialog.readAddresses(d, n);
    QCOMPARE(d, QStringList{"C"});
    QCOMPARE(n, QList<int>{4});
    QSettings ini(f.iniPath(), QSettings::IniFormat);
    QStringList storedSlots;
    for (int k = 1; k <= 5; ++k)
        storedSlots << ini.value(QStringLiteral("6820/1.%1.Descriptor").arg(k)).toString();
    QCOMPARE(storedSlots, QStringList({"C", "A", "B", "D", ""}));
    QCOMPARE(ini.value(QStringLiteral("6820/1.FC_Number")).toInt(), 4);
}

void tst_fcenteraddress::rememberedAcrossTwoRuns()
{
    Fixture f;
    {
        tn6800fp_fcEnterAddress first(&f.card);
        first.loadDefaults();
        first.row(0)->descriptorSelector->setEditText(QStringLiteral("VXI0::8::INSTR"));
        first.row(0)->cardNumberSelector->setCurrentIndex(2);
        QStringList d;
        QList<int> n;
        first.readAddresses(d, n);
        // On disk at once: a process that ended now would keep it.
        QFile file(f.iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("VXI0::8::INSTR"));
    }
    tn6800fp_fcEnterAddress second(&f.card);
    second.loadDefaults();
    QCOMPARE(second.row(0)->descriptorSelector->currentText(), QStringLiteral("VXI0::8::INSTR"));
    QCOMPARE(items(second.row(0)->descriptorSelector),
             QStringList({"VXI0::8::INSTR", QStringLiteral("TCPIP::192.168.10.20::INSTR")}));
    QCOMPARE(second.row(0)->cardNumberSelector->currentIndex(), 2);
}

QTEST_MAIN(tst_fcenteraddress)
#include "tst_fcenteraddress.moc"
