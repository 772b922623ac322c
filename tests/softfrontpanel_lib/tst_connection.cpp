// The connection workflow, driven through its real dialogs with the stand-ins.
#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <unistd.h>

#include "bench.h"
#include "testcard.h"
#include "testsupport.h"
#include "tn6800fp_busywork.h"
#include "tn6800fp_fcselect.h"
#include "tn6800fp_icons.h"

using sfptest::enterAddress;
using sfptest::ModalAnswers;
using sfptest::SimBench;
using sfptest::traceArgs;

namespace {

const char *const kTitle = "Orbana 6820 SFP: Select Function Card";
const char *const kQuestion = "How to connect to 6820 Function Card?";

const char *const kOneCard = "[carrier]\nresource = VXI0::4::INSTR\ninterface = vxi\nslot = 5\n"
                             "model = 6800\npositions = 3\nposition = 2 0x6820\n";

// A step for the multi-card address dialog: picks the count, fills the first
// rows (descriptor, card number) and presses OK.
std::function<void(QWidget *)> enterRows(int count, const QList<QPair<QString, int>> &filled)
{
    return [=](QWidget *w) {
        sfptest::child<QComboBox>(w, QStringLiteral("countSelector"))->setCurrentIndex(count - 1);
        const auto rows = w->findChildren<QComboBox *>(QStringLiteral("descriptorSelector"));
        const auto numbers = w->findChildren<QComboBox *>(QStringLiteral("cardNumberSelector"));
        for (int i = 0; i < filled.size(); ++i) {
            rows.at(i)->setEditText(filled.at(i).first);
            numbers.at(i)->setCurrentIndex(filled.at(i).second);
        }
        sfptest::child<QPushButton>(w, QStringLiteral("okButton"))->click();
    };
}

// Types VXI0::8::INSTR without a card number, presses OK on the warning, then
// picks card 2 in what the dialog shows again (kept in shownAgain) and presses OK.
void enterIncompleteThenComplete(ModalAnswers &answers, QString &shownAgain)
{
    answers.click(QStringLiteral("Enter Address"))
        .act(enterAddress(QStringLiteral("VXI0::8::INSTR"), 0))
        .click(QStringLiteral("OK"))
        .act([&shownAgain](QWidget *w) {
            shownAgain =
                w->findChild<QComboBox *>(QStringLiteral("descriptorSelector"))->currentText();
            enterAddress(shownAgain, 2)(w);
        });
}

struct Fixture
{
    sfptest::ProfileDir profile;
    sfptest::TestCard card;
};

} // namespace

class tst_connection : public QObject
{
    Q_OBJECT
private slots:
    void connectionQuestion();
    void giveUp_data();
    void giveUp();
    void demoMode_data();
    void demoMode();
    void oneCardOpensAtOnce();
    void twoCardsOfferSelection();
    void selectionCancelledEndsWorkflow();
    void noCardTryAgainAsksAgain();
    void enterAddressOpensAndRemembers();
    void incompleteAddressWarns();
    void severalRowsWarnInPlural();
    void addressCancelledReturnsToQuestion();
    void failedOpenShowsCommonText();
    void blankDescriptorReachesOpen();
    void openStatusPaths_data();
    void openStatusPaths();
    void unavailableInPlural();
    void slowOpen_data();
    void slowOpen();
    void busyWork_data();
    void busyWork();
    void unwritableAddressFile_data();
    void unwritableAddressFile();
    void unwritableAddressFileChild();
};

void tst_connection::connectionQuestion()
{
    Fixture f;
    SimBench bench;
    tn6800fp_fcSelect dialog(&f.card, false);
    QPixmap icon;
    ModalAnswers answers;
    answers.click(QStringLiteral("Cancel"), [&](QWidget *w) { icon = w->windowIcon().pixmap(16); });
    QVERIFY(!dialog.selectFunctionCard());
    const auto &seen = answers.seen.first();
    QCOMPARE(seen.title, QString::fromLatin1(kTitle));
    QCOMPARE(seen.text, QString::fromLatin1(kQuestion));
    QCOMPARE(seen.icon, int(QMessageBox::Question));
    QVERIFY(!seen.hasParent);
    QCOMPARE(seen.buttons.size(), 4);
    for (const char *b : {"Auto Find", "Run In Demo Mode", "Enter Address", "Cancel"})
        QVERIFY(seen.buttons.contains(QLatin1String(b)));
    QCOMPARE(icon.toImage(), tn6800fp_windowPixmap().toImage());
}

