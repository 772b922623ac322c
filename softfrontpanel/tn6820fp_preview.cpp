#include "tn6820fp_preview.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "tn6800fp_widgets.h"

namespace {

const QColor kTraceColor(0x1f, 0x5f, 0xbf);
const QColor kBeyondColor(0xc6, 0x28, 0x28);
// The amber of values the card cannot give exactly as asked.
const QColor kPhaseColor(0xb3, 0x5c, 0x00);
// The band above and below the card's range, as a share of the range, where
// samples beyond it are drawn; farther ones stop at the plot's edge.
constexpr double kHeadroom = 0.12;

QString voltText(double volts)
{
    return QString::number(volts, 'g', 6) + QStringLiteral(" V");
}

QString bothNotes()
{
    return QStringLiteral("Not selected; exceeds the card's range");
}

// Widens low and high to take in count samples, in two pairs of running
// extremes so that the comparisons overlap. A sample that is not a number
// widens nothing.
void widen(const double *v, qint64 count, double &low, double &high)
{
    double low1 = low;
    double high1 = high;
    qint64 j = 0;
    for (; j + 1 < count; j += 2) {
        low = v[j] < low ? v[j] : low;
        high = v[j] > high ? v[j] : high;
        low1 = v[j + 1] < low1 ? v[j + 1] : low1;
        high1 = v[j + 1] > high1 ? v[j + 1] : high1;
    }
    if (j < count) {
        low = v[j] < low ? v[j] : low;
        high = v[j] > high ? v[j] : high;
    }
    low = low1 < low ? low1 : low;
    high = high1 > high ? high1 : high;
}

} // namespace

void tn6820fp_thinToColumns(const double *samples, int count, int columns,
                            tn6820fp_columnSpan *spans)
{
    // Column c lasts from c/w to (c+1)/w of the period, sample j from j/n to
    // (j+1)/n: the column starts with the sample held just before it,
    // ceil(c n / w) - 1, and ends with the one that starts before its end,
    // which is where the next column starts. That border is stepped from
    // column to column as a quotient and a remainder, without dividing.
    const qint64 n = count;
    const qint64 w = columns;
    const qint64 whole = n / w;
    const qint64 part = n % w;
    qint64 next = 0; // ceil(c n / w) for the column after the current one
    qint64 rest = 0; // (c n) mod w, with the same column
    qint64 first = 0;
    for (qint64 c = 0; c < w; ++c) {
        next += whole;
        rest += part;
        if (rest >= w) {
            ++next;
            rest -= w;
        }
        const qint64 end = next + (rest > 0 ? 1 : 0) - 1;
        const qint64 last = std::min(end, n - 1);
        double low = samples[first];
        double high = low;
        widen(samples + first + 1, last - first, low, high);
        spans[c] = {low, high};
        first = std::max<qint64>(end, 0);
    }
}

tn6820fp_preview::tn6820fp_preview(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    tn6800fp_setHelp(this, QStringLiteral("One cycle of this channel as the card will output "
                                          "it.\nUp and down: the card's output range; across: "
                                          "one period."));
    setLabel(m_zeroLabel, QStringLiteral("0 V"));
    setLabel(m_startLabel, QStringLiteral("0"));
    setRange(m_low, m_high);
}

void tn6820fp_preview::setLabel(Label &label, const QString &text)
{
    if (text == label.text)
        return;
    label.text = text;
    label.shaped.setTextFormat(Qt::PlainText);
    label.shaped.setText(text);
    label.width = fontMetrics().horizontalAdvance(text);
}

// Every channel shows the same period, which changes with every frequency: it
// is laid out once for all the previews, not once for each.
void tn6820fp_preview::setSharedLabel(Label &label, const QString &text)
{
    if (text == label.text)
        return;
    static std::pair<QFont, Label> recent[4];
    static int next = 0;
    const QFont ours = font();
    for (const auto &r : recent) {
        if (r.second.text == text && r.first == ours) {
            label = r.second;
            return;
        }
    }
    setLabel(label, text);
    recent[next] = {ours, label};
    next = (next + 1) % 4;
}

void tn6820fp_preview::measureLabels()
{
    for (Label *label :
         {&m_highLabel, &m_lowLabel, &m_zeroLabel, &m_startLabel, &m_periodLabel, &m_noteLabel})
        label->width = fontMetrics().horizontalAdvance(label->text);
    for (std::vector<Note> *notes : {&m_shapeNotes, &m_notes}) {
        for (Note &n : *notes)
            n.label.width = fontMetrics().horizontalAdvance(n.label.text);
    }
}

