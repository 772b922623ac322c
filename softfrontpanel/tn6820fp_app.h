#ifndef TN6820FP_APP_H
#define TN6820FP_APP_H

#include <QPair>
#include <QVector>
#include <functional>
#include <vector>

#include "tn6800fp_appfc.h"
#include "tn6820fp_synthesis.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class tn6800fp_genFC;
class tn6820fp_chSet;
class tn6820fp_comSet;
class tn6820fp_preview;

// The main window of the 6820 soft front panel: the function-card frame with
// the "Waveform Generation" and "Write Channel" tabs. In demo mode every
// visible behaviour runs and no driver entry point is called.
class tn6820fp_App : public tn6800fp_AppFC
{
    Q_OBJECT
public:
    // Runs the connection workflow; the process ends there when the user gives up.
    explicit tn6820fp_App(tn6800fp_genFC *card,
                          const tn6800fp_startChoice &start = tn6800fp_startChoice());
    ~tn6820fp_App() override;

    double lowLimitVolts() const { return lowLimit; }
    double highLimitVolts() const { return hiLimit; }
    const std::vector<double> &samples() const { return buffer; }

public slots:
    int start();
    int stop();
    int setDac(double value);
    int setFilt(int filter);
    int setFreq(int freq);
    // Shows what the card will really output for the frequency, channels and
    // mode now set: the choice start() makes, from the same functions.
    int showRealOutput();
    // Draws one cycle of every channel as start() would compute it now; while
    // generating, start() shows what it sent instead.
    int showPreviews();

protected:
    QTabWidget *mainTabs;
    QTabWidget *channelTabs;
    QWidget *generationPage;
    QWidget *writePage;
    QWidget *channelPages[8];
    QGroupBox *selectGroup;
    QCheckBox *channelSelect[8];
    tn6820fp_chSet *channelSettings[8];
    tn6820fp_comSet *commonSettings;
    QGroupBox *generationGroup;
    QPushButton *startButton;
    QPushButton *stopButton;
    QComboBox *generateMode;
    QLabel *realOutputLabel;
    tn6820fp_preview *channelPreview[8];
    QDoubleSpinBox *dacValue[8];
    double lowLimit = -10.0;
    double hiLimit = 10.0;
    std::vector<double> buffer;
    qint32 selectedCount = 1;

private:
    int checkedChannels() const;
    void showPreview(int n, const tn6820fp_rateChoice &rate);
    void readOutputLimits();
    void buildGenerationPage();
    void buildWritePage();
    void addHardwareInfo();

    tn6820fp_unitTables unitTables;
    std::vector<double> previewSegment;
};

// A phase as the card applies it, in whole samples: "120.1°", and whether
// that differs (at one decimal) from the phase asked for.
struct tn6820fp_phaseText
{
    QString text;
    bool differs = false;
};
tn6820fp_phaseText tn6820fp_phaseTextOf(double asked, int segLen);

// The line that says what the card will output: "Output: " + frequency
// ("3030.30 Hz") + rest (" at 200 kS/s, 66 samples per cycle", with ", N
// cycles in memory" when continuous, mode 1), and, when selected channels have
// a phase, a second line "Phase: Ch2 120.1°, Ch3 239.9°" of the phases
// applied. Without a channel there is no frequency and rest is "No channel
// selected".
struct tn6820fp_realOutputLine
{
    struct Phase
    {
        int channel;
        QString text;
        bool differs;
    };
    QString frequency;
    QString rest;
    bool differs = false; // the frequency is not the one asked for
    QVector<Phase> phases;
    QString text() const;
    // The same as rich text, with what differs from what was asked in amber;
    // a line too long for its label wraps between channels, never inside one.
    QString html() const;

private:
    // space: what stands between a channel and its phase.
    QString compose(const QString &lineBreak, QChar space,
                    const std::function<QString(const QString &, bool)> &mark) const;
};
// phases: (channel, degrees asked) of the selected channels with a phase.
tn6820fp_realOutputLine tn6820fp_realOutputOf(int frequency, int selectedCount, int mode,
                                              const QVector<QPair<int, double>> &phases = {});

#endif
