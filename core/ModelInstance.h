#pragma once
// Base of the per-view animated instances. update advances the animation by dt seconds and
// returns the drawable to draw; the drawable belongs to the instance.

namespace qx {

class Drawable;

class ModelInstance {
public:
    virtual ~ModelInstance() = default;
    virtual int kind() const = 0;
    virtual Drawable* update(float dt) = 0;
};

}  // namespace qx
