// Arbitrary waveforms from large files: loading and resampling a
// 1,000,000-row CSV file and a 1,000,000-frame WAV file (16-bit and float).
// Each is read in a process of its own, which prints the time from the
// file's name to the resampled cycle and its own peak resident memory.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <sndfile.h>
#include <vector>

#include "benchsupport.h"
#include "tn6820fp_shapefile.h"
#include "tn6820fp_synthesis.h"

namespace {

constexpr int kValues = 1000000;

double value(int i)
{
    return std::sin(i * 2 * M_PI / kValues) + 0.25 * std::sin(i * 14 * M_PI / kValues);
}

void writeCsv(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("time,value\n");
    for (int i = 0; i < kValues; ++i)
        f.write(QByteArray::number(i * 1e-6, 'g', 8) + ',' + QByteArray::number(value(i), 'g', 17) +
                '\n');
}

void writeWav(const QString &path, int format)
{
    SF_INFO info{};
    info.samplerate = 1000000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    std::vector<double> frames(kValues);
    for (int i = 0; i < kValues; ++i)
        frames[std::size_t(i)] = value(i) / 1.25;
    sf_writef_double(f, frames.data(), kValues);
    sf_close(f);
}

// The child: read, resample to the longest cycle the card takes, report.
int child(const QString &path)
{
    QElapsedTimer t;
    t.start();
    const tn6820fp_shape shape = tn6820fp_readShapeFile(path);
    const qint64 read = t.nsecsElapsed();
    std::vector<double> cycle(8192);
    if (shape.error.isEmpty())
        tn6820fp_resampleCycle(shape.values.data(), int(shape.values.size()), 8192, cycle.data());
    const qint64 total = t.nsecsElapsed();
    std::printf("%zu %.1f %.1f %ld %s\n", shape.values.size(), read / 1e6, (total - read) / 1e6,
                peakResidentKb(), qPrintable(shape.error));
    return shape.error.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return child(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir dir;
    struct File
    {
        const char *what;
        QString path;
    };
    const File files[] = {{"CSV, 1000000 rows", dir.filePath(QStringLiteral("shape.csv"))},
                          {"WAV, 1000000 16-bit frames", dir.filePath(QStringLiteral("pcm.wav"))},
                          {"WAV, 1000000 float frames", dir.filePath(QStringLiteral("float.wav"))}};
    writeCsv(files[0].path);
    writeWav(files[1].path, SF_FORMAT_PCM_16);
    writeWav(files[2].path, SF_FORMAT_FLOAT);
    std::printf("loading and resampling to 8192 samples, each in a process of its own (target: "
                "under 1000 ms and under 100 MB):\n");
    std::printf("  %-28s %10s %10s %12s %10s %10s\n", "file", "size MB", "read ms", "resample ms",
                "total ms", "peak MB");
    for (const File &file : files) {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), file.path});
        p.waitForFinished(120000);
        const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
        if (f.size() < 4 || p.exitCode() != 0) {
            std::printf("  %-28s failed: %s\n", file.what, f.join(' ').constData());
            continue;
        }
        const double readMs = f[1].toDouble();
        const double resampleMs = f[2].toDouble();
        std::printf("  %-28s %10.1f %10.1f %12.2f %10.1f %10.1f\n", file.what,
                    QFile(file.path).size() / 1e6, readMs, resampleMs, readMs + resampleMs,
                    f[3].toLong() / 1024.0);
    }
    return 0;
}
