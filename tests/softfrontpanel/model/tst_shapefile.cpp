// Reading arbitrary waveforms: CSV texts and audio files, good and bad.
#include <QTemporaryDir>
#include <QtTest>
#include <sndfile.h>
#include <sys/stat.h>

#include "tn6820fp_shapefile.h"

namespace {

// An audio file of the given frames (one channel) in the given format.
QByteArray audioFile(int format, const QVector<double> &frames, int channels = 1)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("a")).toLocal8Bit();
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = channels;
    info.format = format;
    SNDFILE *f = sf_open(path.constData(), SFM_WRITE, &info);
    if (!f)
        return QByteArray();
    QVector<double> interleaved;
    for (double v : frames)
        for (int c = 0; c < channels; ++c)
            interleaved << (c == 0 ? v : -v / 2);
    sf_writef_double(f, interleaved.constData(), frames.size());
    sf_close(f);
    QFile file(QString::fromLocal8Bit(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class tst_shapefile : public QObject
{
    Q_OBJECT
private slots:
    void csv_data();
    void csv();
    void audio_data();
    void audio();
    void files_data();
    void files();
};

void tst_shapefile::csv_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QVector<double>>("values"); // normalised; empty when refused
    QTest::addColumn<QString>("error");
    QTest::newRow("one column") << QByteArray("1\n-2\n0.5\n") << QVector<double>{0.5, -1, 0.25}
                                << QString();
    QTest::newRow("time and value, header, CR LF")
        << QByteArray("t;v\r\n0;4\r\n0.1;-1\r\n0.2;2\r\n") << QVector<double>{1, -0.25, 0.5}
        << QString();
    QTest::newRow("tabs, blanks, quotes, a trailing comma and empty lines")
        << QByteArray("\n 0.0\t\"8\"\n\n1e-3\t-2, \n") << QVector<double>{1, -0.25} << QString();
    QTest::newRow("all zeros stay zero")
        << QByteArray("0\n0\n0\n") << QVector<double>{0, 0, 0} << QString();
    QTest::newRow("only the order counts")
        << QByteArray("5;1\n1;3\n") << QVector<double>{1.0 / 3, 1} << QString();
    QTest::newRow("a byte-order mark") << QByteArray("\xef\xbb\xbf"
                                                     "1\n-2\n")
                                       << QVector<double>{0.5, -1} << QString();
    QTest::newRow("a byte-order mark before a header") << QByteArray("\xef\xbb\xbf"
                                                                     "Spannung/\xc2\xb5V\n2\n-1\n")
                                                       << QVector<double>{1, -0.5} << QString();
    QTest::newRow("a first line of no letter")
        << QByteArray("---\n1\n2\n") << QVector<double>{} << "line 1: \"---\" is not a number";
    QTest::newRow("a first line with a number in it")
        << QByteArray("t,1\n0,1\n1,2\n") << QVector<double>{} << "line 1: \"t\" is not a number";
    QTest::newRow("decimal commas between semicolons")
        << QByteArray("Zeit;Wert\n0;0,151\n0,1;-0,302\n") << QVector<double>{0.5, -1} << QString();
    QTest::newRow("points between commas")
        << QByteArray("0.0,1.5\n0.1,-3\n") << QVector<double>{0.5, -1} << QString();
    QTest::newRow("decimal commas in one column")
        << QByteArray("0,5\n-0,25\n1,0\n") << QVector<double>{}
        << "line 2: the first column does not increase, so its commas may be decimal marks; "
           "files with decimal commas need semicolons between columns";
    QTest::newRow("whole numbers either side of commas")
        << QByteArray("v\n0,151\n1,303\n") << QVector<double>{}
        << "line 2: every field is a whole number, so its commas may be decimal marks; files "
           "with decimal commas need semicolons between columns";
    QTest::newRow("empty") << QByteArray() << QVector<double>{}
                           << "it holds no values; one cycle needs at least 2";
    QTest::newRow("only a header") << QByteArray("value\n") << QVector<double>{}
                                   << "it holds no values; one cycle needs at least 2";
    QTest::newRow("one value") << QByteArray("3\n") << QVector<double>{}
                               << "it holds 1 value; one cycle needs at least 2";
    QTest::newRow("text in the values")
        << QByteArray("1\n2\nabc\n") << QVector<double>{} << "line 3: \"abc\" is not a number";
    QTest::newRow("a number with text after it")
        << QByteArray("v\n1\n2V\n") << QVector<double>{} << "line 3: \"2V\" is not a number";
    QTest::newRow("bad time") << QByteArray("0,1\nx,2\n") << QVector<double>{}
                              << "line 2: \"x\" is not a number";
    QTest::newRow("NaN") << QByteArray("1\nnan\n") << QVector<double>{}
                         << "line 2: \"nan\" is not a finite number";
    QTest::newRow("infinity") << QByteArray("1\n-inf\n") << QVector<double>{}
                              << "line 2: \"-inf\" is not a finite number";
    QTest::newRow("too large for a double") << QByteArray("1\n1e400\n") << QVector<double>{}
                                            << "line 2: \"1e400\" is not a finite number";
    QTest::newRow("three columns") << QByteArray("1,2,3\n") << QVector<double>{}
                                   << "line 1: more than two columns; one (value) or two (time, "
                                      "value) are read";
    QTest::newRow("columns change") << QByteArray("1\n2\n3;4\n") << QVector<double>{}
                                    << "line 3: 2 columns where the rows before have 1";
    QTest::newRow("binary") << QByteArray("1\n\x01\x02\xff\n", 6) << QVector<double>{}
                            << QString::fromUtf8(
                                   "line 2: \"\x01\x02\xef\xbf\xbd\" is not a number");
    QByteArray many;
    for (int i = 0; i <= 1000000; ++i)
        many += "1\n";
    QTest::newRow("a million and one rows")
        << many << QVector<double>{} << "line 1000001: more than 1000000 values";
    many.chop(2);
    QVector<double> million(1000000, 1.0);
    QTest::newRow("a million rows") << many << million << QString();
}

void tst_shapefile::csv()
{
    QFETCH(QByteArray, text);
    QFETCH(QVector<double>, values);
    QFETCH(QString, error);
    const tn6820fp_shape shape = tn6820fp_readCsvShape(text.constData(), std::size_t(text.size()));
    QCOMPARE(shape.error, error);
    QCOMPARE(QVector<double>(shape.values.begin(), shape.values.end()), values);
}

void tst_shapefile::audio_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QVector<double>>("values");
    QTest::addColumn<QString>("error");
    // 16-bit samples read as n / 32768, then scaled by the largest magnitude.
    QTest::newRow("16-bit WAV") << audioFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, {0, 0.25, -0.5})
                                << QVector<double>{0, 0.5, -1} << QString();
    QTest::newRow("float WAV, first of two channels")
        << audioFile(SF_FORMAT_WAV | SF_FORMAT_FLOAT, {0.125, -0.5, 0.25}, 2)
        << QVector<double>{0.25, -1, 0.5} << QString();
    QTest::newRow("FLAC") << audioFile(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, {0.5, -0.25})
                          << QVector<double>{1, -0.5} << QString();
    QTest::newRow("AIFF") << audioFile(SF_FORMAT_AIFF | SF_FORMAT_PCM_24, {0, 0.5, 0.5})
                          << QVector<double>{0, 1, 1} << QString();
    QTest::newRow("one frame") << audioFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, {0.5})
                               << QVector<double>{}
                               << "it holds 1 value; one cycle needs at least 2";
    const double nan = std::nan("");
    QTest::newRow("NaN in a float WAV") << audioFile(SF_FORMAT_WAV | SF_FORMAT_FLOAT, {0.5, nan, 0})
                                        << QVector<double>{} << "frame 2 is not a finite number";
    // 44 bytes of header and 2 bytes a frame: 3 frames promised, 1 there.
    const QByteArray whole = audioFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, {0.5, 0.25, 0.125});
    QTest::newRow("truncated WAV") << whole.left(whole.size() - 4) << QVector<double>{}
                                   << "it ends at byte 46, before the end its header gives "
                                      "(libsndfile: data : 6 (should be 2))";
    QTest::newRow("a million and one frames")
        << audioFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, QVector<double>(1000001, 0.5))
        << QVector<double>{} << "more than 1000000 frames";
    // A writer that cannot seek back leaves the data size at its largest.
    QByteArray streamed = audioFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, {0.5, -0.25, 0.125});
    streamed.replace(40, 4, QByteArray(4, '\xff'));
    QTest::newRow("WAV of unknown length")
        << streamed << QVector<double>{1, -0.5, 0.25} << QString();
    // STREAMINFO's 36-bit sample count (the low half of file byte 21 and
    // bytes 22 to 25) at 0: the length is not stated.
    QByteArray unstated = audioFile(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, {0.5, -0.25, 0, 0.25, -0.5});
    unstated[21] = char(unstated[21] & 0xF0);
    unstated.replace(22, 4, QByteArray(4, '\0'));
    QTest::newRow("FLAC of unstated length")
        << unstated << QVector<double>{1, -0.5, 0, 0.5, -1} << QString();
    QTest::newRow("not audio") << QByteArray("1\n2\n") << QVector<double>{}
                               << "libsndfile: Format not recognised.";
}