void tst_connection::giveUp_data()
{
    QTest::addColumn<int>("how"); // 0 Cancel, 1 Escape, 2 window closed
    QTest::newRow("cancel") << 0;
    QTest::newRow("escape") << 1;
    QTest::newRow("closed") << 2;
}

void tst_connection::giveUp()
{
    QFETCH(int, how);
    Fixture f;
    SimBench bench;
    tn6800fp_fcSelect dialog(&f.card, false);
    ModalAnswers answers;
    if (how == 0)
        answers.click(QStringLiteral("Cancel"));
    else if (how == 1)
        answers.act([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
    else
        answers.act([](QWidget *w) { w->close(); });
    QVERIFY(!dialog.selectFunctionCard());
    QVERIFY(answers.allAnswered());
    QCOMPARE(dialog.vi, ViSession(0));
    QVERIFY(bench.calls(QStringLiteral("tn6820_init")).isEmpty());
}

void tst_connection::demoMode_data()
{
    QTest::addColumn<bool>("afterNoCard");
    QTest::newRow("from the question") << false;
    QTest::newRow("after no card found") << true;
}

void tst_connection::demoMode()
{
    QFETCH(bool, afterNoCard);
    Fixture f;
    SimBench bench(afterNoCard ? QStringLiteral("[bench]\n") : QString());
    tn6800fp_fcSelect dialog(&f.card, false);
    ModalAnswers answers;
    if (afterNoCard)
        answers.click(QStringLiteral("Auto Find"));
    answers.click(QStringLiteral("Run In Demo Mode"));
    QVERIFY(dialog.selectFunctionCard());
    QCOMPARE(dialog.demoMode, 1);
    QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::1::INSTR"));
    QCOMPARE(dialog.fcNumbers[0], qint16(1));
    QCOMPARE(dialog.fcCount, 1);
    QCOMPARE(dialog.vi, ViSession(0));
    for (const QString &line : bench.trace())
        QVERIFY2(!line.startsWith(QLatin1String("tn6820_")), qPrintable(line));
}

void tst_connection::oneCardOpensAtOnce()
{
    Fixture f;
    SimBench bench(QString::fromLatin1(kOneCard));
    tn6800fp_fcSelect dialog(&f.card, false);
    ModalAnswers answers;
    answers.click(QStringLiteral("Auto Find"));
    QVERIFY(dialog.selectFunctionCard());
    QCOMPARE(answers.seen.size(), 1); // no selection dialog
    QVERIFY(dialog.vi != 0);
    QCOMPARE(dialog.demoMode, 0);
    QCOMPARE(dialog.fcCount, 1);
    const QStringList init = bench.calls(QStringLiteral("tn6820_init"));
    QCOMPARE(init.size(), 1);
    const auto a = traceArgs(init.first());
    QCOMPARE(a.value("resourceName"), QStringLiteral("VXI0::4::INSTR"));
    QCOMPARE(a.value("fcNumber"), QStringLiteral("2"));
    QCOMPARE(a.value("idQuery"), QStringLiteral("1"));
    QCOMPARE(a.value("reset"), QStringLiteral("1"));
    QCOMPARE(a.value("*vi"), QString::number(dialog.vi));
    f.card.close(dialog.vi);
}

void tst_connection::twoCardsOfferSelection()
{
    Fixture f;
    SimBench bench;
    tn6800fp_fcSelect dialog(&f.card, false);
    ModalAnswers answers;
    answers.click(QStringLiteral("Auto Find"));
    answers.act([](QWidget *w) {
        auto *tree = w->findChild<QTreeWidget *>(QStringLiteral("cardTree"));
        QTreeWidgetItem *lxi = tree->topLevelItem(1)->child(0)->child(0);
        const QPoint at = tree->visualItemRect(lxi).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    });
    QVERIFY(dialog.selectFunctionCard());
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.at(1).title, QString::fromLatin1(kTitle));
    QCOMPARE(answers.seen.at(1).objectName, QStringLiteral("selectDialog"));
    const auto a = traceArgs(bench.calls(QStringLiteral("tn6820_init")).value(0));
    QCOMPARE(a.value("resourceName"), QStringLiteral("TCPIP0::192.168.10.20::inst0::INSTR"));
    QCOMPARE(a.value("fcNumber"), QStringLiteral("1"));
    QVERIFY(dialog.vi != 0);
    f.card.close(dialog.vi);
}

void tst_connection::selectionCancelledEndsWorkflow()
{
    Fixture f;
    SimBench bench;
    tn6800fp_fcSelect dialog(&f.card, false);
    ModalAnswers answers;
    answers.click(QStringLiteral("Auto Find")).click(QStringLiteral("Cancel"));
    QVERIFY(!dialog.selectFunctionCard());
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.at(1).objectName, QStringLiteral("selectDialog"));
    QVERIFY(bench.calls(QStringLiteral("tn6820_init")).isEmpty());
}

