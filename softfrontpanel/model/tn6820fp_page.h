#ifndef TN6820FP_PAGE_H
#define TN6820FP_PAGE_H

#include <QByteArray>
#include <QString>
#include <memory>

#include "tn6820fp_cprogram.h"
#include "tn6820fp_plan.h"
#include "tn6820fp_setup.h"

// The Waveform Generation page without its widgets: it owns the settings, the
// card's output range and the plan made from them, and every change goes
// through it. Each value is rounded once, to what the panel shows, and held
// within the card's range, so that the panel, a setup and an exported program
// all plan exactly the same samples. The panel's controls take their
// resolution and limits from here.

constexpr int tn6820fp_voltDecimals = 2;  // amplitude and offset: 0.01 V
constexpr int tn6820fp_phaseDecimals = 1; // phase: 0.1 degree
constexpr double tn6820fp_maxPhase = 359.9;
constexpr int tn6820fp_shareDecimals = 1; // duty cycle and symmetry: 0.1%

// The card an exported program opens unless a session or the command line
// names another: the default bench's 6820.
tn6820fp_programCard tn6820fp_defaultProgramCard();

class tn6820fp_page
{
public:
    // The card's output range in volts; the nominal +-10 V without a card.
    explicit tn6820fp_page(double lowLimit = -10.0, double highLimit = 10.0);

    double lowLimit() const { return m_low; }
    double highLimit() const { return m_high; }
    const tn6820fp_panelSettings &settings() const { return m_settings; }
    const tn6820fp_plan &plan() const { return m_plan; }

    // A value as the panel holds it: rounded to its decimals the way the
    // spin boxes round (the shortest decimal text, read back), then held
    // within the limits, which are rounded alike.
    static double resolved(double value, int decimals, double low, double high);

    // Each setter resolves its value and makes the plan again: whole for
    // the frequency, mode and selection, one channel's part for the rest
    // (n is 0-based). The filter changes no sample.
    void setFrequency(int hertz);
    void setFilter(int filter);
    void setMode(int mode);
    void setSelected(int n, bool selected);
    void setShape(int n, std::shared_ptr<const tn6820fp_arbitraryShape> shape);
    // A channel's controls at once: its waveform, amplitude, offset, phase,
    // duty, symmetry and multiple (its selection, shape and formula stay):
    // one plan of its part.
    void setChannel(int n, const tn6820fp_channelSettings &controls);
    // The formula typed for channel n. One that parses plays at once; one
    // that does not is kept as typed, with why, and the channel goes on
    // playing its last valid formula.
    void setFormulaText(int n, const QString &text);
    const QString &formulaText(int n) const { return m_formulaTexts[std::size_t(n)]; }
    // Why the formula typed for channel n does not parse; empty when it does.
    const QString &formulaError(int n) const { return m_formulaErrors[std::size_t(n)]; }
    // Why Start must not send the plan: a selected formula channel whose
    // typed formula does not parse or that gives no number somewhere,
    // "Channel 3's formula is not valid: character 4: ..."; empty when it may.
    QString startRefusal() const;
    // The same for any formula channel whose typed formula does not parse,
    // selected or not: a setup saved then would not hold what is shown.
    QString invalidFormula() const;
    // All settings at once, each resolved; one plan.
    void setSettings(const tn6820fp_panelSettings &settings);
    // What a new page starts with, for this card.
    tn6820fp_panelSettings initialSettings() const;

    // A setup file read for this page, without changing it: the page's own
    // limits and initial values. Touches nothing else, so it may run on
    // another thread while the page stands still; openRead() then applies it.
    tn6820fp_setupRead readSetup(const QString &path) const;
    tn6820fp_setupRead readSetupBytes(const QByteArray &json, const QString &fileName) const;
    // Takes the settings of a setup read without error; returns its error.
    QString openRead(const tn6820fp_setupRead &read);
    // Opens a setup file: all or nothing, keys it leaves out take a new
    // page's values, numbers resolved. Returns why it was refused, naming the
    // file and the place; empty when opened.
    QString openSetup(const QString &path);
    // The same for a setup's bytes, read once from the file named.
    QString openSetupBytes(const QByteArray &json, const QString &fileName);
    // Saves the settings to a setup file, whole or not at all. Returns why it
    // was not saved (a formula typed that does not parse, or the full path
    // and the system's reason); empty when saved.
    QString saveSetup(const QString &path) const;
    // The settings as a program for the card, in C or Python; empty with why
    // in error when there is none to write (no channel is selected: Start
    // sends nothing; or Start refuses the plan).
    QByteArray program(const tn6820fp_programCard &card, const QString &version, QString *error,
                       tn6820fp_language language = tn6820fp_language::C) const;
    // The program written to a file, whole or not at all; why not, or empty.
    QString exportProgram(const QString &path, const tn6820fp_programCard &card,
                          const QString &version,
                          tn6820fp_language language = tn6820fp_language::C) const;

private:
    // The channel's waveform, amplitude, offset and phase as the panel holds them.
    void resolve(tn6820fp_channelSettings &channel) const;
    void replan();
    // The typed formulas become the settings' own again, all valid.
    void takeFormulas();
    void replanChannel(int n);
    tn6820fp_channelSettings &channel(int n);

    double m_low;
    double m_high;
    tn6820fp_panelSettings m_settings;
    tn6820fp_plan m_plan;
    tn6820fp_unitTables m_unitTables;
    std::array<QString, tn6820fp_channelCount> m_formulaTexts;
    std::array<QString, tn6820fp_channelCount> m_formulaErrors;
};

#endif
