#ifndef TN6820FP_TEXTS_H
#define TN6820FP_TEXTS_H

#include <QString>
#include <QVector>
#include <functional>

#include "tn6820fp_plan.h"

// The words in which the panel tells what a plan will do.

// The line that says what the card will output: "Output: " + frequency
// ("3030.30 Hz") + rest (" at 200 kS/s, 66 samples per cycle", with ", N
// cycles in memory" when continuous), and, when selected channels have a
// phase, a second line "Phase: Ch2 120.1°, Ch3 239.9°" of the phases
// applied; then, for the selected channels that have them, lines of the
// multiples with their real frequencies ("Multiple: Ch3 ×3 1500.00 Hz"),
// the duty cycles ("Duty: Ch1 24.2%") and symmetries ("Symmetry: Ch4
// 90.0%") applied. Without a channel there is no frequency and rest is "No
// channel selected".
struct tn6820fp_realOutputLine
{
    struct Phase
    {
        int channel; // counted from 1
        QString text;
        bool differs; // in amber
    };
    QString frequency;
    QString rest;
    bool differs = false; // the frequency is not the one asked for
    QVector<Phase> phases;
    QVector<Phase> multiples;
    QVector<Phase> duties;
    QVector<Phase> symmetries;
    QString text() const;
    // The same as rich text, with what differs from what was asked in amber;
    // a line too long for its label wraps between channels, never inside one.
    QString html() const;

private:
    // space: what stands between a channel and its phase.
    QString compose(const QString &lineBreak, QChar space,
                    const std::function<QString(const QString &, bool)> &mark) const;
};
tn6820fp_realOutputLine tn6820fp_realOutputOf(const tn6820fp_plan &plan);

// A duration in the unit that reads best: "20 µs", "330 µs", "41.66 ms", "1 s".
// Whole microseconds, as every period the card can play is.
QString tn6820fp_durationText(double seconds);

#endif
