#include "DatabaseFiles.h"
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

FileHold::~FileHold() {
    Release();
}

void FileHold::Release() {
    if (m_fd < 0)
        return;
    // Removed while still held: whoever waits on this file finds, once it has it, that it is no longer
    // the one at the path, and takes the path's new file instead.
    if (m_remove)
        ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}

namespace {
// True when the descriptor still refers to the file at the path.
bool stillThere(int fd, const QByteArray& name) {
    struct stat held {
    }, named{};
    return ::fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}
} // namespace

FileHold::Result FileHold::Take(const QString& path, Kind kind, int waitMs) {
    Release();
    const QByteArray name = QFile::encodeName(path);
    QElapsedTimer timer;
    timer.start();
    int pause = 20;
    for (;;) {
        // Close-on-exec: a child process keeping the descriptor would keep the hold after we let go.
        bool writable = true;
        int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | (kind == Kind::Turn ? O_CREAT : 0), 0666);
        if (fd < 0) { // a read-only folder or medium: a descriptor for reading holds it as well
            fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
            writable = false;
        }
        if (fd < 0)
            return Result::Unavailable;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (kind == Kind::Existing || stillThere(fd, name)) {
                m_fd = fd;
                m_path = path;
                m_remove = kind == Kind::Turn && writable;
                return Result::Held;
            }
            ::close(fd); // the previous holder removed it: take the new one
            continue;
        }
        const bool busy = errno == EWOULDBLOCK || errno == EINTR;
        ::close(fd);
        if (!busy)
            return Result::Unavailable;
        if (timer.elapsed() >= waitMs)
            return Result::Busy;
        QThread::msleep(pause);
        pause = qMin(pause * 2, 200);
    }
}

namespace {
bool flush(const QByteArray& name, int flags) {
    const int fd = ::open(name.constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}
} // namespace

QString ReplaceFile(const QString& from, const QString& target) {
    const QByteArray source = QFile::encodeName(from), destination = QFile::encodeName(target);
    if (!flush(source, O_RDONLY) || ::rename(source.constData(), destination.constData()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    // The new name itself must survive a power cut.
    flush(QFile::encodeName(QFileInfo(target).absolutePath()), O_RDONLY | O_DIRECTORY);
    return {};
}
