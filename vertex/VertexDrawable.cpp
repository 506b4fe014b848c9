#include "vertex/VertexDrawable.h"

#include "vertex/VertexInstance.h"

namespace qx {

const VertexModel& VertexDrawable::model() const { return instance->model(); }

}  // namespace qx
