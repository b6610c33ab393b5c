#include "control/jog_speed_slider.h"

#include "control/slider_scale.h"

#include <algorithm>

namespace trazvik {

std::int32_t sliderToSpeed(int p) {
    if (p >= 0 && p <= 99) return p;
    if (p >= 100 && p <= 189) return 10 * p - 900;
    if (p >= 190 && p <= 1000) return 100 * p - 18000;
    return 0;
}

int speedSliderKeyStep(int position, int step, const tMachineParams& params) {
    if (params.legacyJogScale) {
        const int a = position >= 1000 ? 100 : position >= 100 ? 10 : position >= 10 ? 1 : 0;
        if (step > 0) return std::min(position + a, static_cast<int>(params.maxFeedXY));
        return std::max(position - a, 10);
    }
    const int next = position + (step > 0 ? 1 : -1);
    if (step > 0 && sliderToSpeed(next) > params.maxFeedXY) return speedToSlider(params.maxFeedXY);
    if (step < 0 && sliderToSpeed(next) < params.minFeed) return speedToSlider(params.minFeed);
    return next;
}

}  // namespace trazvik
