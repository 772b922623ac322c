// The generic front-panel frame: its side column, the acquisition buttons'
// state machine, the close confirmation, centring and the style.
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <QtTest>

#include "testsupport.h"
#include "tn6800fp_app.h"
#include "tn6800fp_icons.h"
#include "tn6800fp_led.h"

using sfptest::ModalAnswers;

namespace {

template <typename T> T *child(QWidget &w, const char *name)
{
    return sfptest::child<T>(&w, QLatin1String(name));
}

bool iconIs(const QPushButton *b, const QPixmap &p)
{
    return b->icon().pixmap(p.size()).toImage() == p.toImage();
}

// "checked/unchecked enabled/disabled icon" of one acquisition button.
QString buttonState(const QPushButton *b, const QPixmap &runIcon)
{
    return QStringLiteral("%1 %2 %3")
        .arg(b->isChecked() ? "checked" : "unchecked")
        .arg(b->isEnabled() ? "enabled" : "disabled")
        .arg(iconIs(b, tn6800fp_stopPixmap()) ? "stop"
             : iconIs(b, runIcon)             ? "run"
                                              : "?");
}

} // namespace

class tst_app : public QObject
{
    Q_OBJECT
private slots:
    void sideColumn();
    void acquisitionStateMachine_data();
    void acquisitionStateMachine();
    void tipsChangeOnlyInTheirRows();
    void closeConfirmation_data();
    void closeConfirmation();
    void statusLines();
    void headerAndLogos();
    void centerOnScreen_data();
    void centerOnScreen();
    void styleForWholeApplication();
    void helpEntersWhatsThisMode();
    void resetAndSwitchSignals();
};

void tst_app::sideColumn()
{
    tn6800fp_app frame;
    struct Expected
    {
        const char *name;
        QString text;
        QString whatsThis;
        bool tooltip;
        bool hidden;
    };
    const Expected rows[] = {
        {"autoscaleButton", "ON", "Enables/disables plot autorescale feature", true, true},
        {"identifyButton", "OFF", "Enables/disables visual identification mechanism", true, true},
        {"startButton", "", "Starts the single-shot data acquisition", true, true},
        {"startContButton", "",
         "<html>Starts the repetitive data acquisition (or continuous data acquisition, when "
         "file storage option is turned on)</html>",
         true, true},
        {"resetButton", "Reset Device", "Reset the device to the default state", true, false},
        {"helpButton", "", "Show on-line help for Instrument Soft Front Panel components", false,
         false},
        {"aboutButton", "About", "Displays \"About\" panel", false, false},
        {"closeButton", "Close", "Close main panel and terminates program", false, false},
    };
    for (const Expected &e : rows) {
        auto *b = child<QPushButton>(frame, e.name);
        QCOMPARE(b->text(), e.text);
        QCOMPARE(b->whatsThis(), e.whatsThis);
        QCOMPARE(b->toolTip(), e.tooltip ? e.whatsThis : QString());
        QCOMPARE(b->isHidden(), e.hidden);
    }
    QVERIFY(child<QPushButton>(frame, "autoscaleButton")->isChecked());
    QVERIFY(!child<QPushButton>(frame, "identifyButton")->isChecked());
    QCOMPARE(child<QPushButton>(frame, "helpButton")->iconSize(), QSize(20, 17));
    auto *led = child<tn6800fp_led>(frame, "activeLed");
    QCOMPARE(led->text(), QStringLiteral("Active"));
    QCOMPARE(led->value(), 0);
    QCOMPARE(led->whatsThis(),
             QStringLiteral("Green light means that the Soft Front Panel works\nin Real (not "
                            "Demo) mode."));
    QVERIFY(led->toolTip().isEmpty());
    QVERIFY(child<QLabel>(frame, "moduleLabel")->isHidden());
    QVERIFY(child<QLabel>(frame, "cardLabel")->isHidden());
    QCOMPARE(child<QLabel>(frame, "autoscaleLabel")->text(), QStringLiteral("Autoscale"));
    QVERIFY(child<QLabel>(frame, "autoscaleLabel")->isHidden());
    QCOMPARE(frame.windowIcon().pixmap(16, 16).toImage(), tn6800fp_windowPixmap().toImage());

    frame.showAutoscale(true);
    QVERIFY(!child<QLabel>(frame, "autoscaleLabel")->isHidden());
    QVERIFY(!child<QPushButton>(frame, "autoscaleButton")->isHidden());
    QCOMPARE(frame.size(), QSize(800, 600));
    frame.showIdentify(true);
    QVERIFY(!child<QPushButton>(frame, "identifyButton")->isHidden());
    frame.showIdentify(false);
    QVERIFY(child<QPushButton>(frame, "identifyButton")->isHidden());
}

