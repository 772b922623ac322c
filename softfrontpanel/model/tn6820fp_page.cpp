#include "tn6820fp_page.h"

#include <QFileInfo>
#include <algorithm>

#include "tn6800fp_savefile.h"
#include "tn6820fp_setup.h"

tn6820fp_cProgramCard tn6820fp_defaultProgramCard()
{
    return {QStringLiteral("VXI0::8::INSTR"), 2};
}

tn6820fp_page::tn6820fp_page(double lowLimit, double highLimit)
    : m_low(lowLimit), m_high(highLimit), m_settings(initialSettings())
{
    replan();
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
    m_plan = tn6820fp_planOf(m_settings, &m_unitTables);
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

void tn6820fp_page::setChannel(int n, int waveform, double amplitude, double offset, double phase)
{
    tn6820fp_channelSettings &c = channel(n);
    c.waveform = tn6820fp_waveformOf(waveform) ? tn6820fp_waveform(waveform) : WaveNone;
    c.amplitude = amplitude;
    c.offset = offset;
    c.phase = phase;
    resolve(c);
    replanChannel(n);
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
    return tn6820fp_saveSetupFile(path, m_settings);
}

QByteArray tn6820fp_page::program(const tn6820fp_cProgramCard &card, const QString &version,
                                  QString *error) const
{
    if (m_plan.selectedCount == 0) {
        if (error)
            *error = QStringLiteral("No channel is selected, so Start would send nothing; select "
                                    "at least one channel");
        return QByteArray();
    }
    return tn6820fp_cProgram(m_settings, m_plan, card, version);
}

QString tn6820fp_page::exportProgram(const QString &path, const tn6820fp_cProgramCard &card,
                                     const QString &version) const
{
    QString why;
    const QByteArray text = program(card, version, &why);
    if (text.isEmpty())
        return why;
    why = tn6800fp_saveFile(path, text);
    return why.isEmpty() ? why : tn6800fp_saveFailure(path, why);
}