void tn6820fp_preview::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        measureLabels();
    m_backgroundStale = true;
    QWidget::changeEvent(event);
}

void tn6820fp_preview::setRange(double low, double high)
{
    m_low = low;
    m_high = high;
    m_backgroundStale = true;
    setLabel(m_highLabel, voltText(high));
    setLabel(m_lowLabel, voltText(low));
    traceChanged(m_period);
}

void tn6820fp_preview::setTrace(const double *samples, int count, double period)
{
    m_samples.assign(samples, samples + std::max(count, 0));
    traceChanged(period);
}

void tn6820fp_preview::traceChanged(double period)
{
    m_period = period;
    setSharedLabel(m_periodLabel, tn6820fp_durationText(period));
    double low = m_low;
    double high = m_high;
    widen(m_samples.data(), qint64(m_samples.size()), low, high);
    m_exceeds = low < m_low || high > m_high;
    m_traceStale = true;
    describe();
    update();
}

void tn6820fp_preview::setPhase(const tn6820fp_phasePlan &phase)
{
    setLabel(m_startLabel,
             phase.shown() ? QStringLiteral("starts at ") + phase.text() : QStringLiteral("0"));
    m_phaseDiffers = phase.differs;
    describe();
    update();
}

void tn6820fp_preview::setShape(const tn6820fp_shapePlan &shape, bool lastValid)
{
    std::vector<std::pair<QString, QColor>> wanted;
    const auto share = [&wanted](const char *what, const tn6820fp_sharePlan &p) {
        if (p.asks)
            wanted.push_back({QLatin1String(what) + p.text(), p.differs ? kPhaseColor : QColor()});
    };
    share("duty ", shape.duty);
    share("symmetry ", shape.symmetry);
    if (shape.multiple != 1) {
        wanted.push_back(
            {QStringLiteral("\u00d7%1, %2 Hz").arg(shape.multiple).arg(shape.frequency, 0, 'f', 2),
             QColor()});
        if (shape.fewSamples)
            wanted.push_back({QStringLiteral("%1 samples a cycle")
                                  .arg(QString::number(shape.samplesPerCycle, 'g', 3)),
                              kPhaseColor});
    }
    if (lastValid)
        wanted.push_back({QStringLiteral("plays its last valid formula"), kPhaseColor});
    if (shape.faultX >= 0)
        wanted.push_back(
            {QStringLiteral("no number at x = %1").arg(QString::number(shape.faultX, 'g', 6)),
             kBeyondColor});
    bool same = wanted.size() == m_shapeNotes.size();
    for (std::size_t i = 0; same && i < wanted.size(); ++i)
        same = wanted[i].first == m_shapeNotes[i].label.text &&
               wanted[i].second == m_shapeNotes[i].colour;
    if (same)
        return;
    m_shapeNotes.resize(wanted.size());
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        setLabel(m_shapeNotes[i].label, wanted[i].first);
        m_shapeNotes[i].colour = wanted[i].second;
    }
    describe();
    update();
}

void tn6820fp_preview::gatherNotes()
{
    const std::size_t before = m_notes.size();
    m_notes = m_shapeNotes;
    if (!m_noteLabel.text.isEmpty())
        m_notes.push_back({m_noteLabel, m_exceeds ? kBeyondColor : QColor()});
    // More or fewer notes may need another row: the least height changes.
    if (m_notes.size() != before)
        updateGeometry();
}

QStringList tn6820fp_preview::notes() const
{
    QStringList texts;
    for (const Note &n : m_notes)
        texts << n.label.text;
    return texts;
}

void tn6820fp_preview::setDimmed(bool dimmed)
{
    if (dimmed == m_dimmed)
        return;
    m_dimmed = dimmed;
    m_backgroundStale = true;
    describe();
    update();
}

QString tn6820fp_preview::noteText() const
{
    if (m_dimmed && m_exceeds)
        return bothNotes();
    if (m_dimmed)
        return QStringLiteral("Not selected");
    if (m_exceeds)
        return QStringLiteral("Exceeds the card's range");
    return QString();
}

