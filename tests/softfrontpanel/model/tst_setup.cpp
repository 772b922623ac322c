// Setups: the page's settings written as JSON and read back, bit for bit;
// hand-written setups; and setups refused whole, with the place named.
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <random>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "tn6820fp_formula.h"
#include "tn6820fp_page.h"
#include "tn6820fp_plan.h"
#include "tn6820fp_setup.h"

namespace {

bool sameBits(const std::vector<double> &a, const std::vector<double> &b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

const QByteArray kHead = R"("format": "tn6820fp-setup", "version": 1)";

// Eight channel objects, the one at index given its own text.
QByteArray channels(int index, const QByteArray &channel)
{
    QByteArray list = "[";
    for (int n = 0; n < 8; ++n)
        list += (n ? "," : "") + (n == index ? channel : QByteArray("{}"));
    return list + "]";
}

} // namespace

class tst_setup : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip();
    void handWritten();
    void refused_data();
    void refused();
    void savedWholeOrRefused_data();
    void savedWholeOrRefused();
};

// Random settings of every kind, saved and read again: the same settings and
// the same plan, to the bit.
void tst_setup::roundTrip()
{
    std::mt19937 random(20);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int round = 0; round < 300; ++round) {
        tn6820fp_panelSettings s = tn6820fp_panelSettings::initial(10);
        s.frequency = pick(1, 50000);
        s.filter = pick(0, 3);
        s.mode = pick(0, 1);
        // Half the rounds use nothing the previous release cannot read.
        const bool beyondVersion1 = round % 2 == 1;
        const char *const formulas[] = {"sin(2*pi*x)", "x < 0.5 ? 1 : -1", "pow(x, 3) - n / N",
                                        "exp(-5*x) * sin(2*pi*10*x)"};
        for (tn6820fp_channelSettings &c : s.channels) {
            c.selected = pick(0, 1) == 1;
            c.waveform =
                tn6820fp_waveform(pick(WaveNone, beyondVersion1 ? WaveFormula : WaveArbitrary));
            if (beyondVersion1) {
                c.duty = pick(0, 1000) / 10.0;
                c.symmetry = pick(0, 1000) / 10.0;
                c.multiple = pick(0, 3) == 0 ? pick(1, 1000) : 1;
                c.formula = tn6820fp_formula::parse(QLatin1String(formulas[pick(0, 3)]), nullptr);
            }
            c.amplitude = pick(0, 1000) / 100.0;
            c.offset = pick(-1000, 1000) / 100.0;
            c.phase = pick(0, 3599) / 10.0;
            if (c.waveform == WaveArbitrary || pick(0, 3) == 0) {
                auto shape = std::make_shared<tn6820fp_arbitraryShape>();
                shape->values.resize(std::size_t(pick(2, 300)));
                for (double &v : shape->values)
                    v = unit(random) * (pick(0, 5) == 0 ? 1e-300 : 1.0);
                shape->values[0] = -1; // normalised: the largest magnitude is 1
                // Now and then a name that spells what the writer puts in
                // place of the values before it writes them on one line.
                shape->file = round % 50 == 7 ? QStringLiteral("@values 0@")
                                              : QStringLiteral("shape %1 \u00e9.csv").arg(round);
                c.shape = shape;
            }
        }
        const QByteArray json = tn6820fp_setupJson(s);
        // Version 2 exactly when a channel uses what version 1 cannot say.
        bool newer = false;
        for (const tn6820fp_channelSettings &c : s.channels)
            newer = newer || c.waveform == WaveFormula || c.duty != 50 || c.symmetry != 50 ||
                    c.multiple != 1;
        QVERIFY(json.contains(newer ? "\"version\": 2" : "\"version\": 1"));
        if (!beyondVersion1)
            QVERIFY(!newer);
        // Values one line a shape: a hundred lines or so in all, whatever the shapes.
        if (round % 50 != 7)
            QVERIFY2(json.count('\n') < 160, qPrintable(QString::number(json.count('\n'))));
        const tn6820fp_setupRead read =
            tn6820fp_readSetup(json, tn6820fp_panelSettings::initial(10), -10, 10);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QVERIFY2(read.settings == s, qPrintable(QString::number(round)));
        for (int n = 0; n < 8; ++n) {
            const auto &shape = s.channels[std::size_t(n)].shape;
            const auto &back = read.settings.channels[std::size_t(n)].shape;
            if (shape)
                QVERIFY(sameBits(shape->values, back->values));
        }
        const tn6820fp_plan before = tn6820fp_planOf(s);
        const tn6820fp_plan after = tn6820fp_planOf(read.settings);
        QVERIFY(sameBits(before.samples, after.samples));
        for (int n = 0; n < 8; ++n)
            QVERIFY(sameBits(before.cycles[std::size_t(n)], after.cycles[std::size_t(n)]));
    }
}

