// The channel preview: thinning to pixel columns, the period's text, and
// what the drawing shows of samples beyond the card's range.
#include <QtTest>
#include <vector>

#include "testsupport.h"
#include "tn6820fp_preview.h"

namespace {

// Where across the plot (a share of its width) and what is drawn there.
using Checks = QVector<QPair<double, QString>>;

const QRgb kTrace = qRgb(0x1f, 0x5f, 0xbf);
const QRgb kWarning = qRgb(0xc6, 0x28, 0x28);

// One pixel column of a preview's picture, with the rows between the plot's
// frame rules (the first and last runs of the frame's colour) found in it.
struct PlotColumn
{
    QVector<QRgb> pixels;
    int inTop = -1;
    int inBottom = -1; // past the last
    int ruleRuns = 0;  // runs of the frame's colour: rules and range lines

    PlotColumn(const QImage &image, int x, QRgb rule)
    {
        for (int y = 0; y < image.height(); ++y)
            pixels << image.pixel(x, y);
        for (int y = 0; y < pixels.size(); ++y) {
            if (pixels[y] != rule)
                continue;
            if (y == 0 || pixels[y - 1] != rule)
                ++ruleRuns;
            if (inTop < 0) {
                while (pixels[y] == rule)
                    ++y;
                inTop = y;
            }
        }
        for (int y = pixels.size() - 1; y >= 0 && inBottom < 0; --y) {
            if (pixels[y] == rule) {
                while (pixels[y] == rule)
                    --y;
                inBottom = y + 1;
            }
        }
    }
    // The rows drawn in the trace's or the warning colour.
    QVector<int> drawn() const
    {
        QVector<int> rows;
        for (int y = inTop; y < inBottom; ++y)
            if (pixels[y] == kTrace || pixels[y] == kWarning)
                rows << y;
        return rows;
    }
};

} // namespace

class tst_preview : public QObject
{
    Q_OBJECT
private slots:
    void thinning_data();
    void thinning();
    void durations_data();
    void durations();
    void beyondTheRange_data();
    void beyondTheRange();
    void redrawnLikeNew_data();
    void redrawnLikeNew();
    void drawnWhereTheCardClips_data();
    void drawnWhereTheCardClips();
    void texts_data();
    void texts();
};

void tst_preview::thinning_data()
{
    QTest::addColumn<QVector<double>>("samples");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QVector<double>>("spans"); // low, high of each column in turn
    const QVector<double> ramp{0, 1, 2, 3};
    // Column c covers [c/w, (c+1)/w) of the period and the sample held just
    // before it: 4 samples in 2 columns are {0, 1} and {1, 2, 3}.
    QTest::newRow("4 in 2") << ramp << 2 << QVector<double>{0, 1, 1, 3};
    QTest::newRow("4 in 1") << ramp << 1 << QVector<double>{0, 3};
    QTest::newRow("4 in 4: each meets the one before")
        << ramp << 4 << QVector<double>{0, 0, 0, 1, 1, 2, 2, 3};
    // Each sample lasts two columns; the step shows in the first of them.
    QTest::newRow("4 in 8") << ramp << 8
                            << QVector<double>{0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3};
    QTest::newRow("3 in 2: a sample across the border")
        << QVector<double>{5, -5, 7} << 2 << QVector<double>{-5, 5, -5, 7};
    QTest::newRow("spike inside a wide column")
        << QVector<double>{0, 0, 0, 9, 0, 0, -2, 0, 0} << 3 << QVector<double>{0, 0, 0, 9, -2, 0};
    QTest::newRow("one sample") << QVector<double>{4} << 3 << QVector<double>{4, 4, 4, 4, 4, 4};
    QTest::newRow("lowest and highest on neighbouring samples")
        << QVector<double>{0, 1, -3, 2, 5} << 1 << QVector<double>{-3, 5};
}

void tst_preview::thinning()
{
    QFETCH(QVector<double>, samples);
    QFETCH(int, columns);
    QFETCH(QVector<double>, spans);
    std::vector<tn6820fp_columnSpan> out(std::size_t(columns), {-1e300, 1e300});
    tn6820fp_thinToColumns(samples.constData(), samples.size(), columns, out.data());
    QVector<double> got;
    for (const tn6820fp_columnSpan &s : out)
        got << s.low << s.high;
    QCOMPARE(got, spans);
}

