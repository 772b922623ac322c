#include "tn6820fp_app.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstring>

#include "tn6800.h"
#include "tn6800fp_about.h"
#include "tn6800fp_led.h"
#include "tn6800fp_widgets.h"
#include "tn6820.h"
#include "tn6820fp_chset.h"
#include "tn6820fp_comset.h"
#include "tn6820fp_preview.h"
#include "tn6820fp_report.h"
#include "tn6820fp_synthesis.h"

namespace {

constexpr int kWriteTab = 1;
constexpr ViUInt16 kAllChannels = 0xFF;

} // namespace

tn6820fp_App::tn6820fp_App(tn6800fp_genFC *card, const tn6800fp_startChoice &start)
    : tn6800fp_AppFC(card, 0, false, nullptr, false, start)
{
    setObjectName(QStringLiteral("tn6820fp_App"));
    selectedCount = 1;
    auto *content = new QHBoxLayout;
    setContentLayout(content);
    mainTabs = new QTabWidget;
    mainTabs->setObjectName(QStringLiteral("mainTabs"));
    content->addWidget(mainTabs);
    readOutputLimits();
    buildGenerationPage();
    buildWritePage();
    addHardwareInfo();
}

tn6820fp_App::~tn6820fp_App()
{
    buffer.clear();
    buffer.shrink_to_fit();
}

void tn6820fp_App::readOutputLimits()
{
    lowLimit = -10.0;
    hiLimit = 10.0;
    if (demoMode)
        return;
    double low = 0;
    double high = 0;
    const ViStatus status = tn6820_getOutputLimits(vi(), &low, &high);
    reportDriverStatus(status, "tn6820_getOutputLimits(vi(), &lowLimit, &hiLimit)");
    // Without a usable answer the panel keeps the card's nominal range of +-10 V.
    if (status >= 0 && low < high) {
        lowLimit = low;
        hiLimit = high;
    }
}

