// Driver failures in every panel call and in the reset: the box the user
// sees, and that the operation goes on after "No"; "Yes" ends the process.
#include "bench.h"
#include "panelfixture.h"
#include "tn6800fp_about.h"

#include <QApplication>

using sfptest::ModalAnswers;

namespace {

// The default bench with a fault added.
QString withFault(const QString &fault)
{
    return QString::fromLatin1(orbsim::defaultBenchText()) + QLatin1Char('\n') + fault;
}

const char *const kOverflowText = "The waveform does not fit into the sample memory.";

enum Trigger
{
    Construction,
    Immediate,
    Filter,
    SingleStart,
    ContinuousStart,
    StopClick,
    Reset
};

void trigger(PanelFixture &f, Trigger t)
{
    switch (t) {
    case Construction:
        break;
    case Immediate:
        f.dac(1)->setValue(f.dac(1)->value() + 1.5);
        break;
    case Filter:
        emit f.filter()->activated(1);
        break;
    case SingleStart:
        f.startButton()->click();
        break;
    case ContinuousStart:
        f.mode()->setCurrentIndex(1);
        f.startButton()->click();
        break;
    case StopClick:
        f.stopButton()->click();
        break;
    case Reset:
        f.panel->findChild<QPushButton *>(QStringLiteral("resetButton"))->click();
        break;
    }
}

} // namespace

class tst_panel_faults : public QObject
{
    Q_OBJECT
private slots:
    void errorBoxAndGoOn_data();
    void errorBoxAndGoOn();
    void warnings_data();
    void warnings();
    void yesEndsProcess();
    void yesEndsProcessChild();
};

void tst_panel_faults::errorBoxAndGoOn_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("when");
    QTest::addColumn<int>("trigger");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("goesOnWith"); // the call made after the failed one
    QTest::addColumn<bool>("again");         // the same action, once more, reaches the card
    const QString overflow = QString::fromLatin1(kOverflowText);
    const auto failed = [&](const char *label) {
        return QStringLiteral("%1 failed due to [%2]").arg(QLatin1String(label), overflow);
    };
    QTest::newRow("output limits") << "tn6820_getOutputLimits"
                                   << "always" << int(Construction)
                                   << failed("tn6820_getOutputLimits(vi(), &lowLimit, &hiLimit)")
                                   << "tn6820_readSerialNo" << false;
    QTest::newRow("serial number") << "tn6820_readSerialNo"
                                   << "always" << int(Construction)
                                   << failed("tn6820_readSerialNo(d_vi, &serialNumber, subtype)")
                                   << "tn6820_revision_query" << false;
    QTest::newRow("revision")
        << "tn6820_revision_query"
        << "call 2" << int(Construction)
        << failed("tn6820_revision_query(d_vi, driverRevision, instrumentFirmwareRevision)") << ""
        << false;
    QTest::newRow("output enable")
        << "tn6820_setOutputEnable"
        << "always" << int(Immediate) << failed("tn6820_setOutputEnable(vi(), chanMask)")
        << "tn6820_writeChannels" << false;
    QTest::newRow("write channels")
        << "tn6820_writeChannels"
        << "call 1" << int(Immediate) << failed("tn6820_writeChannels(vi(), chanMask, dac_val)")
        << "" << true;
    QTest::newRow("filter") << "tn6820_setFilter"
                            << "call 1" << int(Filter) << failed("tn6820_setFilter(vi(), filter)")
                            << "" << true;
    QTest::newRow("single cycle")
        << "tn6820_generateWaveforms"
        << "always" << int(SingleStart)
        << failed("tn6820_generateWaveforms(vi(), chanMask, segLen, updFreq[freqIdx], filt, "
                  "tn6820_GROUP_BY_CHANNEL, buffer)")
        << "tn6820_stopContWaveform" << false;
    QTest::newRow("continuous")
        << "tn6820_startContWaveformEx"
        << "call 1" << int(ContinuousStart)
        << failed("tn6820_startContWaveformEx(vi(), chanMask, segLen*nIter, updFreq[freqIdx], "
                  "filt, tn6820_GROUP_BY_CHANNEL, 0, buffer, NULL, NULL)")
        << "" << true;
    QTest::newRow("stop") << "tn6820_stopContWaveform"
                          << "always" << int(StopClick)
                          << failed("tn6820_stopContWaveform(vi(), VI_TRUE)") << "tn6820_resetFIFO"
                          << false;
    QTest::newRow("reset fifo") << "tn6820_resetFIFO"
                                << "call 1" << int(StopClick) << failed("tn6820_resetFIFO(vi())")
                                << "" << true;
    QTest::newRow("reset") << "tn6820_reset"
                           << "call 1" << int(Reset)
                           << "Function Call failed due to [The resource is not an Orbana "
                              "carrier.]"
                           << "" << true;
}

