// The search for cards against simulated benches, and the selection dialog.
#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QThreadPool>
#include <QTreeWidget>
#include <QtTest>

#include "bench.h"
#include "testcard.h"
#include "testsupport.h"
#include "tn6800fp_fcselect.h"

using sfptest::ModalAnswers;
using sfptest::SimBench;

namespace {

QString carrier(const QString &resources, const QString &body)
{
    QString text = QStringLiteral("[carrier]\n");
    for (const QString &r : resources.split(QLatin1Char(' ')))
        text += QStringLiteral("resource = %1\n").arg(r);
    return text + body + QLatin1Char('\n');
}

QString lxi(int index, const QString &positions, int count = 13)
{
    const QString address = QStringLiteral("10.7.%1.%2").arg(index / 200).arg(index % 200 + 1);
    return carrier(QStringLiteral("TCPIP0::%1::INSTR").arg(address),
                   QStringLiteral("interface = tcpip\naddress = %1\nmodel = 6813\npositions = "
                                  "%2\n%3")
                       .arg(address)
                       .arg(count)
                       .arg(positions));
}

// "group > carrier > FC n model [selectable]" lines of the whole tree, in order.
QStringList treeLines(QTreeWidget *tree)
{
    QStringList out;
    std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *item, int depth) {
        QString line = QString(depth * 2, QLatin1Char(' ')) + item->text(0);
        if (!item->text(1).isEmpty())
            line += QLatin1Char('|') + item->text(1);
        if (item->flags() & Qt::ItemIsSelectable)
            line += QStringLiteral(" *");
        else if (!(item->flags() & Qt::ItemIsEnabled))
            line += QStringLiteral(" (disabled)");
        if (item->childCount() && !item->isExpanded())
            line += QStringLiteral(" (collapsed)");
        out << line;
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return out;
}

// Every session the search opened (resource manager, find list, instrument)
// was closed by its own viClose, and the resource manager last: closing the
// manager would close a forgotten session too, and hide the leak.
void checkEverySessionClosed(const QStringList &trace)
{
    QStringList open;
    QString manager;
    for (const QString &line : trace) {
        const auto a = sfptest::traceArgs(line);
        for (const char *out : {"*sesn", "*findList", "*vi"}) {
            if (a.contains(QLatin1String(out)))
                open << a.value(QLatin1String(out));
        }
        if (line.startsWith(QLatin1String("viOpenDefaultRM")))
            manager = a.value(QStringLiteral("*sesn"));
        if (line.startsWith(QLatin1String("viClose "))) {
            const QString vi = a.value(QStringLiteral("vi"));
            QVERIFY2(open.removeOne(vi), qPrintable(line));
            if (vi == manager)
                QVERIFY2(open.isEmpty(), qPrintable(open.join(QLatin1Char(' '))));
        }
    }
    QVERIFY2(open.isEmpty(), qPrintable(open.join(QLatin1Char(' '))));
}

int selectableRows(QTreeWidget *tree)
{
    int n = 0;
    for (QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::Selectable); *it; ++it)
        ++n;
    return n;
}

} // namespace

class tst_search : public QObject
{
    Q_OBJECT
private slots:
    void defaultBench();
    void benches_data();
    void benches();
    void visaFailingToStart();
    void carrierClosedBeforeItsSession();
    void slowInstrumentsKeepTheWindowAlive_data();
    void slowInstrumentsKeepTheWindowAlive();
    void threadPoolLimit_data();
    void threadPoolLimit();
    void cardLimit_data();
    void cardLimit();
    void nothingFoundKeepsResult();
    void doubleClick_data();
    void doubleClick();
    void okButton();
    void multipleSelection();
    void cancelLeavesResult();
};

