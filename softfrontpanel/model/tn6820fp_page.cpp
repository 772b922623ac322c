#include "tn6820fp_page.h"

#include <QFileInfo>
#include <algorithm>

#include "tn6800fp_savefile.h"
#include "tn6820fp_pyprogram.h"
#include "tn6820fp_setup.h"

tn6820fp_programCard tn6820fp_defaultProgramCard()
{
    return {QStringLiteral("VXI0::8::INSTR"), 2};
}

tn6820fp_page::tn6820fp_page(double lowLimit, double highLimit)
    : m_low(lowLimit), m_high(highLimit), m_settings(initialSettings())
{
    takeFormulas();
    replan();
}

void tn6820fp_page::takeFormulas()
{
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        const tn6820fp_channelSettings &c = m_settings.channels[std::size_t(n)];
        m_formulaTexts[std::size_t(n)] =
            c.formula ? c.formula->text() : QLatin1String(tn6820fp_initialFormula);
        m_formulaErrors[std::size_t(n)].clear();
    }
}

double tn6820fp_page::resolved(double value, int decimals, double low, double high)
{
    const auto round = [decimals](double v) {
        return QString::number(v, 'f', decimals).toDouble();
    };
    const double lowest = round(low);
    const double highest = std::max(lowest, round(high));
    return std::clamp(round(value), lowest, highest);
}

void tn6820fp_page::resolve(tn6820fp_channelSettings &c) const
{
    if (!tn6820fp_waveformOf(c.waveform))
        c.waveform = WaveNone;
    c.amplitude = resolved(c.amplitude, tn6820fp_voltDecimals, 0.0, m_high);
    c.offset = resolved(c.offset, tn6820fp_voltDecimals, m_low, m_high);
    c.phase = resolved(c.phase, tn6820fp_phaseDecimals, 0.0, tn6820fp_maxPhase);
    c.duty = resolved(c.duty, tn6820fp_shareDecimals, 0.0, 100.0);
    c.symmetry = resolved(c.symmetry, tn6820fp_shareDecimals, 0.0, 100.0);
    c.multiple = std::clamp(c.multiple, 1, tn6820fp_maxMultiple);
}

tn6820fp_panelSettings tn6820fp_page::initialSettings() const
{
    tn6820fp_panelSettings s = tn6820fp_panelSettings::initial(m_high);
    for (tn6820fp_channelSettings &c : s.channels)
        resolve(c);
    return s;
}

tn6820fp_channelSettings &tn6820fp_page::channel(int n)
{
    return m_settings.channels[std::size_t(n)];
}

void tn6820fp_page::replan()
{
    tn6820fp_replan(m_plan, m_settings, &m_unitTables);
}

void tn6820fp_page::replanChannel(int n)
{
    tn6820fp_replanChannel(m_plan, m_settings, n, &m_unitTables);
}

void tn6820fp_page::setFrequency(int hertz)
{
    m_settings.frequency = std::clamp(hertz, tn6820fp_minFrequency, tn6820fp_maxFrequency);
    replan();
}

void tn6820fp_page::setFilter(int filter)
{
    m_settings.filter = std::clamp(filter, 0, tn6820fp_filterCount - 1);
    m_plan.filter = m_settings.filter;
}

void tn6820fp_page::setMode(int mode)
{
    m_settings.mode = mode == ModeContinuous ? ModeContinuous : ModeSingleCycle;
    replan();
}

void tn6820fp_page::setSelected(int n, bool selected)
{
    channel(n).selected = selected;
    replan();
}

void tn6820fp_page::setChannel(int n, const tn6820fp_channelSettings &controls)
{
    tn6820fp_channelSettings &c = channel(n);
    c.waveform = controls.waveform;
    c.amplitude = controls.amplitude;
    c.offset = controls.offset;
    c.phase = controls.phase;
    c.duty = controls.duty;
    c.symmetry = controls.symmetry;
    c.multiple = controls.multiple;
    resolve(c);
    replanChannel(n);
}

void tn6820fp_page::setFormulaText(int n, const QString &text)
{
    m_formulaTexts[std::size_t(n)] = text;
    QString why;
    std::shared_ptr<const tn6820fp_formula> formula = tn6820fp_formula::parse(text, &why);
    m_formulaErrors[std::size_t(n)] = why;
    if (formula) {
        channel(n).formula = std::move(formula);
        replanChannel(n);
    }
}

