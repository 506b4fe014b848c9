#pragma once
// The scene lighting the main window's lighting panel controls: an ambient level, a specular
// level and the background colour. The viewer applies it to every new view's context and again
// whenever the panel changes; `qxtool render` applies it with the background it is given.

#include <cstdint>

namespace qx {

struct LightingSettings {
    float ambient = 0.0f;   // 0..1
    float specular = 0.0f;  // 0..1
    std::int32_t red = 0;   // background, 0..255 each
    std::int32_t green = 0;
    std::int32_t blue = 0;
};

// Sets, in the current context: light 0's ambient colour (ambient level, alpha 0), the front
// material's emission (ambient level, alpha 1) and specular colour (specular level, alpha 0),
// and the clear colour (the background over 255, alpha 1).
void applyLighting(const LightingSettings& settings);

}  // namespace qx