void tst_search::defaultBench()
{
    SimBench bench;
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Orbana 6820 SFP: Select Function Card"));
    QCOMPARE(dialog.findFunctionCards(), 2);
    QCOMPARE(
        treeLines(dialog.cardTree),
        QStringList({"ASRL1", "TCPIP0", "  192.168.10.20 - 6813 LXI", "    FC 1|6820 *", "VXI0",
                     "  Slot 3 - 6800 MB", "    FC 1|6904-AB (disabled)", "    FC 2|6820 *"}));
    QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::8::INSTR"));
    QCOMPARE(dialog.fcNumbers[0], qint16(2));
    // The LXI carrier stands under the descriptor VISA listed first.
    QTreeWidgetItem *lxiCard = sfptest::treeRow(dialog.cardTree, QStringLiteral("FC 1"),
                                                QStringLiteral("192.168.10.20 - 6813 LXI"));
    QVERIFY(lxiCard);
    QCOMPARE(lxiCard->data(1, Qt::StatusTipRole).toString(),
             QStringLiteral("TCPIP0::192.168.10.20::inst0::INSTR"));
    QCOMPARE(lxiCard->data(0, Qt::StatusTipRole).toInt(), 1);
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
    // The non-TCPIP resources were examined before the parallel part, in VISA's order.
    const QStringList opens = bench.calls(QStringLiteral("viOpen"));
    QCOMPARE(opens.size(), 4);
    QVERIFY(opens[0].contains(QStringLiteral("VXI0::8::INSTR")));
    QVERIFY(opens[1].contains(QStringLiteral("ASRL1::INSTR")));
}

void tst_search::benches_data()
{
    QTest::addColumn<QString>("benchText");
    QTest::addColumn<int>("found");
    QTest::addColumn<QStringList>("tree");
    QTest::newRow("vxi carrier with three cards")
        << carrier("VXI0::1::INSTR", "interface = vxi\nslot = 3\nmodel = 0x6800\npositions = 6\n"
                                     "position = 1 0x6904 XY\nposition = 3 0x6820\n"
                                     "position = 6 0x6905 QR")
        << 1
        << QStringList{"VXI0", "  Slot 3 - 6800 MB", "    FC 1|6904-XY (disabled)",
                       "    FC 3|6820 *", "    FC 6|6904-QR (disabled)"};
    QTest::newRow("no served card: collapsed")
        << carrier("VXI1::4::INSTR", "interface = vxi\nslot = 9\nmodel = 6801\npositions = 2\n"
                                     "position = 2 0x6912")
        << 0
        << QStringList{"VXI1", "  Slot 9 - 6801 MB (collapsed)", "    FC 2|6912-?? (disabled)"};
    QTest::newRow("lxi carrier under three descriptors")
        << carrier("TCPIP0::10.1.1.9::INSTR TCPIP0::lxi-a.lab::INSTR "
                   "TCPIP0::10.1.1.9::hislip0::INSTR",
                   "interface = tcpip\naddress = 10.1.1.9\nmodel = 6813\npositions = 13\n"
                   "position = 4 0x6820")
        << 1 << QStringList{"TCPIP0", "  10.1.1.9 - 6813 LXI", "    FC 4|6820 *"};
    QTest::newRow("no carrier and failing resources")
        << QStringLiteral("[resource]\nresource = ASRL1::INSTR\n[resource]\nresource = "
                          "GPIB0::5::INSTR\nopen_status = 0xBFFF0011\n[resource]\nresource = "
                          "TCPIP0::10.9.9.9::INSTR\ninterface = tcpip\nopen_status = 0xBFFF0015\n")
        << 0 << QStringList{"ASRL1", "GPIB0", "TCPIP0"};
    QTest::newRow("no instrument") << QStringLiteral("[bench]\n") << 0 << QStringList{};
    QTest::newRow("carrier object without description")
        << carrier("VXI0::1::INSTR", "interface = vxi\nslot = 1\nmodel = 6800\npositions = 2\n"
                                     "position = 2 0x6820\ndescription = no")
        << 0 << QStringList{"VXI0"};
    QTest::newRow("carrier object without access tables")
        << carrier("VXI0::1::INSTR", "interface = vxi\nslot = 1\nmodel = 6800\npositions = 2\n"
                                     "position = 1 0x6904 AB\nposition = 2 0x6820\n"
                                     "access_tables = no")
        << 1
        << QStringList{"VXI0", "  Slot 1 - 6800 MB", "    FC 1|6904 (disabled)", "    FC 2|6820 *"};
    const QString twoVxi =
        carrier("VXI0::1::INSTR", "interface = vxi\nslot = 1\nmodel = 6800\npositions = 1\n"
                                  "position = 1 0x6820") +
        carrier("VXI0::2::INSTR", "interface = vxi\nslot = 2\nmodel = 6800\npositions = 1\n"
                                  "position = 1 0x6820") +
        carrier("VXI0::3::INSTR", "interface = vxi\nslot = 3\nmodel = 6800\npositions = 1\n"
                                  "position = 1 0x6820");
    QTest::newRow("find list failing")
        << twoVxi + "[fault]\nfunction = viFindRsrc\nstatus = 0xBFFF0011\n"
        << 0 << QStringList{};
    QTest::newRow("find next failing part-way")
        << twoVxi + "[fault]\nfunction = viFindNext\nstatus = 0xBFFF0015\nwhen = call 2\n"
        << 2
        << QStringList{"VXI0", "  Slot 1 - 6800 MB", "    FC 1|6820 *", "  Slot 2 - 6800 MB",
                       "    FC 1|6820 *"};
    QTest::newRow("resource manager opened with a warning")
        << twoVxi + "[fault]\nfunction = viOpenDefaultRM\nstatus = 0x3FFF0077\n"
        << 3
        << QStringList{"VXI0",
                       "  Slot 1 - 6800 MB",
                       "    FC 1|6820 *",
                       "  Slot 2 - 6800 MB",
                       "    FC 1|6820 *",
                       "  Slot 3 - 6800 MB",
                       "    FC 1|6820 *"};
    // The longest texts VISA gives: a descriptor and an address of 255
    // characters, which fill the program's buffers to the last byte.
    const QString host(255 - int(qstrlen("TCPIP0::::INSTR")), QLatin1Char('h'));
    const QString address = QString(251, QLatin1Char('7')) + QStringLiteral(".0.1");
    QTest::newRow("descriptor and address of 255 characters")
        << carrier("TCPIP0::" + host + "::INSTR", "interface = tcpip\naddress = " + address +
                                                      "\nmodel = 6813\npositions = 13\n"
                                                      "position = 2 0x6820")
        << 1 << QStringList{"TCPIP0", "  " + address + " - 6813 LXI", "    FC 2|6820 *"};
    QTest::newRow("ordered by board and address")
        << lxi(9, "position = 1 0x6820") + lxi(1, "position = 2 0x6820") +
               carrier("ASRL10::INSTR", "interface = vxi\nslot = 1\nmodel = 1\npositions = 0") +
               carrier("ASRL2::INSTR", "interface = vxi\nslot = 2\nmodel = 2\npositions = 0")
        << 2 << QStringList{"ASRL2",           "  Slot 2 - 2 MB",
                            "ASRL10",          "  Slot 1 - 1 MB",
                            "TCPIP0",          "  10.7.0.2 - 6813 LXI",
                            "    FC 2|6820 *", "  10.7.0.10 - 6813 LXI",
                            "    FC 1|6820 *"};
}

