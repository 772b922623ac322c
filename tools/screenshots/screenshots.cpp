// Shows each window of the program as a user would see it and saves a
// picture of it into the folder given as first argument.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <memory>

#include <QAbstractButton>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>

#include "tn6800fp_about.h"
#include "tn6800fp_app.h"
#include "tn6800fp_fcselect.h"
#include "tn6800fp_license.h"
#include "tn6800fp_splashlabel.h"
#include "tn6820_fc.h"
#include "tn6820fp_app.h"
#include "tn6820fp_chset.h"
#include "tn6820fp_main.h"
#include "tn6820fp_resources.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

QDir g_out;

void shoot(QWidget *w, const QString &name)
{
    w->show();
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
    const QString path = g_out.filePath(name + QStringLiteral(".png"));
    w->grab().save(path);
    std::printf("%s %dx%d\n", qPrintable(path), w->width(), w->height());
}

// Answers the modal widgets of a workflow in turn: takes a picture of each,
// then clicks the named button.
void answerModals(const QList<QPair<QString, QString>> &steps)
{
    auto *timer = new QTimer;
    auto remaining = std::make_shared<QList<QPair<QString, QString>>>(steps);
    QObject::connect(timer, &QTimer::timeout, [timer, remaining] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || remaining->isEmpty())
            return;
        const auto step = remaining->takeFirst();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        if (!step.first.isEmpty()) {
            const QString path = g_out.filePath(step.first + QStringLiteral(".png"));
            w->grab().save(path);
            std::printf("%s %dx%d\n", qPrintable(path), w->width(), w->height());
        }
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>()) {
            if (b->text().remove(QLatin1Char('&')) == step.second) {
                b->click();
                break;
            }
        }
        if (remaining->isEmpty())
            timer->deleteLater();
    });
    timer->start(50);
}

// Three channels with differing shapes at a frequency the card cannot hit
// exactly; the third runs past the card's range. Pictures of the first, the
// third and an unselected channel.
void shootThreeChannels(tn6820fp_App &panel, const QString &name)
{
    struct Setting
    {
        const char *button;
        double amplitude;
        double offset;
    };
    const Setting settings[] = {
        {"triangleButton", 8, 0}, {"squareButton", 4, 2}, {"sawButton", 6, 7}};
    for (int n = 1; n <= 3; ++n) {
        auto *ch = panel.findChild<tn6820fp_chSet *>(QStringLiteral("channelSettings%1").arg(n));
        ch->findChild<QPushButton *>(QLatin1String(settings[n - 1].button))->click();
        ch->amplitude->setValue(settings[n - 1].amplitude);
        ch->offset->setValue(settings[n - 1].offset);
        panel.findChild<QCheckBox *>(QStringLiteral("channelSelect%1").arg(n))->setChecked(true);
    }
    panel.findChild<QSpinBox *>(QStringLiteral("freqBox"))->setValue(3000);
    auto *tabs = panel.findChild<QTabWidget *>(QStringLiteral("channelTabs"));
    for (int n : {1, 3, 5}) {
        tabs->setCurrentIndex(n - 1);
        shoot(&panel, QStringLiteral("%1-ch%2").arg(name).arg(n));
    }
    tabs->setCurrentIndex(0);
}

// A three-phase set on channels 1 to 3 at 50 Hz, and on channel 4 an
// arbitrary shape read from a CSV file: a pulse that rings.
void shootPhasesAndShape(tn6820fp_App &panel, const QString &name)
{
    QTemporaryDir dir;
    QFile csv(dir.filePath(QStringLiteral("ringing-pulse.csv")));
    if (csv.open(QIODevice::WriteOnly)) {
        csv.write("time;value\n");
        for (int i = 0; i < 200; ++i) {
            const double t = i / 200.0;
            const double v = t < 0.1 ? 1.0 : std::exp(-(t - 0.1) * 12) * std::cos((t - 0.1) * 60);
            csv.write(QByteArray::number(t) + ';' + QByteArray::number(v) + '\n');
        }
        csv.close();
    }
    for (int n = 1; n <= 4; ++n) {
        auto *ch = panel.findChild<tn6820fp_chSet *>(QStringLiteral("channelSettings%1").arg(n));
        if (ch->waveform != WaveSine && n <= 3)
            ch->sineButton->click();
        ch->amplitude->setValue(n <= 3 ? 10 : 8);
        ch->offset->setValue(0);
        ch->phase->setValue(n <= 3 ? 120.0 * (n - 1) : 0);
        if (n == 4 && ch->loadShape(csv.fileName()))
            ch->arbitraryButton->click();
        panel.findChild<QCheckBox *>(QStringLiteral("channelSelect%1").arg(n))->setChecked(true);
    }
    panel.findChild<QSpinBox *>(QStringLiteral("freqBox"))->setValue(50);
    auto *tabs = panel.findChild<QTabWidget *>(QStringLiteral("channelTabs"));
    for (int n : {2, 4}) {
        tabs->setCurrentIndex(n - 1);
        shoot(&panel, QStringLiteral("%1-ch%2").arg(name).arg(n));
    }
    tabs->setCurrentIndex(0);
}

