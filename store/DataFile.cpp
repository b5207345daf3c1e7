#include "store/DataFile.h"

// First version: nothing is read or written yet.
DataFile::DataFile(QString path) : m_path(std::move(path))
{
}

bool DataFile::SaveTermins(const CalendarGrid&, const StoredSettings&)
{
    return true;
}

DataFile::LoadResult DataFile::OpenTermins(CalendarGrid&)
{
    return {};
}
