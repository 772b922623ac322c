// The framework's message boxes and the status-to-text report rule.
#include <QApplication>
#include <QtTest>
#include <cstring>

#include "testsupport.h"
#include "tn6800.h"
#include "tn6800fp_messages.h"

using sfptest::ModalAnswers;

namespace {

ViStatus fillWithoutTerminator(ViStatus, ViChar text[])
{
    std::memset(text, 'x', 1024); // a lookup that forgets the terminating zero
    return VI_SUCCESS;
}

ViStatus writeNothing(ViStatus, ViChar[])
{
    return VI_ERROR_PARAMETER1;
}

ViStatus expectCleared(ViStatus, ViChar text[])
{
    for (int i = 0; i < 1024; ++i) {
        if (text[i] != 0)
            return VI_ERROR_SYSTEM_ERROR;
    }
    std::strcpy(text, "cleared");
    return VI_SUCCESS;
}

} // namespace

class tst_messages : public QObject
{
    Q_OBJECT
private slots:
    void boxes_data();
    void boxes();
    void errorNoReturns_data();
    void errorNoReturns();
    void errorYesEndsProcess();
    void errorYesChild();
    void statusTextBuffer();
    void commonStatusReport_data();
    void commonStatusReport();
};

void tst_messages::boxes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("answer");
    QTest::newRow("info") << 0 << "Orbana  SFP Info message" << int(QMessageBox::Information)
                          << QStringList{"OK"} << "OK";
    QTest::newRow("warning") << 1 << "Orbana  SFP Warning message" << int(QMessageBox::Warning)
                             << QStringList{"OK"} << "OK";
    QTest::newRow("error") << 2 << "Orbana  SFP Error message" << int(QMessageBox::Critical)
                           << QStringList{"Yes", "No"} << "No";
}

void tst_messages::boxes()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(int, icon);
    QFETCH(QStringList, buttons);
    QFETCH(QString, answer);
    ModalAnswers answers;
    answers.click(answer);
    const QString text = QStringLiteral("Something to say");
    if (kind == 0)
        showInfo(text);
    else if (kind == 1)
        showWarning(text);
    else
        showError(text);
    QVERIFY(answers.allAnswered());
    const auto &seen = answers.seen.first();
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.icon, icon);
    QStringList got = seen.buttons;
    got.sort();
    buttons.sort();
    QCOMPARE(got, buttons);
    QCOMPARE(seen.text, kind == 2 ? text + "\nDo you want to exit?" : text);
    QVERIFY(!seen.hasParent); // no window of the program is active
}

void tst_messages::errorNoReturns_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("No") << false;
    QTest::newRow("Escape closes the box") << true;
}

// Reaching the checks at all shows the process went on; they show it went on
// because the error box was answered, and that the box is gone.
void tst_messages::errorNoReturns()
{
    QFETCH(bool, escape);
    ModalAnswers answers;
    if (escape)
        answers.act([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
    else
        answers.click(QStringLiteral("No"));
    showError(QStringLiteral("Failure"));
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.size(), 1);
    QCOMPARE(answers.seen.first().title, QStringLiteral("Orbana  SFP Error message"));
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_messages::errorYesEndsProcess()
{
    const sfptest::ChildResult r = sfptest::runInChild(QStringLiteral("errorYesChild"));
    QVERIFY(!r.crashed);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains("before the box"), r.out.constData());
    QVERIFY2(!r.out.contains("after the box"), r.out.constData());
    QVERIFY2(!r.out.contains("Totals:"), r.out.constData()); // the test run did not finish
}

void tst_messages::errorYesChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child process of errorYesEndsProcess");
    ModalAnswers answers;
    answers.click(QStringLiteral("Yes"));
    std::printf("before the box\n");
    showError(QStringLiteral("Fatal"));
    std::printf("after the box\n");
    QFAIL("showError returned after Yes");
}

void tst_messages::statusTextBuffer()
{
    QCOMPARE(tn6800fp_statusText(1, fillWithoutTerminator), QString(1023, QLatin1Char('x')));
    QCOMPARE(tn6800fp_statusText(1, writeNothing), QString());
    QCOMPARE(tn6800fp_statusText(1, expectCleared), QStringLiteral("cleared"));
}

void tst_messages::commonStatusReport_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("error") << int(TN6800_ERROR_NOT_CARRIER) << "Orbana  SFP Error message"
                           << "Function Call failed due to [The resource is not an Orbana "
                              "carrier.]\nDo you want to exit?";
    QTest::newRow("warning") << int(VI_WARN_NSUP_RESET) << "Orbana  SFP Warning message"
                             << "Warning [Unknown status code 0x3FFC0102.]";
}

void tst_messages::commonStatusReport()
{
    QFETCH(int, status);
    QFETCH(QString, title);
    QFETCH(QString, text);
    sfptest::SimBench bench;
    ModalAnswers answers;
    answers.click(status < 0 ? QStringLiteral("No") : QStringLiteral("OK"));
    tn6800fp_reportCommonStatus(status);
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.first().title, title);
    QCOMPARE(answers.seen.first().text, text);

    ModalAnswers none;
    none.click(QStringLiteral("OK"));
    tn6800fp_reportCommonStatus(VI_SUCCESS);
    QVERIFY(!none.allAnswered()); // success shows nothing
}

QTEST_MAIN(tst_messages)
#include "tst_messages.moc"
