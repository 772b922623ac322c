#ifndef TN6820FP_PREVIEW_H
#define TN6820FP_PREVIEW_H

#include <QImage>
#include <QStaticText>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "tn6820fp_texts.h"

// The span of values one pixel column of a plot must cover.
struct tn6820fp_columnSpan
{
    double low;
    double high;
};

// Thins one cycle of count (>= 1) held samples to columns (>= 1) pixel
// columns, as oscilloscope programs do: each column spans the lowest and the
// highest value the output holds while the column lasts, its two edges
// included, so neighbouring columns always meet. The cost is about count + 2 x
// columns steps, whatever the ratio of the two.
void tn6820fp_thinToColumns(const double *samples, int count, int columns,
                            tn6820fp_columnSpan *spans);

// One cycle of a channel's samples, drawn as the card holds them: the vertical
// axis is the card's output range with its edges and 0 V marked, the
// horizontal axis one period labelled with its duration. Samples beyond the
// range are drawn in a warning colour, with a note; a dimmed preview belongs
// to a channel that does not take part.
class tn6820fp_preview : public QWidget
{
    Q_OBJECT
public:
    explicit tn6820fp_preview(QWidget *parent = nullptr);

    void setRange(double low, double high);
    // count samples that the card plays in period seconds.
    void setTrace(const double *samples, int count, double period);
    void setDimmed(bool dimmed);
    // The phase the cycle starts at, as applied; one that differs from the
    // phase asked for is drawn in amber.
    void setPhase(const tn6820fp_phasePlan &phase);
    // What the channel plays beyond its samples: a duty cycle or symmetry
    // other than the start one (in amber where the card cannot give it
    // exactly), a multiple other than 1 (in amber with few samples a
    // cycle), a formula that gives no number somewhere (in red); and, when
    // lastValid, that the formula typed does not parse, so the last valid
    // one plays (in amber).
    void setShape(const tn6820fp_shapePlan &shape, bool lastValid);

    const std::vector<double> &samples() const { return m_samples; }
    bool exceedsRange() const { return m_exceeds; }
    bool isDimmed() const { return m_dimmed; }
    QString periodText() const { return m_periodLabel.text; }
    // The start of the time axis: "0", or "starts at 120.1°" with a phase.
    QString startText() const { return m_startLabel.text; }
    // The text under the plot: "Exceeds the card's range", "Not selected", both or none.
    QString noteText() const;
    // Every text under the time axis, in order: the shape's ("duty 24.2%",
    // "×3, 1500.00 Hz", ...), then the note above.
    QStringList notes() const;
    // The texts that do not fit the widget at its present size: drawn cut,
    // or over the plot. Empty when every text shows whole.
    Q_INVOKABLE QStringList cutTexts() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // A text laid out once and drawn often: a repaint after a change then
    // costs microseconds, not the shaping of every text again.
    struct Label
    {
        QString text;
        QStaticText shaped;
        int width = 0;
    };
    // Where things go, in device pixels for the plot and logical ones for texts.
    struct Frame
    {
        QRect plot;   // logical
        QRect device; // the plot in device pixels
        double ratio;
        double top;    // volts at the plot's top edge
        double bottom; // and at its bottom edge
        double scale;  // device pixels per volt
        int rule;      // thickness of a rule in device pixels
        int gap;
        int line;
        // The device row of a voltage, held to the plot.
        double y(double volts) const
        {
            return device.top() + (top - std::clamp(volts, bottom, top)) * scale;
        }
    };
    // A text under the time axis, in its colour (invalid: the text's own).
    struct Note
    {
        Label label;
        QColor colour;
    };
    // Where each note goes for a plot of the given width: rows of notes
    // separated by a gap, each row centred. The rows' count in rows.
    std::vector<QRect> placeNotes(int plotLeft, int plotWidth, int top, int *rows) const;
    // The texts under the plot: rows of notes below the time axis.
    int noteRows(int plotWidth) const;
    Frame frame() const;
    QColor tone(const QColor &colour, double share = 1.0) const;
    void paintBackground(const Frame &f);
    void paintTrace(const Frame &f);
    void setLabel(Label &label, const QString &text);
    void setSharedLabel(Label &label, const QString &text);
    void measureLabels();
    void traceChanged(double period);
    void describe();
    void gatherNotes();

    Label m_highLabel;
    Label m_lowLabel;
    Label m_zeroLabel;
    Label m_startLabel;
    Label m_periodLabel;
    Label m_noteLabel;
    // The shape's notes, then the note of m_noteLabel.
    std::vector<Note> m_shapeNotes;
    std::vector<Note> m_notes;
    std::vector<double> m_samples;
    std::vector<tn6820fp_columnSpan> m_spans;
    // The rows of m_picture that the trace covers in each of its columns.
    struct Rows
    {
        int top;
        int bottom; // past the last
    };
    std::vector<Rows> m_drawn;
    // Each device row's colour in the background between the plot's side
    // rules; 0 (transparent) where the row has more than one.
    std::vector<QRgb> m_rowColours;
    // The plot without the trace, drawn once per size, range, resolution and
    // dimming: opaque, in device pixels.
    QImage m_background;
    // The background with the trace: a change of samples redraws only the
    // pixels of the old and the new trace.
    QImage m_picture;
    bool m_backgroundStale = true;
    bool m_traceStale = true;
    double m_low = -10;
    double m_high = 10;
    double m_period = 0;
    bool m_dimmed = false;
    bool m_exceeds = false;
    bool m_phaseDiffers = false;
};

#endif