// A script may give only what it changes; the rest is what a new panel has.
void tst_setup::handWritten()
{
    const QByteArray json =
        "{" + kHead + R"(, "frequency": 50, "mode": "continuous", "comment": "ignored",
          "channels": [ {"selected": false}, {"selected": true, "waveform": "square",
          "amplitude": 2.5}, {}, {}, {}, {}, {"waveform": "arbitrary", "phase": 90,
          "shape": {"values": [0, 2, -4, 1]}}, {"waveform": "none", "offset": -1.5} ] })";
    const tn6820fp_setupRead read =
        tn6820fp_readSetup(json, tn6820fp_panelSettings::initial(8), -8, 8);
    QCOMPARE(read.error, QString());
    tn6820fp_panelSettings expected = tn6820fp_panelSettings::initial(8);
    expected.frequency = 50;
    expected.mode = ModeContinuous;
    expected.channels[0].selected = false;
    expected.channels[1].selected = true;
    expected.channels[1].waveform = WaveSquare;
    expected.channels[1].amplitude = 2.5;
    expected.channels[6].waveform = WaveArbitrary;
    expected.channels[6].phase = 90;
    // Scaled by the largest magnitude, as a file's values are.
    auto shape = std::make_shared<tn6820fp_arbitraryShape>();
    shape->values = {0, 0.5, -1, 0.25};
    expected.channels[6].shape = shape;
    expected.channels[7].waveform = WaveNone;
    expected.channels[7].offset = -1.5;
    QVERIFY(read.settings == expected);
    QCOMPARE(read.settings.filter, 2);
    QCOMPARE(read.settings.channels[2].amplitude, 8.0);
}