void tn6820fp_preview::describe()
{
    const QString note = noteText();
    setLabel(m_noteLabel, note);
    QString text = QStringLiteral("One period of %1 in %2 samples")
                       .arg(m_periodLabel.text)
                       .arg(m_samples.size());
    if (m_startLabel.text != QLatin1String("0"))
        text += QStringLiteral(", ") + m_startLabel.text;
    for (const Note &n : m_shapeNotes)
        text += QStringLiteral(", ") + n.label.text;
    if (!note.isEmpty())
        text += QStringLiteral(". ") + note;
    setAccessibleDescription(text);
    gatherNotes();
}

QSize tn6820fp_preview::sizeHint() const
{
    const int line = fontMetrics().height();
    return QSize(24 * line, 9 * line);
}

QSize tn6820fp_preview::minimumSizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    const int labels = std::max(m_highLabel.width, m_lowLabel.width);
    // Room for the longest note, and for both ends of the time axis.
    const int axis = fm.horizontalAdvance(bothNotes()) +
                     2 * fm.horizontalAdvance(QStringLiteral("000.000 ms")) +
                     4 * fm.averageCharWidth();
    const int line = fm.height();
    const int gap = std::max(4, line / 3);
    // The plot's width at the least width, as frame() makes it.
    const int plot = axis - 2 * gap;
    return QSize(labels + axis, (6 + noteRows(plot)) * line);
}

std::vector<QRect> tn6820fp_preview::placeNotes(int plotLeft, int plotWidth, int top,
                                                int *rows) const
{
    std::vector<QRect> at(m_notes.size());
    const int line = fontMetrics().height();
    const int gap = 2 * fontMetrics().averageCharWidth();
    std::size_t first = 0;
    *rows = 0;
    while (first < m_notes.size()) {
        // As many notes as fit the row, at least one.
        std::size_t end = first + 1;
        int width = m_notes[first].label.width;
        while (end < m_notes.size() && width + gap + m_notes[end].label.width <= plotWidth)
            width += gap + m_notes[end++].label.width;
        int x = plotLeft + (plotWidth - width) / 2;
        const int y = top + *rows * line;
        for (std::size_t i = first; i < end; ++i) {
            at[i] = QRect(x, y, m_notes[i].label.width, line);
            x += m_notes[i].label.width + gap;
        }
        ++*rows;
        first = end;
    }
    return at;
}

int tn6820fp_preview::noteRows(int plotWidth) const
{
    int rows = 0;
    placeNotes(0, plotWidth, 0, &rows);
    return rows;
}

QStringList tn6820fp_preview::cutTexts() const
{
    const Frame f = frame();
    QStringList cut;
    if (m_startLabel.width + 2 * f.gap + m_periodLabel.width > f.plot.width())
        cut << m_startLabel.text << m_periodLabel.text;
    int rows = 0;
    const std::vector<QRect> at =
        placeNotes(f.plot.left(), f.plot.width(), f.plot.bottom() + 1 + f.gap / 2 + f.line, &rows);
    // The notes take their rows from the plot, which must keep a line's height.
    const bool squeezed = f.plot.height() < f.line;
    for (std::size_t i = 0; i < at.size(); ++i) {
        if (squeezed || at[i].width() > f.plot.width() || at[i].bottom() >= height())
            cut << m_notes[i].label.text;
    }
    return cut;
}

tn6820fp_preview::Frame tn6820fp_preview::frame() const
{
    Frame f;
    f.line = fontMetrics().height();
    f.gap = std::max(4, f.line / 3);
    int labelWidth = std::max(m_highLabel.width, m_lowLabel.width);
    if (m_low < 0 && m_high > 0)
        labelWidth = std::max(labelWidth, m_zeroLabel.width);
    const int plotWidth = width() - labelWidth - 3 * f.gap;
    f.plot = QRect(labelWidth + 2 * f.gap, f.line / 2, plotWidth,
                   height() - f.line / 2 - f.line - f.gap - noteRows(plotWidth) * f.line);
    f.ratio = devicePixelRatioF();
    f.device = QRect(qRound(f.plot.left() * f.ratio), qRound(f.plot.top() * f.ratio),
                     qRound(f.plot.width() * f.ratio), qRound(f.plot.height() * f.ratio));
    const double span = m_high - m_low;
    f.top = m_high + kHeadroom * span;
    f.scale = (f.device.height() - 1) / (span * (1 + 2 * kHeadroom));
    f.rule = std::max(1, int(f.ratio));
    f.bottom = f.top - (f.device.height() - 1) / f.scale;
    return f;
}