void tst_connection::noCardTryAgainAsksAgain()
{
    Fixture f;
    SimBench bench(QStringLiteral("[resource]\nresource = ASRL1::INSTR\n"));
    tn6800fp_fcSelect dialog(&f.card, false);
    ModalAnswers answers;
    answers.click(QStringLiteral("Auto Find"))
        .click(QStringLiteral("Try Again"))
        .click(QStringLiteral("Cancel"));
    QVERIFY(!dialog.selectFunctionCard());
    QVERIFY(answers.allAnswered());
    const auto &noCard = answers.seen.at(1);
    QCOMPARE(noCard.title, QString::fromLatin1(kTitle));
    QCOMPARE(noCard.text, QStringLiteral("No 6820 Function Card found on your system."));
    QCOMPARE(noCard.buttons.size(), 3);
    QVERIFY(noCard.hasParent);
    QCOMPARE(answers.seen.at(2).text, QString::fromLatin1(kQuestion));
    QCOMPARE(bench.calls(QStringLiteral("viFindRsrc")).size(), 1); // no second search
}

void tst_connection::enterAddressOpensAndRemembers()
{
    Fixture f;
    SimBench bench;
    {
        tn6800fp_fcSelect dialog(&f.card, false);
        ModalAnswers answers;
        answers.click(QStringLiteral("Enter Address"))
            .act(enterAddress(QStringLiteral("VXI0::8::INSTR"), 2));
        QVERIFY(dialog.selectFunctionCard());
        QVERIFY(dialog.vi != 0);
        QCOMPARE(dialog.descriptorList, QStringLiteral("VXI0::8::INSTR"));
        QCOMPARE(dialog.fcNumbers[0], qint16(2));
        QCOMPARE(dialog.fcCount, 1);
        QCOMPARE(answers.seen.at(1).title,
                 QStringLiteral("Orbana 6820 SFP: Enter Function Card Address"));
        f.card.close(dialog.vi);
    }
    // The next run offers what was typed.
    tn6800fp_fcSelect again(&f.card, false);
    QString shown;
    int number = -1;
    ModalAnswers answers;
    answers.click(QStringLiteral("Enter Address")).click(QStringLiteral("Cancel"), [&](QWidget *w) {
        shown = w->findChild<QComboBox *>(QStringLiteral("descriptorSelector"))->currentText();
        number = w->findChild<QComboBox *>(QStringLiteral("cardNumberSelector"))->currentIndex();
    });
    answers.click(QStringLiteral("Cancel"));
    QVERIFY(!again.selectFunctionCard());
    QCOMPARE(shown, QStringLiteral("VXI0::8::INSTR"));
    QCOMPARE(number, 2);
}

void tst_connection::incompleteAddressWarns()
{
    Fixture f;
    SimBench bench;
    tn6800fp_fcSelect dialog(&f.card, false);
    QString shownAgain;
    ModalAnswers answers;
    enterIncompleteThenComplete(answers, shownAgain);
    QVERIFY(dialog.selectFunctionCard());
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.at(2).title, QStringLiteral("Orbana  SFP Warning message"));
    QCOMPARE(answers.seen.at(2).text,
             QStringLiteral("Please enter the resource descriptor and select the Function Card "
                            "number."));
    QCOMPARE(shownAgain, QStringLiteral("VXI0::8::INSTR"));
    QCOMPARE(bench.calls(QStringLiteral("tn6820_init")).size(), 1);
    f.card.close(dialog.vi);
}

