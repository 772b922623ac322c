#include "tn6820fp_app.h"
#include "tn6800fp_loggedcalls.h"
#include "tn6820fp_loggedcalls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstring>

#include "tn6800.h"
#include "tn6800fp_about.h"
#include "tn6800fp_busywork.h"
#include "tn6800fp_calllogwindow.h"
#include "tn6800fp_genfc.h"
#include "tn6800fp_led.h"
#include "tn6800fp_messages.h"
#include "tn6800fp_savefile.h"
#include "tn6800fp_widgets.h"
#include "tn6820.h"
#include "tn6820fp_chset.h"
#include "tn6820fp_comset.h"
#include "tn6820fp_cprogram.h"
#include "tn6820fp_lastfolder.h"
#include "tn6820fp_preview.h"
#include "tn6820fp_report.h"
#include "tn6820fp_setup.h"
#include "tn6820fp_shapefile.h"

namespace {

constexpr int kWriteTab = 1;
constexpr ViUInt16 kAllChannels = 0xFF;
const QString kSetupFilter = QStringLiteral("Setups (*.json)");
// Work that ends sooner shows no busy dialog.
constexpr int kBusyAfterMs = 300;

} // namespace

tn6820fp_App::tn6820fp_App(tn6800fp_genFC *card, const tn6800fp_startChoice &start)
    : tn6800fp_AppFC(card, 0, false, nullptr, false, start)
{
    setObjectName(QStringLiteral("tn6820fp_App"));
    // Numbers read alike everywhere in the window, in every locale: the
    // fields take and show a point as the decimal mark, as the line under the
    // common settings, the previews and the exported programs write them.
    setLocale(QLocale::c());
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
    addSetupButtons();
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
    const ViStatus status = tn6820fp_logged::tn6820_getOutputLimits(vi(), &low, &high);
    reportDriverStatus(status, "tn6820_getOutputLimits(vi(), &lowLimit, &hiLimit)");
    // Without a usable answer the panel keeps the card's nominal range of +-10 V.
    if (status >= 0 && low < high) {
        lowLimit = low;
        hiLimit = high;
    }
}

