#include "tn6820fp_cprogram.h"

#include <QList>
#include <charconv>
#include <cmath>

#include "tn6820fp_texts.h"

namespace {

// A double as a C99 hexadecimal literal that reads back as the same double,
// written the same in every locale.
QByteArray literal(double value)
{
    char text[40];
    const bool negative = std::signbit(value);
    const std::to_chars_result r =
        std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::hex);
    return (negative ? QByteArray("-0x") : QByteArray("0x")) + QByteArray(text, int(r.ptr - text));
}

QByteArray cString(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toLatin1()) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

QByteArray describe(const tn6820fp_channelSettings &c, const tn6820fp_phasePlan &phase)
{
    const tn6820fp_waveformInfo *w = tn6820fp_waveformOf(c.waveform);
    QByteArray text = w ? QByteArray(w->name) : QByteArray("no waveform (the offset alone)");
    if (c.waveform == WaveArbitrary && c.shape)
        text += " (" + c.shape->file.toLatin1() + ", " +
                QByteArray::number(qulonglong(c.shape->values.size())) + " values)";
    text += ", amplitude " + QByteArray::number(c.amplitude, 'f', 2) + " V, offset " +
            QByteArray::number(c.offset, 'f', 2) + " V, phase " +
            QByteArray::number(c.phase, 'f', 1) + " degrees";
    if (phase.steps != 0 || phase.differs)
        text += " (applied: " + phase.text().toUtf8().replace("\xc2\xb0", " degrees") + ")";
    return text;
}

} // namespace

