#pragma once
// The two kinds of model, and of their instances and drawables, as kind() returns them.

namespace qx {

enum ModelKind : int { VertexKind = 0, SkeletalKind = 1 };

}  // namespace qx
