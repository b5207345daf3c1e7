#pragma once

#include <QString>

#include <cstdint>

// Which file a path names and how it stood: enough to tell that a file is still
// the one this program wrote, untouched since.
struct FileStamp
{
    bool valid = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;

    bool operator==(const FileStamp&) const = default;

    // The file at path (symbolic links followed); invalid when there is none.
    static FileStamp Of(const QString& path);
    // The open file behind a descriptor.
    static FileStamp OfDescriptor(int fd);
};
