#ifndef TN6800FP_MESSAGES_H
#define TN6800FP_MESSAGES_H

#include <QString>

#include "visa.h"

// The framework's three modal boxes. Each has the application's active window
// as parent (none when no window is active).
void showInfo(const QString &text);
void showWarning(const QString &text);
// Asks "Do you want to exit?" under the text; Yes ends the process at once
// with status 0, without returning and without closing any window or session.
void showError(const QString &text);

// Ends the process at once with status 0: no window is closed, no destructor
// runs and no session is closed; the operating system reclaims everything.
[[noreturn]] void tn6800fp_endProcess();

// A status-to-text entry point writing into a buffer of 1024 bytes.
using tn6800fp_textLookup = ViStatus (*)(ViStatus status, ViChar text[]);

// The text of a status: the buffer is cleared before the lookup and never read
// past its end; the lookup's own result is ignored (an empty text is a text).
QString tn6800fp_statusText(ViStatus status, tn6800fp_textLookup lookup);

// Reports a non-zero status of the framework's own calls with the common
// library's text: an error box for a negative status, a warning for a positive one.
void tn6800fp_reportCommonStatus(ViStatus status);

#endif
