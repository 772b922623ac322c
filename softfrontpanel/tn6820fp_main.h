#ifndef TN6820FP_MAIN_H
#define TN6820FP_MAIN_H

#include <QString>
#include <QStringList>

#include "tn6800fp_fcselect.h"
#include "tn6820fp_programtext.h"
#include "tn6820fp_settings.h"

class QApplication;

// What the command line asks for. Without options the program runs as it
// always has: the connection question first.
struct tn6820fp_options
{
    enum Action
    {
        Run,
        Help,    // print text, exit 0
        Version, // print text, exit 0
        Refuse,  // print message and text (the usage) on standard error, exit 2
        Export   // write the setup's program to exportPath, without a window
    };
    Action action = Run;
    tn6800fp_startChoice start;
    QString setupPath;            // --setup: opened once the panel is shown; checked already
    QByteArray setupJson;         // its bytes, read once: the panel checks them against the card
    tn6820fp_panelSettings setup; // what it holds, within the card's nominal range
    QString exportPath;           // --export-c or --export-python, with --setup
    tn6820fp_language exportLanguage = tn6820fp_language::C;
    QString message; // Refuse: one line that says what is wrong
    QString text;    // Help and Refuse: the usage; Version: the version line
};

// What must be set before the application object exists: high-resolution
// screens scale the whole window (text, pictures, spacings alike) and take
// the sharper pictures. Qt 6 does both by itself.
void tn6820fp_prepareToolkit();

// Reads the program's own options (the toolkit has taken its own already).
// arguments[0] is the program.
tn6820fp_options tn6820fp_parseOptions(const QStringList &arguments);

// The whole run after the application object exists: options, card object,
// splash screen, panel (which connects to the card), event loop and teardown.
// Returns the exit status: 0, or 2 for a command line it refuses before any
// window appears.
int tn6820fp_run(QApplication &app, const QStringList &arguments);

#endif
