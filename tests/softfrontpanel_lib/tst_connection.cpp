// The connection workflow, driven through its real dialogs with the stand-ins.
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "testsupport.h"
#include "tn6800fp_fcselect.h"
#include "tn6800fp_icons.h"
#include "tn6820_fc.h"

using sfptest::ModalAnswers;
using sfptest::SimBench;
using sfptest::traceArgs;

namespace {

const char *const kTitle = "Orbana 6820 SFP: Select Function Card";
const char *const kQuestion = "How to connect to 6820 Function Card?";

const char *const kOneCard = "[carrier]\nresource = VXI0::4::INSTR\ninterface = vxi\nslot = 5\n"
                             "model = 6800\npositions = 3\nposition = 2 0x6820\n";

// Fills the address dialog's only row and presses OK.
std::function<void(QWidget *)> enterAddress(const QString &descriptor, int cardNumber)
{
    return [=](QWidget *w) {
        QVERIFY(w->objectName() == QLatin1String("enterAddressDialog"));
        w->findChild<QComboBox *>(QStringLiteral("descriptorSelector"))->setEditText(descriptor);
        w->findChild<QComboBox *>(QStringLiteral("cardNumberSelector"))
            ->setCurrentIndex(cardNumber);
        w->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
    };
}

struct Fixture
{
    QTemporaryDir profile;
    tn6820_fc card;
    Fixture() { qputenv("ALLUSERSPROFILE", profile.path().toLocal8Bit()); }
    ~Fixture() { qunsetenv("ALLUSERSPROFILE"); }
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
    answers.click(QStringLiteral("Enter Address"))
        .act(enterAddress(QStringLiteral("VXI0::8::INSTR"), 0))
        .click(QStringLiteral("OK"))
        .act([&](QWidget *w) {
            shownAgain =
                w->findChild<QComboBox *>(QStringLiteral("descriptorSelector"))->currentText();
            enterAddress(shownAgain, 2)(w);
        });
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
    tn6820_fc multi(0x6904);
    tn6800fp_fcSelect dialog(&multi, true);
    ModalAnswers answers;
    answers.click(QStringLiteral("Enter Address"))
        .act([](QWidget *w) {
            w->findChild<QComboBox *>(QStringLiteral("countSelector"))->setCurrentIndex(1);
            auto rows = w->findChildren<QComboBox *>(QStringLiteral("descriptorSelector"));
            rows.at(0)->setEditText(QStringLiteral("VXI0::8::INSTR"));
            w->findChildren<QComboBox *>(QStringLiteral("cardNumberSelector"))
                .at(0)
                ->setCurrentIndex(1);
            w->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
        })
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

QTEST_MAIN(tst_connection)
#include "tst_connection.moc"