void tst_panel_faults::errorBoxAndGoOn()
{
    QFETCH(QString, function);
    QFETCH(QString, when);
    QFETCH(int, trigger);
    QFETCH(QString, text);
    QFETCH(QString, goesOnWith);
    QFETCH(bool, again);
    const QString status = function == QLatin1String("tn6820_reset") ? QStringLiteral("0xBFFC0901")
                                                                     : QStringLiteral("0xBFFC0808");
    PanelFixture f(withFault(QStringLiteral("[fault]\nfunction = %1\nstatus = %2\nwhen = %3\n")
                                 .arg(function, status, when)));
    ModalAnswers answers;
    f.open(PanelFixture::Vxi, &answers,
           trigger == Construction ? QStringList{"No"} : QStringList{});
    if (trigger != Construction) {
        answers.click(QStringLiteral("No"));
        ::trigger(f, Trigger(trigger));
    }
    QVERIFY(answers.allAnswered());
    const sfptest::SeenModal &box = answers.seen.last();
    QCOMPARE(box.title, QStringLiteral("Orbana  SFP Error message"));
    QCOMPARE(box.icon, int(QMessageBox::Critical));
    QCOMPARE(box.text, text + QStringLiteral("\nDo you want to exit?"));
    const QStringList calls = f.driverCalls();
    const int failedAt = calls.lastIndexOf(function);
    QVERIFY(failedAt >= 0);
    if (!goesOnWith.isEmpty())
        QVERIFY2(calls.indexOf(goesOnWith, failedAt + 1) > failedAt, qPrintable(calls.join(' ')));
    if (trigger == ContinuousStart)
        QVERIFY(!f.startButton()->isEnabled()); // still generating until Stop
    if (trigger == SingleStart || trigger == StopClick)
        QVERIFY(f.startButton()->isEnabled());              // back to idle all the same
    if (function == QLatin1String("tn6820_revision_query")) // the About page is still filled
        QCOMPARE(sfptest::labelText(*f.panel->about(), "serialNumber"), QStringLiteral("00001a2b"));
    if (trigger == Reset)
        QVERIFY(!QApplication::overrideCursor()); // the busy cursor is gone
    if (again) {
        // The panel took the failure in its stride: the same action works now.
        const int before = f.bench.calls(function).size();
        if (trigger == ContinuousStart)
            f.stopButton()->click();
        ::trigger(f, Trigger(trigger));
        const QStringList made = f.bench.calls(function);
        QCOMPARE(made.size(), before + 1);
        QCOMPARE(sfptest::traceStatus(made.last()), 0L);
    }
    QVERIFY(f.bench.calls(QStringLiteral("tn6820_close")).isEmpty());
}

void tst_panel_faults::warnings_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<int>("trigger");
    QTest::addColumn<QString>("text");
    QTest::newRow("panel call")
        << "tn6820_setFilter" << int(Filter)
        << "Warning: [Output values beyond the output limits were clipped.]";
    QTest::newRow("reset") << "tn6820_reset" << int(Reset)
                           << "Warning [Unknown status code 0x3FFC0801.]";
}

void tst_panel_faults::warnings()
{
    QFETCH(QString, function);
    QFETCH(int, trigger);
    QFETCH(QString, text);
    PanelFixture f(
        withFault(QStringLiteral("[fault]\nfunction = %1\nstatus = 0x3FFC0801\n").arg(function)));
    f.open(PanelFixture::Vxi);
    ModalAnswers answers;
    answers.click(QStringLiteral("OK"));
    ::trigger(f, Trigger(trigger));
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.first().title, QStringLiteral("Orbana  SFP Warning message"));
    QCOMPARE(answers.seen.first().text, text);
    QCOMPARE(answers.seen.first().buttons, QStringList{"OK"});
}

void tst_panel_faults::yesEndsProcess()
{
    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    const sfptest::ChildResult r = sfptest::runInChild(QStringLiteral("yesEndsProcessChild"),
                                                       {QStringLiteral("SFP_TEST_TRACE=") + trace});
    QVERIFY(!r.crashed);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains("filter chosen"), r.out.constData());
    QVERIFY2(!r.out.contains("still running"), r.out.constData());
    QFile f(trace);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray lines = f.readAll();
    QVERIFY(lines.contains("tn6820_setFilter"));
    QVERIFY(!lines.contains("tn6820_close")); // the session is left to the system
}

void tst_panel_faults::yesEndsProcessChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child process of yesEndsProcess");
    PanelFixture f(
        withFault(QStringLiteral("[fault]\nfunction = tn6820_setFilter\nstatus = 0xBFFC0808\n")));
    f.open(PanelFixture::Vxi);
    ModalAnswers answers;
    answers.click(QStringLiteral("Yes"));
    std::printf("filter chosen\n");
    std::fflush(stdout);
    emit f.filter()->activated(0);
    std::printf("still running\n");
}

QTEST_MAIN(tst_panel_faults)
#include "tst_panel_faults.moc"