// The shapes' own settings at 500 Hz on four channels: a square at 25% duty,
// a triangle at 90% symmetry, a sine at x3 beside one at x1, and a formula
// typed with an error, which names its place while the last valid one plays.
void shootShapeSettings(tn6820fp_App &panel, const QString &name)
{
    panel.findChild<QSpinBox *>(QStringLiteral("freqBox"))->setValue(500);
    for (int n = 1; n <= 8; ++n) {
        panel.findChild<QCheckBox *>(QStringLiteral("channelSelect%1").arg(n))->setChecked(n <= 5);
        auto *ch = panel.findChild<tn6820fp_chSet *>(QStringLiteral("channelSettings%1").arg(n));
        ch->phase->setValue(0);
        ch->offset->setValue(0);
        ch->amplitude->setValue(8);
    }
    auto channel = [&](int n) {
        return panel.findChild<tn6820fp_chSet *>(QStringLiteral("channelSettings%1").arg(n));
    };
    channel(1)->squareButton->click();
    channel(1)->duty->setValue(25);
    channel(2)->triangleButton->click();
    channel(2)->symmetry->setValue(90);
    if (channel(3)->waveform != WaveSine)
        channel(3)->sineButton->click();
    channel(4)->sineButton->setChecked(true);
    channel(4)->setWaveform(WaveSine);
    channel(4)->multiple->setValue(3);
    channel(5)->formulaButton->click();
    QLineEdit *formula = channel(5)->formula;
    formula->setFocus();
    formula->selectAll();
    QTest::keyClicks(formula, QStringLiteral("sin(2*pi*x) + 0.3*sin(6*pi*x)"));
    QTest::keyClicks(formula, QStringLiteral(" */ 2"));
    auto *tabs = panel.findChild<QTabWidget *>(QStringLiteral("channelTabs"));
    for (int n = 1; n <= 5; ++n) {
        tabs->setCurrentIndex(n - 1);
        shoot(&panel, QStringLiteral("%1-ch%2").arg(name).arg(n));
    }
    tabs->setCurrentIndex(0);
}

} // namespace

extern "C" void orbsim_reload(void);

