#include "tn6820fp_setup.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <climits>
#include <cmath>

#include "tn6800fp_savefile.h"
#include "tn6820fp_formula.h"
#include "tn6820fp_page.h"
#include "tn6820fp_shapefile.h"

namespace {

const QString kFormat = QStringLiteral("tn6820fp-setup");

const char *modeName(int mode)
{
    return mode == ModeContinuous ? "continuous" : "single";
}

QString quotedList(const QStringList &names)
{
    return QStringLiteral("\"") + names.join(QStringLiteral("\", \"")) + QStringLiteral("\"");
}

QStringList waveformNames()
{
    QStringList names;
    for (const tn6820fp_waveformInfo &w : tn6820fp_waveforms)
        names << QLatin1String(w.name);
    return names << QStringLiteral("none");
}

QStringList filterNames()
{
    QStringList names;
    for (const char *f : tn6820fp_filterNames)
        names << QLatin1String(f);
    return names;
}

// Reads the keys of one object into its settings; the first fault ends it.
class Reader
{
public:
    Reader(double low, double high) : m_low(low), m_high(high) {}

    QString error;

    bool number(const QJsonObject &o, const QString &key, const QString &at, double low,
                double high, const char *unit, double &out)
    {
        if (!o.contains(key))
            return true;
        const QJsonValue v = o.value(key);
        if (!v.isDouble())
            return fail(at + key, QStringLiteral("not a number"));
        const double d = v.toDouble();
        if (!(d >= low && d <= high))
            return fail(at + key, QStringLiteral("%1 is outside %2 to %3%4")
                                      .arg(d)
                                      .arg(low)
                                      .arg(high)
                                      .arg(QLatin1String(unit)));
        out = d;
        return true;
    }

    bool channel(const QJsonValue &value, const QString &at, tn6820fp_channelSettings &c)
    {
        if (!value.isObject())
            return fail(at, QStringLiteral("not an object"));
        const QJsonObject o = value.toObject();
        const QString in = at + QLatin1Char('.');
        if (o.contains(QLatin1String("selected"))) {
            if (!o.value(QLatin1String("selected")).isBool())
                return fail(in + QStringLiteral("selected"), QStringLiteral("not true or false"));
            c.selected = o.value(QLatin1String("selected")).toBool();
        }
        if (o.contains(QLatin1String("waveform"))) {
            const QString name = o.value(QLatin1String("waveform")).toString();
            const tn6820fp_waveformInfo *w = tn6820fp_waveformNamed(name.toLatin1().constData());
            if (!w && name != QLatin1String("none"))
                return fail(in + QStringLiteral("waveform"),
                            QStringLiteral("not one of ") + quotedList(waveformNames()));
            c.waveform = w ? w->kind : WaveNone;
        }
        if (!number(o, QStringLiteral("amplitude"), in, 0, m_high, " V", c.amplitude) ||
            !number(o, QStringLiteral("offset"), in, m_low, m_high, " V", c.offset) ||
            !number(o, QStringLiteral("phase"), in, 0, tn6820fp_maxPhase, " degrees", c.phase) ||
            !number(o, QStringLiteral("duty"), in, 0, 100, "%", c.duty) ||
            !number(o, QStringLiteral("symmetry"), in, 0, 100, "%", c.symmetry))
            return false;
        if (o.contains(QLatin1String("multiple"))) {
            const QJsonValue v = o.value(QLatin1String("multiple"));
            const double d = v.toDouble(-1);
            if (!v.isDouble() || d != std::floor(d) || d < 1 || d > tn6820fp_maxMultiple)
                return fail(
                    in + QStringLiteral("multiple"),
                    QStringLiteral("not a whole number from 1 to %1").arg(tn6820fp_maxMultiple));
            c.multiple = int(d);
        }
        if (o.contains(QLatin1String("formula"))) {
            const QJsonValue v = o.value(QLatin1String("formula"));
            if (!v.isString())
                return fail(in + QStringLiteral("formula"), QStringLiteral("not a text"));
            QString why;
            auto formula = tn6820fp_formula::parse(v.toString(), &why);
            if (!formula)
                return fail(in + QStringLiteral("formula"), why);
            c.formula = std::move(formula);
        }
        if (o.contains(QLatin1String("shape")) &&
            !shape(o.value(QLatin1String("shape")), in + QStringLiteral("shape"), c))
            return false;
        if (c.waveform == WaveArbitrary && !c.shape)
            return fail(in + QStringLiteral("shape"),
                        QStringLiteral("missing; an arbitrary channel carries its values"));
        return true;
    }

private:
    bool fail(const QString &at, const QString &what)
    {
        error = at + QStringLiteral(": ") + what;
        return false;
    }