void tn6820fp_App::buildGenerationPage()
{
    generationPage = new QWidget;
    auto *P = new QVBoxLayout(generationPage);
    auto *Q = new QHBoxLayout;
    auto *R = new QVBoxLayout;
    P->addLayout(Q);
    Q->addLayout(R);
    channelTabs = new QTabWidget;
    channelTabs->setObjectName(QStringLiteral("channelTabs"));
    R->addWidget(channelTabs);
    for (int n = 1; n <= 8; ++n) {
        QWidget *page = new QWidget;
        channelPages[n - 1] = page;
        auto *pageLayout = new QVBoxLayout(page);
        channelTabs->addTab(page, QStringLiteral("Ch%1").arg(n));
        tn6820fp_chSet *settings = new tn6820fp_chSet;
        settings->setObjectName(QStringLiteral("channelSettings%1").arg(n));
        channelSettings[n - 1] = settings;
        pageLayout->addWidget(settings);
        settings->amplitude->setValue(hiLimit);
        settings->amplitude->setRange(0, hiLimit);
        settings->offset->setRange(lowLimit, hiLimit);
        auto *preview = new tn6820fp_preview;
        preview->setObjectName(QStringLiteral("preview%1").arg(n));
        preview->setAccessibleName(QStringLiteral("Preview of channel %1").arg(n));
        preview->setRange(lowLimit, hiLimit);
        channelPreview[n - 1] = preview;
        pageLayout->addWidget(preview, 1);
        connect(settings, &tn6820fp_chSet::changed, this, &tn6820fp_App::showRealOutput);
        connect(settings, &tn6820fp_chSet::changed, this, [this, n] {
            showPreview(n,
                        tn6820fp_chooseRate(commonSettings->freqBox->value(), checkedChannels()));
        });
    }
    // All eight channel tabs stay in view: the page is at least as wide as the
    // whole row of tabs at the font and resolution in use (and never narrower
    // than 400), and as wide as a channel's controls need. Should a style still squeeze them, the
    // scroll arrows reach every tab, and no tab text is cut short.
    channelTabs->setElideMode(Qt::ElideNone);
    channelTabs->setUsesScrollButtons(true);
    const int frame = 2 * channelTabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    // An explicit minimum replaces what the pages need, so it takes that too.
    channelTabs->setMinimumWidth(qMax(qMax(400, channelTabs->tabBar()->sizeHint().width() + frame),
                                      channelTabs->minimumSizeHint().width()));
    commonSettings = new tn6820fp_comSet(QStringLiteral("Common Settings"));
    commonSettings->setObjectName(QStringLiteral("commonSettings"));
    R->addWidget(commonSettings);
    realOutputLabel = new QLabel;
    realOutputLabel->setObjectName(QStringLiteral("realOutput"));
    realOutputLabel->setTextFormat(Qt::RichText);
    // A phase on every channel makes a long line: it wraps rather than
    // widening the window.
    realOutputLabel->setWordWrap(true);
    tn6800fp_setHelp(realOutputLabel,
                     QStringLiteral("What the card really outputs: it plays whole samples at one "
                                    "of its update rates,\nso the frequency is the rate divided by "
                                    "the samples of one cycle.\nIt depends on the frequency, the "
                                    "number of channels selected and the mode."));
    R->addWidget(realOutputLabel);

    generationGroup = new QGroupBox(QStringLiteral("Waveform Generation Control"));
    generationGroup->setObjectName(QStringLiteral("generationGroup"));
    auto *control = new QHBoxLayout(generationGroup);
    startButton = new QPushButton(QStringLiteral("Start"));
    startButton->setObjectName(QStringLiteral("panelStartButton"));
    tn6800fp_setHelp(startButton, QStringLiteral("Start Waveform Generation"));
    stopButton = new QPushButton(QStringLiteral("Stop"));
    stopButton->setObjectName(QStringLiteral("panelStopButton"));
    tn6800fp_setHelp(stopButton, QStringLiteral("Stop Waveform Generation"));
    control->addWidget(startButton);
    control->addWidget(stopButton);
    control->addSpacing(30);
    control->addWidget(tn6800fp_fixedLabel(QStringLiteral("Generate")));
    generateMode = new QComboBox;
    generateMode->setObjectName(QStringLiteral("generateMode"));
    generateMode->addItems({QStringLiteral("Single Cycle"), QStringLiteral("Continuous")});
    generateMode->setCurrentIndex(0);
    const QString modeTip = QStringLiteral(
        "Type of waveform to be generated.\nSingle Cycle - generates a single pulse of the "
        "waveform\nContinuous - generates a continuous waveform");
    tn6800fp_setHelp(generateMode, modeTip);
    control->addWidget(generateMode);
    P->addWidget(generationGroup);

    selectGroup = new QGroupBox(QStringLiteral("Select Channel"));
    selectGroup->setObjectName(QStringLiteral("selectGroup"));
    auto *selectLayout = new QVBoxLayout(selectGroup);
    for (int n = 1; n <= 8; ++n) {
        auto *box = new QCheckBox(QStringLiteral("Channel %1").arg(n));
        box->setObjectName(QStringLiteral("channelSelect%1").arg(n));
        tn6800fp_setHelp(box, QStringLiteral("Channel Number %1").arg(n));
        box->setChecked(n == 1);
        channelSelect[n - 1] = box;
        selectLayout->addWidget(box);
    }
    Q->addWidget(selectGroup);
    mainTabs->addTab(generationPage, QStringLiteral("Waveform Generation"));

    connect(startButton, &QPushButton::clicked, this, &tn6820fp_App::start);
    connect(stopButton, &QPushButton::clicked, this, &tn6820fp_App::stop);
    connect(commonSettings->filterBox, QOverload<int>::of(&QComboBox::activated), this,
            &tn6820fp_App::setFilt);
    connect(commonSettings->freqBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &tn6820fp_App::setFreq);
    connect(commonSettings->freqBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &tn6820fp_App::showRealOutput);
    connect(generateMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &tn6820fp_App::showRealOutput);
    connect(commonSettings->freqBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &tn6820fp_App::showPreviews);
    for (QCheckBox *box : channelSelect) {
        connect(box, &QCheckBox::toggled, this, &tn6820fp_App::showRealOutput);
        connect(box, &QCheckBox::toggled, this, &tn6820fp_App::showPreviews);
    }
    showRealOutput();
    showPreviews();
}