void tst_search::benches()
{
    QFETCH(QString, benchText);
    QFETCH(int, found);
    QFETCH(QStringList, tree);
    SimBench bench(benchText);
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    QCOMPARE(dialog.findFunctionCards(), found);
    QCOMPARE(treeLines(dialog.cardTree), tree);
    QCOMPARE(selectableRows(dialog.cardTree), found);
    checkEverySessionClosed(bench.trace());
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
}

void tst_search::visaFailingToStart()
{
    SimBench bench(QStringLiteral("[fault]\nfunction = viOpenDefaultRM\nstatus = 0xBFFF009E\n"));
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    QCOMPARE(dialog.findFunctionCards(), 0);
    QCOMPARE(dialog.cardTree->topLevelItemCount(), 0);
    QCOMPARE(bench.calls(QStringLiteral("viFindRsrc")).size(), 0);
    QCOMPARE(bench.calls(QStringLiteral("viClose")).size(), 1);
}

void tst_search::carrierClosedBeforeItsSession()
{
    SimBench bench(carrier("VXI0::1::INSTR", "interface = vxi\nslot = 1\nmodel = 6800\n"
                                             "positions = 2\nposition = 2 0x6820"));
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    QCOMPARE(dialog.findFunctionCards(), 1);
    QStringList order;
    for (const QString &line : bench.trace()) {
        const QString name = line.section(QLatin1Char(' '), 0, 0);
        if (name != QLatin1String("viGetAttribute"))
            order << name;
    }
    QCOMPARE(order, QStringList({"viOpenDefaultRM", "viFindRsrc", "viFindNext", "viOpen",
                                 "tn6800_openCarrier", "tn6800_closeCarrier", "viClose", "viClose",
                                 "viClose"}));
    checkEverySessionClosed(bench.trace());
}