void tst_preview::durations_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("4 at 200 kS/s") << 4 / 200000.0 << QString::fromUtf8("20 \xc2\xb5s");
    QTest::newRow("199 at 200 kS/s") << 199 / 200000.0 << QString::fromUtf8("995 \xc2\xb5s");
    QTest::newRow("200 at 200 kS/s") << 200 / 200000.0 << "1 ms";
    QTest::newRow("8191 at 200 kS/s") << 8191 / 200000.0 << "40.955 ms";
    QTest::newRow("4166 at 100 kS/s") << 4166 / 100000.0 << "41.66 ms";
    QTest::newRow("5000 at 5 kS/s") << 5000 / 5000.0 << "1 s";
    QTest::newRow("8191 at 100 S/s") << 8191 / 100.0 << "81.91 s";
}

void tst_preview::durations()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(tn6820fp_durationText(seconds), text);
}

void tst_preview::beyondTheRange_data()
{
    QTest::addColumn<QVector<double>>("samples");
    QTest::addColumn<bool>("exceeds");
    QTest::newRow("a square at the edges") << QVector<double>{10, 10, -10, -10} << false;
    QTest::newRow("a square past the top") << QVector<double>{10.01, 10.01, 0, 0} << true;
    QTest::newRow("one sample below the bottom") << QVector<double>{0, 1, -12, 1} << true;
    QTest::newRow("the next sample below the bottom") << QVector<double>{0, -12, 1, 1} << true;
    QVector<double> ramp(8192);
    for (int j = 0; j < ramp.size(); ++j)
        ramp[j] = -5 + 10.0 * j / 8191;
    QTest::newRow("8192 inside") << ramp << false;
    ramp[4000] = 10.5; // one sample in a column of about twenty
    QTest::newRow("8192, one past the top") << ramp << true;
}

// Samples beyond the range are drawn, in the warning colour, and only those.
void tst_preview::beyondTheRange()
{
    QFETCH(QVector<double>, samples);
    QFETCH(bool, exceeds);
    tn6820fp_preview preview;
    preview.setRange(-10, 10);
    preview.setTrace(samples.constData(), samples.size(), 1e-3);
    preview.resize(400, 160);
    QCOMPARE(preview.exceedsRange(), exceeds);
    QCOMPARE(preview.noteText(), exceeds ? QStringLiteral("Exceeds the card's range") : QString());
    const QImage image = preview.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int warning = 0;
    int trace = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            warning += c == qRgb(0xc6, 0x28, 0x28) ? 1 : 0;
            trace += c == qRgb(0x1f, 0x5f, 0xbf) ? 1 : 0;
        }
    }
    QVERIFY(trace > 0);
    QCOMPARE(warning > 0, exceeds);
    preview.setDimmed(true);
    QCOMPARE(preview.noteText(), exceeds ? QStringLiteral("Not selected; exceeds the card's range")
                                         : QStringLiteral("Not selected"));
}

void tst_preview::redrawnLikeNew_data()
{
    QTest::addColumn<QVector<QVector<double>>>("traces"); // shown in turn
    QTest::addColumn<QSize>("size");                      // at the end
    QVector<double> saw(8192);
    for (int j = 0; j < saw.size(); ++j)
        saw[j] = -8 + 16.0 * j / 8191;
    const QVector<double> flat{3, 3};
    const QVector<double> beyond{12, 12, -11, 0, 0};
    const QSize size(400, 160);
    QTest::newRow("a saw over the 0 V line, then a flat line above it")
        << QVector<QVector<double>>{saw, flat} << size;
    QTest::newRow("beyond the range, then inside it")
        << QVector<QVector<double>>{beyond, flat} << size;
    QTest::newRow("flat, beyond, many samples, beyond again")
        << QVector<QVector<double>>{flat, beyond, saw, beyond} << size;
    QTest::newRow("made smaller") << QVector<QVector<double>>{saw, saw} << QSize(300, 120);
}

// A preview whose samples change draws only the old and the new trace again;
// what it shows must be exactly what a new preview shows.
void tst_preview::redrawnLikeNew()
{
    QFETCH(QVector<QVector<double>>, traces);
    QFETCH(QSize, size);
    tn6820fp_preview changed;
    tn6820fp_preview fresh;
    for (tn6820fp_preview *p : {&changed, &fresh}) {
        p->setRange(-10, 10);
        p->resize(400, 160);
    }
    for (const QVector<double> &t : traces) {
        changed.setTrace(t.constData(), t.size(), 1e-3);
        (void)changed.grab();
    }
    changed.resize(size);
    fresh.resize(size);
    fresh.setTrace(traces.last().constData(), traces.last().size(), 1e-3);
    QCOMPARE(changed.grab().toImage(), fresh.grab().toImage());
}

