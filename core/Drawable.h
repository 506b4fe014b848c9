#pragma once
// Base of what an animated instance hands to the renderer; kind() is a ModelKind. Kept apart
// from Model: a drawable is a per-frame product, not a document's data.

namespace qx {

class Drawable {
public:
    virtual ~Drawable() = default;
    virtual int kind() const = 0;
};

}  // namespace qx