void tst_search::slowInstrumentsKeepTheWindowAlive_data()
{
    QTest::addColumn<QString>("slowStart"); // bench lines of a slow VISA
    QTest::addColumn<bool>("dismiss");      // Escape and a close event during the search
    QTest::newRow("slow instruments") << QString() << false;
    QTest::newRow("Escape and close while searching") << QString() << true;
    QTest::newRow("slow resource manager and find")
        << QStringLiteral("[bench]\nlatency = viOpenDefaultRM 500\nlatency = viFindRsrc 600\n")
        << false;
}

// Serial instruments that take long to answer are examined one after another,
// off the GUI thread, under the progress dialog that counts every resource;
// so are the resource manager's open and the find, under the dialog already.
// The dialog stays up until the search has ended, whatever the user presses.
void tst_search::slowInstrumentsKeepTheWindowAlive()
{
    QFETCH(QString, slowStart);
    QFETCH(bool, dismiss);
    const QString slow = QStringLiteral("latency = tn6800_openCarrier 700\n");
    SimBench bench(slowStart + QStringLiteral("[resource]\nresource = ASRL1::INSTR\n") + slow +
                   QStringLiteral("[resource]\nresource = ASRL2::INSTR\n") + slow +
                   lxi(1, QStringLiteral("position = 3 0x6820")));
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    struct Seen
    {
        QString title, label;
        int minimum = -1, maximum = -1;
        QWidget *parent = nullptr;
        int carriersOpened = -1;
    } seen;
    int managersOpenedWhenShown = -1;
    bool dismissed = false;
    bool hiddenEarly = false;
    qint64 longestGap = 0;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QElapsedTimer searching;
    searching.start();
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&] {
        longestGap = qMax(longestGap, sinceTick.restart());
        auto *progress = dialog.findChild<QProgressDialog *>(QStringLiteral("searchProgress"));
        if (!progress)
            return;
        if (progress->isVisible() && managersOpenedWhenShown < 0)
            managersOpenedWhenShown = bench.calls(QStringLiteral("viOpenDefaultRM")).size();
        if (progress->isVisible() && progress->maximum() > 0 && seen.maximum < 0) {
            seen = {progress->windowTitle(),
                    progress->labelText(),
                    progress->minimum(),
                    progress->maximum(),
                    progress->parentWidget(),
                    int(bench.calls(QStringLiteral("tn6800_openCarrier")).size())};
        }
        if (dismiss && !dismissed && searching.elapsed() >= 300 && progress->isVisible()) {
            dismissed = true;
            QTest::keyClick(progress, Qt::Key_Escape);
            progress->close();
        }
        hiddenEarly = hiddenEarly || (dismissed && !progress->isVisible() &&
                                      bench.calls(QStringLiteral("viClose")).size() < 4);
    });
    tick.start(10);
    QCOMPARE(dialog.findFunctionCards(), 1);
    tick.stop();
    QCOMPARE(seen.title, QStringLiteral("Orbana 6820"));
    QCOMPARE(seen.label, QStringLiteral("Searching..."));
    QCOMPARE(seen.minimum, 0);
    QCOMPARE(seen.maximum, 3);
    QCOMPARE(seen.parent, &dialog);
    QCOMPARE(seen.carriersOpened, 0); // shown while the first resource was examined
    if (!slowStart.isEmpty())
        QCOMPARE(managersOpenedWhenShown, 0); // and before the resource manager was open
    QCOMPARE(dismissed, dismiss);
    QVERIFY(!hiddenEarly);
    // Without the worker thread the loop would stand still for 2 x 700 ms.
    QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));
    // One at a time, in VISA's order: the second opens after the first closed.
    QStringList serial;
    for (const QString &line : bench.trace()) {
        if (line.startsWith(QLatin1String("viOpen ")) || line.startsWith(QLatin1String("viClose")))
            serial << line.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') +
                          sfptest::traceArgs(line).value(QStringLiteral("name"));
    }
    QCOMPARE(serial.mid(0, 3),
             QStringList({"viOpen ASRL1::INSTR", "viClose ", "viOpen ASRL2::INSTR"}));
    checkEverySessionClosed(bench.trace());
}

