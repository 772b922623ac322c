#include "tn6820fp_pyprogram.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <utility>

#include "tn6800.h"

namespace {

// A double as a Python float literal that reads back as the same double: the
// fewest digits that do, written the same in every locale, and always a
// float (a bare "-0" or "10" would be an int, and -0 would lose its sign).
QByteArray literal(double value)
{
    char text[40];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, value);
    QByteArray out(text, int(r.ptr - text));
    if (!out.contains('.') && !out.contains('e'))
        out += ".0";
    return out;
}

// The program itself; @NAME@ stands for what the setup gives.
const char *const kProgram = R"PY(#!/usr/bin/env python3
"""An Orbana 6820 setup as a Python program, written by the tn6820fp soft front panel @VERSION@.

@DESCRIPTION@
It sends what the panel's Start sends, sample for sample. Run it as
    python3 setup.py [--libraries FOLDER] [descriptor [position]]
with the carrier's VISA resource descriptor (at most 255 bytes) and the
card's position in it (1 to @POSITIONS@), or without them for
@CARD@, position @POSITION@. Other arguments are refused with
the usage and exit status 2, before the card is opened.

The three platform libraries are loaded by their names (visa64.dll,
tn6800_64.dll and tn6820_64.dll on Windows; libvisa64.so, libtn6800_64.so
and libtn6820_64.so elsewhere) from FOLDER, or else found on the system's
search path (LD_LIBRARY_PATH among it on Linux).

@STOPPING@
Interrupted (Ctrl+C, SIGINT or SIGTERM), it does the same and exits with
status 128 plus the signal's number (130 for Ctrl+C). Every status is
checked: a warning is printed and the program goes on; an error is printed
with the library's own text, the session is closed and the program exits
with status 1.

It needs Python 3.6 or later and nothing beyond its standard library.
Imported as a module, it runs the setup on a session of the caller's:

    import setup
    drivers = setup.Drivers.load()  # or setup.Drivers.load("libraries/")
    session = drivers.open(b"VXI0::8::INSTR", 2)
    try:
        setup.run(drivers, session)
    finally:
        drivers.close(session)
"""

import argparse
import ctypes
import os
import re
import signal
import sys
import threading

# The drivers' types, as visa.h declares them.
ViStatus = ctypes.c_int32
ViSession = ctypes.c_uint32
ViInt16 = ctypes.c_int16
ViUInt16 = ctypes.c_uint16
ViInt32 = ctypes.c_int32
ViBoolean = ctypes.c_uint16
ViReal64 = ctypes.c_double
ViRsrc = ctypes.c_char_p
ViBuffer = ctypes.c_char_p  # a ViChar[] the library writes into
ViAddr = ctypes.c_void_p

VI_SUCCESS = 0
VI_NULL = 0
VI_TRUE = 1
tn6820_GROUP_BY_CHANNEL = 0

# The card opened unless told otherwise: its carrier's descriptor, byte for
# byte, and its position there.
DESCRIPTOR = @DESCRIPTOR@
POSITION = @POSITION@
POSITIONS = @POSITIONS@

FREQUENCY = @FREQUENCY@  # hertz, asked for: a single cycle takes 1000 / FREQUENCY ms
SAMPLES_PER_CYCLE = @SEGLEN@
CYCLES_PER_CHANNEL = @CYCLES@
CHANNEL_MASK = @MASK@
UPDATE_RATE = @RATE@  # the driver's code of the update rate
FILTER = @FILTER@  # the driver's code of the output filter
CONTINUOUS = @CONTINUOUS@

@CHANNELS@
# What the card is sent: each channel's cycle CYCLES_PER_CHANNEL times, the
# channels in ascending order.
SAMPLES = @SAMPLES@


class DriverError(Exception):
    """A call that a library refused, with that library's own text for it."""

    def __init__(self, call, status, text):
        super().__init__(f"{call} returned 0x{status & 0xFFFFFFFF:08X}: {text}")
        self.call = call
        self.status = status


def declare(function, arguments):
    """Gives an entry point its argument types, as the driver's headers do."""
    function.argtypes = arguments
    function.restype = ViStatus


