#ifndef TN6820FP_CPROGRAM_H
#define TN6820FP_CPROGRAM_H

#include <QByteArray>
#include <QString>

#include "tn6820fp_plan.h"
#include "tn6820fp_programtext.h"

// The settings as a self-contained C99 program for the engineer's own test
// system: it opens the card through its driver, sets the filter and sends
// the very calls a Start sends for the plan, with the very samples (written
// as hexadecimal floating-point literals, the same doubles to the bit);
// every status is checked and the session is closed on every path. It
// includes only the drivers' headers and the C standard library. version
// names the program that wrote it.
QByteArray tn6820fp_cProgram(const tn6820fp_panelSettings &settings, const tn6820fp_plan &plan,
                             const tn6820fp_programCard &card, const QString &version);

#endif