// A dimmed preview is drawn in colours faded towards the window's; a share
// below one tints the plot's base instead.
QColor tn6820fp_preview::tone(const QColor &colour, double share) const
{
    const double keep = share * (m_dimmed ? 0.4 : 1.0);
    const QColor behind = palette().color(share < 1.0 ? QPalette::Base : QPalette::Window);
    return QColor::fromRgbF(colour.redF() * keep + behind.redF() * (1 - keep),
                            colour.greenF() * keep + behind.greenF() * (1 - keep),
                            colour.blueF() * keep + behind.blueF() * (1 - keep));
}

// The plot alone, in device pixels and opaque, so that painting it is a copy.
// Rules and fills are whole pixels in solid colours.
void tn6820fp_preview::paintBackground(const Frame &f)
{
    const QRect &d = f.device;
    m_background = QImage(d.size(), QImage::Format_RGB32);
    const int yHigh = qRound(f.y(m_high)) - d.top();
    const int yLow = qRound(f.y(m_low)) - d.top();
    const int w = d.width();
    const int h = d.height();
    QPainter p(&m_background);
    p.fillRect(m_background.rect(), tone(palette().color(QPalette::Base)));
    const QColor band = tone(kBeyondColor, 0.09);
    p.fillRect(QRect(0, 0, w, yHigh), band);
    p.fillRect(QRect(0, yLow, w, h - yLow), band);
    QVector<QRect> rules{QRect(0, yHigh, w, f.rule), QRect(0, yLow, w, f.rule),
                         QRect(0, 0, w, f.rule),     QRect(0, h - f.rule, w, f.rule),
                         QRect(0, 0, f.rule, h),     QRect(w - f.rule, 0, f.rule, h)};
    if (m_low < 0 && m_high > 0) {
        const int yZero = qRound(f.y(0)) - d.top();
        for (int x = 0; x < w - 1; x += 6 * f.rule)
            rules.append(QRect(x, yZero, std::min(3 * f.rule, w - 1 - x), f.rule));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(tone(palette().color(QPalette::Mid)));
    p.drawRects(rules);
    p.end();

    // Most rows between the side rules are one colour; a trace is taken away
    // through these without reading the background again.
    m_rowColours.assign(std::size_t(h), 0);
    const int from = f.rule;
    const int to = w - f.rule;
    for (int y = 0; y < h && from < to; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(m_background.constScanLine(y));
        if (std::all_of(line + from, line + to, [&](QRgb c) { return c == line[from]; }))
            m_rowColours[std::size_t(y)] = line[from];
    }
    m_backgroundStale = false;
}

namespace {

// The trace is whole device pixels in solid, opaque colours: written straight
// into the picture, one column at a time, without a painter.
class PixelColumns
{
public:
    // The image holds the device pixels from origin on.
    PixelColumns(QImage &image, QPoint origin)
        : m_bits(image.bits()), m_stride(image.bytesPerLine()), m_origin(origin)
    {
    }
    QRgb *at(int x, int y) const
    {
        return reinterpret_cast<QRgb *>(m_bits + (y - m_origin.y()) * m_stride) + x - m_origin.x();
    }
    void fill(int x, int top, int bottom, QRgb colour) const
    {
        for (int y = top; y < bottom; ++y)
            *at(x, y) = colour;
    }
    // Gives back the background: from the colour of its row where the row is
    // one colour (0 where it is not), or else from the background itself.
    void restore(const PixelColumns &background, const std::vector<QRgb> &rowColours, int x,
                 int top, int bottom) const
    {
        for (int y = top; y < bottom; ++y) {
            const QRgb c = rowColours[std::size_t(y - m_origin.y())];
            *at(x, y) = c ? c : *background.at(x, y);
        }
    }

private:
    uchar *m_bits;
    qsizetype m_stride;
    QPoint m_origin;
};

} // namespace

// One column per device pixel, thinned to its lowest and highest value, with
// the parts beyond the range over it in the warning colour. Drawn into the
// picture over the background, after the previous trace's pixels have been
// given back.
void tn6820fp_preview::paintTrace(const Frame &f)
{
    const QRect &d = f.device;
    const int left = d.left() + f.rule;
    const PixelColumns picture(m_picture, d.topLeft());
    const PixelColumns background(m_background, d.topLeft());
    for (std::size_t c = 0; c < m_drawn.size(); ++c)
        picture.restore(background, m_rowColours, left + int(c), m_drawn[c].top, m_drawn[c].bottom);
    const int columns = d.width() - 2 * f.rule;
    const int stroke = std::max(1, qRound(1.5 * f.ratio));
    const double cap = stroke / 2.0;
    const int inTop = d.top() + f.rule;
    const int inBottom = d.bottom() + 1 - f.rule;
    if (m_samples.empty() || columns < 1 || inBottom - inTop < stroke) {
        m_drawn.clear();
        return;
    }
    m_spans.resize(std::size_t(columns));
    m_drawn.resize(std::size_t(columns));
    tn6820fp_thinToColumns(m_samples.data(), int(m_samples.size()), columns, m_spans.data());
    // Rows between the frame's rules. Values beyond the plot's edges are held
    // there a whole stroke thick, so that clipped samples still show where
    // the card clips them, alike above and below.
    auto upper = [&](double volts, double capped) {
        return std::clamp(qRound(f.y(volts) - capped), inTop, inBottom - stroke);
    };
    auto lower = [&](double volts, double capped) {
        return std::clamp(qRound(f.y(volts) + capped), inTop + stroke, inBottom);
    };
    const QRgb trace = tone(m_dimmed ? palette().color(QPalette::WindowText) : kTraceColor).rgba();
    const QRgb beyond = tone(kBeyondColor).rgba();
    for (int c = 0; c < columns; ++c) {
        const tn6820fp_columnSpan s = m_spans[std::size_t(c)];
        const int x = left + c;
        const int top = upper(s.high, cap);
        const int bottom = lower(s.low, cap);
        picture.fill(x, top, bottom, trace);
        m_drawn[std::size_t(c)] = {top, std::max(top, bottom)};
        if (s.high > m_high)
            picture.fill(x, top, lower(std::max(s.low, m_high), s.low > m_high ? cap : 0), beyond);
        if (s.low < m_low)
            picture.fill(x, upper(std::min(s.high, m_low), s.high < m_low ? cap : 0), bottom,
                         beyond);
    }
}

void tn6820fp_preview::paintEvent(QPaintEvent *)
{
    const Frame f = frame();
    if (f.plot.width() < 2 || f.plot.height() < 2)
        return;
    // A size is compared, not taken from resize events: a hidden widget that
    // is rendered is sent its size again before every rendering.
    if (m_backgroundStale || m_background.size() != f.device.size()) {
        paintBackground(f);
        m_picture = m_background;
        m_drawn.clear();
        m_traceStale = true;
    }
    if (m_traceStale) {
        paintTrace(f);
        m_traceStale = false;
    }
    QPainter p(this);
    p.save();
    p.setWorldTransform(QTransform::fromScale(1 / f.ratio, 1 / f.ratio));
    p.drawImage(f.device.topLeft(), m_picture);
    p.restore();

    const QColor text = tone(palette().color(QPalette::WindowText));
    p.setPen(text);
    const double half = f.line / 2.0;
    const int right = f.plot.left() - f.gap;
    p.drawStaticText(QPointF(right - m_highLabel.width, qRound(f.y(m_high)) / f.ratio - half),
                     m_highLabel.shaped);
    p.drawStaticText(QPointF(right - m_lowLabel.width, qRound(f.y(m_low)) / f.ratio - half),
                     m_lowLabel.shaped);
    if (m_low < 0 && m_high > 0)
        p.drawStaticText(QPointF(right - m_zeroLabel.width, qRound(f.y(0)) / f.ratio - half),
                         m_zeroLabel.shaped);

    const double axisTop = f.plot.bottom() + 1 + f.gap / 2;
    p.setPen(m_phaseDiffers ? tone(kPhaseColor) : text);
    p.drawStaticText(QPointF(f.plot.left(), axisTop), m_startLabel.shaped);
    p.setPen(text);
    p.drawStaticText(QPointF(f.plot.right() + 1 - m_periodLabel.width, axisTop),
                     m_periodLabel.shaped);
    // The notes in rows under the time axis, each whole.
    int rows = 0;
    const std::vector<QRect> at =
        placeNotes(f.plot.left(), f.plot.width(), int(axisTop) + f.line, &rows);
    for (std::size_t i = 0; i < at.size(); ++i) {
        const QColor &colour = m_notes[i].colour;
        p.setPen(colour.isValid() ? tone(colour) : text);
        p.drawStaticText(at[i].topLeft(), m_notes[i].label.shaped);
    }
}