class Drivers:
    """The card's driver and the common carrier library, loaded with VISA."""

    if sys.platform == "win32":
        NAMES = ("visa64.dll", "tn6800_64.dll", "tn6820_64.dll")
    else:
        NAMES = ("libvisa64.so", "libtn6800_64.so", "libtn6820_64.so")

    def __init__(self, visa, common, driver):
        self.visa = visa
        self.common = common
        self.driver = driver
        samples = ctypes.POINTER(ViReal64)
        declare(driver.tn6820_init,
                [ViRsrc, ViInt16, ViBoolean, ViBoolean, ctypes.POINTER(ViSession)])
        declare(driver.tn6820_close, [ViSession])
        declare(driver.tn6820_error_message, [ViSession, ViStatus, ViBuffer])
        declare(driver.tn6820_setFilter, [ViSession, ViInt16])
        declare(driver.tn6820_generateWaveforms,
                [ViSession, ViUInt16, ViInt32, ViInt32, ViInt16, ViInt16, samples])
        declare(driver.tn6820_startContWaveformEx,
                [ViSession, ViUInt16, ViInt32, ViInt32, ViInt16, ViInt16, ViInt32, samples,
                 ViAddr, ViAddr])
        declare(driver.tn6820_stopContWaveform, [ViSession, ViBoolean])
        declare(driver.tn6820_resetFIFO, [ViSession])
        declare(common.tn6800_error_message, [ViStatus, ViBuffer])
        declare(common.tn6800_delay, [ViReal64])

    @classmethod
    def load(cls, folder=None):
        """Loads the libraries from folder, or else from the system's search
        path; OSError when one cannot be loaded."""
        if folder is not None and hasattr(os, "add_dll_directory"):
            # Where Windows looks for the libraries each of them needs.
            os.add_dll_directory(os.path.abspath(folder))
        mode = getattr(ctypes, "RTLD_GLOBAL", 0)
        return cls(*(ctypes.CDLL(name if folder is None else os.path.join(folder, name),
                                 mode=mode)
                     for name in cls.NAMES))

    def check(self, status, call, session=VI_NULL, common=False):
        """Nothing for success; a warning is printed and the program goes on;
        an error raises DriverError with the text of the library that gave it."""
        if status == VI_SUCCESS:
            return
        text = ctypes.create_string_buffer(1024)
        found = (self.common.tn6800_error_message(status, text) if common
                 else self.driver.tn6820_error_message(session, status, text))
        words = text.value.decode("latin-1") if found == VI_SUCCESS else "no text for the status"
        if status > 0:
            print(f"warning: {call} returned 0x{status & 0xFFFFFFFF:08X}: {words}",
                  file=sys.stderr)
            return
        raise DriverError(call, status, words)

    def open(self, descriptor, position):
        """Opens the card at position in the carrier of descriptor (bytes, or
        text in UTF-8) with an ID query and a reset; returns the session."""
        if isinstance(descriptor, str):
            descriptor = descriptor.encode("utf-8")
        session = ViSession(VI_NULL)
        status = self.driver.tn6820_init(descriptor, position, VI_TRUE, VI_TRUE,
                                         ctypes.byref(session))
        try:
            self.check(status, "tn6820_init", session.value)
        except DriverError:
            if session.value != VI_NULL:  # handed back with the error
                self.driver.tn6820_close(session.value)
            raise
        return session.value

    def close(self, session):
        self.check(self.driver.tn6820_close(session), "tn6820_close")


interrupted = 0  # the signal that interrupted the program, or 0


def on_signal(number, frame):
    global interrupted
    interrupted = number


def catch_signals():
    """SIGINT and SIGTERM only note that the program is to end; it ends at
    its next step, with the card stopped and the session closed."""
    signal.signal(signal.SIGINT, on_signal)
    signal.signal(signal.SIGTERM, on_signal)