QByteArray tn6820fp_cProgram(const tn6820fp_panelSettings &s, const tn6820fp_plan &plan,
                             const tn6820fp_cProgramCard &card, const QString &version)
{
    const bool continuous = plan.mode == ModeContinuous;
    const int segLen = plan.rate.segLen;
    const QByteArray perChannel = QByteArray::number(segLen * plan.cyclesPerChannel);
    QByteArray c;
    c += "/* An Orbana 6820 setup as a C program, written by the tn6820fp soft front panel " +
         version.toLatin1() + ".\n *\n";
    const QByteArray line = tn6820fp_realOutputOf(plan).text().toUtf8().replace("\xc2\xb0", "");
    c += " * Frequency asked for: " + QByteArray::number(plan.frequency) + " Hz. " +
         line.split('\n').first() + ".\n";
    c += " * Update rate code " + QByteArray::number(plan.rateCode) + ", filter " +
         tn6820fp_filterNames[plan.filter] + " (code " + QByteArray::number(plan.filter) + "), " +
         (continuous ? "continuous output" : "a single cycle") + ".\n";
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        if ((plan.channelMask >> n) & 1u)
            c += " * Channel " + QByteArray::number(n + 1) + ": " +
                 describe(s.channels[std::size_t(n)], plan.phases[std::size_t(n)]) + ".\n";
    }
    c += " *\n"
         " * It sends what the panel's Start sends, sample for sample. Run it with the\n"
         " * carrier's VISA resource descriptor and the card's position, or without\n"
         " * arguments for " +
         card.descriptor.toLatin1() + ", position " + QByteArray::number(card.fcNumber) +
         ".\n"
         " *\n"
         " * Build it with the driver's headers (visa.h, tn6800.h, tn6820.h) and libraries:\n"
         " *   Linux:   cc -std=c99 -I<headers> setup.c -L<libraries> -ltn6820_64 -ltn6800_64 "
         "-lvisa64\n"
         " *   Windows: cl /I<headers> setup.c tn6820_64.lib tn6800_64.lib visa64.lib\n"
         " */\n";
    c += "#include <stdio.h>\n#include <stdlib.h>\n#include <string.h>\n\n"
         "#include \"visa.h\"\n#include \"tn6800.h\"\n#include \"tn6820.h\"\n\n";
    c += "#define SAMPLES_PER_CYCLE " + QByteArray::number(segLen) + "\n";
    c += "#define CYCLES_PER_CHANNEL " + QByteArray::number(plan.cyclesPerChannel) + "\n";
    c += "#define CHANNELS " + QByteArray::number(plan.selectedCount) + "\n\n";
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        if (!((plan.channelMask >> n) & 1u))
            continue;
        c += "/* Channel " + QByteArray::number(n + 1) + ": one cycle, in volts. */\n";
        c +=
            "static const ViReal64 channel" + QByteArray::number(n + 1) + "[SAMPLES_PER_CYCLE] = {";
        const std::vector<double> &cycle = plan.cycles[std::size_t(n)];
        for (int j = 0; j < segLen; ++j)
            c += (j % 4 == 0 ? "\n    " : " ") + literal(cycle[std::size_t(j)]) +
                 (j + 1 < segLen ? "," : "");
        c += "\n};\n\n";
    }
    c += "/* What the card is sent: each channel's cycle CYCLES_PER_CHANNEL times,\n"
         "   the channels in ascending order. */\n"
         "static ViReal64 buffer[CHANNELS * CYCLES_PER_CHANNEL * SAMPLES_PER_CYCLE];\n\n"
         "static ViSession session = VI_NULL;\n\n";
    c += "/* A warning is printed and the program goes on; an error is printed with the\n"
         "   driver's text for it, and the program closes the session and ends. */\n"
         "static void check(ViStatus status, const char *call)\n"
         "{\n"
         "    char text[1024];\n"
         "    if (status == VI_SUCCESS)\n"
         "        return;\n"
         "    text[0] = '\\0';\n"
         "    if (tn6820_error_message(session, status, text) != VI_SUCCESS)\n"
         "        sprintf(text, \"no text for the status\");\n"
         "    text[sizeof text - 1] = '\\0';\n"
         "    if (status > 0) {\n"
         "        fprintf(stderr, \"warning: %s returned 0x%08X: %s\\n\", call,\n"
         "                (unsigned int)status, text);\n"
         "        return;\n"
         "    }\n"
         "    fprintf(stderr, \"error: %s returned 0x%08X: %s\\n\", call, (unsigned int)status,\n"
         "            text);\n"
         "    if (session != VI_NULL)\n"
         "        tn6820_close(session);\n"
         "    exit(EXIT_FAILURE);\n"
         "}\n\n";
    c += "int main(int argc, char **argv)\n"
         "{\n"
         "    const char *descriptor = argc > 1 ? argv[1] : " +
         cString(card.descriptor) +
         ";\n"
         "    const ViInt16 fcNumber = (ViInt16)(argc > 2 ? atoi(argv[2]) : " +
         QByteArray::number(card.fcNumber) +
         ");\n"
         "    char resource[256];\n"
         "    ViReal64 *to = buffer;\n"
         "    int cycle;\n\n";
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        if ((plan.channelMask >> n) & 1u)
            c += "    for (cycle = 0; cycle < CYCLES_PER_CHANNEL; ++cycle, to += "
                 "SAMPLES_PER_CYCLE)\n"
                 "        memcpy(to, channel" +
                 QByteArray::number(n + 1) + ", sizeof channel" + QByteArray::number(n + 1) +
                 ");\n";
    }
    c += "\n"
         "    strncpy(resource, descriptor, sizeof resource - 1);\n"
         "    resource[sizeof resource - 1] = '\\0';\n"
         "    check(tn6820_init(resource, fcNumber, VI_TRUE, VI_TRUE, &session), "
         "\"tn6820_init\");\n"
         "    check(tn6820_setFilter(session, " +
         QByteArray::number(plan.filter) + "), \"tn6820_setFilter\");\n\n";
    c += "    /* As the panel's Start: the card's output stopped and its memory cleared first. */\n"
         "    check(tn6820_stopContWaveform(session, VI_TRUE), \"tn6820_stopContWaveform\");\n"
         "    check(tn6820_resetFIFO(session), \"tn6820_resetFIFO\");\n";
    const QByteArray mask =
        QByteArray("0x") +
        QByteArray::number(plan.channelMask, 16).rightJustified(2, '0').toUpper();
    if (continuous) {
        c += "    check(tn6820_startContWaveformEx(session, " + mask + ", " + perChannel + ", " +
             QByteArray::number(plan.rateCode) + ", " + QByteArray::number(plan.filter) +
             ", tn6820_GROUP_BY_CHANNEL, 0,\n"
             "                                     buffer, VI_NULL, VI_NULL),\n"
             "          \"tn6820_startContWaveformEx\");\n"
             "    printf(\"The card generates. Press Enter to stop.\\n\");\n"
             "    fflush(stdout);\n"
             "    (void)getchar();\n";
    } else {
        c += "    check(tn6820_generateWaveforms(session, " + mask + ", SAMPLES_PER_CYCLE, " +
             QByteArray::number(plan.rateCode) + ", " + QByteArray::number(plan.filter) +
             ",\n"
             "                                   tn6820_GROUP_BY_CHANNEL, buffer),\n"
             "          \"tn6820_generateWaveforms\");\n"
             "    /* One period, while the card plays the cycle. */\n"
             "    check(tn6800_delay(1000.0 / " +
             QByteArray::number(plan.frequency) + "), \"tn6800_delay\");\n";
    }
    c += "    check(tn6820_stopContWaveform(session, VI_TRUE), \"tn6820_stopContWaveform\");\n"
         "    check(tn6820_resetFIFO(session), \"tn6820_resetFIFO\");\n"
         "    {\n"
         "        const ViStatus closed = tn6820_close(session);\n"
         "        session = VI_NULL;\n"
         "        check(closed, \"tn6820_close\");\n"
         "    }\n"
         "    return EXIT_SUCCESS;\n"
         "}\n";
    return c;
}