    bool shape(const QJsonValue &value, const QString &at, tn6820fp_channelSettings &c)
    {
        if (!value.isObject())
            return fail(at, QStringLiteral("not an object"));
        const QJsonObject o = value.toObject();
        const QJsonValue file = o.value(QLatin1String("file"));
        if (!file.isUndefined() && !file.isString())
            return fail(at + QStringLiteral(".file"), QStringLiteral("not a text"));
        if (file.toString().size() > tn6820fp_maxShapeFileName)
            return fail(at + QStringLiteral(".file"),
                        QStringLiteral("%1 characters; a file's name has at most %2")
                            .arg(file.toString().size())
                            .arg(tn6820fp_maxShapeFileName));
        const QJsonValue values = o.value(QLatin1String("values"));
        if (!values.isArray())
            return fail(at + QStringLiteral(".values"), QStringLiteral("not a list of numbers"));
        const QJsonArray list = values.toArray();
        if (list.size() < 2 || std::size_t(list.size()) > tn6820fp_maxShapeValues)
            return fail(at + QStringLiteral(".values"),
                        QStringLiteral("%1 values; a cycle has 2 to %2")
                            .arg(list.size())
                            .arg(tn6820fp_maxShapeValues));
        auto read = std::make_shared<tn6820fp_arbitraryShape>();
        read->values.reserve(std::size_t(list.size()));
        for (int i = 0; i < list.size(); ++i) {
            if (!list.at(i).isDouble())
                return fail(at + QStringLiteral(".values[%1]").arg(i),
                            QStringLiteral("not a number"));
            read->values.push_back(list.at(i).toDouble());
        }
        // Values written by the panel are normalised already and stay as
        // they are; a script's are scaled as a file's would be.
        tn6820fp_normalise(read->values);
        read->file = file.toString();
        c.shape = read;
        return true;
    }

    double m_low;
    double m_high;
};

// Appends a shape's values as a compact JSON list, each in the fewest digits
// that read back to the same bits, without the locale.
void appendValueList(QByteArray &out, const std::vector<double> &values)
{
    out += '[';
    char digits[32];
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i)
            out += ',';
        const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, values[i]);
        out.append(digits, int(r.ptr - digits));
    }
    out += ']';
}

// The document with each shape's values as a list in place of its marker.
QJsonObject withValues(QJsonObject root, const tn6820fp_panelSettings &s)
{
    QJsonArray channels = root.value(QLatin1String("channels")).toArray();
    for (int n = 0; n < channels.size(); ++n) {
        const tn6820fp_channelSettings &c = s.channels[std::size_t(n)];
        if (!c.shape)
            continue;
        QJsonArray values;
        for (const double v : c.shape->values)
            values.append(v);
        QJsonObject o = channels.at(n).toObject();
        o.insert(QStringLiteral("shape"), QJsonObject{{QStringLiteral("file"), c.shape->file},
                                                      {QStringLiteral("values"), values}});
        channels.replace(n, o);
    }
    root.insert(QStringLiteral("channels"), channels);
    return root;
}

} // namespace

int tn6820fp_setupVersionOf(const tn6820fp_panelSettings &s)
{
    for (const tn6820fp_channelSettings &c : s.channels) {
        if (c.waveform == WaveFormula || c.duty != 50.0 || c.symmetry != 50.0 || c.multiple != 1)
            return 2;
    }
    return 1;
}

