#pragma once

#include <cstdint>

// The three settings the data file keeps after the appointments.
struct StoredSettings
{
    std::int32_t CheckMinutes = 0;
    std::int32_t CheckSeconds = 30;
    bool StartMinimised = false;

    friend bool operator==(const StoredSettings&, const StoredSettings&) = default;
};