void tst_preview::drawnWhereTheCardClips_data()
{
    QTest::addColumn<int>("ratio"); // device pixels per logical one
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<QVector<double>>("samples");
    // "top" / "bottom", the warning colour held at that edge of the plot;
    // "middle", the trace around the plot's middle row.
    QTest::addColumn<Checks>("checks");
    QTest::addColumn<int>("ruleRuns"); // at the first check; -1 unchecked
    QVector<double> saw(400);
    for (int j = 0; j < saw.size(); ++j)
        saw[j] = -15 + 30.0 * j / 399;
    for (int ratio : {1, 2}) {
        const QString at = QStringLiteral(" at %1x").arg(ratio);
        QTest::newRow(qPrintable("a square at +15 V" + at))
            << ratio << -10.0 << 10.0 << QVector<double>{15, 15, 0, 0}
            << Checks{{0.25, "top"}, {0.75, "middle"}} << -1;
        QTest::newRow(qPrintable("a square at -15 V" + at))
            << ratio << -10.0 << 10.0 << QVector<double>{-15, -15, 0, 0}
            << Checks{{0.25, "bottom"}, {0.75, "middle"}} << -1;
        QTest::newRow(qPrintable("a saw across both edges" + at))
            << ratio << -10.0 << 10.0 << saw
            << Checks{{0.02, "bottom"}, {0.5, "middle"}, {0.98, "top"}} << -1;
        // Four runs of the frame's colour: the frame's two rules and the two
        // range lines, and no 0 V line.
        QTest::newRow(qPrintable("a range without 0 V" + at))
            << ratio << 0.0 << 10.0 << QVector<double>{15, 15, -3, -3}
            << Checks{{0.25, "top"}, {0.75, "bottom"}} << 4;
    }
}

