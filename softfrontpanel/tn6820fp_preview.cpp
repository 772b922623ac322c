#include "tn6820fp_preview.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "tn6800fp_widgets.h"

namespace {

const QColor kTraceColor(0x1f, 0x5f, 0xbf);
const QColor kBeyondColor(0xc6, 0x28, 0x28);
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
}

void tn6820fp_preview::setRange(double low, double high)
{
    m_low = low;
    m_high = high;
    setTrace(m_samples.data(), int(m_samples.size()), m_period);
}

void tn6820fp_preview::setTrace(const double *samples, int count, double period)
{
    if (samples != m_samples.data())
        m_samples.assign(samples, samples + std::max(count, 0));
    m_period = period;
    m_exceeds = std::any_of(m_samples.begin(), m_samples.end(),
                            [this](double v) { return v < m_low || v > m_high; });
    describe();
    update();
}

void tn6820fp_preview::setDimmed(bool dimmed)
{
    if (dimmed == m_dimmed)
        return;
    m_dimmed = dimmed;
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
    QString text =
        QStringLiteral("One period of %1 in %2 samples").arg(periodText()).arg(m_samples.size());
    const QString note = noteText();
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
    const int labels =
        std::max(fm.horizontalAdvance(voltText(m_high)), fm.horizontalAdvance(voltText(m_low)));
    // Room for the longest note between the two ends of the time axis.
    const int axis = fm.horizontalAdvance(bothNotes()) +
                     2 * fm.horizontalAdvance(QStringLiteral("000.000 ms")) +
                     4 * fm.averageCharWidth();
    return QSize(labels + axis, 6 * fm.height());
}

void tn6820fp_preview::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_dimmed)
        p.setOpacity(0.4);
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    const int gap = std::max(4, line / 3);
    const bool zeroInside = m_low < 0 && m_high > 0;
    const QString highText = voltText(m_high);
    const QString lowText = voltText(m_low);
    const QString zeroText = QStringLiteral("0 V");
    int labelWidth = std::max(fm.horizontalAdvance(highText), fm.horizontalAdvance(lowText));
    if (zeroInside)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(zeroText));
    const QRect plot(labelWidth + 2 * gap, line / 2, width() - labelWidth - 3 * gap,
                     height() - line / 2 - line - gap);
    if (plot.width() < 2 || plot.height() < 2)
        return;

    const double span = m_high - m_low;
    const double top = m_high + kHeadroom * span;
    const double bottom = m_low - kHeadroom * span;
    const double scale = plot.height() / (top - bottom);
    auto yOf = [&](double v) { return plot.top() + (top - std::clamp(v, bottom, top)) * scale; };

    const QPalette &pal = palette();
    p.fillRect(plot, pal.base());
    QColor band = kBeyondColor;
    band.setAlpha(22);
    const double yHigh = yOf(m_high);
    const double yLow = yOf(m_low);
    p.fillRect(QRectF(plot.left(), plot.top(), plot.width(), yHigh - plot.top()), band);
    p.fillRect(QRectF(plot.left(), yLow, plot.width(), plot.bottom() + 1 - yLow), band);
    const QColor rule = pal.color(QPalette::Mid);
    p.setPen(QPen(rule, 0));
    p.drawLine(QPointF(plot.left(), yHigh), QPointF(plot.right(), yHigh));
    p.drawLine(QPointF(plot.left(), yLow), QPointF(plot.right(), yLow));
    if (zeroInside) {
        p.setPen(QPen(rule, 0, Qt::DashLine));
        p.drawLine(QPointF(plot.left(), yOf(0)), QPointF(plot.right(), yOf(0)));
    }
    p.setPen(QPen(rule, 0));
    p.drawRect(plot.adjusted(0, 0, -1, -1));

    p.setPen(pal.color(QPalette::WindowText));
    const int labelRight = plot.left() - gap;
    auto drawVolts = [&](double y, const QString &text) {
        p.drawText(QRectF(0, y - line / 2.0, labelRight, line), Qt::AlignRight | Qt::AlignVCenter,
                   text);
    };
    drawVolts(yHigh, highText);
    drawVolts(yLow, lowText);
    if (zeroInside)
        drawVolts(yOf(0), zeroText);

    const QRect axis(plot.left(), plot.bottom() + 1 + gap / 2, plot.width(), line);
    const QString period = periodText();
    p.drawText(axis, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("0"));
    p.drawText(axis, Qt::AlignRight | Qt::AlignVCenter, period);
    const QString note = noteText();
    if (!note.isEmpty()) {
        const int room = axis.width() - 2 * (fm.horizontalAdvance(period) + gap);
        p.setPen(m_exceeds ? kBeyondColor : pal.color(QPalette::WindowText));
        p.drawText(axis, Qt::AlignCenter, fm.elidedText(note, Qt::ElideRight, room));
    }

    if (m_samples.empty())
        return;
    // One column per device pixel; runs of equal columns become one rectangle.
    const double ratio = devicePixelRatioF();
    const int columns = std::max(1, int(plot.width() * ratio));
    m_spans.resize(std::size_t(columns));
    tn6820fp_thinToColumns(m_samples.data(), int(m_samples.size()), columns, m_spans.data());
    const double thick = std::max(1.0, std::round(1.5 * ratio)) / ratio;
    QVector<QRectF> inside;
    QVector<QRectF> beyond;
    auto bar = [&](QVector<QRectF> &to, double x, double w, double hi, double lo, bool capTop,
                   bool capBottom) {
        const double y0 = yOf(hi) - (capTop ? thick / 2 : 0);
        const double y1 = yOf(lo) + (capBottom ? thick / 2 : 0);
        to.append(QRectF(x, y0, w, y1 - y0));
    };
    p.setClipRect(plot.adjusted(1, 1, -1, -1));
    for (int c = 0; c < columns;) {
        const tn6820fp_columnSpan s = m_spans[std::size_t(c)];
        int end = c + 1;
        while (end < columns && m_spans[std::size_t(end)].low == s.low &&
               m_spans[std::size_t(end)].high == s.high)
            ++end;
        const double x = plot.left() + c / ratio;
        const double w = (end - c) / ratio;
        const double insideHigh = std::min(s.high, m_high);
        const double insideLow = std::max(s.low, m_low);
        if (insideLow <= insideHigh)
            bar(inside, x, w, insideHigh, insideLow, true, true);
        if (s.high > m_high)
            bar(beyond, x, w, s.high, std::max(s.low, m_high), true, s.low > m_high);
        if (s.low < m_low)
            bar(beyond, x, w, std::min(s.high, m_low), s.low, s.high < m_low, true);
        c = end;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(m_dimmed ? pal.color(QPalette::WindowText) : kTraceColor);
    p.drawRects(inside);
    p.setBrush(kBeyondColor);
    p.drawRects(beyond);
}