QByteArray tn6820fp_setupJson(const tn6820fp_panelSettings &s)
{
    QJsonObject root;
    root.insert(QStringLiteral("format"), kFormat);
    root.insert(QStringLiteral("version"), tn6820fp_setupVersionOf(s));
    root.insert(QStringLiteral("frequency"), s.frequency);
    root.insert(QStringLiteral("filter"), QLatin1String(tn6820fp_filterNames[s.filter]));
    root.insert(QStringLiteral("mode"), QLatin1String(modeName(s.mode)));
    QJsonArray channels;
    // Each shape's values go on one line: a marker stands in their place in
    // the indented document, and the lists are written in its place straight
    // into the file's bytes, so that a large setup is held once, not twice.
    std::vector<const std::vector<double> *> shapes;
    for (const tn6820fp_channelSettings &c : s.channels) {
        QJsonObject o;
        o.insert(QStringLiteral("selected"), c.selected);
        const tn6820fp_waveformInfo *w = tn6820fp_waveformOf(c.waveform);
        o.insert(QStringLiteral("waveform"), QLatin1String(w ? w->name : "none"));
        o.insert(QStringLiteral("amplitude"), c.amplitude);
        o.insert(QStringLiteral("offset"), c.offset);
        o.insert(QStringLiteral("phase"), c.phase);
        o.insert(QStringLiteral("duty"), c.duty);
        o.insert(QStringLiteral("symmetry"), c.symmetry);
        o.insert(QStringLiteral("multiple"), c.multiple);
        // A formula typed is kept, as an arbitrary shape is, while another waveform plays.
        const QString formula = c.formula ? c.formula->text() : QString();
        if (c.waveform == WaveFormula ||
            (c.formula && formula != QLatin1String(tn6820fp_initialFormula)))
            o.insert(QStringLiteral("formula"), formula);
        if (c.shape) {
            o.insert(QStringLiteral("shape"),
                     QJsonObject{{QStringLiteral("file"), c.shape->file},
                                 {QStringLiteral("values"),
                                  QStringLiteral("@values %1@").arg(shapes.size())}});
            shapes.push_back(&c.shape->values);
        }
        channels.append(o);
    }
    root.insert(QStringLiteral("channels"), channels);
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    // A file's name could spell a marker: each must stand exactly once, in
    // the channels' order, or the values are left one a line.
    std::vector<int> at;
    std::size_t values = 0;
    for (std::size_t n = 0; n < shapes.size(); ++n) {
        const QByteArray marker = "\"@values " + QByteArray::number(qulonglong(n)) + "@\"";
        at.push_back(json.indexOf(marker));
        if (json.count(marker) != 1 || (n > 0 && at[n] < at[n - 1]))
            return QJsonDocument(withValues(root, s)).toJson(QJsonDocument::Indented);
        values += shapes[n]->size();
    }
    QByteArray out;
    // Most values take 20 to 24 characters; more is grown as needed.
    out.reserve(int(std::min<std::size_t>(std::size_t(json.size()) + values * 24, INT_MAX / 2)));
    int from = 0;
    for (std::size_t n = 0; n < shapes.size(); ++n) {
        out.append(json.constData() + from, at[n] - from);
        appendValueList(out, *shapes[n]);
        from = json.indexOf('"', at[n] + 1) + 1;
    }
    out.append(json.constData() + from, json.size() - from);
    return out;
}