void tst_shapefile::audio()
{
    QFETCH(QByteArray, file);
    QFETCH(QVector<double>, values);
    QFETCH(QString, error);
    QVERIFY(!file.isEmpty());
    const tn6820fp_shape shape =
        tn6820fp_readAudioShape(file.constData(), std::size_t(file.size()));
    QCOMPARE(shape.error, error);
    QCOMPARE(QVector<double>(shape.values.begin(), shape.values.end()), values);
}

void tst_shapefile::files_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // of a file; "pipe", "folder" or "none" for those
    QTest::addColumn<QString>("error");      // empty when read
    QTest::newRow("CSV") << "ramp.csv" << QByteArray("0\n1\n") << QString();
    QTest::newRow("CSV by content") << "ramp.dat" << QByteArray("0\n1\n") << QString();
    QTest::newRow("WAV") << "tone.wav" << audioFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, {0.5, -0.5})
                         << QString();
    QTest::newRow("a CSV that is not")
        << "bad.csv" << QByteArray("RIFF....WAVE")
        << "bad.csv: it holds no values; one cycle needs at least 2.";
    QTest::newRow("a damaged WAV")
        << "bad.wav" << QByteArray("RIFF\x10\0\0\0WAVEfmt \x02\0\0\0\0\0", 22)
        << "bad.wav: libsndfile: Error in WAV/W64/RF64 file. Short 'fmt ' chunk..";
    QTest::newRow("empty") << "empty.wav" << QByteArray()
                           << "empty.wav: it holds no values; one cycle needs at least 2.";
    QTest::newRow("missing") << "missing.csv" << QByteArray("none")
                             << "missing.csv: cannot be read (No such file or directory).";
    QTest::newRow("a named pipe") << "pipe.csv" << QByteArray("pipe")
                                  << "pipe.csv: it is not a regular file (a pipe, socket or "
                                     "device).";
    QTest::newRow("a folder") << "shapes.csv" << QByteArray("folder")
                              << "shapes.csv: it is a folder, not a file.";
}

// Errors start with the file's name; the format follows the content unless
// the name says CSV. A named pipe is refused, not opened: opening it would
// wait for a writer for ever.
void tst_shapefile::files()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (content == "pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (content == "folder") {
        QVERIFY(QDir(dir.path()).mkdir(name));
    } else if (content != "none") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const tn6820fp_shape shape = tn6820fp_readShapeFile(path);
    QCOMPARE(shape.error, error);
    QCOMPARE(shape.values.empty(), !error.isEmpty());
    if (error.isEmpty())
        QCOMPARE(QVector<double>(shape.values.begin(), shape.values.end()),
                 (QVector<double>{name.endsWith(QLatin1String("wav")) ? 1.0 : 0.0,
                                  name.endsWith(QLatin1String("wav")) ? -1.0 : 1.0}));
}

QTEST_MAIN(tst_shapefile)
#include "tst_shapefile.moc"
