#ifndef TN6820FP_SETUP_H
#define TN6820FP_SETUP_H

#include <QByteArray>
#include <QString>

#include "tn6820fp_settings.h"

// Setups: the whole Waveform Generation page in a JSON file that users may
// also write from their own scripts:
//   { "format": "tn6820fp-setup", "version": 1,
//     "frequency": 1000, "filter": "20kHz", "mode": "single",
//     "channels": [ { "selected": true, "waveform": "sine", "amplitude": 2.5,
//                     "offset": 0.5, "phase": 0 }, ... eight, channel 1 first ] }
// An arbitrary channel carries its shape: "shape": { "file": "pulse.csv",
// "values": [ ... ] }, as read and normalised. Numbers read back bit for bit.
// Each channel also has "duty" and "symmetry" (percent), "multiple" (a whole
// number) and, for the waveform "formula", "formula" (the text).

// The newest version read. A setup is written as version 2 only when it
// uses what version 1 cannot say (a formula waveform, or a duty, symmetry or
// multiple other than the start one), so that the previous release, which
// reads version 1 and passes over unknown keys, opens every other one as it is.
constexpr int tn6820fp_setupVersion = 2;
int tn6820fp_setupVersionOf(const tn6820fp_panelSettings &settings);

// The settings as a setup file.
QByteArray tn6820fp_setupJson(const tn6820fp_panelSettings &settings);
// The settings saved to a setup file, whole or not at all. Returns why not
// (the full path and the system's reason); empty when saved. Needs nothing
// but its arguments, so it may run on any thread.
QString tn6820fp_saveSetupFile(const QString &path, const tn6820fp_panelSettings &settings);

struct tn6820fp_setupRead
{
    tn6820fp_panelSettings settings;
    // Why the setup was refused, with the place: "channels[3].amplitude: not
    // a number". Empty when it was read.
    QString error;
};

// Reads a setup. "format" and "version" are required; any other key that is
// missing keeps its value in initial (what a new panel starts with); unknown
// keys are ignored. Amplitudes must lie within 0 .. highLimit and offsets
// within lowLimit .. highLimit. All or nothing: on an error, settings is
// initial unchanged.
tn6820fp_setupRead tn6820fp_readSetup(const QByteArray &json, const tn6820fp_panelSettings &initial,
                                      double lowLimit, double highLimit);

// A setup file's bytes, read once: for a setup checked again later (against
// the card's own range), without reading the file again. Empty with why set
// when it cannot be read; anything but a regular file is refused unopened.
QByteArray tn6820fp_setupFileBytes(const QString &path, QString *why);

// A setup read from bytes that came from the file named: its error starts
// with that name and ends with a full stop.
tn6820fp_setupRead tn6820fp_readSetupNamed(const QByteArray &json, const QString &fileName,
                                           const tn6820fp_panelSettings &initial, double lowLimit,
                                           double highLimit);

// A setup file read: its error starts with the file's name. Anything but a
// regular file is refused unopened.
tn6820fp_setupRead tn6820fp_readSetupFile(const QString &path,
                                          const tn6820fp_panelSettings &initial, double lowLimit,
                                          double highLimit);

#endif