void tst_search::threadPoolLimit_data()
{
    QTest::addColumn<int>("resources");
    QTest::addColumn<int>("threads");
    QTest::addColumn<int>("openMs");    // each carrier's open
    QTest::addColumn<int>("atLeastMs"); // rounds of opens that the limit allows at the least
    QTest::addColumn<int>("belowMs");   // far below the opens one after another
    // Five at once: one round of 300 ms, where one after another takes 1500.
    QTest::newRow("5") << 5 << 5 << 300 << 300 << 1200;
    // 128 at once: ceil(300 / 128) = 3 rounds of 60 ms; without the limit one round.
    QTest::newRow("300") << 300 << 128 << 60 << 180 << 9000;
}

void tst_search::threadPoolLimit()
{
    QFETCH(int, resources);
    QFETCH(int, threads);
    QFETCH(int, openMs);
    QFETCH(int, atLeastMs);
    QFETCH(int, belowMs);
    QString text;
    for (int i = 0; i < resources; ++i)
        text += lxi(i, i % 3 == 0 ? QStringLiteral("position = 1 0x6820") : QString(), 1) +
                QStringLiteral("latency = tn6800_openCarrier %1\n").arg(openMs);
    SimBench bench(text);
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    QElapsedTimer searching;
    searching.start();
    QCOMPARE(dialog.findFunctionCards(), (resources + 2) / 3);
    const qint64 took = searching.elapsed();
    QVERIFY2(took >= atLeastMs && took < belowMs, qPrintable(QString::number(took)));
    QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), threads);
    QCOMPARE(bench.calls(QStringLiteral("tn6800_openCarrier")).size(), resources);
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
}

void tst_search::cardLimit_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("warnings");
    QTest::newRow("256") << 256 << 0;
    QTest::newRow("257") << 257 << 1;
    QTest::newRow("300") << 300 << 1;
}

void tst_search::cardLimit()
{
    QFETCH(int, cards);
    QFETCH(int, warnings);
    QString text;
    for (int c = 0, left = cards; left > 0; ++c) {
        QString positions;
        for (int p = 1; p <= 13 && left > 0; ++p, --left)
            positions += QStringLiteral("position = %1 0x6820\n").arg(p);
        text += c % 2 ? lxi(c, positions)
                      : carrier(QStringLiteral("VXI%1::1::INSTR").arg(c),
                                QStringLiteral("interface = vxi\nslot = 1\nmodel = 6800\n"
                                               "positions = 13\n") +
                                    positions);
    }
    SimBench bench(text);
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    ModalAnswers answers;
    answers.click(QStringLiteral("Continue"));
    QCOMPARE(dialog.findFunctionCards(), 256);
    QCOMPARE(selectableRows(dialog.cardTree), 256);
    QCOMPARE(answers.seen.size(), warnings);
    if (warnings) {
        QCOMPARE(answers.seen.first().title,
                 QStringLiteral("Orbana 6820 SFP: Select Function Card"));
        QCOMPARE(answers.seen.first().text,
                 QStringLiteral("Found more Function Cards than supported by this SoftFrontPanel. "
                                "Only first 256 are available.\nPlease contact Morvix's support "
                                "if you need support for more cards."));
        QCOMPARE(answers.seen.first().buttons, QStringList{"Continue"});
    }
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
}

void tst_search::nothingFoundKeepsResult()
{
    SimBench bench(QStringLiteral("[resource]\nresource = ASRL1::INSTR\n"));
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    dialog.descriptorList = QStringLiteral("kept");
    dialog.fcNumbers[0] = 7;
    QCOMPARE(dialog.findFunctionCards(), 0);
    QCOMPARE(dialog.descriptorList, QStringLiteral("kept"));
    QCOMPARE(dialog.fcNumbers[0], qint16(7));
}

