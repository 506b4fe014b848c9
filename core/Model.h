#pragma once
// Base of the two document models. kind() tells them apart: 0 vertex model, 1 skeletal model.

namespace qx {

class Model {
public:
    virtual ~Model() = default;
    virtual int kind() const = 0;
};

}  // namespace qx
