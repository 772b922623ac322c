#include "tn6820fp_cprogram.h"

#include <QList>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "tn6800.h"
#include "tn6820fp_programtext.h"

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

} // namespace

QByteArray tn6820fp_cProgram(const tn6820fp_panelSettings &s, const tn6820fp_plan &plan,
                             const tn6820fp_programCard &card, const QString &version)
{
    const bool continuous = plan.mode == ModeContinuous;
    const int segLen = plan.rate.segLen;
    const QByteArray perChannel = QByteArray::number(segLen * plan.cyclesPerChannel);
    QByteArray c;
    c += "/* An Orbana 6820 setup as a C program, written by the tn6820fp soft front panel " +
         version.toUtf8() + ".\n *\n";
    for (const QByteArray &line : tn6820fp_describeSetup(s, plan, tn6820fp_quotedForC))
        c += " * " + line + "\n";
    const QByteArray position = QByteArray::number(card.fcNumber);
    const QByteArray positions = QByteArray::number(TN6800_MAX_POSITIONS);
    c += " *\n"
         " * It sends what the panel's Start sends, sample for sample. Run it as\n"
         " *   setup [descriptor [position]]\n"
         " * with the carrier's VISA resource descriptor (at most 255 characters) and\n"
         " * the card's position in it (1 to " +
         positions +
         "), or without arguments for\n"
         " * " +
         tn6820fp_quotedForC(card.descriptor) + ", position " + position +
         ". Other arguments are refused with\n"
         " * the usage and exit status 2, before the card is opened.\n"
         " *\n";
    if (continuous)
        c += " * The card generates until a line is read on standard input (Enter, typed\n"
             " * or piped) or until the program is interrupted (Ctrl+C, SIGINT or\n"
             " * SIGTERM); the end of the input (no terminal, /dev/null, a closed pipe)\n"
             " * does not stop it. Then it stops the output, clears the card's memory as\n"
             " * the panel's Stop does and closes the session.\n";
    else
        c += " * The card plays one cycle; the program waits one period, then stops the\n"
             " * output, clears the card's memory as the panel's Stop does and closes\n"
             " * the session.\n";
    c += " * Interrupted, it does the same and exits with status 128 plus the signal's\n"
         " * number (130 for Ctrl+C). Every status is checked: a warning is printed\n"
         " * and the program goes on; an error is printed with the library's own text,\n"
         " * the session is closed and the program exits with status 1.\n"
         " *\n"
         " * Build it with the driver's headers (visa.h, tn6800.h, tn6820.h) and libraries:\n"
         " *   Linux:   cc -std=c99 -I<headers> setup.c -L<libraries> -ltn6820_64 -ltn6800_64 "
         "-lvisa64\n"
         " *   Windows: cl /I<headers> setup.c tn6820_64.lib tn6800_64.lib visa64.lib\n"
         " */\n";
    c += "#if !defined(_WIN32) && !defined(_POSIX_C_SOURCE)\n"
         "#define _POSIX_C_SOURCE 200112L /* poll, read and sigaction */\n"
         "#endif\n"
         "#include <errno.h>\n#include <signal.h>\n#include <stdio.h>\n#include <stdlib.h>\n"
         "#include <string.h>\n"
         "#if defined(_WIN32)\n#include <windows.h>\n#else\n#include <poll.h>\n"
         "#include <unistd.h>\n#endif\n\n"
         "#include \"visa.h\"\n#include \"tn6800.h\"\n#include \"tn6820.h\"\n\n";
    c += "#define SAMPLES_PER_CYCLE " + QByteArray::number(segLen) + "\n";
    c += "#define CYCLES_PER_CHANNEL " + QByteArray::number(plan.cyclesPerChannel) + "\n";
    c += "#define CHANNELS " + QByteArray::number(plan.selectedCount) + "\n";
    c += "#define POSITIONS " + positions + "\n\n";
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
         "static ViSession session = VI_NULL;\n\n"
         "/* The signal that interrupted the program, or 0. */\n"
         "static volatile sig_atomic_t interrupted = 0;\n\n";
    c += "static void onSignal(int number)\n"
         "{\n"
         "    interrupted = number;\n"
         "}\n\n"
         "/* SIGINT and SIGTERM only note that the program is to end; it ends at its\n"
         "   next step, with the card stopped and the session closed. */\n"
         "static void catchSignals(void)\n"
         "{\n"
         "#if defined(_WIN32)\n"
         "    signal(SIGINT, onSignal);\n"
         "    signal(SIGTERM, onSignal);\n"
         "#else\n"
         "    struct sigaction action;\n"
         "    memset(&action, 0, sizeof action);\n"
         "    action.sa_handler = onSignal;\n"
         "    sigemptyset(&action.sa_mask);\n"
         "    sigaction(SIGINT, &action, NULL);\n"
         "    sigaction(SIGTERM, &action, NULL);\n"
         "#endif\n"
         "}\n\n";
    c += "enum library { DRIVER, COMMON };\n\n"
         "/* A warning is printed and the program goes on; an error is printed with the\n"
         "   library's own text for it, and the program closes the session and ends. */\n"
         "static void check(ViStatus status, const char *call, enum library from)\n"
         "{\n"
         "    char text[1024];\n"
         "    ViStatus found;\n"
         "    if (status == VI_SUCCESS)\n"
         "        return;\n"
         "    text[0] = '\\0';\n"
         "    found = from == COMMON ? tn6800_error_message(status, text)\n"
         "                           : tn6820_error_message(session, status, text);\n"
         "    if (found != VI_SUCCESS)\n"
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
    if (continuous)
        c += "/* Waits until a line is read on standard input or a signal arrives. The end\n"
             "   of the input ends no wait: without a terminal only a signal stops the card. */\n"
             "static void waitForStop(void)\n"
             "{\n"
             "    int reading = 1;\n"
             "#if defined(_WIN32)\n"
             "    while (!interrupted) {\n"
             "        if (reading) {\n"
             "            const int c = getchar();\n"
             "            if (c == '\\n')\n"
             "                return;\n"
             "            reading = c != EOF;\n"
             "        } else {\n"
             "            Sleep(100);\n"
             "        }\n"
             "    }\n"
             "#else\n"
             "    char chunk[256];\n"
             "    while (!interrupted) {\n"
             "        struct pollfd input;\n"
             "        ssize_t n;\n"
             "        input.fd = STDIN_FILENO;\n"
             "        input.events = POLLIN;\n"
             "        input.revents = 0;\n"
             "        /* A tenth of a second at most, so that a signal is seen at once. */\n"
             "        if (poll(reading ? &input : NULL, reading ? 1 : 0, 100) <= 0)\n"
             "            continue;\n"
             "        n = read(STDIN_FILENO, chunk, sizeof chunk);\n"
             "        if (n > 0 && memchr(chunk, '\\n', (size_t)n) != NULL)\n"
             "            return;\n"
             "        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN))\n"
             "            reading = 0;\n"
             "    }\n"
             "#endif\n"
             "}\n\n";
    c += "static int usage(const char *program)\n"
         "{\n"
         "    fprintf(stderr,\n"
         "            \"usage: %s [descriptor [position]]\\n\"\n"
         "            \"  descriptor  the carrier's VISA resource descriptor, at most 255 "
         "characters\\n\"\n"
         "            \"  position    the card's position in the carrier, 1 to %d\\n\",\n"
         "            program, POSITIONS);\n"
         "    return 2;\n"
         "}\n\n";
    // The question mark escaped, as it could start a trigraph; other bytes
    // beyond printable ASCII in octal, which no following character extends.
    c += "int main(int argc, char **argv)\n"
         "{\n"
         "    const char *descriptor = " +
         tn6820fp_byteLiteral(card.descriptor, "\"", "?", "\\%03o") +
         ";\n"
         "    long fcNumber = " +
         position +
         ";\n"
         "    char resource[256];\n"
         "    ViReal64 *to = buffer;\n"
         "    int cycle;\n\n"
         "    if (argc > 3)\n"
         "        return usage(argv[0]);\n"
         "    if (argc > 1)\n"
         "        descriptor = argv[1];\n"
         "    if (descriptor[0] == '\\0' || strlen(descriptor) >= sizeof resource)\n"
         "        return usage(argv[0]);\n"
         "    if (argc > 2) {\n"
         "        char *end = NULL;\n"
         "        errno = 0;\n"
         "        fcNumber = strtol(argv[2], &end, 10);\n"
         "        if (errno != 0 || end == argv[2] || *end != '\\0' || fcNumber < 1 ||\n"
         "            fcNumber > POSITIONS)\n"
         "            return usage(argv[0]);\n"
         "    }\n";
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        if ((plan.channelMask >> n) & 1u)
            c += "    for (cycle = 0; cycle < CYCLES_PER_CHANNEL; ++cycle, to += "
                 "SAMPLES_PER_CYCLE)\n"
                 "        memcpy(to, channel" +
                 QByteArray::number(n + 1) + ", sizeof channel" + QByteArray::number(n + 1) +
                 ");\n";
    }
    c += "\n"
         "    catchSignals();\n"
         "    strcpy(resource, descriptor);\n"
         "    check(tn6820_init(resource, (ViInt16)fcNumber, VI_TRUE, VI_TRUE, &session), "
         "\"tn6820_init\", DRIVER);\n"
         "    check(tn6820_setFilter(session, " +
         QByteArray::number(plan.filter) + "), \"tn6820_setFilter\", DRIVER);\n\n";
    c += "    /* As the panel's Start: the card's output stopped and its memory cleared first. */\n"
         "    check(tn6820_stopContWaveform(session, VI_TRUE), \"tn6820_stopContWaveform\", "
         "DRIVER);\n"
         "    check(tn6820_resetFIFO(session), \"tn6820_resetFIFO\", DRIVER);\n";
    const QByteArray mask =
        QByteArray("0x") +
        QByteArray::number(plan.channelMask, 16).rightJustified(2, '0').toUpper();
    if (continuous) {
        c += "    check(tn6820_startContWaveformEx(session, " + mask + ", " + perChannel + ", " +
             QByteArray::number(plan.rateCode) + ", " + QByteArray::number(plan.filter) +
             ", tn6820_GROUP_BY_CHANNEL, 0,\n"
             "                                     buffer, VI_NULL, VI_NULL),\n"
             "          \"tn6820_startContWaveformEx\", DRIVER);\n"
             "    if (!interrupted) {\n"
             "        printf(\"The card generates. Press Enter to stop.\\n\");\n"
             "        fflush(stdout);\n"
             "        waitForStop();\n"
             "    }\n";
    } else {
        c += "    check(tn6820_generateWaveforms(session, " + mask + ", SAMPLES_PER_CYCLE, " +
             QByteArray::number(plan.rateCode) + ", " + QByteArray::number(plan.filter) +
             ",\n"
             "                                   tn6820_GROUP_BY_CHANNEL, buffer),\n"
             "          \"tn6820_generateWaveforms\", DRIVER);\n"
             "    /* One period, while the card plays the cycle. */\n"
             "    check(tn6800_delay(1000.0 / " +
             QByteArray::number(plan.frequency) + "), \"tn6800_delay\", COMMON);\n";
    }
    c += "\n    /* As the panel's Stop. */\n"
         "    check(tn6820_stopContWaveform(session, VI_TRUE), \"tn6820_stopContWaveform\", "
         "DRIVER);\n"
         "    check(tn6820_resetFIFO(session), \"tn6820_resetFIFO\", DRIVER);\n"
         "    {\n"
         "        const ViStatus closed = tn6820_close(session);\n"
         "        session = VI_NULL;\n"
         "        check(closed, \"tn6820_close\", DRIVER);\n"
         "    }\n"
         "    return interrupted ? 128 + interrupted : EXIT_SUCCESS;\n"
         "}\n";
    return c;
}
