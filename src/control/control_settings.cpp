#include "control/control_settings.h"

#include "config/configuration.h"

namespace trazvik {

tControlSettings controlSettingsFrom(const config::Configuration& configuration) {
    const TDlgkonfig& s = configuration.settings();
    const config::ConfigGlobals& g = configuration.globals();
    tControlSettings c;
    c.ethernetConnection = s.flag("cbEthernetConnection");
    c.signalAtEnd = s.flag("cbSygnalNaZakonczenie");
    c.signalIntervalSeconds = s.real("feInterwalSygnalizacji");
    c.smoothing = s.flag("wygladzanie");
    c.hasKnife = g.hasKnife;
    c.twoWayKnife = g.twoWayKnife;
    c.materialThickness = s.real("grubosc");
    c.aboveTable = s.real("ponad_stol");
    c.travelHeight = g.travelHeight;
    c.retractFeed = s.real("wiercenie_cofanie");
    c.plungeFeed = s.real("wiercenie_posuw");
    c.travelFeed = s.real("przespeed");
    c.spindleRunUpSeconds = s.real("CzasRozruchu");
    c.unitIndex = s.unitIndex();
    for (std::size_t i = 0; i < c.headOffsets.size(); ++i)
        c.headOffsets[i] = {g.headOffsets[i].x, g.headOffsets[i].y};
    return c;
}

}  // namespace trazvik
