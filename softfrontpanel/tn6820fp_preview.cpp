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

} // namespace

void tn6820fp_thinToColumns(const double *samples, int count, int columns,
                            tn6820fp_columnSpan *spans)
{
    const qint64 n = count;
    const qint64 w = columns;
    for (qint64 c = 0; c < w; ++c) {
        // Column c lasts from c/w to (c+1)/w of the period, sample j from j/n
        // to (j+1)/n: the first sample is the one held just before the column
        // starts, the last the one that starts before it ends.
        const qint64 first = std::max<qint64>((c * n + w - 1) / w - 1, 0);
        const qint64 last = std::min<qint64>(((c + 1) * n + w - 1) / w - 1, n - 1);
        double low = samples[first];
        double high = low;
        for (qint64 j = first + 1; j <= last; ++j) {
            low = std::min(low, samples[j]);
            high = std::max(high, samples[j]);
        }
        spans[c] = {low, high};
    }
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

void tn6820fp_preview::measureLabels()
{
    for (Label *label : {&m_highLabel, &m_lowLabel, &m_zeroLabel, &m_startLabel, &m_noteLabel})
        label->width = fontMetrics().horizontalAdvance(label->text);
}

void tn6820fp_preview::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        measureLabels();
    m_backgroundStale = true;
    QWidget::changeEvent(event);
}