void tn6820fp_App::buildWritePage()
{
    writePage = new QWidget;
    auto *layout = new QVBoxLayout(writePage);
    auto *group = new QGroupBox(QStringLiteral("Set DAC Immediate Value"));
    group->setObjectName(QStringLiteral("immediateGroup"));
    auto *rows = new QVBoxLayout(group);
    layout->addWidget(group);
    for (int n = 1; n <= 8; ++n) {
        auto *box = new QDoubleSpinBox;
        box->setObjectName(QStringLiteral("dacValue%1").arg(n));
        box->setRange(lowLimit, hiLimit);
        box->setSingleStep(1.0);
        box->setDecimals(3);
        box->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        const QString tip =
            tr("Specifies the constant voltage to be generated on the output \nof Channel %1. New "
               "Voltage will be generated when value is\nentered to this control and Enter "
               "pressed.")
                .arg(n);
        tn6800fp_setHelp(box, tip);
        box->setValue(0);
        dacValue[n - 1] = box;
    }
    for (int r = 0; r < 4; ++r) {
        auto *row = new QHBoxLayout;
        row->addWidget(tn6800fp_fixedLabel(QStringLiteral("Channel %1").arg(2 * r + 1)));
        row->addSpacing(30);
        row->addWidget(dacValue[2 * r]);
        row->addSpacing(60);
        row->addWidget(tn6800fp_fixedLabel(QStringLiteral("Channel %1").arg(2 * r + 2)));
        row->addSpacing(30);
        row->addWidget(dacValue[2 * r + 1]);
        rows->addLayout(row);
    }
    for (QDoubleSpinBox *box : dacValue)
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &tn6820fp_App::setDac);
    mainTabs->addTab(writePage, QStringLiteral("Write Channel"));
}

void tn6820fp_App::addHardwareInfo()
{
    if (demoMode) {
        about()->addHardwareInfo(QStringLiteral("68209481 (DEMO)"),
                                 QStringLiteral("1.0.1.0 (DEMO)"), QStringLiteral("6820-AA (DEMO)"),
                                 QString(), QString());
        return;
    }
    ViUInt32 serialNumber = 0;
    // The driver writes whole texts: 256 bytes hold any VISA text.
    char subtype[256];
    std::memset(subtype, 0, sizeof subtype);
    reportDriverStatus(tn6820_readSerialNo(d_vi, &serialNumber, subtype),
                       "tn6820_readSerialNo(d_vi, &serialNumber, subtype)");
    subtype[sizeof subtype - 1] = '\0';
    char driverRevision[256];
    char instrumentFirmwareRevision[256];
    std::memset(driverRevision, 0, sizeof driverRevision);
    std::memset(instrumentFirmwareRevision, 0, sizeof instrumentFirmwareRevision);
    reportDriverStatus(tn6820_revision_query(d_vi, driverRevision, instrumentFirmwareRevision),
                       "tn6820_revision_query(d_vi, driverRevision, instrumentFirmwareRevision)");
    instrumentFirmwareRevision[sizeof instrumentFirmwareRevision - 1] = '\0';
    about()->addHardwareInfo(QString::asprintf("%08lx", static_cast<unsigned long>(serialNumber)),
                             QString::fromLatin1(instrumentFirmwareRevision),
                             QStringLiteral("6820-%1").arg(QString::fromLatin1(subtype)), QString(),
                             QString());
}