void tn6820fp_App::buildGenerationPage()
{
    m_page = tn6820fp_page(lowLimit, hiLimit);
    generationPage = new QWidget;
    auto *page = new QVBoxLayout(generationPage);
    auto *columns = new QHBoxLayout;
    auto *channelColumn = new QVBoxLayout;
    page->addLayout(columns);
    columns->addLayout(channelColumn);
    channelTabs = new QTabWidget;
    channelTabs->setObjectName(QStringLiteral("channelTabs"));
    channelColumn->addWidget(channelTabs);
    for (int n = 1; n <= tn6820fp_channelCount; ++n) {
        QWidget *tab = new QWidget;
        channelPages[n - 1] = tab;
        auto *tabLayout = new QVBoxLayout(tab);
        channelTabs->addTab(tab, QStringLiteral("Ch%1").arg(n));
        tn6820fp_chSet *settings = new tn6820fp_chSet;
        settings->setObjectName(QStringLiteral("channelSettings%1").arg(n));
        channelSettings[n - 1] = settings;
        tabLayout->addWidget(settings);
        settings->amplitude->setRange(0, m_page.highLimit());
        settings->offset->setRange(m_page.lowLimit(), m_page.highLimit());
        settings->amplitude->setValue(m_page.settings().channels[std::size_t(n - 1)].amplitude);
        auto *preview = new tn6820fp_preview;
        preview->setObjectName(QStringLiteral("preview%1").arg(n));
        preview->setAccessibleName(QStringLiteral("Preview of channel %1").arg(n));
        preview->setRange(lowLimit, hiLimit);
        channelPreview[n - 1] = preview;
        tabLayout->addWidget(preview, 1);
        settings->setShapeReader([this, n](const QString &path) { return readShape(n, path); });
        connect(settings, &tn6820fp_chSet::changed, this, [this, n] {
            if (m_applying)
                return;
            const tn6820fp_chSet *ch = channelSettings[n - 1];
            tn6820fp_channelSettings controls;
            controls.waveform = tn6820fp_waveform(ch->waveform);
            controls.amplitude = ch->amplitude->value();
            controls.offset = ch->offset->value();
            controls.phase = ch->phase->value();
            controls.duty = ch->duty->value();
            controls.symmetry = ch->symmetry->value();
            controls.multiple = ch->multiple->value();
            m_page.setChannel(n - 1, controls);
            replannedChannel(n);
        });
        connect(settings, &tn6820fp_chSet::formulaEdited, this, [this, n](const QString &text) {
            if (m_applying)
                return;
            m_page.setFormulaText(n - 1, text);
            replannedChannel(n);
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
    channelColumn->addWidget(commonSettings);
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
    channelColumn->addWidget(realOutputLabel);

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
    page->addWidget(generationGroup);

    selectGroup = new QGroupBox(QStringLiteral("Select Channel"));
    selectGroup->setObjectName(QStringLiteral("selectGroup"));
    auto *selectLayout = new QVBoxLayout(selectGroup);
    for (int n = 1; n <= tn6820fp_channelCount; ++n) {
        auto *box = new QCheckBox(QStringLiteral("Channel %1").arg(n));
        box->setObjectName(QStringLiteral("channelSelect%1").arg(n));
        tn6800fp_setHelp(box, QStringLiteral("Channel Number %1").arg(n));
        box->setChecked(n == 1);
        channelSelect[n - 1] = box;
        selectLayout->addWidget(box);
    }
    columns->addWidget(selectGroup);
    mainTabs->addTab(generationPage, QStringLiteral("Waveform Generation"));

    connect(startButton, &QPushButton::clicked, this, &tn6820fp_App::start);
    connect(stopButton, &QPushButton::clicked, this, &tn6820fp_App::stop);
    connect(commonSettings->filterBox, QOverload<int>::of(&QComboBox::activated), this,
            &tn6820fp_App::setFilt);
    connect(commonSettings->freqBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &tn6820fp_App::setFreq);
    // The widgets write the settings; the plan is made from them.
    connect(commonSettings->freqBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [this](int frequency) {
                if (m_applying)
                    return;
                m_page.setFrequency(frequency);
                replanned();
            });
    connect(commonSettings->filterBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int filter) {
                if (!m_applying)
                    m_page.setFilter(filter);
            });
    connect(generateMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int mode) {
                if (m_applying)
                    return;
                m_page.setMode(mode);
                replanned();
            });
    for (int n = 1; n <= tn6820fp_channelCount; ++n) {
        connect(channelSelect[n - 1], &QCheckBox::toggled, this, [this, n](bool on) {
            if (m_applying)
                return;
            m_page.setSelected(n - 1, on);
            replanned();
        });
    }
    replanned();
}

void tn6820fp_App::buildWritePage()
{
    writePage = new QWidget;
    auto *layout = new QVBoxLayout(writePage);
    auto *group = new QGroupBox(QStringLiteral("Set DAC Immediate Value"));
    group->setObjectName(QStringLiteral("immediateGroup"));
    auto *rows = new QVBoxLayout(group);
    layout->addWidget(group);
    for (int n = 1; n <= tn6820fp_channelCount; ++n) {
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
    reportDriverStatus(tn6820fp_logged::tn6820_readSerialNo(d_vi, &serialNumber, subtype),
                       "tn6820_readSerialNo(d_vi, &serialNumber, subtype)");
    subtype[sizeof subtype - 1] = '\0';
    char driverRevision[256];
    char instrumentFirmwareRevision[256];
    std::memset(driverRevision, 0, sizeof driverRevision);
    std::memset(instrumentFirmwareRevision, 0, sizeof instrumentFirmwareRevision);
    reportDriverStatus(
        tn6820fp_logged::tn6820_revision_query(d_vi, driverRevision, instrumentFirmwareRevision),
        "tn6820_revision_query(d_vi, driverRevision, instrumentFirmwareRevision)");
    instrumentFirmwareRevision[sizeof instrumentFirmwareRevision - 1] = '\0';
    about()->addHardwareInfo(QString::asprintf("%08lx", static_cast<unsigned long>(serialNumber)),
                             QString::fromLatin1(instrumentFirmwareRevision),
                             QStringLiteral("6820-%1").arg(QString::fromLatin1(subtype)), QString(),
                             QString());
}

int tn6820fp_App::start()
{
    // Everything sent is the plan's: the rate, the mask and the very samples
    // the previews have shown.
    const tn6820fp_plan &plan = m_page.plan();
    selectedCount = plan.selectedCount;
    const ViUInt16 chanMask = ViUInt16(plan.channelMask);
    if (selectedCount == 0) {
        qDebug("At least one channel should be selected");
        return 0;
    }
    // A formula that does not play as typed: nothing the user did not ask for is sent.
    const QString refused = m_page.startRefusal();
    if (!refused.isEmpty()) {
        showWarning(QStringLiteral("The waveforms were not started. %1.").arg(refused));
        return 0;
    }
    stop();
    const int f = plan.frequency;
    const int filt = plan.filter;
    const tn6820fp_rateChoice &rate = plan.rate;
    startButton->setEnabled(false);
    openSetupButton->setEnabled(false);
    mainTabs->setTabEnabled(kWriteTab, false);
    // A single cycle outputs one cycle of each channel, and the driver reads one
    // segment per channel, back to back: each block then holds exactly that
    // cycle. Repeating it would hand the second channel the first one's repeat.
    buffer = plan.samples;
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        if ((chanMask >> n) & 1u) {
            channelSettings[n]->led->setValue(1);
            channelPreview[n]->setTrace(plan.cycles[std::size_t(n)].data(), rate.segLen,
                                        plan.period);
        }
    }
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        channelSelect[n]->setEnabled(false);
        channelSettings[n]->setEnabled(false);
    }
    generateMode->setEnabled(false);
    commonSettings->setEnabled(false);
    if (demoMode)
        return 0;
    const ViInt32 rateCode = plan.rateCode;
    if (plan.mode == ModeSingleCycle) {
        reportDriverStatus(tn6820fp_logged::tn6820_generateWaveforms(
                               vi(), chanMask, rate.segLen, rateCode, ViInt16(filt),
                               tn6820_GROUP_BY_CHANNEL, buffer.data()),
                           "tn6820_generateWaveforms(vi(), chanMask, segLen, updFreq[freqIdx], "
                           "filt, tn6820_GROUP_BY_CHANNEL, buffer)");
        tn6800fp_logged::tn6800_delay(1000.0 / f);
        stop();
    } else {
        reportDriverStatus(
            tn6820fp_logged::tn6820_startContWaveformEx(
                vi(), chanMask, rate.segLen * rate.nIter, rateCode, ViInt16(filt),
                tn6820_GROUP_BY_CHANNEL, 0, buffer.data(), nullptr, nullptr),
            "tn6820_startContWaveformEx(vi(), chanMask, segLen*nIter, updFreq[freqIdx], filt, "
            "tn6820_GROUP_BY_CHANNEL, 0, buffer, NULL, NULL)");
    }
    return 0;
}

