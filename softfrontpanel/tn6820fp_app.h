#ifndef TN6820FP_APP_H
#define TN6820FP_APP_H

#include <functional>
#include <vector>

#include "tn6800fp_appfc.h"
#include "tn6820fp_page.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class tn6800fp_callLogWindow;
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

    // What the last start sent.
    const std::vector<double> &samples() const { return buffer; }
    // What the Waveform Generation page is set to, and what a start would
    // send for it now.
    const tn6820fp_panelSettings &settings() const { return m_page.settings(); }
    const tn6820fp_plan &plan() const { return m_page.plan(); }
    // Sets the page's controls to the settings (as far as they resolve: two
    // decimals of a volt, a tenth of a degree); the Write Channel values and
    // the card are left as they are.
    void applySettings(const tn6820fp_panelSettings &settings);

public slots:
    int start();
    int stop();
    int setDac(double value);
    int setFilt(int filter);
    int setFreq(int freq);
    // Shows what the card will really output for the settings: the plan's
    // rate, real frequency and phases.
    int showRealOutput();
    // Draws one cycle of every channel from the plan; while generating,
    // start() shows what it sent instead.
    int showPreviews();
    // Setups: the whole Waveform Generation page saved to and opened from a
    // file chosen in a dialog. A setup that cannot be used changes nothing.
    void saveSetup();
    void openSetup();
    // Opens a setup file; on a refusal the user is told why. False then.
    bool openSetupFile(const QString &path);
    // The same for a setup's bytes read before, from the file named.
    bool openSetupBytes(const QByteArray &json, const QString &fileName);
    // Saves the page to a setup file; on a failure the user is told why. False then.
    bool saveSetupFile(const QString &path);
    // The window of every call made into the platform libraries.
    void showDriverCalls();
    // The page's setup as a C program that sends what Start sends, through
    // the driver, to the card of this session (the default bench's card in
    // demo mode); written to a file chosen in a dialog.
    void exportProgram();
    // The same as a Python program, which is a module as well.
    void exportPythonProgram();
    QByteArray programText(tn6820fp_language language = tn6820fp_language::C) const;

protected:
    QTabWidget *mainTabs;
    QTabWidget *channelTabs;
    QWidget *generationPage;
    QWidget *writePage;
    QWidget *channelPages[tn6820fp_channelCount];
    QGroupBox *selectGroup;
    QCheckBox *channelSelect[tn6820fp_channelCount];
    tn6820fp_chSet *channelSettings[tn6820fp_channelCount];
    tn6820fp_comSet *commonSettings;
    QGroupBox *generationGroup;
    QPushButton *startButton;
    QPushButton *stopButton;
    QComboBox *generateMode;
    QLabel *realOutputLabel;
    QPushButton *saveSetupButton;
    QPushButton *openSetupButton;
    QPushButton *driverCallsButton;
    QPushButton *exportButton;
    QPushButton *exportPythonButton;
    tn6820fp_preview *channelPreview[tn6820fp_channelCount];
    QDoubleSpinBox *dacValue[tn6820fp_channelCount];
    double lowLimit = -10.0;
    double hiLimit = 10.0;
    std::vector<double> buffer;
    qint32 selectedCount = 1;

private:
    void readOutputLimits();
    void buildGenerationPage();
    void buildWritePage();
    void addHardwareInfo();
    // The page's plan changed, whole or for one channel: the line and the
    // previews show it.
    void replanned();
    void replannedChannel(int n);
    // Writes the page's settings into the controls, then shows its plan.
    void showSettings();
    // A setup opened (why empty) is shown; a refused one is said. Whether opened.
    bool showOpenedSetup(const QString &why);
    void showPreview(int n);
    // Why channel n's formula does not play as typed, next to its field.
    void showFormulaProblem(int n);
    bool readShape(int n, const QString &path);
    void addSetupButtons();
    // Writes the program in the language to a file chosen in a dialog, or
    // says why there is none to write.
    void exportIn(tn6820fp_language language);
    // Runs work off the GUI thread, under a busy dialog titled for the
    // purpose ("Open Setup") that says text once it takes long.
    void whileBusy(const QString &purpose, const QString &text, const std::function<void()> &work);

    // The card the exported program opens: this session's, or in demo mode
    // the default bench's.
    tn6820fp_programCard programCard() const;

    tn6820fp_page m_page;
    // Set while applySettings() writes the controls: the plan is made once, after.
    bool m_applying = false;
    tn6800fp_callLogWindow *m_callsWindow = nullptr;
};

#endif
