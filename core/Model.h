#pragma once
// Base of the two document models. kind() tells them apart: a ModelKind.

namespace qx {

class Model {
public:
    virtual ~Model() = default;
    virtual int kind() const = 0;
};

}  // namespace qx