int tn6820fp_App::stop()
{
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        channelSettings[n]->setEnabled(true);
        channelSelect[n]->setEnabled(true);
        if (channelSelect[n]->isChecked())
            channelSettings[n]->led->setValue(0);
    }
    generateMode->setEnabled(true);
    commonSettings->setEnabled(true);
    mainTabs->setTabEnabled(kWriteTab, true);
    if (!demoMode) {
        reportDriverStatus(tn6820fp_logged::tn6820_stopContWaveform(vi(), VI_TRUE),
                           "tn6820_stopContWaveform(vi(), VI_TRUE)");
        reportDriverStatus(tn6820fp_logged::tn6820_resetFIFO(vi()), "tn6820_resetFIFO(vi())");
    }
    startButton->setEnabled(true);
    openSetupButton->setEnabled(true);
    showPreviews();
    return 0;
}

int tn6820fp_App::setDac(double)
{
    double dac_val[tn6820fp_channelCount];
    for (int n = 0; n < tn6820fp_channelCount; ++n)
        dac_val[n] = dacValue[n]->value();
    if (demoMode)
        return 0;
    reportDriverStatus(tn6820fp_logged::tn6820_setOutputEnable(vi(), kAllChannels),
                       "tn6820_setOutputEnable(vi(), chanMask)");
    reportDriverStatus(tn6820fp_logged::tn6820_writeChannels(vi(), kAllChannels, dac_val),
                       "tn6820_writeChannels(vi(), chanMask, dac_val)");
    return 0;
}

