#include "import/GltfAccessors.h"

#include <cmath>
#include <cstring>

namespace qx {

namespace {

bool fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

std::size_t componentSize(int type) {
    switch (type) {
        case TINYGLTF_COMPONENT_TYPE_BYTE:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return 1;
        case TINYGLTF_COMPONENT_TYPE_SHORT:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
            return 2;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
        case TINYGLTF_COMPONENT_TYPE_FLOAT:
            return 4;
        default:
            return 0;
    }
}

int componentsOf(int type) {
    switch (type) {
        case TINYGLTF_TYPE_SCALAR:
            return 1;
        case TINYGLTF_TYPE_VEC2:
            return 2;
        case TINYGLTF_TYPE_VEC3:
            return 3;
        case TINYGLTF_TYPE_VEC4:
            return 4;
        case TINYGLTF_TYPE_MAT4:
            return 16;
        default:
            return 0;
    }
}

// Where the accessor's elements lie: the first byte (none for an accessor of zeros) and the
// stride, all checked.
struct Layout {
    const std::uint8_t* first = nullptr;
    std::size_t stride = 0;
    std::size_t count = 0;
    std::size_t size = 0;  // of one component
    int type = 0;
    bool normalized = false;
};

bool layoutOf(const tinygltf::Model& model, int index, int components, Layout& layout, std::string* reason) {
    const std::string name = "accessor " + std::to_string(index);
    if (index < 0 || static_cast<std::size_t>(index) >= model.accessors.size())
        return fail(reason, name + " does not exist");
    const tinygltf::Accessor& accessor = model.accessors[static_cast<std::size_t>(index)];
    if (componentsOf(accessor.type) != components)
        return fail(reason, name + " holds " + std::to_string(componentsOf(accessor.type)) +
                                " components an element, not " + std::to_string(components));
    layout.size = componentSize(accessor.componentType);
    if (layout.size == 0) return fail(reason, name + " has an unknown component type");
    layout.type = accessor.componentType;
    layout.normalized = accessor.normalized;
    layout.count = accessor.count;
    if (layout.count == 0) return true;
    if (accessor.bufferView < 0) {
        // Zeros (a sparse accessor's base, typically a morph target's): as many as the file's
        // buffers have bytes at most, so that a count alone cannot ask for unbounded memory.
        std::size_t bytes = 0;
        for (const tinygltf::Buffer& buffer : model.buffers) bytes += buffer.data.size();
        if (layout.count > bytes)
            return fail(reason, name + ": " + std::to_string(layout.count) +
                                    " elements of zeros are more than the file's buffers hold bytes");
        return true;
    }
    if (static_cast<std::size_t>(accessor.bufferView) >= model.bufferViews.size())
        return fail(reason, name + " has no buffer view");
    const tinygltf::BufferView& view = model.bufferViews[static_cast<std::size_t>(accessor.bufferView)];
    if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= model.buffers.size())
        return fail(reason, name + ": its view's buffer does not exist");
    const std::vector<unsigned char>& buffer = model.buffers[static_cast<std::size_t>(view.buffer)].data;
    if (view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset)
        return fail(reason, name + ": its view runs past the end of its buffer");
    const std::size_t element = layout.size * static_cast<std::size_t>(components);
    layout.stride = view.byteStride == 0 ? element : view.byteStride;
    if (layout.stride < element) return fail(reason, name + ": its view's stride is shorter than an element");
    const std::size_t room = view.byteLength;
    if (accessor.byteOffset > room || element > room - accessor.byteOffset ||
        (layout.count - 1) > (room - accessor.byteOffset - element) / layout.stride)
        return fail(reason, name + ": " + std::to_string(layout.count) + " elements run past the end of its view");
    layout.first = buffer.data() + view.byteOffset + accessor.byteOffset;
    return true;
}

double componentValue(const Layout& layout, const std::uint8_t* at) {
    switch (layout.type) {
        case TINYGLTF_COMPONENT_TYPE_BYTE: {
            const auto v = static_cast<std::int8_t>(*at);
            return layout.normalized ? std::max(v / 127.0, -1.0) : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return layout.normalized ? *at / 255.0 : *at;
        case TINYGLTF_COMPONENT_TYPE_SHORT: {
            std::int16_t v;
            std::memcpy(&v, at, 2);
            return layout.normalized ? std::max(v / 32767.0, -1.0) : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            std::uint16_t v;
            std::memcpy(&v, at, 2);
            return layout.normalized ? v / 65535.0 : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
            std::uint32_t v;
            std::memcpy(&v, at, 4);
            return v;
        }
        default: {
            float v;
            std::memcpy(&v, at, 4);
            return v;
        }
    }
}

// The bytes [offset, offset + length) of a buffer view, checked; null with a reason when they
// do not lie inside it.
const std::uint8_t* viewBytes(const tinygltf::Model& model, int viewIndex, long long offset, std::size_t length,
                              const std::string& what, std::string* reason) {
    if (viewIndex < 0 || static_cast<std::size_t>(viewIndex) >= model.bufferViews.size()) {
        fail(reason, what + " has no buffer view");
        return nullptr;
    }
    const tinygltf::BufferView& view = model.bufferViews[static_cast<std::size_t>(viewIndex)];
    if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= model.buffers.size()) {
        fail(reason, what + ": its view's buffer does not exist");
        return nullptr;
    }
    const std::vector<unsigned char>& buffer = model.buffers[static_cast<std::size_t>(view.buffer)].data;
    if (view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset || offset < 0 ||
        static_cast<unsigned long long>(offset) > view.byteLength || length > view.byteLength - offset) {
        fail(reason, what + " runs past the end of its view or buffer");
        return nullptr;
    }
    return buffer.data() + view.byteOffset + offset;
}

// A sparse accessor's replacements: element indices[k] becomes values[k]. The indices are
// checked to ascend strictly and stay below the count, as glTF asks.
struct Sparse {
    std::size_t count = 0;
    std::vector<std::size_t> indices;
    const std::uint8_t* values = nullptr;
};

bool sparseOf(const tinygltf::Model& model, int index, const Layout& layout, int components, Sparse& sparse,
              std::string* reason) {
    const tinygltf::Accessor& accessor = model.accessors[static_cast<std::size_t>(index)];
    if (!accessor.sparse.isSparse) return true;
    const std::string name = "accessor " + std::to_string(index) + "'s sparse values";
    const auto& s = accessor.sparse;
    if (s.count < 1 || static_cast<std::size_t>(s.count) > layout.count)
        return fail(reason, name + " number " + std::to_string(s.count) + ", not 1 to the accessor's " +
                                std::to_string(layout.count));
    sparse.count = static_cast<std::size_t>(s.count);
    const std::size_t indexSize = componentSize(s.indices.componentType);
    if (indexSize == 0 || s.indices.componentType == TINYGLTF_COMPONENT_TYPE_BYTE ||
        s.indices.componentType == TINYGLTF_COMPONENT_TYPE_SHORT ||
        s.indices.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT)
        return fail(reason, name + " have indices that are not unsigned integers");
    const std::uint8_t* indices =
        viewBytes(model, s.indices.bufferView, s.indices.byteOffset, sparse.count * indexSize, name, reason);
    sparse.values = viewBytes(model, s.values.bufferView, s.values.byteOffset,
                              sparse.count * layout.size * static_cast<std::size_t>(components), name, reason);
    if (indices == nullptr || sparse.values == nullptr) return false;
    Layout plain;
    plain.type = s.indices.componentType;
    sparse.indices.reserve(sparse.count);
    for (std::size_t k = 0; k < sparse.count; ++k) {
        const auto at = static_cast<std::size_t>(componentValue(plain, indices + k * indexSize));
        if (at >= layout.count || (k > 0 && at <= sparse.indices.back()))
            return fail(reason, name + " have indices that do not ascend within the accessor's " +
                                    std::to_string(layout.count) + " elements");
        sparse.indices.push_back(at);
    }
    return true;
}

// Every element of the accessor, from its view or zeros and then its sparse replacements, given
// to take(element, component, bytes of the component); false with a reason.
template <typename Take>
bool readElements(const tinygltf::Model& model, int accessor, int components, const Layout& layout, Take take,
                  std::string* reason) {
    Sparse sparse;
    if (!sparseOf(model, accessor, layout, components, sparse, reason)) return false;
    static const std::uint8_t zeros[8] = {};
    for (std::size_t i = 0; i < layout.count; ++i)
        for (int c = 0; c < components; ++c)
            if (!take(i, c,
                      layout.first == nullptr
                          ? zeros
                          : layout.first + i * layout.stride + static_cast<std::size_t>(c) * layout.size))
                return false;
    const std::size_t element = layout.size * static_cast<std::size_t>(components);
    for (std::size_t k = 0; k < sparse.count; ++k)
        for (int c = 0; c < components; ++c)
            if (!take(sparse.indices[k], c, sparse.values + k * element + static_cast<std::size_t>(c) * layout.size))
                return false;
    return true;
}

}  // namespace

