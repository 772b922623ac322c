#include "tn6800fp_savefile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

QString tn6800fp_systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

namespace {

#ifdef Q_OS_UNIX

// Writes all of data, through interruptions and short writes.
bool writeAll(int fd, const QByteArray &data)
{
    const char *from = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, from, std::size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        from += n;
        left -= n;
    }
    return true;
}

// Readers that cache a file by its time and size (the toolkit's settings
// among them) must see the new file as changed, even when it is written
// within the same millisecond as the old one and is as long: its time is
// then moved just past the old one's.
bool laterThan(int fd, const struct stat &old)
{
    struct stat now
    {
    };
    if (::fstat(fd, &now) != 0)
        return false;
    const auto ms = [](const struct timespec &t) {
        return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
    };
    if (ms(now.st_mtim) > ms(old.st_mtim))
        return true;
    const qint64 later = ms(old.st_mtim) + 1;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(later / 1000);
    times[1].tv_nsec = long(later % 1000) * 1000000;
    return ::futimens(fd, times) == 0;
}

QString saveReplacing(const QString &target, const QByteArray &data)
{
    const QByteArray name = QFile::encodeName(target);
    struct stat old
    {
    };
    const bool exists = ::stat(name.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return tn6800fp_systemText(errno);
    if (exists && S_ISDIR(old.st_mode))
        return QStringLiteral("it is a folder, not a file");
    if (exists && !S_ISREG(old.st_mode))
        return QStringLiteral("it is not a regular file (a device, pipe or socket)");
    if (exists && ::access(name.constData(), W_OK) != 0)
        return tn6800fp_systemText(errno);

    // The new file is made beside the old one, so that it takes its place on
    // the same file system in one rename.
    const QFileInfo info(target);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = QFile::encodeName(QDir(info.absolutePath())
                                          .filePath(QStringLiteral(".%1.%2.tmp")
                                                        .arg(info.fileName())
                                                        .arg(QRandomGenerator::global()->generate(),
                                                             8, 16, QLatin1Char('0'))));
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return tn6800fp_systemText(errno);
    }
    if (fd < 0)
        return tn6800fp_systemText(EEXIST);
    if (exists) {
        // The file keeps its permissions and, where the process may, its owner.
        const int kept = ::fchmod(fd, old.st_mode & 07777) + ::fchown(fd, old.st_uid, old.st_gid);
        (void)kept;
    }
    bool written = writeAll(fd, data);
    if (written && exists)
        written = laterThan(fd, old);
    written = written && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written)
        error = errno;
    else if (written)
        error = 0;
    if (error == 0 && ::rename(temporary.constData(), name.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return tn6800fp_systemText(error);
    }
    return QString();
}

#else

QString saveReplacing(const QString &target, const QByteArray &data)
{
    const QFileInfo info(target);
    if (info.isDir())
        return QStringLiteral("it is a folder, not a file");
    if (info.exists() && !info.isFile())
        return QStringLiteral("it is not a regular file (a device, pipe or socket)");
    QSaveFile file(target);
    // Written unbuffered, so that every failure shows in the write itself and
    // not only in the flush that commit() makes.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(data) != data.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

#endif

} // namespace

QString tn6800fp_saveFile(const QString &path, const QByteArray &data)
{
    if (path.isEmpty())
        return tn6800fp_systemText(ENOENT);
    QFileInfo info(path);
    // A link is followed to the file it names, however many links deep.
    QString target = info.absoluteFilePath();
    for (int depth = 0; info.isSymLink() && depth < 40; ++depth) {
        target = info.symLinkTarget();
        info = QFileInfo(target);
    }
    return saveReplacing(target, data);
}

QString tn6800fp_saveFailure(const QString &path, const QString &why)
{
    return QStringLiteral("%1: %2").arg(
        QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), why);
}
