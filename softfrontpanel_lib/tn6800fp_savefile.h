#ifndef TN6800FP_SAVEFILE_H
#define TN6800FP_SAVEFILE_H

#include <QByteArray>
#include <QString>

// Writes data to path whole or not at all: into a new file beside it, flushed
// to the disk, which then takes the old one's place in one step. On any
// failure (a full disk, a folder that cannot be written) the old file stays
// exactly as it was. A target that exists but is not a regular file (a
// folder, a device, a pipe) is refused unopened, so that a device node is
// never replaced, not even by root. A symbolic link is followed: the file it
// names is replaced and the link stays.
// Returns an empty text when the file is written, else why it was not, as the
// system says it ("No space left on device").
QString tn6800fp_saveFile(const QString &path, const QByteArray &data);

// The system's words for an error number ("No space left on device"), in the
// language of the locale.
QString tn6800fp_systemText(int error);

// "/full/path/name.json: No space left on device", for the messages that say
// a file was not written.
QString tn6800fp_saveFailure(const QString &path, const QString &why);

#endif
