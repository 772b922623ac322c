#include "tn6820fp_shapefile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <sndfile.h>

namespace {

tn6820fp_shape failed(const QString &why)
{
    tn6820fp_shape shape;
    shape.error = why;
    return shape;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// A field without the blanks around it and without enclosing double quotes.
std::pair<const char *, const char *> trimmed(const char *begin, const char *end)
{
    while (begin < end && isBlank(*begin))
        ++begin;
    while (end > begin && isBlank(end[-1]))
        --end;
    if (end - begin >= 2 && *begin == '"' && end[-1] == '"') {
        ++begin;
        --end;
    }
    return {begin, end};
}

enum class Field
{
    Number,
    NotANumber,
    NotFinite
};

// A field as a number; with decimalComma, a comma is the decimal mark.
Field parseNumber(const char *begin, const char *end, bool decimalComma, double &value)
{
    const auto t = trimmed(begin, end);
    const char *b = t.first;
    const char *e = t.second;
    if (b < e && *b == '+')
        ++b;
    if (b == e)
        return Field::NotANumber;
    std::string pointed;
    if (decimalComma && std::find(b, e, ',') != e) {
        pointed.assign(b, e);
        std::replace(pointed.begin(), pointed.end(), ',', '.');
        b = pointed.data();
        e = b + pointed.size();
    }
    const auto r = std::from_chars(b, e, value);
    if (r.ec == std::errc::result_out_of_range)
        return Field::NotFinite;
    if (r.ec != std::errc() || r.ptr != e)
        return Field::NotANumber;
    return std::isfinite(value) ? Field::Number : Field::NotFinite;
}

// Digits alone: no sign, no point, no exponent.
bool isBareWholeNumber(const char *begin, const char *end)
{
    const auto t = trimmed(begin, end);
    return t.first < t.second &&
           std::all_of(t.first, t.second, [](char c) { return c >= '0' && c <= '9'; });
}

bool holdsLetter(const char *begin, const char *end)
{
    const QString text = QString::fromUtf8(begin, int(end - begin));
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

QString quoted(const char *begin, const char *end)
{
    const auto t = trimmed(begin, end);
    QString text =
        QString::fromUtf8(t.first, int(std::min<std::ptrdiff_t>(t.second - t.first, 40)));
    if (t.second - t.first > 40)
        text += QStringLiteral("...");
    return QStringLiteral("\"%1\"").arg(text);
}

tn6820fp_shape tooFew(std::size_t count)
{
    return failed(count == 0 ? QStringLiteral("it holds no values; one cycle needs at least 2")
                             : QStringLiteral("it holds 1 value; one cycle needs at least 2"));
}

// The fields of one line; empty ones at its end (a trailing separator) do not count.
struct Fields
{
    static constexpr int kMost = 8;
    const char *begin[kMost];
    const char *end[kMost];
    int count = 0;

    Fields(const char *line, const char *lineEnd, bool commaSeparates)
    {
        const char *start = line;
        for (const char *p = line;; ++p) {
            if (p == lineEnd || *p == ';' || *p == '\t' || (commaSeparates && *p == ',')) {
                if (count < kMost) {
                    begin[count] = start;
                    end[count] = p;
                }
                ++count;
                start = p + 1;
                if (p == lineEnd)
                    break;
            }
        }
        while (count > 1 && count <= kMost && empty(count - 1))
            --count;
    }
    bool empty(int i) const
    {
        const auto t = trimmed(begin[i], end[i]);
        return t.first == t.second;
    }
};

const QString kDecimalCommaHint = QStringLiteral(
    "so its commas may be decimal marks; files with decimal commas need semicolons between "
    "columns");

} // namespace

// Spreadsheets in locales with a decimal comma separate columns with
// semicolons: a file whose first line holds one is read that way. A file
// whose columns a comma separates could still be one column written with
// decimal commas ("0,5"); it is refused where the two readings could both
// be meant, never read silently as the other.
tn6820fp_shape tn6820fp_readCsvShape(const char *data, std::size_t size)
{
    tn6820fp_shape shape;
    // A byte-order mark, as spreadsheets write it before "CSV UTF-8".
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
        data += 3;
        size -= 3;
    }
    const char *const end = data + size;
    int columns = 0; // of the first row of values
    long long lineNumber = 0;
    bool first = true;
    bool decimalComma = false;
    // A comma-separated (time, value) file: where the reading is in doubt.
    long long firstRowLine = 0;
    bool allBare = true;
    double lastTime = 0;
    for (const char *line = data; line < end;) {
        const char *lineEnd = static_cast<const char *>(std::memchr(line, '\n', end - line));
        if (!lineEnd)
            lineEnd = end;
        ++lineNumber;
        const char *next = lineEnd + 1;
        const auto t = trimmed(line, lineEnd);
        if (t.first == t.second) {
            line = next;
            continue;
        }
        if (first)
            decimalComma = std::memchr(line, ';', std::size_t(lineEnd - line)) != nullptr;
        const Fields f(line, lineEnd, !decimalComma);
        const QString where = QStringLiteral("line %1: ").arg(lineNumber);
        if (f.count > 2)
            return failed(where + QStringLiteral("more than two columns; one (value) or two "
                                                 "(time, value) are read"));
        double value = 0;
        const int valueField = f.count - 1;
        const Field kind = parseNumber(f.begin[valueField], f.end[valueField], decimalComma, value);
        double time = 0;
        const Field timeKind =
            f.count == 1 ? Field::Number : parseNumber(f.begin[0], f.end[0], decimalComma, time);
        // A header holds a letter and nothing that reads as a number.
        if (first && kind == Field::NotANumber && (f.count == 1 || timeKind == Field::NotANumber) &&
            holdsLetter(line, lineEnd)) {
            first = false;
            line = next;
            continue;
        }
        first = false;
        if (columns == 0)
            columns = f.count;
        if (f.count != columns)
            return failed(where + QStringLiteral("%1 columns where the rows before have %2")
                                      .arg(f.count)
                                      .arg(columns));
        if (timeKind == Field::NotANumber)
            return failed(where + quoted(f.begin[0], f.end[0]) +
                          QStringLiteral(" is not a number"));
        if (timeKind == Field::NotFinite)
            return failed(where + quoted(f.begin[0], f.end[0]) +
                          QStringLiteral(" is not a finite number"));
        if (kind == Field::NotANumber)
            return failed(where + quoted(f.begin[valueField], f.end[valueField]) +
                          QStringLiteral(" is not a number"));
        if (kind == Field::NotFinite)
            return failed(where + quoted(f.begin[valueField], f.end[valueField]) +
                          QStringLiteral(" is not a finite number"));
        if (f.count == 2 && *f.end[0] == ',') {
            if (firstRowLine != 0 && !(time > lastTime))
                return failed(where + QStringLiteral("the first column does not increase, ") +
                              kDecimalCommaHint);
            if (firstRowLine == 0)
                firstRowLine = lineNumber;
            lastTime = time;
            allBare = allBare && isBareWholeNumber(f.begin[0], f.end[0]) &&
                      isBareWholeNumber(f.begin[1], f.end[1]);
        }
        if (shape.values.size() == tn6820fp_maxShapeValues)
            return failed(where +
                          QStringLiteral("more than %1 values").arg(tn6820fp_maxShapeValues));
        shape.values.push_back(value);
        line = next;
    }
    if (firstRowLine != 0 && allBare)
        return failed(QStringLiteral("line %1: every field is a whole number, ").arg(firstRowLine) +
                      kDecimalCommaHint);
    if (shape.values.size() < 2)
        return tooFew(shape.values.size());
    tn6820fp_normalise(shape.values);
    return shape;
}

namespace {

struct Memory
{
    const char *data;
    sf_count_t size;
    sf_count_t position;
};

sf_count_t memoryLength(void *user)
{
    return static_cast<Memory *>(user)->size;
}

sf_count_t memorySeek(sf_count_t offset, int whence, void *user)
{
    auto *m = static_cast<Memory *>(user);
    const sf_count_t base = whence == SEEK_CUR ? m->position : whence == SEEK_END ? m->size : 0;
    const sf_count_t to = base + offset;
    if (to < 0 || to > m->size)
        return -1;
    m->position = to;
    return to;
}

sf_count_t memoryRead(void *out, sf_count_t count, void *user)
{
    auto *m = static_cast<Memory *>(user);
    const sf_count_t n = std::max<sf_count_t>(0, std::min(count, m->size - m->position));
    std::memcpy(out, m->data + m->position, std::size_t(n));
    m->position += n;
    return n;
}

sf_count_t memoryWrite(const void *, sf_count_t, void *)
{
    return 0;
}

sf_count_t memoryTell(void *user)
{
    return static_cast<Memory *>(user)->position;
}

} // namespace

namespace {

tn6820fp_shape readAudio(const char *data, std::size_t size, bool *unrecognised)
{
    Memory memory{data, sf_count_t(size), 0};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    SNDFILE *file = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!file) {
        if (unrecognised)
            *unrecognised = sf_error(nullptr) == SF_ERR_UNRECOGNISED_FORMAT;
        return failed(QStringLiteral("libsndfile: ") + QString::fromUtf8(sf_strerror(nullptr)));
    }
    struct Closer
    {
        SNDFILE *f;
        ~Closer() { sf_close(f); }
    } closer{file};
    if (info.channels < 1)
        return failed(QStringLiteral("it has no channels"));
    // The count the header gives is only a promise: a stream's header may not
    // state one (libsndfile then gives the largest count), so the length is
    // judged by the frames read.
    const bool stated = info.frames >= 0 && info.frames < SF_COUNT_MAX;
    tn6820fp_shape shape;
    if (stated)
        shape.values.reserve(std::size_t(
            std::min<sf_count_t>(info.frames, sf_count_t(tn6820fp_maxShapeValues) + 1)));
    // A bounded block of frames at a time: the first channel is all we keep.
    const sf_count_t block = std::max<sf_count_t>(1, 65536 / info.channels);
    std::vector<double> frames(std::size_t(block) * std::size_t(info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_double(file, frames.data(), block);
        if (got <= 0)
            break;
        for (sf_count_t i = 0; i < got; ++i) {
            const double v = frames[std::size_t(i) * std::size_t(info.channels)];
            if (!std::isfinite(v))
                return failed(QStringLiteral("frame %1 is not a finite number")
                                  .arg(qint64(shape.values.size()) + 1));
            if (shape.values.size() == tn6820fp_maxShapeValues)
                return failed(QStringLiteral("more than %1 frames").arg(tn6820fp_maxShapeValues));
            shape.values.push_back(v);
        }
    }
    if (sf_error(file) != SF_ERR_NO_ERROR)
        return failed(QStringLiteral("libsndfile: ") + QString::fromUtf8(sf_strerror(file)));
    // A header that promises more than the file holds: libsndfile shortens
    // the frame count to what is there, and notes the chunk it had to cut.
    // The size of the whole container is often written wrong by streaming
    // writers, so only a chunk inside it counts; and a writer that cannot
    // seek back leaves a chunk's size at its largest, 0xFFFFFFFF, to mean
    // "up to the end of the file", which libsndfile reads as such.
    char log[4096] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log - 1);
    for (const QByteArray &entry : QByteArray(log).split('\n')) {
        const bool container =
            entry.startsWith("RIFF") || entry.startsWith("RF64") || entry.startsWith("FORM");
        const bool toTheEnd = entry.contains(": 4294967295 (should be ");
        if (!container && !toTheEnd && entry.contains("(should be "))
            return failed(QStringLiteral("it ends at byte %1, before the end its header gives "
                                         "(libsndfile: %2)")
                              .arg(qint64(size))
                              .arg(QString::fromUtf8(entry.trimmed())));
    }
    if (stated && info.frames > 0 && sf_count_t(shape.values.size()) < info.frames)
        return failed(QStringLiteral("it ends at byte %1, after %2 of its %3 frames")
                          .arg(qint64(size))
                          .arg(qint64(shape.values.size()))
                          .arg(qint64(info.frames)));
    if (shape.values.size() < 2)
        return tooFew(shape.values.size());
    tn6820fp_normalise(shape.values);
    return shape;
}

} // namespace

