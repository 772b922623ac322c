#include "tn6820fp_texts.h"

#include <utility>

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
    const std::pair<const char *, const QVector<Phase> *> groups[] = {{"Phase: ", &phases},
                                                                      {"Multiple: ", &multiples},
                                                                      {"Duty: ", &duties},
                                                                      {"Symmetry: ", &symmetries}};
    for (const auto &group : groups) {
        const QVector<Phase> &items = *group.second;
        for (int i = 0; i < items.size(); ++i)
            line += (i == 0 ? lineBreak + mark(QLatin1String(group.first), false)
                            : mark(QStringLiteral(", "), false)) +
                    mark(QStringLiteral("Ch%1").arg(items[i].channel) + space, false) +
                    mark(items[i].text, items[i].differs);
    }
    return line;
}

tn6820fp_realOutputLine tn6820fp_realOutputOf(const tn6820fp_plan &plan)
{
    tn6820fp_realOutputLine line;
    if (plan.selectedCount < 1) {
        line.rest = QStringLiteral("No channel selected");
        return line;
    }
    line.differs = plan.frequencyDiffers();
    line.frequency = QString::number(plan.realFrequency, 'f', 2) + QStringLiteral(" Hz");
    const int perSecond = int(tn6820fp_updateRates[plan.rate.rateIndex]);
    const QString speed = perSecond >= 1000 ? QStringLiteral("%1 kS/s").arg(perSecond / 1000)
                                            : QStringLiteral("%1 S/s").arg(perSecond);
    line.rest = QStringLiteral(" at %1, %2 samples per cycle").arg(speed).arg(plan.rate.segLen);
    if (plan.mode != ModeSingleCycle) {
        const int cycles = plan.cyclesPerChannel;
        line.rest += cycles == 1 ? QStringLiteral(", 1 cycle in memory")
                                 : QStringLiteral(", %1 cycles in memory").arg(cycles);
    }
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        const tn6820fp_phasePlan &phase = plan.phases[std::size_t(n)];
        if (((plan.channelMask >> n) & 1u) && phase.asked != 0)
            line.phases.push_back({n + 1, phase.text(), phase.differs});
    }
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        if (!((plan.channelMask >> n) & 1u))
            continue;
        const tn6820fp_shapePlan &shape = plan.shapes[std::size_t(n)];
        if (shape.multiple != 1) {
            // Few samples a cycle are said, in amber: the shape hardly shows.
            QString text = QStringLiteral("\u00d7%1 %2 Hz")
                               .arg(shape.multiple)
                               .arg(QString::number(shape.frequency, 'f', 2));
            if (shape.fewSamples)
                text += QStringLiteral(" (%1 samples a cycle)")
                            .arg(QString::number(shape.samplesPerCycle, 'g', 3));
            line.multiples.push_back({n + 1, text, shape.fewSamples});
        }
        if (shape.duty.asks)
            line.duties.push_back({n + 1, shape.duty.text(), shape.duty.differs});
        if (shape.symmetry.asks)
            line.symmetries.push_back({n + 1, shape.symmetry.text(), shape.symmetry.differs});
    }
    return line;
}

QString tn6820fp_durationText(double seconds)
{
    const qint64 us = qRound64(seconds * 1e6);
    if (us < 1000)
        return QStringLiteral("%1 \u00b5s").arg(us);
    if (us < 1000000)
        return QString::number(double(us) / 1e3, 'g', 7) + QStringLiteral(" ms");
    return QString::number(double(us) / 1e6, 'g', 10) + QStringLiteral(" s");
}