void tst_setup::refused_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error");
    const QByteArray h = "{" + kHead;
    QTest::newRow("not JSON") << QByteArray("{\"format\": tn6820fp}")
                              << "byte 13: not JSON (illegal value)";
    QTest::newRow("cut short") << QByteArray("{\"format\": ")
                               << "byte 11: not JSON (unterminated object)";
    QTest::newRow("a list") << QByteArray("[1, 2]") << "not a setup: a JSON object is expected";
    QTest::newRow("another format")
        << QByteArray(R"({"format": "other", "version": 1})") << "format: not \"tn6820fp-setup\"";
    QTest::newRow("no version") << QByteArray(R"({"format": "tn6820fp-setup"})")
                                << "version: not a whole number from 1";
    QTest::newRow("a newer version") << QByteArray(R"({"format": "tn6820fp-setup", "version": 3})")
                                     << "version: 3 is newer than this program reads (2)";
    QTest::newRow("frequency 0") << h + R"(, "frequency": 0})"
                                 << "frequency: not a whole number from 1 to 50000";
    QTest::newRow("frequency not whole") << h + R"(, "frequency": 10.5})"
                                         << "frequency: not a whole number from 1 to 50000";
    QTest::newRow("frequency as text") << h + R"(, "frequency": "1000"})"
                                       << "frequency: not a whole number from 1 to 50000";
    QTest::newRow("unknown filter")
        << h + R"(, "filter": "20 kHz"})"
        << "filter: not one of \"200Hz\", \"2kHz\", \"20kHz\", \"Bypass\"";
    QTest::newRow("unknown mode") << h + R"(, "mode": "burst"})"
                                  << "mode: not \"single\" or \"continuous\"";
    QTest::newRow("seven channels") << h + R"(, "channels": [{}, {}, {}, {}, {}, {}, {}]})"
                                    << "channels: not a list of 8 objects";
    QTest::newRow("a channel that is no object") << h + ", \"channels\": " + channels(2, "3") + "}"
                                                 << "channels[2]: not an object";
    QTest::newRow("selected as text")
        << h + ", \"channels\": " + channels(0, R"({"selected": "yes"})") + "}"
        << "channels[0].selected: not true or false";
    QTest::newRow("unknown waveform")
        << h + ", \"channels\": " + channels(5, R"({"waveform": "Sine"})") + "}"
        << "channels[5].waveform: not one of \"sine\", \"square\", "
           "\"saw\", \"triangle\", \"arbitrary\", \"formula\", \"none\"";
    QTest::newRow("amplitude as text")
        << h + ", \"channels\": " + channels(3, R"({"amplitude": "2.5"})") + "}"
        << "channels[3].amplitude: not a number";
    QTest::newRow("amplitude beyond the card")
        << h + ", \"channels\": " + channels(3, R"({"amplitude": 10.5})") + "}"
        << "channels[3].amplitude: 10.5 is outside 0 to 10 V";
    QTest::newRow("negative amplitude")
        << h + ", \"channels\": " + channels(3, R"({"amplitude": -1})") + "}"
        << "channels[3].amplitude: -1 is outside 0 to 10 V";
    QTest::newRow("offset beyond the card")
        << h + ", \"channels\": " + channels(7, R"({"offset": -11})") + "}"
        << "channels[7].offset: -11 is outside -10 to 10 V";
    QTest::newRow("phase of a whole turn")
        << h + ", \"channels\": " + channels(1, R"({"phase": 360})") + "}"
        << "channels[1].phase: 360 is outside 0 to 359.9 degrees";
    QTest::newRow("arbitrary without values")
        << h + ", \"channels\": " + channels(4, R"({"waveform": "arbitrary"})") + "}"
        << "channels[4].shape: missing; an arbitrary channel carries its values";
    QTest::newRow("one value") << h + ", \"channels\": " +
                                      channels(4, R"({"shape": {"values": [1]}})") + "}"
                               << "channels[4].shape.values: 1 values; a cycle has 2 to 1000000";
    QTest::newRow("a value that is no number")
        << h + ", \"channels\": " + channels(4, R"({"shape": {"values": [1, null, 2]}})") + "}"
        << "channels[4].shape.values[1]: not a number";
    QTest::newRow("a file name that is no text")
        << h + ", \"channels\": " + channels(4, R"({"shape": {"file": 1, "values": [1, 2]}})") + "}"
        << "channels[4].shape.file: not a text";
    QTest::newRow("a file name longer than a file's can be")
        << h + ", \"channels\": " +
               channels(4, "{\"shape\": {\"file\": \"" + QByteArray(256, 'n') +
                               "\", \"values\": [1, 2]}}") +
               "}"
        << "channels[4].shape.file: 256 characters; a file's name has at most 255";
    QTest::newRow("a duty beyond 100%")
        << h + ", \"channels\": " + channels(1, R"({"duty": 100.5})") + "}"
        << "channels[1].duty: 100.5 is outside 0 to 100%";
    QTest::newRow("a negative symmetry")
        << h + ", \"channels\": " + channels(2, R"({"symmetry": -1})") + "}"
        << "channels[2].symmetry: -1 is outside 0 to 100%";
    QTest::newRow("a multiple of 0")
        << h + ", \"channels\": " + channels(3, R"({"multiple": 0})") + "}"
        << "channels[3].multiple: not a whole number from 1 to 1000";
    QTest::newRow("a multiple not whole")
        << h + ", \"channels\": " + channels(3, R"({"multiple": 2.5})") + "}"
        << "channels[3].multiple: not a whole number from 1 to "
           "1000";
    QTest::newRow("a formula that does not parse")
        << h + ", \"channels\": " +
               channels(6, R"({"waveform": "formula", "formula": "sin(2*pi*x"})") + "}"
        << "channels[6].formula: character 11: missing parenthesis";
    QTest::newRow("a formula that is no text")
        << h + ", \"channels\": " + channels(0, R"({"formula": 3})") + "}"
        << "channels[0].formula: not a text";
    QTest::newRow("a fault after valid keys keeps none of them")
        << h + R"(, "frequency": 5, "filter": "2kHz", "mode": "continuous", "channels": )" +
               channels(6, R"({"phase": -0.1})") + "}"
        << "channels[6].phase: -0.1 is outside 0 to 359.9 degrees";
}

