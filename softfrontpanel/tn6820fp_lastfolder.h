#ifndef TN6820FP_LASTFOLDER_H
#define TN6820FP_LASTFOLDER_H

#include <QString>

// The folder a file of a kind ("shapes", "setups") was last chosen from, kept
// between runs in the user's settings of the program
// (Morvix/tn6820fp.ini in the user's configuration folder); empty for none.
QString tn6820fp_lastFolder(const QString &kind);
void tn6820fp_rememberFolder(const QString &kind, const QString &folder);

class QWidget;

// A file of a kind chosen in Qt's own dialog (named objectName for tests),
// starting in the kind's last folder and remembering the new one; empty when
// none was chosen. With a suffix it asks where to save, and adds the suffix
// to a name typed without one.
QString tn6820fp_chooseFile(QWidget *parent, const QString &kind, const QString &title,
                            const QString &filter, const char *objectName,
                            const QString &saveSuffix = QString());

#endif