void tn6820fp_preview::resizeEvent(QResizeEvent *event)
{
    m_backgroundStale = true;
    QWidget::resizeEvent(event);
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

void tn6820fp_preview::swapTrace(std::vector<double> &samples, double period)
{
    m_samples.swap(samples);
    traceChanged(period);
}

void tn6820fp_preview::traceChanged(double period)
{
    m_period = period;
    const double low = m_low;
    const double high = m_high;
    bool exceeds = false;
    for (const double v : m_samples)
        exceeds |= (v < low) | (v > high); // no branch: the loop vectorises
    m_exceeds = exceeds;
    describe();
    update();
}

void tn6820fp_preview::setPhase(const QString &applied, bool differs)
{
    const bool none = applied.isEmpty() || applied.startsWith(QLatin1String("0.0"));
    setLabel(m_startLabel,
             none && !differs ? QStringLiteral("0") : QStringLiteral("starts at ") + applied);
    m_phaseDiffers = differs;
    describe();
    update();
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
    QString text =
        QStringLiteral("One period of %1 in %2 samples").arg(periodText()).arg(m_samples.size());
    if (m_startLabel.text != QLatin1String("0"))
        text += QStringLiteral(", ") + m_startLabel.text;
    if (!note.isEmpty())
        text += QStringLiteral(". ") + note;
    setAccessibleDescription(text);
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
    // Room for the longest note between the two ends of the time axis.
    const int axis = fm.horizontalAdvance(bothNotes()) +
                     2 * fm.horizontalAdvance(QStringLiteral("000.000 ms")) +
                     4 * fm.averageCharWidth();
    return QSize(labels + axis, 6 * fm.height());
}

double tn6820fp_preview::Frame::y(double volts) const
{
    const double bottom = top - (device.height() - 1) / scale;
    return device.top() + (top - std::clamp(volts, bottom, top)) * scale;
}

tn6820fp_preview::Frame tn6820fp_preview::frame() const
{
    Frame f;
    f.line = fontMetrics().height();
    f.gap = std::max(4, f.line / 3);
    int labelWidth = std::max(m_highLabel.width, m_lowLabel.width);
    if (m_low < 0 && m_high > 0)
        labelWidth = std::max(labelWidth, m_zeroLabel.width);
    f.plot = QRect(labelWidth + 2 * f.gap, f.line / 2, width() - labelWidth - 3 * f.gap,
                   height() - f.line / 2 - f.line - f.gap);
    f.ratio = devicePixelRatioF();
    f.device = QRect(qRound(f.plot.left() * f.ratio), qRound(f.plot.top() * f.ratio),
                     qRound(f.plot.width() * f.ratio), qRound(f.plot.height() * f.ratio));
    const double span = m_high - m_low;
    f.top = m_high + kHeadroom * span;
    f.scale = (f.device.height() - 1) / (span * (1 + 2 * kHeadroom));
    f.rule = std::max(1, int(f.ratio));
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

// Rules and fills are whole device pixels in solid colours, the painter's
// quickest path; only the texts are drawn in logical coordinates.
void tn6820fp_preview::paintBackground(const Frame &f)
{
    m_background = QImage(size() * f.ratio, QImage::Format_ARGB32_Premultiplied);
    m_background.setDevicePixelRatio(f.ratio);
    m_background.fill(Qt::transparent);
    const QRect &d = f.device;
    const int yHigh = qRound(f.y(m_high));
    const int yLow = qRound(f.y(m_low));
    const int yZero = qRound(f.y(0));
    const bool zeroInside = m_low < 0 && m_high > 0;
    const QColor rule = tone(palette().color(QPalette::Mid));

    QPainter p(&m_background);
    p.save();
    p.setWorldTransform(QTransform::fromScale(1 / f.ratio, 1 / f.ratio));
    p.fillRect(d, tone(palette().color(QPalette::Base)));
    const QColor band = tone(kBeyondColor, 0.09);
    p.fillRect(QRect(d.left(), d.top(), d.width(), yHigh - d.top()), band);
    p.fillRect(QRect(d.left(), yLow, d.width(), d.bottom() + 1 - yLow), band);
    QVector<QRect> rules{QRect(d.left(), yHigh, d.width(), f.rule),
                         QRect(d.left(), yLow, d.width(), f.rule),
                         QRect(d.left(), d.top(), d.width(), f.rule),
                         QRect(d.left(), d.bottom() + 1 - f.rule, d.width(), f.rule),
                         QRect(d.left(), d.top(), f.rule, d.height()),
                         QRect(d.right() + 1 - f.rule, d.top(), f.rule, d.height())};
    if (zeroInside) {
        for (int x = d.left(); x < d.right(); x += 6 * f.rule)
            rules.append(QRect(x, yZero, std::min(3 * f.rule, d.right() - x), f.rule));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(rule);
    p.drawRects(rules);
    p.restore();

    p.setFont(font());
    p.setPen(tone(palette().color(QPalette::WindowText)));
    const double half = f.line / 2.0;
    const int right = f.plot.left() - f.gap;
    p.drawStaticText(QPointF(right - m_highLabel.width, yHigh / f.ratio - half),
                     m_highLabel.shaped);
    p.drawStaticText(QPointF(right - m_lowLabel.width, yLow / f.ratio - half), m_lowLabel.shaped);
    if (zeroInside)
        p.drawStaticText(QPointF(right - m_zeroLabel.width, yZero / f.ratio - half),
                         m_zeroLabel.shaped);
    m_backgroundStale = false;
}

// One column per device pixel, thinned to its lowest and highest value; runs
// of equal columns make one rectangle. Parts beyond the range go over the
// trace in the warning colour.
void tn6820fp_preview::paintTrace(QPainter &p, const Frame &f)
{
    const QRect &d = f.device;
    const int columns = d.width() - 2 * f.rule;
    if (m_samples.empty() || columns < 1)
        return;
    m_spans.resize(std::size_t(columns));
    tn6820fp_thinToColumns(m_samples.data(), int(m_samples.size()), columns, m_spans.data());
    const int thick = std::max(1, qRound(1.5 * f.ratio));
    const int inTop = d.top() + f.rule;
    const int inBottom = d.bottom() + 1 - f.rule;
    auto bar = [&](QVector<QRect> &to, int x, int w, double hi, double lo, bool capHi, bool capLo) {
        const int y0 = std::max(inTop, qRound(f.y(hi) - (capHi ? thick / 2.0 : 0)));
        const int y1 = std::min(inBottom, qRound(f.y(lo) + (capLo ? thick / 2.0 : 0)));
        if (y1 > y0)
            to.append(QRect(x, y0, w, y1 - y0));
    };
    m_inside.clear();
    m_outside.clear();
    for (int c = 0; c < columns;) {
        const tn6820fp_columnSpan s = m_spans[std::size_t(c)];
        int end = c + 1;
        while (end < columns && m_spans[std::size_t(end)].low == s.low &&
               m_spans[std::size_t(end)].high == s.high)
            ++end;
        const int x = d.left() + f.rule + c;
        bar(m_inside, x, end - c, s.high, s.low, true, true);
        if (s.high > m_high)
            bar(m_outside, x, end - c, s.high, std::max(s.low, m_high), true, s.low > m_high);
        if (s.low < m_low)
            bar(m_outside, x, end - c, std::min(s.high, m_low), s.low, s.high < m_low, true);
        c = end;
    }
    p.save();
    p.setWorldTransform(QTransform::fromScale(1 / f.ratio, 1 / f.ratio));
    p.setPen(Qt::NoPen);
    p.setBrush(tone(m_dimmed ? palette().color(QPalette::WindowText) : kTraceColor));
    p.drawRects(m_inside);
    p.setBrush(tone(kBeyondColor));
    p.drawRects(m_outside);
    p.restore();
}

void tn6820fp_preview::paintEvent(QPaintEvent *)
{
    const Frame f = frame();
    if (f.plot.width() < 2 || f.plot.height() < 2)
        return;
    if (m_backgroundStale || m_background.devicePixelRatio() != f.ratio)
        paintBackground(f);
    QPainter p(this);
    p.drawImage(QPoint(0, 0), m_background);
    paintTrace(p, f);

    const double axisTop = f.plot.bottom() + 1 + f.gap / 2;
    const QColor text = tone(palette().color(QPalette::WindowText));
    p.setPen(m_phaseDiffers ? tone(kPhaseColor) : text);
    p.drawStaticText(QPointF(f.plot.left(), axisTop), m_startLabel.shaped);
    p.setPen(text);
    // The period changes with every frequency: drawn, not laid out to keep.
    const QString period = periodText();
    p.drawText(QRectF(f.plot.left(), axisTop, f.plot.width(), f.line),
               Qt::AlignRight | Qt::AlignTop, period);
    if (!m_noteLabel.text.isEmpty()) {
        if (m_exceeds)
            p.setPen(tone(kBeyondColor));
        const int periodWidth = fontMetrics().horizontalAdvance(period);
        const int room = f.plot.width() - 2 * (std::max(periodWidth, m_startLabel.width) + f.gap);
        if (m_noteLabel.width <= room)
            p.drawStaticText(QPointF(f.plot.center().x() - m_noteLabel.width / 2.0, axisTop),
                             m_noteLabel.shaped);
        else
            p.drawText(QRect(f.plot.left(), int(axisTop), f.plot.width(), f.line), Qt::AlignHCenter,
                       fontMetrics().elidedText(m_noteLabel.text, Qt::ElideRight, room));
    }
}