def wait_for_stop():
    """Waits until a line is read on standard input or a signal arrives. The
    end of the input ends no wait: without a terminal only a signal stops."""
    line = threading.Event()

    def read():
        # Straight from the descriptor: a thread blocked in a buffered read
        # would keep the interpreter from ending.
        try:
            source = sys.stdin.fileno()
        except (AttributeError, OSError, ValueError):
            return
        while True:
            try:
                chunk = os.read(source, 256)
            except OSError:
                return
            if b"\n" in chunk:
                line.set()
            if not chunk or line.is_set():
                return

    threading.Thread(target=read, daemon=True).start()
    # A tenth of a second at most, so that a signal is seen at once.
    while not interrupted and not line.wait(0.1):
        pass


def stop(drivers, session):
    """As the panel's Stop: the output stopped and the card's memory cleared."""
    drivers.check(drivers.driver.tn6820_stopContWaveform(session, VI_TRUE),
                  "tn6820_stopContWaveform", session)
    drivers.check(drivers.driver.tn6820_resetFIFO(session), "tn6820_resetFIFO", session)


def start(drivers, session):
    """As the panel's Start: the output stopped and the memory cleared first,
    then the samples sent. Returns the buffer the card was given."""
    buffer = (ViReal64 * len(SAMPLES))(*SAMPLES)
    stop(drivers, session)
    if CONTINUOUS:
        drivers.check(drivers.driver.tn6820_startContWaveformEx(
            session, CHANNEL_MASK, SAMPLES_PER_CYCLE * CYCLES_PER_CHANNEL, UPDATE_RATE, FILTER,
            tn6820_GROUP_BY_CHANNEL, 0, buffer, None, None),
            "tn6820_startContWaveformEx", session)
    else:
        drivers.check(drivers.driver.tn6820_generateWaveforms(
            session, CHANNEL_MASK, SAMPLES_PER_CYCLE, UPDATE_RATE, FILTER,
            tn6820_GROUP_BY_CHANNEL, buffer),
            "tn6820_generateWaveforms", session)
    return buffer


def run(drivers, session, wait=wait_for_stop):
    """Runs the setup on an open session as the panel does: the filter set,
    the waveforms started and, after one period for a single cycle or wait()
    for continuous output (by default until Enter or a signal), stopped."""
    drivers.check(drivers.driver.tn6820_setFilter(session, FILTER), "tn6820_setFilter", session)
    buffer = start(drivers, session)
    if CONTINUOUS:
        if not interrupted:
            print("The card generates. Press Enter to stop.", flush=True)
            wait()
    else:
        # One period, while the card plays the cycle.
        drivers.check(drivers.common.tn6800_delay(1000.0 / FREQUENCY), "tn6800_delay",
                      common=True)
    stop(drivers, session)
    del buffer  # kept until the card has stopped


def arguments(argv):
    """The descriptor as bytes, the position and the libraries' folder, from
    the command line; the usage and exit status 2 for anything else."""
    parser = argparse.ArgumentParser(
        usage="%(prog)s [-h] [--libraries FOLDER] [descriptor [position]]",
        description="Runs an Orbana 6820 setup on the card, as the soft front panel's Start "
                    "does.")
    parser.add_argument("descriptor", nargs="?",
                        help="the carrier's VISA resource descriptor, 1 to 255 bytes "
                             "(default: the one this program was written for)")
    parser.add_argument("position", nargs="?",
                        help=f"the card's position in the carrier, 1 to {POSITIONS} "
                             f"(default: {POSITION})")
    parser.add_argument("--libraries", metavar="FOLDER",
                        help="the folder that holds the platform libraries (default: the "
                             "system's search path)")
    given = parser.parse_args(argv)
    # The bytes given, whatever the file system's encoding.
    descriptor = DESCRIPTOR if given.descriptor is None else os.fsencode(given.descriptor)
    if not 1 <= len(descriptor) <= 255:
        parser.error("the descriptor must be 1 to 255 bytes long")
    position = POSITION
    if given.position is not None:
        # A whole number and nothing else, as C's strtol reads one.
        if (not re.fullmatch(r"[ \t\n\v\f\r]*[+-]?[0-9]+", given.position)
                or not 1 <= int(given.position) <= POSITIONS):
            parser.error(f"the position must be a whole number from 1 to {POSITIONS}")
        position = int(given.position)
    return descriptor, position, given.libraries


