#ifndef TN6820FP_APP_H
#define TN6820FP_APP_H

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

// The line that says what the card will output: "Output: " + frequency
// ("3030.30 Hz") + rest (" at 200 kS/s, 66 samples per cycle", with ", N
// cycles in memory" when continuous, mode 1). Without a channel there is no
// frequency and rest is "No channel selected".
struct tn6820fp_realOutputLine
{
    QString frequency;
    QString rest;
    bool differs = false; // the frequency is not the one asked for
    QString text() const;
};
tn6820fp_realOutputLine tn6820fp_realOutputOf(int frequency, int selectedCount, int mode);

#endif
