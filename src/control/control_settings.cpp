#include "control/control_settings.h"

#include "config/configuration.h"
#include "control/job_plan.h"

namespace trazvik {

tControlSettings controlSettingsOf(const TDlgkonfig& s) {
  tControlSettings c;
  c.ethernetConnection = s.flag("cbEthernetConnection");
  c.signalAtEnd = s.flag("cbSygnalNaZakonczenie");
  c.signalIntervalSeconds = s.real("feInterwalSygnalizacji");
  c.smoothing = s.flag("wygladzanie");
  c.hasKnife = s.flag("CBAktywnaGlowica");
  c.twoWayKnife = s.flag("CBDwuKierunkowyNoz");
  c.materialThickness = s.real("grubosc");
  c.aboveTable = s.real("ponad_stol");
  c.travelHeight = outlineTravelHeight(s);
  c.retractFeed = s.real("wiercenie_cofanie");
  c.plungeFeed = s.real("wiercenie_posuw");
  c.travelFeed = s.real("przespeed");
  c.spindleRunUpSeconds = s.real("CzasRozruchu");
  c.unitIndex = s.unitIndex();
  for (int head = 0; head < 3; ++head) {
    const trealpoint offset = headOffset(s, head);
    c.headOffsets[static_cast<std::size_t>(head)] = {offset.x, offset.y};
  }
  return c;
}

tControlSettings controlSettingsFrom(const config::Configuration& configuration) {
  const config::ConfigGlobals& g = configuration.globals();
  tControlSettings c = controlSettingsOf(configuration.settings());
  c.hasKnife = g.hasKnife;
  c.twoWayKnife = g.twoWayKnife;
  c.travelHeight = g.travelHeight;
  for (std::size_t i = 0; i < c.headOffsets.size(); ++i) c.headOffsets[i] = {g.headOffsets[i].x, g.headOffsets[i].y};
  return c;
}

}  // namespace trazvik
