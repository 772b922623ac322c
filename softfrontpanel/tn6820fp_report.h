#ifndef TN6820FP_REPORT_H
#define TN6820FP_REPORT_H

#include "visa.h"

// Reports a non-zero status of a call into the 6820 driver with the driver's
// text: an error box naming the call ("<label> failed due to [<text>]"),
// which offers to end the program, or a warning box ("Warning: [<text>]").
// The call labels are fixed texts that users and support know from the
// boxes ("updFreq[freqIdx]", "chanMask" and all): they must stay as they are,
// even where they no longer match the code's own names.
void reportDriverStatus(ViStatus status, const char *callLabel);

#endif
