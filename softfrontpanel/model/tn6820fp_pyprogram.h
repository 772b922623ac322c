#ifndef TN6820FP_PYPROGRAM_H
#define TN6820FP_PYPROGRAM_H

#include <QByteArray>
#include <QString>

#include "tn6820fp_plan.h"
#include "tn6820fp_programtext.h"

// The settings as a Python 3 program for the engineer's own test scripts,
// needing nothing but the standard library: it loads the three platform
// libraries through ctypes (from a folder given on its command line, or the
// system's search path), declares every entry point it calls, opens the card
// through its driver and makes the very calls a Start makes for the plan,
// with the very samples (written so that they read back to the bit). Every
// status is checked and the session is closed on every path, Ctrl+C and
// SIGTERM included. It is a module as well: run() sends the setup on a
// session of the caller's. version names the program that wrote it.
QByteArray tn6820fp_pythonProgram(const tn6820fp_panelSettings &settings, const tn6820fp_plan &plan,
                                  const tn6820fp_programCard &card, const QString &version);

#endif