std::size_t accessorCount(const tinygltf::Model& model, int accessor) {
    if (accessor < 0 || static_cast<std::size_t>(accessor) >= model.accessors.size()) return 0;
    return model.accessors[static_cast<std::size_t>(accessor)].count;
}

bool readAccessorFloats(const tinygltf::Model& model, int accessor, int components, std::vector<float>& out,
                        std::string* reason) {
    Layout layout;
    if (!layoutOf(model, accessor, components, layout, reason)) return false;
    out.assign(layout.count * static_cast<std::size_t>(components), 0.0f);
    return readElements(
        model, accessor, components, layout,
        [&](std::size_t i, int c, const std::uint8_t* at) {
            const double v = componentValue(layout, at);
            if (!std::isfinite(v) || std::fabs(v) > 3.0e38)
                return fail(reason, "accessor " + std::to_string(accessor) + " holds a number that is not finite");
            out[i * static_cast<std::size_t>(components) + static_cast<std::size_t>(c)] = static_cast<float>(v);
            return true;
        },
        reason);
}

bool readAccessorUnsigned(const tinygltf::Model& model, int accessor, int components, std::vector<std::uint32_t>& out,
                          std::string* reason) {
    Layout layout;
    if (!layoutOf(model, accessor, components, layout, reason)) return false;
    if (layout.type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && layout.type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        layout.type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
        return fail(reason, "accessor " + std::to_string(accessor) + " does not hold unsigned integers");
    Layout plain = layout;
    plain.normalized = false;
    out.assign(layout.count * static_cast<std::size_t>(components), 0);
    return readElements(
        model, accessor, components, layout,
        [&](std::size_t i, int c, const std::uint8_t* at) {
            out[i * static_cast<std::size_t>(components) + static_cast<std::size_t>(c)] =
                static_cast<std::uint32_t>(componentValue(plain, at));
            return true;
        },
        reason);
}

}  // namespace qx
