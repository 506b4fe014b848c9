#pragma once
// Large models for drawing benchmarks, built in memory so that every run draws the same thing.

#include "render/Texture.h"
#include "skeletal/SkeletalMesh.h"

namespace qx::bench {

// A wavy sheet of columns x rows quads, two triangles each, with a normal per position, in
// four material batches of one group textured by texture 0 (the caller adds it).
SkeletalMesh makeSheet(int columns, int rows);
// A 64 x 64 chequer, uploaded in the current context.
void makeChequer(Texture& texture);

}  // namespace qx::bench