void tst_connection::severalRowsWarnInPlural()
{
    Fixture f;
    SimBench bench;
    sfptest::TestCard multi(0x6904);
    tn6800fp_fcSelect dialog(&multi, true);
    ModalAnswers answers;
    answers.click(QStringLiteral("Enter Address"))
        .act(enterRows(2, {{QStringLiteral("VXI0::8::INSTR"), 1}}))
        .click(QStringLiteral("OK"))
        .click(QStringLiteral("Cancel"))
        .click(QStringLiteral("Cancel"));
    QVERIFY(!dialog.selectFunctionCard());
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.at(2).text,
             QStringLiteral("Please enter the resource descriptors and select the Function Card "
                            "numbers."));
}

void tst_connection::addressCancelledReturnsToQuestion()
{
    Fixture f;
    SimBench bench;
    tn6800fp_fcSelect dialog(&f.card, false);
    ModalAnswers answers;
    answers.click(QStringLiteral("Enter Address"))
        .click(QStringLiteral("Cancel"))
        .click(QStringLiteral("Run In Demo Mode"));
    QVERIFY(dialog.selectFunctionCard());
    QCOMPARE(answers.seen.at(2).text, QString::fromLatin1(kQuestion));
    QCOMPARE(dialog.demoMode, 1);
}

void tst_connection::failedOpenShowsCommonText()
{
    Fixture f;
    SimBench bench(
        QString::fromLatin1(kOneCard) +
        QStringLiteral("[fault]\nfunction = tn6820_init\nstatus = 0xBFFC0901\nwhen = call 1\n"));
    tn6800fp_fcSelect dialog(&f.card, false);
    ModalAnswers answers;
    answers.click(QStringLiteral("Auto Find"))
        .click(QStringLiteral("Try Again"))
        .click(QStringLiteral("Auto Find"));
    QVERIFY(dialog.selectFunctionCard());
    QVERIFY(answers.allAnswered());
    const auto &failed = answers.seen.at(1);
    QCOMPARE(failed.title, QString::fromLatin1(kTitle));
    QCOMPARE(failed.text, QStringLiteral("Selected 6820 Function Card is unavailable.\nError: The "
                                         "resource is not an Orbana carrier."));
    QCOMPARE(failed.buttons.size(), 2);
    QVERIFY(failed.hasParent);
    QCOMPARE(bench.calls(QStringLiteral("tn6820_init")).size(), 2);
    QVERIFY(dialog.vi != 0);
    f.card.close(dialog.vi);
}

void tst_connection::blankDescriptorReachesOpen()
{
    Fixture f;
    SimBench bench;
    tn6800fp_fcSelect dialog(&f.card, false);
    ModalAnswers answers;
    answers.click(QStringLiteral("Enter Address"))
        .act(enterAddress(QStringLiteral("   "), 1))
        .click(QStringLiteral("Cancel"));
    QVERIFY(!dialog.selectFunctionCard());
    QVERIFY(answers.allAnswered());
    QVERIFY(answers.seen.at(2).text.startsWith(
        QStringLiteral("Selected 6820 Function Card is unavailable.\nError: Insufficient")));
    QCOMPARE(traceArgs(bench.calls(QStringLiteral("tn6820_init")).value(0)).value("resourceName"),
             QStringLiteral("   "));
}

void tst_connection::openStatusPaths_data()
{
    QTest::addColumn<QString>("benchText");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    const QString warningTitle = QStringLiteral("Orbana  SFP Warning message");
    const QString unavailable =
        QStringLiteral("Selected 6820 Function Card is unavailable.\nError: ");
    const QString timeout = QStringLiteral("Timeout expired before operation completed.");
    const QString longText = QString(255, QLatin1Char('t'));
    const QString withSession =
        QStringLiteral("[fault]\nfunction = tn6820_init\nstatus = 0xBFFF0015\nafter_work = yes\n");
    QTest::newRow("warning: no ID query")
        << "[fault]\nfunction = tn6820_init\nstatus = 0x3FFC0101\n"
        << QStringList{"Auto Find", "OK"} << true << warningTitle
        << "Warning: [Identification query not supported.]";
    QTest::newRow("warning: no reset") << "[fault]\nfunction = tn6820_init\nstatus = 0x3FFC0102\n"
                                       << QStringList{"Auto Find", "OK"} << true << warningTitle
                                       << "Warning: [Reset not supported.]";
    QTest::newRow("error with a session, then Try Again")
        << withSession + "when = call 1\n"
        << QStringList{"Auto Find", "Try Again", "Auto Find"} << true << QString::fromLatin1(kTitle)
        << unavailable + timeout;
    QTest::newRow("error with a session, then Cancel")
        << withSession << QStringList{"Auto Find", "Cancel"} << false << QString::fromLatin1(kTitle)
        << unavailable + timeout;
    QTest::newRow("error with a whole long text")
        << withSession + "[bench]\nerror_text = 0xBFFF0015 " + longText
        << QStringList{"Auto Find", "Cancel"} << false << QString::fromLatin1(kTitle)
        << unavailable + longText;
}

