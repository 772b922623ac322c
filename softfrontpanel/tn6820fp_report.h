#ifndef TN6820FP_REPORT_H
#define TN6820FP_REPORT_H

#include "visa.h"

// Reports a non-zero status of a call into the 6820 driver with the driver's
// text: an error box naming the call ("<label> failed due to [<text>]"),
// which offers to end the program, or a warning box ("Warning: [<text>]").
void reportDriverStatus(ViStatus status, const char *callLabel);

#endif