int tn6820fp_App::start()
{
    selectedCount = 0;
    ViUInt16 chanMask = 0;
    for (int n = 1; n <= 8; ++n) {
        if (channelSelect[n - 1]->isChecked()) {
            ++selectedCount;
            chanMask |= ViUInt16(1u << (n - 1));
        }
    }
    if (selectedCount == 0) {
        qDebug("At least one channel should be selected");
        return 0;
    }
    stop();
    const int f = commonSettings->freqBox->value();
    const int filt = commonSettings->filterBox->currentIndex();
    const tn6820fp_rateChoice rate = tn6820fp_chooseRate(f, selectedCount);
    startButton->setEnabled(false);
    mainTabs->setTabEnabled(kWriteTab, false);
    const int mode = generateMode->currentIndex();
    // A single cycle outputs one cycle of each channel, and the driver reads one
    // segment per channel, back to back: each block then holds exactly that
    // cycle. Repeating it would hand the second channel the first one's repeat.
    const int nIter = tn6820fp_cyclesPerChannel(rate, mode);
    buffer.resize(std::size_t(selectedCount) * std::size_t(nIter) * std::size_t(rate.segLen));
    tn6820fp_channelWave channels[8];
    for (int n = 1; n <= 8; ++n) {
        if (!channelSelect[n - 1]->isChecked())
            continue;
        tn6820fp_chSet *ch = channelSettings[n - 1];
        ch->led->setValue(1);
        channels[n - 1] = ch->wave(true);
    }
    tn6820fp_synthesize(channels, rate.segLen, nIter, buffer.data());
    const double period = tn6820fp_realPeriod(rate);
    const double *block = buffer.data();
    for (int n = 0; n < 8; ++n) {
        if (channels[n].selected) {
            channelPreview[n]->setTrace(block, rate.segLen, period);
            block += std::size_t(nIter) * std::size_t(rate.segLen);
        }
    }
    for (int n = 0; n < 8; ++n) {
        channelSelect[n]->setEnabled(false);
        channelSettings[n]->setEnabled(false);
    }
    generateMode->setEnabled(false);
    commonSettings->setEnabled(false);
    if (demoMode)
        return 0;
    const ViInt32 rateCode = tn6820fp_updateCodes[rate.freqIdx];
    if (mode == 0) {
        reportDriverStatus(tn6820_generateWaveforms(vi(), chanMask, rate.segLen, rateCode,
                                                    ViInt16(filt), tn6820_GROUP_BY_CHANNEL,
                                                    buffer.data()),
                           "tn6820_generateWaveforms(vi(), chanMask, segLen, updFreq[freqIdx], "
                           "filt, tn6820_GROUP_BY_CHANNEL, buffer)");
        tn6800_delay(1000.0 / f);
        stop();
    } else {
        reportDriverStatus(
            tn6820_startContWaveformEx(vi(), chanMask, rate.segLen * rate.nIter, rateCode,
                                       ViInt16(filt), tn6820_GROUP_BY_CHANNEL, 0, buffer.data(),
                                       nullptr, nullptr),
            "tn6820_startContWaveformEx(vi(), chanMask, segLen*nIter, updFreq[freqIdx], filt, "
            "tn6820_GROUP_BY_CHANNEL, 0, buffer, NULL, NULL)");
    }
    return 0;
}

int tn6820fp_App::stop()
{
    for (int n = 0; n < 8; ++n) {
        channelSettings[n]->setEnabled(true);
        channelSelect[n]->setEnabled(true);
        if (channelSelect[n]->isChecked())
            channelSettings[n]->led->setValue(0);
    }
    generateMode->setEnabled(true);
    commonSettings->setEnabled(true);
    mainTabs->setTabEnabled(kWriteTab, true);
    if (!demoMode) {
        reportDriverStatus(tn6820_stopContWaveform(vi(), VI_TRUE),
                           "tn6820_stopContWaveform(vi(), VI_TRUE)");
        reportDriverStatus(tn6820_resetFIFO(vi()), "tn6820_resetFIFO(vi())");
    }
    startButton->setEnabled(true);
    showPreviews();
    return 0;
}

int tn6820fp_App::setDac(double)
{
    double dac_val[8];
    for (int n = 0; n < 8; ++n)
        dac_val[n] = dacValue[n]->value();
    if (demoMode)
        return 0;
    reportDriverStatus(tn6820_setOutputEnable(vi(), kAllChannels),
                       "tn6820_setOutputEnable(vi(), chanMask)");
    reportDriverStatus(tn6820_writeChannels(vi(), kAllChannels, dac_val),
                       "tn6820_writeChannels(vi(), chanMask, dac_val)");
    return 0;
}

int tn6820fp_App::setFilt(int filter)
{
    if (!demoMode)
        reportDriverStatus(tn6820_setFilter(vi(), ViInt16(filter)),
                           "tn6820_setFilter(vi(), filter)");
    return 0;
}

int tn6820fp_App::setFreq(int)
{
    return 0;
}

QString tn6820fp_realOutputLine::text() const
{
    return compose(QStringLiteral("\n"), QLatin1Char(' '),
                   [](const QString &part, bool) { return part; });
}

QString tn6820fp_realOutputLine::html() const
{
    return compose(QStringLiteral("<br>"), QChar(0x00a0), [](const QString &part, bool differs) {
        return differs ? QStringLiteral("<b style='color:#b35c00'>%1</b>").arg(part.toHtmlEscaped())
                       : part.toHtmlEscaped();
    });
}

