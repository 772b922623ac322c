#ifndef TN6820FP_LASTFOLDER_H
#define TN6820FP_LASTFOLDER_H

#include <QString>

// The folder a file of a kind ("shapes", "setups") was last chosen from, kept
// between runs in the user's settings of the program
// (Morvix/tn6820fp.ini in the user's configuration folder); empty for none.
QString tn6820fp_lastFolder(const QString &kind);
void tn6820fp_rememberFolder(const QString &kind, const QString &folder);

#endif