int main(int argc, char **argv)
{
    tn6820fp_prepareToolkit(); // as the program does
    QApplication app(argc, argv);
    tn6820fp_initResources();
    g_out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    g_out.mkpath(QStringLiteral("."));
    tn6820_fc card;

    tn6800fp_app frame;
    frame.setTitleText(QStringLiteral("<html>Orbana 6820<br><font size='2'>%1</font></html>")
                           .arg(card.description()));
    frame.setDemoMode(false);
    frame.setModuleLabel(QStringLiteral("Slot 3"), QString());
    frame.setCardLabel(QStringLiteral("FC 2"), QString());
    frame.adjustSize();
    shoot(&frame, QStringLiteral("frame"));

    tn6800fp_About about("4.3.2.12522", "4.3.0.1187", "6820", qPrintable(card.noticeText()), &frame,
                         "2.6.1.403");
    about.addHardwareInfo(QStringLiteral("00001a2b"), QStringLiteral("1.2.0.7"),
                          QStringLiteral("6820-AB"), QString(), QString());
    shoot(&about, QStringLiteral("about"));
    about.addHardwareInfo(QStringLiteral("00001a2c"), QStringLiteral("1.2.0.8"),
                          QStringLiteral("6820-AC"), QString(), QString());
    shoot(&about, QStringLiteral("about-two-pages"));
    about.hide();

    qtLicense licence(&frame);
    shoot(&licence, QStringLiteral("licence-qt"));
    licence.hide();

    tn6800fp_splashLabel splash(1.0f, 20, card.modelCode, true, card.noticeText(),
                                tn6800fp_displayName(card.description()));
    splash.save(g_out.filePath(QStringLiteral("splash.png")));
    std::printf("%s\n", qPrintable(g_out.filePath(QStringLiteral("splash.png"))));

    QTemporaryDir profile;
    qputenv("ALLUSERSPROFILE", profile.path().toLocal8Bit());
    {
        tn6800fp_fcSelect select(&card, false);
        answerModals({{QStringLiteral("connection-question"), QStringLiteral("Auto Find")},
                      {QStringLiteral("select-default-bench"), QStringLiteral("Cancel")}});
        select.selectFunctionCard();
    }
    {
        tn6800fp_fcSelect select(&card, false);
        answerModals({{QString(), QStringLiteral("Enter Address")},
                      {QStringLiteral("enter-address"), QStringLiteral("Cancel")},
                      {QString(), QStringLiteral("Cancel")}});
        select.selectFunctionCard();
    }
    QTemporaryDir benchDir;
    QFile bench(benchDir.filePath(QStringLiteral("bench.ini")));
    if (bench.open(QIODevice::WriteOnly)) {
        bench.write("[carrier]\nresource = VXI0::8::INSTR\ninterface = vxi\nslot = 3\n"
                    "model = 0x6800\npositions = 4\nposition = 1 0x6904 AB\n"
                    "position = 2 0x6820\nposition = 4 0x6820\n"
                    "[carrier]\nresource = VXI0::24::INSTR\ninterface = vxi\nslot = 7\n"
                    "model = 0x6800\npositions = 4\nposition = 3 0x6912 CD\n"
                    "[carrier]\nresource = TCPIP0::192.168.10.20::inst0::INSTR\n"
                    "interface = tcpip\naddress = 192.168.10.20\nmodel = 6813\n"
                    "positions = 13\nposition = 1 0x6820\nposition = 5 0x6831\n"
                    "[resource]\nresource = ASRL1::INSTR\n");
        bench.close();
    }
    qputenv("ORBANA_SIM_BENCH", bench.fileName().toLocal8Bit());
    orbsim_reload();
    {
        tn6800fp_fcSelect select(&card, false);
        answerModals({{QString(), QStringLiteral("Auto Find")},
                      {QStringLiteral("select-three-carriers"), QStringLiteral("Cancel")}});
        select.selectFunctionCard();
    }

    // A card whose driver takes its time to open it: the busy dialog.
    QFile slow(benchDir.filePath(QStringLiteral("slow.ini")));
    if (slow.open(QIODevice::WriteOnly)) {
        slow.write("[carrier]\nresource = VXI0::8::INSTR\ninterface = vxi\nslot = 3\n"
                   "model = 0x6800\npositions = 4\nposition = 2 0x6820\n"
                   "latency = tn6820_init 1500\n");
        slow.close();
    }
    qputenv("ORBANA_SIM_BENCH", slow.fileName().toLocal8Bit());
    orbsim_reload();
    {
        tn6800fp_fcSelect select(&card, false);
        QTimer grab;
        bool shotCancelled = false;
        QObject::connect(&grab, &QTimer::timeout, [&] {
            QWidget *w = select.findChild<QWidget *>(QStringLiteral("openProgress"));
            auto *cancel =
                w ? w->findChild<QPushButton *>(QStringLiteral("cancelButton")) : nullptr;
            if (cancel && w->isVisible() && !cancel->isEnabled() && !shotCancelled) {
                shotCancelled = true;
                shoot(w, QStringLiteral("opening-cancelled"));
            }
            // Given up, the question comes again: Cancel it.
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (shotCancelled && box) {
                grab.stop();
                box->button(QMessageBox::Cancel)->click();
            }
        });
        grab.start(100);
        tn6800fp_startChoice start;
        start.kind = tn6800fp_startChoice::Open;
        start.descriptor = QStringLiteral("VXI0::8::INSTR");
        start.fcNumber = 2;
        answerModals({{QStringLiteral("opening"), QStringLiteral("Cancel")}});
        if (select.selectFunctionCard(start))
            card.close(select.vi);
    }

    qputenv("ORBANA_SIM_BENCH", QByteArray());
    orbsim_reload();
    {
        answerModals({{QString(), QStringLiteral("Run In Demo Mode")}});
        tn6820fp_App panel(&card);
        panel.adjustSize();
        shoot(&panel, QStringLiteral("panel-demo"));
        panel.findChild<QTabWidget *>(QStringLiteral("mainTabs"))->setCurrentIndex(1);
        shoot(&panel, QStringLiteral("panel-demo-write"));
        panel.findChild<QTabWidget *>(QStringLiteral("mainTabs"))->setCurrentIndex(0);
        shootThreeChannels(panel, QStringLiteral("panel-demo-three"));
        shootPhasesAndShape(panel, QStringLiteral("panel-demo-shapes"));
        shootShapeSettings(panel, QStringLiteral("panel-demo-settings"));
        panel.resize(panel.minimumSizeHint());
        shoot(&panel, QStringLiteral("panel-demo-settings-smallest"));
        panel.adjustSize();
        for (int n = 1; n <= 5; ++n) {
            auto *ch =
                panel.findChild<tn6820fp_chSet *>(QStringLiteral("channelSettings%1").arg(n));
            ch->multiple->setValue(1);
            ch->sineButton->click();
            if (ch->waveform != WaveSine)
                ch->sineButton->click();
        }
        // A phase on every channel: the line under the common settings wraps.
        for (int n = 1; n <= 8; ++n) {
            panel.findChild<QCheckBox *>(QStringLiteral("channelSelect%1").arg(n))
                ->setChecked(true);
            panel.findChild<tn6820fp_chSet *>(QStringLiteral("channelSettings%1").arg(n))
                ->phase->setValue(100 + 30.1 * n);
        }
        shoot(&panel, QStringLiteral("panel-demo-every-phase"));
        for (int n = 1; n <= 8; ++n) {
            panel.findChild<QCheckBox *>(QStringLiteral("channelSelect%1").arg(n))
                ->setChecked(n <= 4);
            panel.findChild<tn6820fp_chSet *>(QStringLiteral("channelSettings%1").arg(n))
                ->phase->setValue(0);
        }
        panel.findChild<QCheckBox *>(QStringLiteral("channelSelect3"))->setChecked(true);
        panel.findChild<QPushButton *>(QStringLiteral("panelStartButton"))->click();
        shoot(&panel, QStringLiteral("panel-generating"));
        panel.hide();
    }
    for (int lxi = 0; lxi < 2; ++lxi) {
        answerModals({{QString(), QStringLiteral("Enter Address")}, {QString(), QString()}});
        // The address dialog: type the carrier and pick the card, then OK.
        auto *timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, lxi] {
            QWidget *w = QApplication::activeModalWidget();
            if (!w || w->objectName() != QLatin1String("enterAddressDialog"))
                return;
            w->findChild<QComboBox *>(QStringLiteral("descriptorSelector"))
                ->setEditText(lxi ? QStringLiteral("TCPIP0::192.168.10.20::inst0::INSTR")
                                  : QStringLiteral("VXI0::8::INSTR"));
            w->findChild<QComboBox *>(QStringLiteral("cardNumberSelector"))
                ->setCurrentIndex(lxi ? 1 : 2);
            w->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
            timer->deleteLater();
        });
        timer->start(30);
        tn6820fp_App panel(&card);
        panel.adjustSize();
        shoot(&panel, lxi ? QStringLiteral("panel-lxi") : QStringLiteral("panel-vxi"));
        if (!lxi) {
            shootThreeChannels(panel, QStringLiteral("panel-vxi-three"));
            shootPhasesAndShape(panel, QStringLiteral("panel-vxi-shapes"));
            panel.findChild<QPushButton *>(QStringLiteral("panelStartButton"))->click();
            panel.findChild<QPushButton *>(QStringLiteral("driverCallsButton"))->click();
            if (QWidget *calls = panel.findChild<QWidget *>(QStringLiteral("callLogWindow"))) {
                shoot(calls, QStringLiteral("driver-calls"));
                calls->hide();
            }
        }
        panel.hide();
    }
    return 0;
}
