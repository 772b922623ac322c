#ifndef TN6820FP_FORMULA_H
#define TN6820FP_FORMULA_H

#include <QString>
#include <memory>

// A waveform written as a formula: an expression of x, the position in the
// channel's cycle from 0 (inclusive) to 1 (exclusive), with the constants pi
// and e, f (the channel's real frequency in hertz), n and N (the sample's
// index in the cycle and the samples per cycle, n = x N), and the usual
// functions. Its value plays as a built-in shape's unit value does:
// amplitude times value plus offset. Parsed and evaluated by muParser.

constexpr int tn6820fp_maxFormulaLength = 1000;
// What a new channel's formula is: one cycle of a sine.
extern const char *const tn6820fp_initialFormula;

class tn6820fp_formula
{
public:
    // The formula of the text, or null with why: the place (a character
    // counted from 1) and the reason, "character 3: unexpected operator
    // \"/\"". The text is kept as it was typed.
    static std::shared_ptr<const tn6820fp_formula> parse(const QString &text, QString *why);

    const QString &text() const { return m_text; }

    // One cycle of the shape for count samples of segLen in the segment and
    // a channel of the given multiple and real frequency: values[k] is the
    // formula at x = k / count, n = k / multiple, N = count / multiple.
    // Returns the first k whose value is not a finite number, or -1.
    // Evaluates its own parser, so it may run on any thread.
    int evaluate(int count, int multiple, double frequency, double *values) const;

private:
    explicit tn6820fp_formula(const QString &text) : m_text(text) {}
    QString m_text;
};

// "at x = 0.25 (sample 2048): NaN": where a formula first gave no number.
QString tn6820fp_notFiniteText(int k, int count, double value);

#endif
