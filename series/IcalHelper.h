#pragma once

#include "series/Instances.h"

#include <map>
#include <memory>
#include <string>

struct _icaltimezone;

// What the series need of libical: zones other than UTC and this machine's,
// and rules beyond the simple form. The Qt programs install one at their start.
namespace dw::series {

class IcalHelper : public Helper
{
public:
    IcalHelper();
    ~IcalHelper() override;

    void UseZones(const std::map<std::string, std::string>& zones) const override;
    Wall ToLocal(const Series& series, Wall own) const override;
    Wall FromLocal(const Series& series, Wall local) const override;
    std::vector<Wall> Expand(const Series& series) const override;

    // A rule is followed for at most this many of its steps (a daily rule
    // through the century takes 36,890), as the import follows one.
    static constexpr int RuleSteps = 50000;

private:
    _icaltimezone* ZoneOf(const std::string& tzid) const;

    struct Zones;
    std::unique_ptr<Zones> m_zones;
};

// Installs one helper for the whole program, once.
void InstallIcalHelper();

} // namespace dw::series