// Whatever the driver's open returns, every session it handed back is closed
// exactly once, before the next open.
void tst_connection::openStatusPaths()
{
    QFETCH(QString, benchText);
    QFETCH(QStringList, answers);
    QFETCH(bool, connected);
    QFETCH(QString, title);
    QFETCH(QString, text);
    Fixture f;
    SimBench bench(QString::fromLatin1(kOneCard) + benchText);
    {
        tn6800fp_fcSelect dialog(&f.card, false);
        ModalAnswers modal;
        for (const QString &a : answers)
            modal.click(a);
        QCOMPARE(dialog.selectFunctionCard(), connected);
        QVERIFY(modal.allAnswered());
        QCOMPARE(modal.seen.size(), answers.size());
        QCOMPARE(modal.seen.at(1).title, title);
        QCOMPARE(modal.seen.at(1).text, text);
        QCOMPARE(dialog.vi != 0, connected);
        if (connected) // as the frame does when the window closes
            QCOMPARE(f.card.close(dialog.vi), VI_SUCCESS);
    }
    QStringList open;
    for (const QString &line : bench.trace()) {
        const auto a = traceArgs(line);
        if (line.startsWith(QLatin1String("tn6820_init")) && a.contains(QStringLiteral("*vi"))) {
            QVERIFY2(open.isEmpty(), qPrintable(line));
            open << a.value(QStringLiteral("*vi"));
        } else if (line.startsWith(QLatin1String("tn6820_close"))) {
            QCOMPARE(open.value(0), a.value(QStringLiteral("vi")));
            open.clear();
        }
    }
    QVERIFY(open.isEmpty());
    QCOMPARE(bench.calls(QStringLiteral("tn6820_init")).size(), answers.count("Auto Find"));
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
}

void tst_connection::unavailableInPlural()
{
    Fixture f;
    SimBench bench;
    sfptest::TestCard multi(0x6904);
    tn6800fp_fcSelect dialog(&multi, true);
    ModalAnswers answers;
    answers.click(QStringLiteral("Enter Address"))
        .act(enterRows(
            2, {{QStringLiteral("VXI0::8::INSTR"), 1}, {QStringLiteral("VXI0::8::INSTR"), 2}}))
        .click(QStringLiteral("Cancel"));
    QVERIFY(!dialog.selectFunctionCard());
    QVERIFY(answers.allAnswered());
    QCOMPARE(dialog.fcCount, 2);
    QCOMPARE(answers.seen.at(2).title, QStringLiteral("Orbana 6904 SFP: Select Function Card"));
    QCOMPARE(answers.seen.at(2).text,
             QStringLiteral("At least one selected 6904 Function Card is unavailable.\nError: "
                            "Insufficient location information or resource not present in the "
                            "system."));
    QCOMPARE(traceArgs(bench.calls(QStringLiteral("tn6820_init")).value(0)).value("resourceName"),
             QStringLiteral("VXI0::8::INSTR,VXI0::8::INSTR"));
}

void tst_connection::slowOpen_data()
{
    QTest::addColumn<int>("how"); // 0 waited for, 1 Escape, 2 a close, 3 Cancel
    QTest::addColumn<QString>("fault");
    const QString withSession =
        QStringLiteral("[fault]\nfunction = tn6820_init\nstatus = 0xBFFF0015\nafter_work = yes\n");
    QTest::newRow("waited for") << 0 << QString();
    QTest::newRow("Escape") << 1 << QString();
    QTest::newRow("closed") << 2 << QString();
    QTest::newRow("Cancel") << 3 << QString();
    QTest::newRow("Escape, the open failing with a session") << 1 << withSession;
}