void tst_app::acquisitionStateMachine_data()
{
    QTest::addColumn<QStringList>("events"); // S, C (toggle), enable, break
    QTest::addColumn<QString>("single");
    QTest::addColumn<QString>("cont");
    QTest::addColumn<QStringList>("expectedSignals");
    const QString idleS = "unchecked enabled run";
    const QString off = "unchecked disabled run";
    QTest::newRow("idle") << QStringList{} << idleS << idleS << QStringList{};
    QTest::newRow("S pressed") << QStringList{"S"} << "checked enabled stop"
                               << "unchecked disabled run" << QStringList{"startSingle"};
    QTest::newRow("S released") << QStringList{"S", "S"} << off << off
                                << QStringList{"startSingle", "breakSingle"};
    QTest::newRow("C pressed") << QStringList{"C"} << "unchecked disabled run"
                               << "checked enabled stop" << QStringList{"startCont"};
    QTest::newRow("C released") << QStringList{"C", "C"} << off << off
                                << QStringList{"startCont", "stopCont"};
    QTest::newRow("enableStart after stop") << QStringList{"S", "S", "enable"} << idleS << idleS
                                            << QStringList{"startSingle", "breakSingle"};
    QTest::newRow("enableStart while single runs")
        << QStringList{"S", "enable"} << "checked enabled stop" << idleS
        << QStringList{"startSingle"};
    QTest::newRow("userBreak in idle") << QStringList{"break"} << idleS << idleS << QStringList{};
    QTest::newRow("userBreak while single runs")
        << QStringList{"S", "break"} << idleS << idleS << QStringList{"startSingle", "breakSingle"};
    QTest::newRow("userBreak while continuous runs")
        << QStringList{"C", "break"} << idleS << idleS << QStringList{"startCont", "stopCont"};
    QTest::newRow("userBreak when stopping")
        << QStringList{"C", "C", "break"} << idleS << idleS << QStringList{"startCont", "stopCont"};
}

void tst_app::acquisitionStateMachine()
{
    QFETCH(QStringList, events);
    QFETCH(QString, single);
    QFETCH(QString, cont);
    QFETCH(QStringList, expectedSignals);
    tn6800fp_app frame;
    auto *s = child<QPushButton>(frame, "startButton");
    auto *c = child<QPushButton>(frame, "startContButton");
    QStringList emitted;
    connect(&frame, &tn6800fp_app::startSingle, [&] { emitted << "startSingle"; });
    connect(&frame, &tn6800fp_app::breakSingle, [&] { emitted << "breakSingle"; });
    connect(&frame, &tn6800fp_app::startCont, [&] { emitted << "startCont"; });
    connect(&frame, &tn6800fp_app::stopCont, [&] { emitted << "stopCont"; });
    for (const QString &e : events) {
        if (e == "S")
            s->toggle();
        else if (e == "C")
            c->toggle();
        else if (e == "enable")
            frame.enableStart();
        else
            frame.userBreak();
    }
    QCOMPARE(buttonState(s, tn6800fp_startPixmap()), single);
    QCOMPARE(buttonState(c, tn6800fp_continuousPixmap()), cont);
    QCOMPARE(emitted, expectedSignals);
}

void tst_app::tipsChangeOnlyInTheirRows()
{
    tn6800fp_app frame;
    auto *s = child<QPushButton>(frame, "startButton");
    auto *c = child<QPushButton>(frame, "startContButton");
    const QString contTip = c->whatsThis();
    s->toggle();
    QCOMPARE(s->toolTip(), QStringLiteral("Breaks the Single-Shot Data Acquisition"));
    QCOMPARE(s->whatsThis(), s->toolTip());
    s->toggle();
    QCOMPARE(s->toolTip(), QStringLiteral("Starts the Single-Shot Data Acquisition"));
    frame.enableStart();
    c->toggle();
    QCOMPARE(c->toolTip(), QStringLiteral("Stops the Data Acquisition process"));
    QCOMPARE(c->whatsThis(), c->toolTip());
    c->toggle();
    QCOMPARE(c->toolTip(), contTip);
    QCOMPARE(c->whatsThis(), contTip);
}

void tst_app::closeConfirmation_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("yes") << "Yes" << true;
    QTest::newRow("no") << "No" << false;
}

void tst_app::closeConfirmation()
{
    QFETCH(QString, answer);
    QFETCH(bool, closed);
    tn6800fp_app frame;
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    ModalAnswers answers;
    answers.click(answer);
    child<QPushButton>(frame, "closeButton")->click();
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.first().title, QStringLiteral("Orbana  SFP"));
    QCOMPARE(answers.seen.first().text, QStringLiteral("Do you really want to exit?"));
    QCOMPARE(answers.seen.first().icon, int(QMessageBox::Question));
    QCOMPARE(frame.isVisible(), !closed);
}

