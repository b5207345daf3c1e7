#include "store/FileStamp.h"

#include <QFile>

#include <sys/stat.h>

namespace {

FileStamp FromStat(const struct stat& info)
{
    FileStamp stamp;
    stamp.valid = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modifiedNs = std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

} // namespace

FileStamp FileStamp::Of(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return FromStat(info);
}

FileStamp FileStamp::OfDescriptor(int fd)
{
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        return {};
    return FromStat(info);
}