tn6820fp_shape tn6820fp_readAudioShape(const char *data, std::size_t size)
{
    return readAudio(data, size, nullptr);
}

tn6820fp_shape tn6820fp_readShapeFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    auto named = [&](tn6820fp_shape shape) {
        if (!shape.error.isEmpty())
            shape.error = QStringLiteral("%1: %2.").arg(name, shape.error);
        return shape;
    };
    // Opening a named pipe for reading blocks until a writer comes: what is
    // not a regular file is refused before it is opened.
    const QFileInfo info(path);
    if (info.isDir())
        return named(failed(QStringLiteral("it is a folder, not a file")));
    if (info.exists() && !info.isFile())
        return named(failed(QStringLiteral("it is not a regular file (a pipe, socket or device)")));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return named(failed(QStringLiteral("cannot be read (%1)").arg(file.errorString())));
    if (file.size() == 0)
        return named(tooFew(0));
    // Mapped, not copied: a large file costs no second copy in memory.
    const uchar *mapped = file.map(0, file.size());
    QByteArray copy;
    const char *data = reinterpret_cast<const char *>(mapped);
    if (!mapped) {
        copy = file.readAll();
        data = copy.constData();
    }
    const std::size_t size = std::size_t(file.size());
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("txt")) {
        bool unrecognised = false;
        tn6820fp_shape audio = readAudio(data, size, &unrecognised);
        if (!unrecognised)
            return named(std::move(audio));
    }
    return named(tn6820fp_readCsvShape(data, size));
}

void tn6820fp_normalise(std::vector<double> &values)
{
    double largest = 0;
    for (const double v : values)
        largest = std::max(largest, std::fabs(v));
    if (largest > 0) {
        for (double &v : values)
            v /= largest;
    }
}
