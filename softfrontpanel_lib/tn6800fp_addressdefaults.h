#ifndef TN6800FP_ADDRESSDEFAULTS_H
#define TN6800FP_ADDRESSDEFAULTS_H

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The rules behind DefaultInstrDescr.ini, the file that remembers the
// addresses typed into the address-entry dialog.

// Remembered descriptors of one row: the current text first, then the list's
// entries, later duplicates removed, at most five.
QStringList tn6800fp_rememberedDescriptors(const QString &current, const QStringList &list);

// Where the file lives. On Windows: %ALLUSERSPROFILE% (or c:\vxipnp when it is
// unset or empty) \Morvix\DefaultInstrDescr.ini. Elsewhere the same under
// $ALLUSERSPROFILE with forward slashes, or under the user's generic
// configuration folder when that variable is unset or empty.
QString tn6800fp_defaultsFilePath(const QString &allUsersProfile, const QString &genericConfig,
                                  bool windows);

// The card-number selector's index for a stored FC_Number: 0 ("Select") for
// anything outside 0..8, so no damaged value reaches the driver.
int tn6800fp_storedCardNumberIndex(const QString &stored);
// The count selector's index for a stored FC_Count: stored - 1, or 0 when that
// is outside 0..7.
int tn6800fp_storedCountIndex(const QString &stored);

// The file's text with one group's keys replaced by keys, in their order;
// every other group and line stays as it was, byte for byte. Values are
// written in double quotes, escaped so that the toolkit's INI reader (which
// reads the file) gives them back exactly. The file is then written whole, so
// that a full disk leaves the old one as it was.
QByteArray tn6800fp_iniWithGroup(const QByteArray &text, const QString &group,
                                 const QList<QPair<QString, QString>> &keys);

// The descriptor offered when nothing is remembered, and the network example
// of the descriptor's tool tip.
QString tn6800fp_defaultDescriptor();
QString tn6800fp_exampleAddress();

#endif
