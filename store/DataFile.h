#pragma once

#include "store/CalendarGrid.h"

#include <QString>

#include <cstdint>

// The three settings the data file keeps after the appointments.
struct StoredSettings
{
    std::int32_t CheckMinutes = 0;
    std::int32_t CheckSeconds = 30;
    bool StartMinimised = false;
};

// termine.dat: the whole grid and the settings. Failures are shown to the user
// here (message boxes and the standard error box); nothing throws out of it.
class DataFile
{
public:
    explicit DataFile(QString path);
    const QString& path() const { return m_path; }

    // Writes the whole file; the old file is replaced only when every byte was
    // written. False when the save failed (the user has been told).
    bool SaveTermins(const CalendarGrid& grid, const StoredSettings& settings);

    struct LoadResult
    {
        bool fileExisted = false; // false: nothing was loaded, nothing reported
        bool settingsRead = false; // apply `settings` through the settings controls
        StoredSettings settings;
    };
    // Replaces the grid with the file's contents. A file that cannot be read
    // completely is copied aside first and the user is told.
    LoadResult OpenTermins(CalendarGrid& grid);

private:
    QString m_path;
};