// One message with the place; the settings are left exactly as they were.
void tst_setup::refused()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    tn6820fp_panelSettings initial = tn6820fp_panelSettings::initial(10);
    initial.frequency = 777;
    const tn6820fp_setupRead read = tn6820fp_readSetup(json, initial, -10, 10);
    QCOMPARE(read.error, error);
    QVERIFY(read.settings == initial);
}

// Saving replaces a regular file whole and refuses anything else unopened: a
// device node stays a device node, even for root.
void tst_setup::savedWholeOrRefused_data()
{
    QTest::addColumn<QString>("target"); // below a fresh folder
    QTest::addColumn<QString>("error");  // after the full path and ": "
    QTest::newRow("a new file") << "new.json"
                                << "";
    QTest::newRow("a file there") << "old.json"
                                  << "";
    QTest::newRow("a link to a file there: the file is replaced") << "link.json"
                                                                  << "";
    QTest::newRow("a folder") << "folder"
                              << "it is a folder, not a file";
    QTest::newRow("a named pipe") << "pipe"
                                  << "it is not a regular file (a device, pipe or socket)";
    QTest::newRow("a device node") << "device"
                                   << "it is not a regular file (a device, pipe or socket)";
    QTest::newRow("a folder that is not there")
        << "missing/new.json" << QString::fromLocal8Bit(std::strerror(ENOENT));
}

void tst_setup::savedWholeOrRefused()
{
    QFETCH(QString, target);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const auto at = [&dir](const char *name) { return QFile::encodeName(dir.filePath(name)); };
    QFile old(dir.filePath(QStringLiteral("old.json")));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(QFile::link(QStringLiteral("old.json"), dir.filePath(QStringLiteral("link.json"))));
    QCOMPARE(::mkfifo(at("pipe").constData(), 0600), 0);
    // A character device like /dev/null, made in the test's own folder.
    const bool device = ::mknod(at("device").constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    if (target == QLatin1String("device") && !device)
        QSKIP("no device node can be made here (only root may)");

    tn6820fp_page page;
    page.setFrequency(4321);
    const QString path = dir.filePath(target);
    const QString why = page.saveSetup(path);
    if (error.isEmpty()) {
        QCOMPARE(why, QString());
        tn6820fp_page back;
        QCOMPARE(back.openSetup(path), QString());
        QCOMPARE(back.settings().frequency, 4321);
    } else {
        QCOMPARE(why, QFileInfo(path).absoluteFilePath() + QStringLiteral(": ") + error);
    }
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("link.json"))).isSymLink());
    struct stat st
    {
    };
    QCOMPARE(::stat(at("pipe").constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));
    if (device) {
        QCOMPARE(::stat(at("device").constData(), &st), 0);
        QVERIFY(S_ISCHR(st.st_mode));
    }
    // Nothing is left beside the files.
    QCOMPARE(QDir(dir.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System)
                 .size(),
             (target == QLatin1String("new.json") ? 6 : 5) - (device ? 0 : 1));
}

QTEST_MAIN(tst_setup)
#include "tst_setup.moc"