def main(argv=None):
    descriptor, position, libraries = arguments(argv)
    catch_signals()
    try:
        drivers = Drivers.load(libraries)
    except OSError as error:
        print(f"error: the platform libraries could not be loaded: {error}", file=sys.stderr)
        return 1
    session = VI_NULL
    try:
        session = drivers.open(descriptor, position)
        run(drivers, session)
        opened, session = session, VI_NULL
        drivers.close(opened)
    except DriverError as error:
        print(f"error: {error}", file=sys.stderr)
        if session != VI_NULL:
            drivers.driver.tn6820_close(session)
        return 1
    return 128 + interrupted if interrupted else 0


if __name__ == "__main__":
    sys.exit(main())
)PY";

} // namespace

QByteArray tn6820fp_pythonProgram(const tn6820fp_panelSettings &s, const tn6820fp_plan &plan,
                                  const tn6820fp_programCard &card, const QString &version)
{
    const bool continuous = plan.mode == ModeContinuous;
    const int segLen = plan.rate.segLen;
    QByteArray description;
    for (const QByteArray &line : tn6820fp_describeSetup(s, plan, tn6820fp_quotedForPython))
        description += line + "\n";
    QByteArray channels;
    QList<QByteArray> parts;
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        if (!((plan.channelMask >> n) & 1u))
            continue;
        const QByteArray name = "CHANNEL_" + QByteArray::number(n + 1);
        channels +=
            "# Channel " + QByteArray::number(n + 1) + ": one cycle, in volts.\n" + name + " = (";
        const std::vector<double> &cycle = plan.cycles[std::size_t(n)];
        for (int j = 0; j < segLen; ++j)
            channels += (j % 4 == 0 ? "\n    " : " ") + literal(cycle[std::size_t(j)]) + ",";
        channels += "\n)\n\n";
        parts << name + " * CYCLES_PER_CHANNEL";
    }
    const QByteArray stopping =
        continuous ? "The card generates until a line is read on standard input (Enter, typed\n"
                     "or piped) or until the program is interrupted; the end of the input (no\n"
                     "terminal, /dev/null, a closed pipe) does not stop it. Then it stops the\n"
                     "output, clears the card's memory as the panel's Stop does and closes the\n"
                     "session."
                   : "The card plays one cycle; the program waits one period, then stops the\n"
                     "output, clears the card's memory as the panel's Stop does and closes\n"
                     "the session.";
    const std::pair<const char *, QByteArray> fields[] = {
        {"@VERSION@", version.toUtf8()},
        {"@DESCRIPTION@", description},
        {"@STOPPING@", stopping},
        {"@CARD@", tn6820fp_quotedForPython(card.descriptor)},
        {"@DESCRIPTOR@", tn6820fp_byteLiteral(card.descriptor, "b\"", "", "\\x%02x")},
        {"@POSITIONS@", QByteArray::number(TN6800_MAX_POSITIONS)},
        {"@POSITION@", QByteArray::number(card.fcNumber)},
        {"@FREQUENCY@", QByteArray::number(plan.frequency)},
        {"@SEGLEN@", QByteArray::number(segLen)},
        {"@CYCLES@", QByteArray::number(plan.cyclesPerChannel)},
        {"@MASK@",
         "0x" + QByteArray::number(plan.channelMask, 16).rightJustified(2, '0').toUpper()},
        {"@RATE@", QByteArray::number(plan.rateCode)},
        {"@FILTER@", QByteArray::number(plan.filter)},
        {"@CONTINUOUS@", continuous ? "True" : "False"},
        {"@CHANNELS@", channels},
        {"@SAMPLES@", parts.join(" + ")},
    };
    // Filled in one pass, so that nothing a field holds is taken for another.
    QByteArray text;
    const QByteArray program(kProgram);
    int from = 0;
    for (;;) {
        const int at = program.indexOf('@', from);
        if (at < 0) {
            text += program.mid(from);
            break;
        }
        text += program.mid(from, at - from);
        bool filled = false;
        for (const auto &field : fields) {
            const int length = int(std::strlen(field.first));
            if (program.mid(at, length) == field.first) {
                text += field.second;
                from = at + length;
                filled = true;
                break;
            }
        }
        if (!filled) {
            text += '@';
            from = at + 1;
        }
    }
    return text;
}