// An open that takes long runs while the window answers, under a dialog that
// says what is opened; given up, the session the driver hands back is closed
// and the question asked again, without the open's own boxes.
void tst_connection::slowOpen()
{
    QFETCH(int, how);
    QFETCH(QString, fault);
    Fixture f;
    SimBench bench(QString::fromLatin1(kOneCard) + "latency = tn6820_init 700\n" + fault);
    tn6800fp_fcSelect dialog(&f.card, false);
    ModalAnswers modal;
    if (how != 0)
        modal.click(QStringLiteral("Cancel"));
    QString shown;
    QString afterwards;
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&] {
        ++ticks;
        auto *progress = dialog.findChild<QProgressDialog *>(QStringLiteral("openProgress"));
        if (!progress || !progress->isVisible())
            return;
        auto *label = progress->findChild<QLabel *>();
        if (shown.isEmpty()) {
            shown = label->text();
            if (how == 1)
                QTest::keyClick(progress, Qt::Key_Escape);
            else if (how == 2)
                progress->close();
            else if (how == 3)
                sfptest::child<QPushButton>(progress, QStringLiteral("cancelButton"))->click();
            QVERIFY(progress->isVisible());
        }
        afterwards = label->text();
    });
    tick.start(20);
    tn6800fp_startChoice start;
    start.kind = tn6800fp_startChoice::Open;
    start.descriptor = QStringLiteral("VXI0::4::INSTR");
    start.fcNumber = 2;
    QCOMPARE(dialog.selectFunctionCard(start), how == 0 && fault.isEmpty());
    QCOMPARE(shown, QStringLiteral("Opening VXI0::4::INSTR, position 2..."));
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    QVERIFY(modal.allAnswered());
    const QStringList init = bench.calls(QStringLiteral("tn6820_init"));
    QCOMPARE(init.size(), 1);
    const QString session = traceArgs(init.first()).value(QStringLiteral("*vi"));
    QVERIFY(!session.isEmpty());
    if (how == 0) {
        QCOMPARE(afterwards, shown);
        QCOMPARE(dialog.vi, session.toUInt());
        QCOMPARE(f.card.close(dialog.vi), VI_SUCCESS);
    } else {
        QCOMPARE(afterwards, QStringLiteral("Cancelling: the driver is still opening "
                                            "VXI0::4::INSTR, position 2;\nits session is closed "
                                            "as soon as it returns..."));
        QCOMPARE(modal.seen.size(), 1);
        QCOMPARE(modal.seen.first().text, QString::fromLatin1(kQuestion));
        QCOMPARE(dialog.vi, ViSession(0));
        QCOMPARE(traceArgs(bench.calls(QStringLiteral("tn6820_close")).value(0)).value("vi"),
                 session);
    }
    QCOMPARE(orbsim::Bench::instance().openSessionCount(), std::size_t(0));
}

void tst_connection::busyWork_data()
{
    QTest::addColumn<int>("workMs");
    QTest::addColumn<bool>("shown");
    QTest::newRow("quick: no dialog") << 0 << false;
    QTest::newRow("slow: the dialog once it takes long") << 700 << true;
}

// Work that cannot be given up: until it ends, no click or key reaches the
// other windows, also before its dialog shows, and Escape or a close leave
// the dialog up.
void tst_connection::busyWork()
{
    QFETCH(int, workMs);
    QFETCH(bool, shown);
    QWidget window;
    auto *button = new QPushButton(QStringLiteral("Start"), &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int clicks = 0;
    connect(button, &QPushButton::clicked, [&] { ++clicks; });
    tn6800fp_busyWork busy(&window, QStringLiteral("Busy"), QStringLiteral("Saving <b>x</b>..."),
                           "busyProgress");
    busy.setShowAfter(300);
    QElapsedTimer t;
    qint64 shownAt = -1;
    QString text;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&] {
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(button, Qt::Key_Space);
        auto *progress = window.findChild<QProgressDialog *>(QStringLiteral("busyProgress"));
        if (shownAt < 0 && progress && progress->isVisible()) {
            shownAt = t.elapsed();
            text = progress->findChild<QLabel *>()->text();
            QTest::keyClick(progress, Qt::Key_Escape);
            progress->close();
            QVERIFY(progress->isVisible());
        }
    });
    tick.start(20);
    t.start();
    QVERIFY(busy.run([workMs] { QThread::msleep(static_cast<unsigned long>(workMs)); }));
    tick.stop();
    QCOMPARE(clicks, 0);
    QCOMPARE(shownAt >= 0, shown);
    if (shown) {
        QVERIFY2(shownAt >= 300, qPrintable(QString::number(shownAt)));
        QCOMPARE(text, QStringLiteral("Saving <b>x</b>..."));
    }
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks, 1);
}