int tn6820fp_App::setFilt(int filter)
{
    if (!demoMode)
        reportDriverStatus(tn6820fp_logged::tn6820_setFilter(vi(), ViInt16(filter)),
                           "tn6820_setFilter(vi(), filter)");
    return 0;
}

int tn6820fp_App::setFreq(int)
{
    return 0;
}

void tn6820fp_App::replanned()
{
    showRealOutput();
    showPreviews();
    for (int n = 1; n <= tn6820fp_channelCount; ++n)
        showFormulaProblem(n);
}

void tn6820fp_App::replannedChannel(int n)
{
    showRealOutput();
    showPreview(n);
    showFormulaProblem(n);
}

void tn6820fp_App::showFormulaProblem(int n)
{
    const QString &error = m_page.formulaError(n - 1);
    channelSettings[n - 1]->showFormulaProblem(
        error.isEmpty() ? m_page.plan().shapes[std::size_t(n - 1)].fault : error);
}

bool tn6820fp_App::readShape(int n, const QString &path)
{
    tn6820fp_shape read = tn6820fp_readShapeFile(path);
    if (!read.error.isEmpty()) {
        showWarning(QStringLiteral("The waveform was not changed. ") + read.error);
        return false;
    }
    auto shape = std::make_shared<tn6820fp_arbitraryShape>();
    shape->values.swap(read.values);
    shape->file = QFileInfo(path).fileName();
    m_page.setShape(n - 1, shape);
    channelSettings[n - 1]->showShape(shape->file, int(shape->values.size()));
    replannedChannel(n);
    return true;
}

int tn6820fp_App::showRealOutput()
{
    const tn6820fp_realOutputLine line = tn6820fp_realOutputOf(m_page.plan());
    realOutputLabel->setAccessibleName(line.text());
    realOutputLabel->setText(line.html());
    return 0;
}

int tn6820fp_App::showPreviews()
{
    for (int n = 1; n <= tn6820fp_channelCount; ++n)
        showPreview(n);
    return 0;
}

// Without a channel selected, the previews show what one channel would get.
void tn6820fp_App::showPreview(int n)
{
    tn6820fp_preview *preview = channelPreview[n - 1];
    const tn6820fp_plan &plan = m_page.plan();
    const std::vector<double> &cycle = plan.cycles[std::size_t(n - 1)];
    preview->setDimmed(!m_page.settings().channels[std::size_t(n - 1)].selected);
    preview->setPhase(plan.phases[std::size_t(n - 1)]);
    preview->setShape(plan.shapes[std::size_t(n - 1)],
                      !m_page.formulaError(n - 1).isEmpty() &&
                          m_page.settings().channels[std::size_t(n - 1)].waveform == WaveFormula);
    preview->setTrace(cycle.data(), int(cycle.size()), plan.period);
}

