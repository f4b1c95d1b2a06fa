#include "tests/support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>

namespace testplatform {

std::int64_t modifiedNs(const QString &path)
{
    struct stat st {};
    stat(QFile::encodeName(path).constData(), &st);
    return std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

bool setModifiedNs(const QString &path, std::int64_t ns)
{
    const timespec when{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
    const timespec times[2] = {when, when};
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

QString fakeReader(const QString &folder, const QString &name, const QByteArray &script, const QStringList &)
{
    const QString path = QDir(folder).filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + script + "\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace testplatform