void tst_search::doubleClick_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("group") << "VXI0"
                           << "" << false;
    QTest::newRow("carrier") << "Slot 3 - 6800 MB"
                             << "VXI0" << false;
    QTest::newRow("disabled card") << "FC 1"
                                   << "Slot 3 - 6800 MB" << false;
    QTest::newRow("served card") << "FC 2"
                                 << "Slot 3 - 6800 MB" << true;
}

void tst_search::doubleClick()
{
    QFETCH(QString, row);
    QFETCH(QString, parent);
    QFETCH(bool, accepted);
    SimBench bench;
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    dialog.findFunctionCards();
    dialog.descriptorList.clear();
    dialog.fcNumbers[0] = 0;
    dialog.fcCount = 0;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTreeWidgetItem *item = parent.isEmpty() ? dialog.cardTree->topLevelItem(2)
                                             : sfptest::treeRow(dialog.cardTree, row, parent);
    QVERIFY(item);
    QCOMPARE(item->text(0), row);
    const QPoint at = dialog.cardTree->visualItemRect(item).center();
    QTest::mouseClick(dialog.cardTree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(dialog.cardTree->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(dialog.isVisible(), !accepted);
    if (accepted) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.fcCount, 1);
        QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::8::INSTR"));
        QCOMPARE(dialog.fcNumbers[0], qint16(2));
    } else {
        QCOMPARE(dialog.fcCount, 0);
        QVERIFY(dialog.descriptorList.isEmpty());
    }
}

void tst_search::okButton()
{
    SimBench bench;
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    dialog.findFunctionCards();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.cardTree->clearSelection();
    dialog.okButton->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.fcCount, 0);
    QVERIFY(dialog.descriptorList.isEmpty());
    QTreeWidgetItem *lxiCard = sfptest::treeRow(dialog.cardTree, QStringLiteral("FC 1"),
                                                QStringLiteral("192.168.10.20 - 6813 LXI"));
    QTest::mouseClick(dialog.cardTree->viewport(), Qt::LeftButton, {},
                      dialog.cardTree->visualItemRect(lxiCard).center());
    QCOMPARE(dialog.cardTree->selectedItems().size(), 1);
    dialog.okButton->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.fcCount, 1);
    QCOMPARE(dialog.descriptorList, QStringLiteral("TCPIP0::192.168.10.20::inst0::INSTR"));
    QCOMPARE(dialog.fcNumbers[0], qint16(1));
}

void tst_search::multipleSelection()
{
    SimBench bench(carrier("VXI0::2::INSTR", "interface = vxi\nslot = 4\nmodel = 6800\n"
                                             "positions = 4\nposition = 1 0x6820\n"
                                             "position = 3 0x6820") +
                   lxi(5, "position = 7 0x6820"));
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, true);
    QCOMPARE(dialog.findFunctionCards(), 3);
    for (QTreeWidgetItemIterator it(dialog.cardTree, QTreeWidgetItemIterator::Selectable); *it;
         ++it)
        (*it)->setSelected(true);
    dialog.okButton->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.fcCount, 3);
    QCOMPARE(dialog.descriptorList,
             QStringLiteral("TCPIP0::10.7.0.6::INSTR,VXI0::2::INSTR,VXI0::2::INSTR"));
    QCOMPARE(QList<int>({dialog.fcNumbers[0], dialog.fcNumbers[1], dialog.fcNumbers[2]}),
             QList<int>({7, 1, 3}));
}

void tst_search::cancelLeavesResult()
{
    SimBench bench;
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    dialog.findFunctionCards();
    ModalAnswers answers;
    answers.act([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
    answers.click(QStringLiteral("Cancel"));
    QCOMPARE(dialog.exec(), 0);
    QCOMPARE(dialog.exec(), 0);
    QVERIFY(answers.allAnswered());
    QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::8::INSTR"));
    QCOMPARE(dialog.fcNumbers[0], qint16(2));
}

QTEST_MAIN(tst_search)
#include "tst_search.moc"