void tn6820fp_App::addSetupButtons()
{
    struct Side
    {
        QPushButton *&button;
        const char *text;
        const char *name;
        QKeySequence shortcut;
        const char *help;
        void (tn6820fp_App::*slot)();
    };
    const Side buttons[] = {
        {saveSetupButton, "Save Setup...", "saveSetupButton", QKeySequence(Qt::CTRL | Qt::Key_S),
         "Saves the whole Waveform Generation page to a file (Ctrl+S)", &tn6820fp_App::saveSetup},
        {openSetupButton, "Open Setup...", "openSetupButton", QKeySequence(Qt::CTRL | Qt::Key_O),
         "Sets the Waveform Generation page from a saved setup (Ctrl+O).\nIt starts nothing "
         "and changes no output",
         &tn6820fp_App::openSetup},
        {exportButton, "Export C Program...", "exportButton", QKeySequence(),
         "Writes a C program that drives the card as Start would with this setup:\nthe same "
         "calls and the very samples",
         &tn6820fp_App::exportProgram},
        {exportPythonButton, "Export Python Program...", "exportPythonButton", QKeySequence(),
         "Writes a Python program (and module) that drives the card as Start would\nwith this "
         "setup, through ctypes: the same calls and the very samples",
         &tn6820fp_App::exportPythonProgram},
        {driverCallsButton, "Driver Calls...", "driverCallsButton", QKeySequence(),
         "Shows every call the panel made into VISA and the card's libraries",
         &tn6820fp_App::showDriverCalls},
    };
    for (const Side &side : buttons) {
        side.button = new QPushButton(QLatin1String(side.text));
        side.button->setObjectName(QLatin1String(side.name));
        side.button->setShortcut(side.shortcut);
        tn6800fp_setHelp(side.button, QLatin1String(side.help));
        addSideButton(side.button);
        connect(side.button, &QPushButton::clicked, this, side.slot);
    }
}

void tn6820fp_App::saveSetup()
{
    // Refused before a file is asked for, as the file would not hold what is shown.
    const QString invalid = m_page.invalidFormula();
    if (!invalid.isEmpty()) {
        showWarning(QStringLiteral("The setup was not saved. %1.").arg(invalid));
        return;
    }
    const QString path =
        tn6820fp_chooseFile(this, QStringLiteral("setups"), QStringLiteral("Save Setup"),
                            kSetupFilter, "setupFileDialog", QStringLiteral("json"));
    if (!path.isEmpty())
        saveSetupFile(path);
}

// A setup of large shapes takes seconds to read or write: that runs on a
// thread of its own, under a busy dialog once it takes long.
void tn6820fp_App::whileBusy(const QString &purpose, const QString &text,
                             const std::function<void()> &work)
{
    tn6800fp_busyWork busy(
        this,
        QStringLiteral("Orbana %1 SFP: %2").arg(tn6800fp_modelString(card->modelCode), purpose),
        text, "setupProgress");
    busy.setShowAfter(kBusyAfterMs);
    busy.run(work);
}

bool tn6820fp_App::saveSetupFile(const QString &path)
{
    const tn6820fp_panelSettings settings = m_page.settings();
    QString why = m_page.invalidFormula();
    if (!why.isEmpty()) {
        showWarning(QStringLiteral("The setup was not saved. %1.").arg(why));
        return false;
    }
    whileBusy(QStringLiteral("Save Setup"),
              QStringLiteral("Saving %1...").arg(QFileInfo(path).fileName()),
              [&] { why = tn6820fp_saveSetupFile(path, settings); });
    if (!why.isEmpty())
        showWarning(QStringLiteral("The setup was not saved. %1.").arg(why));
    return why.isEmpty();
}

void tn6820fp_App::openSetup()
{
    const QString path =
        tn6820fp_chooseFile(this, QStringLiteral("setups"), QStringLiteral("Open Setup"),
                            kSetupFilter, "setupFileDialog");
    if (!path.isEmpty())
        openSetupFile(path);
}

bool tn6820fp_App::openSetupFile(const QString &path)
{
    tn6820fp_setupRead read;
    whileBusy(QStringLiteral("Open Setup"),
              QStringLiteral("Opening %1...").arg(QFileInfo(path).fileName()),
              [&] { read = m_page.readSetup(path); });
    return showOpenedSetup(m_page.openRead(read));
}