QString
tn6820fp_realOutputLine::compose(const QString &lineBreak, QChar space,
                                 const std::function<QString(const QString &, bool)> &mark) const
{
    if (frequency.isEmpty())
        return mark(rest, false);
    QString line =
        mark(QStringLiteral("Output: "), false) + mark(frequency, differs) + mark(rest, false);
    for (int i = 0; i < phases.size(); ++i)
        line += (i == 0 ? lineBreak + mark(QStringLiteral("Phase: "), false)
                        : mark(QStringLiteral(", "), false)) +
                mark(QStringLiteral("Ch%1").arg(phases[i].channel) + space, false) +
                mark(phases[i].text, phases[i].differs);
    return line;
}

tn6820fp_phaseText tn6820fp_phaseTextOf(double asked, int segLen)
{
    tn6820fp_phaseText phase;
    const double applied = tn6820fp_appliedPhase(tn6820fp_phaseSteps(asked, segLen), segLen);
    phase.text = QString::number(applied, 'f', 1) + QStringLiteral("\u00b0");
    phase.differs = phase.text != QString::number(asked, 'f', 1) + QStringLiteral("\u00b0");
    return phase;
}

tn6820fp_realOutputLine tn6820fp_realOutputOf(int frequency, int selectedCount, int mode,
                                              const QVector<QPair<int, double>> &phases)
{
    tn6820fp_realOutputLine line;
    if (selectedCount < 1) {
        line.rest = QStringLiteral("No channel selected");
        return line;
    }
    const tn6820fp_rateChoice rate = tn6820fp_chooseRate(frequency, selectedCount);
    const QString real = QString::number(tn6820fp_realFrequency(rate), 'f', 2);
    line.differs = real != QString::number(double(frequency), 'f', 2);
    line.frequency = real + QStringLiteral(" Hz");
    const int perSecond = int(tn6820fp_updateRates[rate.freqIdx]);
    const QString speed = perSecond >= 1000 ? QStringLiteral("%1 kS/s").arg(perSecond / 1000)
                                            : QStringLiteral("%1 S/s").arg(perSecond);
    line.rest = QStringLiteral(" at %1, %2 samples per cycle").arg(speed).arg(rate.segLen);
    if (mode != 0) {
        const int cycles = tn6820fp_cyclesPerChannel(rate, mode);
        line.rest += cycles == 1 ? QStringLiteral(", 1 cycle in memory")
                                 : QStringLiteral(", %1 cycles in memory").arg(cycles);
    }
    for (const auto &asked : phases) {
        const tn6820fp_phaseText phase = tn6820fp_phaseTextOf(asked.second, rate.segLen);
        line.phases.push_back({asked.first, phase.text, phase.differs});
    }
    return line;
}

int tn6820fp_App::checkedChannels() const
{
    int count = 0;
    for (const QCheckBox *box : channelSelect)
        count += box->isChecked() ? 1 : 0;
    return count;
}

int tn6820fp_App::showRealOutput()
{
    QVector<QPair<int, double>> phases;
    for (int n = 1; n <= 8; ++n) {
        const double phase = channelSettings[n - 1]->phaseValue();
        if (channelSelect[n - 1]->isChecked() && phase != 0)
            phases.push_back({n, phase});
    }
    const tn6820fp_realOutputLine line = tn6820fp_realOutputOf(
        commonSettings->freqBox->value(), checkedChannels(), generateMode->currentIndex(), phases);
    realOutputLabel->setAccessibleName(line.text());
    realOutputLabel->setText(line.html());
    return 0;
}

int tn6820fp_App::showPreviews()
{
    // Without a channel selected, the previews show what one channel would get.
    const tn6820fp_rateChoice rate =
        tn6820fp_chooseRate(commonSettings->freqBox->value(), checkedChannels());
    for (int n = 1; n <= 8; ++n)
        showPreview(n, rate);
    return 0;
}

void tn6820fp_App::showPreview(int n, const tn6820fp_rateChoice &rate)
{
    const bool selected = channelSelect[n - 1]->isChecked();
    const tn6820fp_channelWave wave = channelSettings[n - 1]->wave(selected);
    previewSegment.resize(std::size_t(rate.segLen));
    tn6820fp_synthesizeCycle(wave, rate.segLen, previewSegment.data(),
                             unitTables.of(wave.waveform, rate.segLen));
    tn6820fp_preview *preview = channelPreview[n - 1];
    preview->setDimmed(!selected);
    const tn6820fp_phaseText phase = tn6820fp_phaseTextOf(wave.phase, rate.segLen);
    preview->setPhase(phase.text, phase.differs);
    preview->swapTrace(previewSegment, tn6820fp_realPeriod(rate));
}