void tst_connection::unwritableAddressFile_data()
{
    QTest::addColumn<QString>("setup"); // what stands in the profile folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("a file where the folder should be") << "Morvix a file"
                                                       << "Morvix is a file, not a folder";
    QTest::newRow("read-only profile folder") << "profile read-only"
                                              << "is read-only";
    QTest::newRow("a folder where the file should be")
        << "file a folder"
        << "DefaultInstrDescr.ini is a folder, not a file";
    QTest::newRow("an unreadable address file") << "file unreadable"
                                                << "the file cannot be read";
    QTest::newRow("a read-only address file") << "file read-only"
                                              << "the file is read-only";
}

// What was typed is what the dialog shows again and what is opened, and the
// file that could not be written is named once on standard error.
void tst_connection::unwritableAddressFile()
{
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    QTemporaryDir profile;
    const QString morvix = profile.filePath(QStringLiteral("Morvix"));
    const QString file = morvix + QStringLiteral("/DefaultInstrDescr.ini");
    if (setup == QLatin1String("Morvix a file")) {
        sfptest::writeFile(profile.path(), QStringLiteral("Morvix"), "not a folder");
    } else if (setup == QLatin1String("profile read-only")) {
        QFile::setPermissions(profile.path(), QFile::ReadOwner | QFile::ExeOwner);
    } else if (setup == QLatin1String("file a folder")) {
        QVERIFY(QDir().mkpath(file));
    } else {
        QVERIFY(QDir().mkpath(morvix));
        sfptest::writeFile(morvix, QStringLiteral("DefaultInstrDescr.ini"),
                           "[ 6820]\nFC_Count=0\n");
        QFile::setPermissions(file, setup == QLatin1String("file unreadable")
                                        ? QFile::WriteOwner
                                        : QFile::ReadOwner | QFile::ReadOther);
    }
    // As root, without the powers that let root past the permissions.
    const sfptest::ChildResult r =
        sfptest::runInChild(QStringLiteral("unwritableAddressFileChild"),
                            {QStringLiteral("ALLUSERSPROFILE=") + profile.path()}, 30000, true);
    QFile::setPermissions(profile.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(!r.crashed && r.exitCode == 0, r.out.constData());
    QVERIFY2(r.out.contains("PASS   : tst_connection::unwritableAddressFileChild()"),
             r.out.constData());
    QStringList said;
    for (const QString &line : QString::fromLocal8Bit(r.err).split(QLatin1Char('\n')))
        if (line.contains(QLatin1String("DefaultInstrDescr.ini")))
            said << line;
    QVERIFY2(said.size() == 1, r.err.constData());
    QVERIFY2(said.first().startsWith(QStringLiteral("tn6820fp: cannot remember the addresses in ") +
                                     profile.path() +
                                     QStringLiteral("/Morvix/DefaultInstrDescr.ini: ")),
             qPrintable(said.first()));
    QVERIFY2(said.first().endsWith(reason), qPrintable(said.first()));
}

void tst_connection::unwritableAddressFileChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child process of unwritableAddressFile");
    SimBench bench;
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    QString shownAgain;
    ModalAnswers answers;
    enterIncompleteThenComplete(answers, shownAgain);
    QVERIFY(dialog.selectFunctionCard());
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.size(), 4); // no box about the file
    QCOMPARE(shownAgain, QStringLiteral("VXI0::8::INSTR"));
    const auto a = traceArgs(bench.calls(QStringLiteral("tn6820_init")).value(0));
    QCOMPARE(a.value("resourceName"), QStringLiteral("VXI0::8::INSTR"));
    QCOMPARE(a.value("fcNumber"), QStringLiteral("2"));
    card.close(dialog.vi);
}

QTEST_MAIN(tst_connection)
#include "tst_connection.moc"