bool tn6820fp_App::openSetupBytes(const QByteArray &json, const QString &fileName)
{
    tn6820fp_setupRead read;
    whileBusy(QStringLiteral("Open Setup"), QStringLiteral("Opening %1...").arg(fileName),
              [&] { read = m_page.readSetupBytes(json, fileName); });
    return showOpenedSetup(m_page.openRead(read));
}

bool tn6820fp_App::showOpenedSetup(const QString &why)
{
    if (!why.isEmpty()) {
        showWarning(QStringLiteral("The setup was not opened. ") + why);
        return false;
    }
    showSettings();
    return true;
}

tn6820fp_programCard tn6820fp_App::programCard() const
{
    if (demoMode)
        return tn6820fp_defaultProgramCard();
    return {descriptor().section(QLatin1Char(','), 0, 0), cardNumber(0)};
}

QByteArray tn6820fp_App::programText(tn6820fp_language language) const
{
    return m_page.program(programCard(), card->softwareVersion(), nullptr, language);
}

void tn6820fp_App::exportProgram()
{
    exportIn(tn6820fp_language::C);
}

void tn6820fp_App::exportPythonProgram()
{
    exportIn(tn6820fp_language::Python);
}

void tn6820fp_App::exportIn(tn6820fp_language language)
{
    QString why;
    const QByteArray text = m_page.program(programCard(), card->softwareVersion(), &why, language);
    if (text.isEmpty()) {
        showWarning(QStringLiteral("The program was not written. %1.").arg(why));
        return;
    }
    const bool python = language == tn6820fp_language::Python;
    const QString path = tn6820fp_chooseFile(
        this, QStringLiteral("programs"),
        python ? QStringLiteral("Export Python Program") : QStringLiteral("Export C Program"),
        python ? QStringLiteral("Python programs (*.py)") : QStringLiteral("C programs (*.c)"),
        "programFileDialog", python ? QStringLiteral("py") : QStringLiteral("c"));
    if (path.isEmpty())
        return;
    why = tn6800fp_saveFile(path, text);
    if (!why.isEmpty())
        showWarning(QStringLiteral("The program was not written. %1.")
                        .arg(tn6800fp_saveFailure(path, why)));
}

void tn6820fp_App::showDriverCalls()
{
    if (!m_callsWindow)
        m_callsWindow =
            new tn6800fp_callLogWindow(QStringLiteral("Orbana 6820 SFP: Driver Calls"), this);
    m_callsWindow->show();
    m_callsWindow->raise();
    m_callsWindow->activateWindow();
}

void tn6820fp_App::applySettings(const tn6820fp_panelSettings &settings)
{
    m_page.setSettings(settings);
    showSettings();
}

void tn6820fp_App::showSettings()
{
    const tn6820fp_panelSettings &s = m_page.settings();
    m_applying = true;
    commonSettings->freqBox->setValue(s.frequency);
    commonSettings->filterBox->setCurrentIndex(s.filter);
    generateMode->setCurrentIndex(s.mode);
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        const tn6820fp_channelSettings &c = s.channels[std::size_t(n)];
        tn6820fp_chSet *ch = channelSettings[n];
        channelSelect[n]->setChecked(c.selected);
        ch->showShape(c.shape ? c.shape->file : QString(),
                      c.shape ? int(c.shape->values.size()) : 0);
        ch->amplitude->setValue(c.amplitude);
        ch->offset->setValue(c.offset);
        ch->phase->setValue(c.phase);
        ch->duty->setValue(c.duty);
        ch->symmetry->setValue(c.symmetry);
        ch->multiple->setValue(c.multiple);
        ch->showFormula(m_page.formulaText(n), m_page.formulaError(n));
        ch->setWaveform(c.waveform);
    }
    m_applying = false;
    replanned();
}