tn6820fp_setupRead tn6820fp_readSetup(const QByteArray &json, const tn6820fp_panelSettings &initial,
                                      double lowLimit, double highLimit)
{
    tn6820fp_setupRead out;
    out.settings = initial;
    auto refuse = [&out, &initial](const QString &why) {
        out.settings = initial;
        out.error = why;
        return out;
    };
    QJsonParseError parsed{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parsed);
    if (parsed.error == QJsonParseError::DocumentTooLarge)
        return refuse(QStringLiteral("too large for the setup reader (%1 MB)")
                          .arg(json.size() / (1024 * 1024)));
    if (parsed.error != QJsonParseError::NoError)
        return refuse(
            QStringLiteral("byte %1: not JSON (%2)").arg(parsed.offset).arg(parsed.errorString()));
    if (!doc.isObject())
        return refuse(QStringLiteral("not a setup: a JSON object is expected"));
    const QJsonObject root = doc.object();
    if (root.value(QLatin1String("format")).toString() != kFormat)
        return refuse(QStringLiteral("format: not \"%1\"").arg(kFormat));
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() != std::floor(version.toDouble()) ||
        version.toDouble() < 1)
        return refuse(QStringLiteral("version: not a whole number from 1"));
    if (version.toDouble() > tn6820fp_setupVersion)
        return refuse(QStringLiteral("version: %1 is newer than this program reads (%2)")
                          .arg(version.toDouble())
                          .arg(tn6820fp_setupVersion));
    tn6820fp_panelSettings &s = out.settings;
    if (root.contains(QLatin1String("frequency"))) {
        const QJsonValue f = root.value(QLatin1String("frequency"));
        const double d = f.toDouble(-1);
        if (!f.isDouble() || d != std::floor(d) || d < tn6820fp_minFrequency ||
            d > tn6820fp_maxFrequency)
            return refuse(QStringLiteral("frequency: not a whole number from %1 to %2")
                              .arg(tn6820fp_minFrequency)
                              .arg(tn6820fp_maxFrequency));
        s.frequency = int(d);
    }
    if (root.contains(QLatin1String("filter"))) {
        const int filter = filterNames().indexOf(root.value(QLatin1String("filter")).toString());
        if (filter < 0)
            return refuse(QStringLiteral("filter: not one of ") + quotedList(filterNames()));
        s.filter = filter;
    }
    if (root.contains(QLatin1String("mode"))) {
        const QString mode = root.value(QLatin1String("mode")).toString();
        if (mode != QLatin1String("single") && mode != QLatin1String("continuous"))
            return refuse(QStringLiteral("mode: not \"single\" or \"continuous\""));
        s.mode = mode == QLatin1String("continuous") ? ModeContinuous : ModeSingleCycle;
    }
    if (root.contains(QLatin1String("channels"))) {
        const QJsonValue list = root.value(QLatin1String("channels"));
        if (!list.isArray() || list.toArray().size() != tn6820fp_channelCount)
            return refuse(
                QStringLiteral("channels: not a list of %1 objects").arg(tn6820fp_channelCount));
        Reader reader(lowLimit, highLimit);
        const QJsonArray channels = list.toArray();
        for (int n = 0; n < tn6820fp_channelCount; ++n) {
            if (!reader.channel(channels.at(n), QStringLiteral("channels[%1]").arg(n),
                                s.channels[std::size_t(n)]))
                return refuse(reader.error);
        }
    }
    return out;
}

QString tn6820fp_saveSetupFile(const QString &path, const tn6820fp_panelSettings &settings)
{
    const QString why = tn6800fp_saveFile(path, tn6820fp_setupJson(settings));
    return why.isEmpty() ? why : tn6800fp_saveFailure(path, why);
}

QByteArray tn6820fp_setupFileBytes(const QString &path, QString *why)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        *why = QStringLiteral("it is a folder, not a file");
        return QByteArray();
    }
    if (info.exists() && !info.isFile()) {
        *why = QStringLiteral("it is not a regular file (a pipe, socket or device)");
        return QByteArray();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("cannot be read (%1)").arg(file.errorString());
        return QByteArray();
    }
    why->clear();
    return file.readAll();
}

tn6820fp_setupRead tn6820fp_readSetupNamed(const QByteArray &json, const QString &fileName,
                                           const tn6820fp_panelSettings &initial, double lowLimit,
                                           double highLimit)
{
    tn6820fp_setupRead out = tn6820fp_readSetup(json, initial, lowLimit, highLimit);
    if (!out.error.isEmpty())
        out.error = QStringLiteral("%1: %2.").arg(fileName, out.error);
    return out;
}

tn6820fp_setupRead tn6820fp_readSetupFile(const QString &path,
                                          const tn6820fp_panelSettings &initial, double lowLimit,
                                          double highLimit)
{
    QString why;
    const QByteArray json = tn6820fp_setupFileBytes(path, &why);
    if (!why.isEmpty()) {
        tn6820fp_setupRead out;
        out.settings = initial;
        out.error = QStringLiteral("%1: %2.").arg(QFileInfo(path).fileName(), why);
        return out;
    }
    return tn6820fp_readSetupNamed(json, QFileInfo(path).fileName(), initial, lowLimit, highLimit);
}