// Every column shows the trace; samples beyond the range stop at the plot's
// edge, in the warning colour, above as below. A picture of twice the pixels
// is drawn in a process whose screen has them.
void tst_preview::drawnWhereTheCardClips()
{
    QFETCH(int, ratio);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(QVector<double>, samples);
    QFETCH(Checks, checks);
    QFETCH(int, ruleRuns);
    if (ratio != int(qApp->devicePixelRatio())) {
        if (sfptest::isChild())
            QSKIP("drawn by the parent");
        const sfptest::ChildResult r =
            sfptest::runInChild(QStringLiteral("drawnWhereTheCardClips"),
                                {QStringLiteral("QT_SCALE_FACTOR=%1").arg(ratio)});
        QVERIFY2(!r.crashed && r.exitCode == 0, r.out.constData());
        QVERIFY2(r.out.contains("PASS   : tst_preview::drawnWhereTheCardClips(" +
                                QByteArray(QTest::currentDataTag()) + ")"),
                 r.out.constData());
        return;
    }
    tn6820fp_preview preview;
    preview.setRange(low, high);
    preview.setTrace(samples.constData(), samples.size(), 1e-3);
    preview.resize(400, 160);
    const QImage image = preview.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(image.width(), 400 * ratio);
    const QRgb rule = preview.palette().color(QPalette::Mid).rgb();
    // The plot's columns: those whose top rule stands in the same row as the
    // middle column's.
    const PlotColumn centre(image, image.width() / 2, rule);
    int left = image.width() / 2;
    while (left > 0 && PlotColumn(image, left - 1, rule).inTop == centre.inTop)
        --left;
    int right = image.width() / 2;
    while (right + 1 < image.width() && PlotColumn(image, right + 1, rule).inTop == centre.inTop)
        ++right;
    // Inside the side rules, which are ratio device pixels wide.
    left += ratio;
    right -= ratio;
    QVERIFY2(right - left > 300 * ratio, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
    // A stroke is 1.5 logical pixels, so a held value fills at most 3 x ratio rows.
    const int thick = 3 * ratio;
    for (int x = left; x <= right; ++x)
        QVERIFY2(!PlotColumn(image, x, rule).drawn().isEmpty(), qPrintable(QString::number(x)));
    for (int i = 0; i < checks.size(); ++i) {
        const int x = left + qRound(checks[i].first * (right - left));
        const PlotColumn column(image, x, rule);
        const QVector<int> rows = column.drawn();
        const QString where = QStringLiteral("%1 at column %2: rows %3..%4 inside %5..%6")
                                  .arg(checks[i].second)
                                  .arg(x)
                                  .arg(rows.value(0))
                                  .arg(rows.value(rows.size() - 1))
                                  .arg(column.inTop)
                                  .arg(column.inBottom);
        QVERIFY2(!rows.isEmpty(), qPrintable(where));
        if (checks[i].second == QLatin1String("top")) {
            QVERIFY2(rows.first() == column.inTop, qPrintable(where));
            QVERIFY2(rows.last() < column.inTop + thick, qPrintable(where));
            QCOMPARE(column.pixels[column.inTop], kWarning);
        } else if (checks[i].second == QLatin1String("bottom")) {
            QVERIFY2(rows.last() == column.inBottom - 1, qPrintable(where));
            QVERIFY2(rows.first() >= column.inBottom - thick, qPrintable(where));
            QCOMPARE(column.pixels[column.inBottom - 1], kWarning);
        } else {
            const int middle = (column.inTop + column.inBottom) / 2;
            QVERIFY2(rows.first() >= middle - thick && rows.last() <= middle + thick,
                     qPrintable(where));
            for (int y : rows)
                QVERIFY2(column.pixels[y] == kTrace, qPrintable(where));
        }
        if (i == 0 && ruleRuns >= 0)
            QCOMPARE(column.ruleRuns, ruleRuns);
    }
}

void tst_preview::texts_data()
{
    QTest::addColumn<int>("count");      // samples from -5 V to the last one
    QTest::addColumn<double>("last");    // volts
    QTest::addColumn<double>("degrees"); // the phase applied
    QTest::addColumn<int>("tenths");     // as shown, in tenths of a degree
    QTest::addColumn<bool>("differs");   // from the phase asked for
    QTest::addColumn<bool>("dimmed");
    QTest::addColumn<QString>("start"); // under the plot's left end
    QTest::addColumn<QString>("note");  // under its middle
    QTest::addColumn<QString>("described");
    QTest::newRow("plain") << 200 << 5.0 << 0.0 << 0 << false << false << "0" << QString()
                           << "One period of 1 ms in 200 samples";
    // One sample of 8192 is 0.04 degrees: shown as 0.0, the phase asked for.
    QTest::newRow("a phase too small to show")
        << 8192 << 5.0 << 360.0 / 8192 << 0 << false << false << "0" << QString()
        << "One period of 1 ms in 8192 samples";
    QTest::newRow("a phase rounded to whole samples")
        << 2000 << 5.0 << 120.06 << 1201 << true << false
        << QString::fromUtf8("starts at 120.1\xc2\xb0") << QString()
        << QString::fromUtf8("One period of 1 ms in 2000 samples, starts at 120.1\xc2\xb0");
    QTest::newRow("a phase of 0.04 rounded to none")
        << 200 << 5.0 << 0.0 << 0 << true << false << QString::fromUtf8("starts at 0.0\xc2\xb0")
        << QString()
        << QString::fromUtf8("One period of 1 ms in 200 samples, starts at 0.0\xc2\xb0");
    QTest::newRow("not selected") << 200 << 5.0 << 0.0 << 0 << false << true << "0"
                                  << "Not selected"
                                  << "One period of 1 ms in 200 samples. Not selected";
    QTest::newRow("beyond the range, with a phase, not selected")
        << 4 << 12.0 << 90.0 << 900 << false << true << QString::fromUtf8("starts at 90.0\xc2\xb0")
        << "Not selected; exceeds the card's range"
        << QString::fromUtf8("One period of 1 ms in 4 samples, starts at 90.0\xc2\xb0. Not "
                             "selected; exceeds the card's range");
}

// What the preview says in words: under the plot, and to a screen reader.
void tst_preview::texts()
{
    QFETCH(int, count);
    QFETCH(double, last);
    QFETCH(double, degrees);
    QFETCH(int, tenths);
    QFETCH(bool, differs);
    QFETCH(bool, dimmed);
    QFETCH(QString, start);
    QFETCH(QString, note);
    QFETCH(QString, described);
    std::vector<double> samples(std::size_t(count), -5.0);
    samples.back() = last;
    tn6820fp_preview preview;
    preview.setRange(-10, 10);
    preview.setTrace(samples.data(), count, 1e-3);
    tn6820fp_phasePlan phase;
    phase.degrees = degrees;
    phase.tenths = tenths;
    phase.differs = differs;
    preview.setPhase(phase);
    preview.setDimmed(dimmed);
    QCOMPARE(preview.startText(), start);
    QCOMPARE(preview.noteText(), note);
    QCOMPARE(preview.periodText(), QStringLiteral("1 ms"));
    QCOMPARE(preview.accessibleDescription(), described);
}

QTEST_MAIN(tst_preview)
#include "tst_preview.moc"
