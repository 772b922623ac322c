#include "tn6820fp_programtext.h"

#include <cstdio>
#include <cstring>

#include "tn6820fp_texts.h"

namespace {

// A character that would not show as itself, or could reorder or hide what a
// reader sees: control and format characters (bidirectional overrides among
// them), line and paragraph separators, surrogates, private and unassigned
// ones.
bool hidden(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

// A character written as an escape: \uXXXX, or \UXXXXXXXX beyond the
// first plane.
QByteArray escaped(char32_t c)
{
    char escape[12];
    std::snprintf(escape, sizeof escape, c > 0xFFFF ? "\\U%08X" : "\\u%04X", unsigned(c));
    return escape;
}

// Written as an escape rather than as itself.
bool unseen(char32_t c)
{
    return c < 0x20 || c == 0x7F || c > 0x10FFFF || (c >= 0x80 && hidden(c));
}

// A duty cycle or symmetry: asked for, and applied where that differs.
QByteArray shareText(const char *what, const tn6820fp_sharePlan &share)
{
    QByteArray text = ", " + QByteArray(what) + " " + QByteArray::number(share.asked, 'f', 1) + "%";
    if (share.differs)
        text += " (applied: " + share.text().toUtf8() + ")";
    return text;
}

QByteArray describe(const tn6820fp_channelSettings &c, const tn6820fp_phasePlan &phase,
                    const tn6820fp_shapePlan &shape, QByteArray (*quote)(const QString &))
{
    const tn6820fp_waveformInfo *w = tn6820fp_waveformOf(c.waveform);
    QByteArray text = w ? QByteArray(w->name) : QByteArray("no waveform (the offset alone)");
    if (c.waveform == WaveArbitrary && c.shape)
        text += " (" + quote(c.shape->file) + ", " +
                QByteArray::number(qulonglong(c.shape->values.size())) + " values)";
    if (c.waveform == WaveFormula && c.formula)
        text += " " + quote(c.formula->text());
    if (shape.duty.asks)
        text += shareText("duty", shape.duty);
    if (shape.symmetry.asks)
        text += shareText("symmetry", shape.symmetry);
    if (shape.multiple != 1)
        text += ", " + QByteArray::number(shape.multiple) + " cycles in the segment (" +
                QByteArray::number(shape.frequency, 'f', 2) + " Hz)";
    text += ", amplitude " + QByteArray::number(c.amplitude, 'f', 2) + " V, offset " +
            QByteArray::number(c.offset, 'f', 2) + " V, phase " +
            QByteArray::number(c.phase, 'f', 1) + " degrees";
    if (phase.steps != 0 || phase.differs)
        text += " (applied: " + phase.text().toUtf8().replace("\xc2\xb0", " degrees") + ")";
    return text;
}

} // namespace

QByteArray tn6820fp_quotedForC(const QString &text)
{
    const QVector<uint> code = text.toUcs4();
    QByteArray out = "\"";
    for (int i = 0; i < code.size(); ++i) {
        const char32_t c = code[i];
        const char32_t before = i > 0 ? code[i - 1] : 0;
        const char32_t after = i + 1 < code.size() ? code[i + 1] : 0;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c == '?' && (before == '?' || after == '?')) {
            out += "\\?";
        } else if ((c == '/' && before == '*') || (c == '*' && before == '/')) {
            out += '\\';
            out += char(c);
        } else if (unseen(c)) {
            out += escaped(c);
        } else {
            out += QString::fromUcs4(&c, 1).toUtf8();
        }
    }
    return out + '"';
}

QByteArray tn6820fp_quotedForPython(const QString &text)
{
    QByteArray out = "\"";
    for (const uint c : text.toUcs4()) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (unseen(c)) {
            out += escaped(c);
        } else {
            const char32_t one = c;
            out += QString::fromUcs4(&one, 1).toUtf8();
        }
    }
    return out + '"';
}

QByteArray tn6820fp_byteLiteral(const QString &text, const char *open, const char *alsoEscaped,
                                const char *escapeFormat)
{
    QByteArray out = open;
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\' || (c != 0 && std::strchr(alsoEscaped, c))) {
            out += '\\';
            out += c;
        } else if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, escapeFormat, unsigned(u));
            out += escape;
        }
    }
    return out + '"';
}

QList<QByteArray> tn6820fp_describeSetup(const tn6820fp_panelSettings &s, const tn6820fp_plan &plan,
                                         QByteArray (*quote)(const QString &))
{
    QList<QByteArray> lines;
    const QByteArray line = tn6820fp_realOutputOf(plan).text().toUtf8().replace("\xc2\xb0", "");
    lines << "Frequency asked for: " + QByteArray::number(plan.frequency) + " Hz. " +
                 line.split('\n').first() + ".";
    lines << "Update rate code " + QByteArray::number(plan.rateCode) + ", filter " +
                 tn6820fp_filterNames[plan.filter] + " (code " + QByteArray::number(plan.filter) +
                 "), " + (plan.mode == ModeContinuous ? "continuous output" : "a single cycle") +
                 ".";
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        if ((plan.channelMask >> n) & 1u)
            lines << "Channel " + QByteArray::number(n + 1) + ": " +
                         describe(s.channels[std::size_t(n)], plan.phases[std::size_t(n)],
                                  plan.shapes[std::size_t(n)], quote) +
                         ".";
    }
    return lines;
}