QString tn6820fp_page::invalidFormula() const
{
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        if (m_settings.channels[std::size_t(n)].waveform == WaveFormula &&
            !m_formulaErrors[std::size_t(n)].isEmpty())
            return QStringLiteral("Channel %1's formula is not valid: %2")
                .arg(n + 1)
                .arg(m_formulaErrors[std::size_t(n)]);
    }
    return QString();
}

QString tn6820fp_page::startRefusal() const
{
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        const tn6820fp_channelSettings &c = m_settings.channels[std::size_t(n)];
        if (!c.selected || c.waveform != WaveFormula)
            continue;
        if (!m_formulaErrors[std::size_t(n)].isEmpty())
            return QStringLiteral("Channel %1's formula is not valid: %2")
                .arg(n + 1)
                .arg(m_formulaErrors[std::size_t(n)]);
        if (!m_plan.shapes[std::size_t(n)].fault.isEmpty())
            return QStringLiteral("Channel %1's formula %2")
                .arg(n + 1)
                .arg(m_plan.shapes[std::size_t(n)].fault);
    }
    return QString();
}

void tn6820fp_page::setShape(int n, std::shared_ptr<const tn6820fp_arbitraryShape> shape)
{
    channel(n).shape = std::move(shape);
    replanChannel(n);
}

void tn6820fp_page::setSettings(const tn6820fp_panelSettings &settings)
{
    m_settings = settings;
    m_settings.frequency =
        std::clamp(settings.frequency, tn6820fp_minFrequency, tn6820fp_maxFrequency);
    m_settings.filter = std::clamp(settings.filter, 0, tn6820fp_filterCount - 1);
    m_settings.mode = settings.mode == ModeContinuous ? ModeContinuous : ModeSingleCycle;
    for (tn6820fp_channelSettings &c : m_settings.channels)
        resolve(c);
    takeFormulas();
    replan();
}

tn6820fp_setupRead tn6820fp_page::readSetup(const QString &path) const
{
    return tn6820fp_readSetupFile(path, initialSettings(), m_low, m_high);
}

tn6820fp_setupRead tn6820fp_page::readSetupBytes(const QByteArray &json,
                                                 const QString &fileName) const
{
    return tn6820fp_readSetupNamed(json, fileName, initialSettings(), m_low, m_high);
}

QString tn6820fp_page::openRead(const tn6820fp_setupRead &read)
{
    if (read.error.isEmpty())
        setSettings(read.settings);
    return read.error;
}

QString tn6820fp_page::openSetup(const QString &path)
{
    return openRead(readSetup(path));
}

QString tn6820fp_page::openSetupBytes(const QByteArray &json, const QString &fileName)
{
    return openRead(readSetupBytes(json, fileName));
}

QString tn6820fp_page::saveSetup(const QString &path) const
{
    const QString invalid = invalidFormula();
    if (!invalid.isEmpty())
        return invalid;
    return tn6820fp_saveSetupFile(path, m_settings);
}

QByteArray tn6820fp_page::program(const tn6820fp_programCard &card, const QString &version,
                                  QString *error, tn6820fp_language language) const
{
    if (m_plan.selectedCount == 0) {
        if (error)
            *error = QStringLiteral("No channel is selected, so Start would send nothing; select "
                                    "at least one channel");
        return QByteArray();
    }
    const QString refused = startRefusal();
    if (!refused.isEmpty()) {
        if (error)
            *error = refused;
        return QByteArray();
    }
    return language == tn6820fp_language::Python
               ? tn6820fp_pythonProgram(m_settings, m_plan, card, version)
               : tn6820fp_cProgram(m_settings, m_plan, card, version);
}

QString tn6820fp_page::exportProgram(const QString &path, const tn6820fp_programCard &card,
                                     const QString &version, tn6820fp_language language) const
{
    QString why;
    const QByteArray text = program(card, version, &why, language);
    if (text.isEmpty())
        return why;
    why = tn6800fp_saveFile(path, text);
    return why.isEmpty() ? why : tn6800fp_saveFailure(path, why);
}
