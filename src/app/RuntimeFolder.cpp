// SPDX-License-Identifier: MIT
#include "app/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// A real folder (never a symbolic link), owned by us, mode 0700. Checked on
// a descriptor opened without following links, so the folder checked is the
// folder repaired; repair: a folder of our own gets its mode put right.
bool isPrivateFolder(const QString& folder, bool repair) {
    const int fd = open(QFile::encodeName(folder).constData(),
                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid();
    if (ok && (info.st_mode & 07777) != 0700) ok = repair && fchmod(fd, 0700) == 0;
    close(fd);
    return ok;
}

// Not Qt's /tmp/runtime-<user>: any local user can make that one first.
QString fallbackFolder() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache)) return {};
    const QString folder = QDir(cache).filePath(
        plainFileName(QStringLiteral("tarnwick-") + QSysInfo::machineHostName()));
    if (mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) return {};
    return isPrivateFolder(folder, true) ? folder : QString();
}

}  // namespace

QString privateRuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime, false)) return runtime;
    const QString fallback = fallbackFolder();
    if (fallback.isEmpty()) {
        std::fprintf(stderr,
                     "Tarnwick has no private folder for its lock: no check for a copy of "
                     "Tarnwick already running.\n");
        return fallback;
    }
    if (!runtime.isEmpty()) {
        std::fprintf(stderr,
                     "XDG_RUNTIME_DIR %s is not a private folder of this user: %s instead.\n",
                     qPrintable(runtime), qPrintable(fallback));
    }
    // Qt's own runtime files go there too, not to a folder it would make in /tmp.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(fallback));
    return fallback;
}

QString plainFileName(QString name) {
    for (QChar& c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('.')) {
            c = QLatin1Char('_');
        }
    }
    return name;
}

}  // namespace tarnwick