void tst_app::statusLines()
{
    tn6800fp_app frame;
    auto *module = child<QLabel>(frame, "moduleLabel");
    frame.setModuleLabel(QStringLiteral("Slot 5"), QStringLiteral("which module"));
    QVERIFY(!module->isHidden());
    QCOMPARE(module->text(), QStringLiteral("Slot 5"));
    QCOMPARE(module->whatsThis(), QStringLiteral("which module"));
    frame.setModuleLabel(QString(), QStringLiteral("another text"));
    QVERIFY(module->isHidden());
    QCOMPARE(module->whatsThis(), QStringLiteral("another text"));
    frame.setModuleLabel(QStringLiteral("inst0"), QString());
    QCOMPARE(module->whatsThis(), QStringLiteral("another text"));
    frame.setCardLabel(QStringLiteral("FC 2"), QStringLiteral("which card"));
    QCOMPARE(child<QLabel>(frame, "cardLabel")->text(), QStringLiteral("FC 2"));
    frame.setDemoMode(false);
    QCOMPARE(child<tn6800fp_led>(frame, "activeLed")->value(), 1);
    frame.setDemoMode(true);
    QCOMPARE(child<tn6800fp_led>(frame, "activeLed")->value(), 0);
}

void tst_app::headerAndLogos()
{
    tn6800fp_app frame;
    auto *logo = child<QLabel>(frame, "carrierLogo");
    const QImage vxi = QImage(QStringLiteral(":/vxi-logo.bmp"));
    const QImage lxi = QImage(QStringLiteral(":/lxi-logo.bmp"));
    QCOMPARE(vxi.size(), QSize(146, 84));
    QCOMPARE(lxi.size(), QSize(121, 84));
    QCOMPARE(QImage(QStringLiteral(":/morvix-logo.bmp")).size(), QSize(86, 84));
    QCOMPARE(sfptest::labelImage(logo, vxi.format()), vxi);
    frame.setLxiLogo(false);
    QCOMPARE(sfptest::labelImage(logo, vxi.format()), vxi);
    frame.setLxiLogo(true);
    QCOMPARE(sfptest::labelImage(logo, lxi.format()), lxi);
    frame.clearCarrierLogo();
    QVERIFY(sfptest::labelImage(logo).isNull());
    auto *title = child<QLabel>(frame, "titleLabel");
    QVERIFY(title->text().isEmpty());
    frame.setTitleText(QStringLiteral("<b>Orbana 6820</b>"));
    QCOMPARE(title->text(), QStringLiteral("<b>Orbana 6820</b>"));
    QCOMPARE(
        title->styleSheet(),
        QStringLiteral("QLabel { background-color: #1a2c5e; color: #ffffff; font: bold 20px}"));

    auto *layout = new QVBoxLayout;
    frame.setContentLayout(layout);
    QCOMPARE(child<QWidget>(frame, "contentArea")->layout(), layout);
}

void tst_app::centerOnScreen_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("small") << QSize(201, 101);
    QTest::newRow("larger than the screen") << QSize(3001, 2001);
}

void tst_app::centerOnScreen()
{
    QFETCH(QSize, size);
    QWidget w;
    w.resize(size);
    ::centerOnScreen(&w);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(w.pos(), QPoint((area.width() - w.width()) / 2, (area.height() - w.height()) / 2));
    if (size.width() > area.width())
        QVERIFY(w.pos().x() < 0 && w.pos().y() < 0);
}

void tst_app::styleForWholeApplication()
{
    tn6800fp_app frame;
    // The test command installs the Plastique plugin for Qt 5; for Qt 6 none
    // exists, and the frame falls back to Fusion.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QString expected = QStringLiteral("fusion");
#else
    const QString expected = QStringLiteral("plastique");
#endif
    QCOMPARE(QApplication::style()->objectName().toLower(), expected);
    QDialog later;
    QCOMPARE(later.style()->objectName().toLower(), expected);
}

void tst_app::helpEntersWhatsThisMode()
{
    tn6800fp_app frame;
    QVERIFY(!QWhatsThis::inWhatsThisMode());
    child<QPushButton>(frame, "helpButton")->click();
    QVERIFY(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
}

void tst_app::resetAndSwitchSignals()
{
    tn6800fp_app frame;
    QSignalSpy reset(&frame, &tn6800fp_app::resetPressed);
    QSignalSpy autoscale(&frame, &tn6800fp_app::autoscaleToggled);
    QSignalSpy ident(&frame, &tn6800fp_app::identToggled);
    child<QPushButton>(frame, "resetButton")->click();
    QCOMPARE(reset.count(), 1);
    auto *a = child<QPushButton>(frame, "autoscaleButton");
    a->toggle();
    QCOMPARE(a->text(), QStringLiteral("OFF"));
    QCOMPARE(autoscale.takeFirst().at(0).toBool(), false);
    auto *i = child<QPushButton>(frame, "identifyButton");
    i->toggle();
    QCOMPARE(i->text(), QStringLiteral("ON"));
    QCOMPARE(ident.takeFirst().at(0).toBool(), true);
}

QTEST_MAIN(tst_app)
#include "tst_app.moc"
