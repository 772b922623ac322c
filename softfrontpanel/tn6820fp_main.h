#ifndef TN6820FP_MAIN_H
#define TN6820FP_MAIN_H

class QApplication;

// The whole run after the application object exists: card object, splash
// screen, panel (which connects to the card), event loop and teardown.
// Returns 0, the program's exit status on every path that returns.
int tn6820fp_run(QApplication &app);

#endif
