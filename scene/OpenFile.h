#pragma once
// The one place that opens a file for use: every model and motion the viewer, qxtool, the
// export and the thumbnails take goes through these functions, so that a file gets one answer
// everywhere (the same model, or the same refusal in the same words). A file is judged by its
// extension in the table of file types (core/FileTypes.h); its bytes are then read by that
// type's reader, and an A:M or MD2 file is converted in memory on the way.

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "import/KfmMotion.h"
#include "import/PlyModel.h"
#include "render/Texture.h"
#include "skeletal/SkeletalMesh.h"
#include "skeletal/SkeletalModel.h"
#include "skeletal/SkeletalMotion.h"
#include "vertex/Md2Model.h"
#include "vertex/VertexModel.h"

namespace qx {

// What a file is opened as, by the table alone (no byte is read).
enum class OpenAs { Nothing, SkeletalMesh, VertexModel, SkeletalMotion };
OpenAs openAsOf(const std::string& path);

// Whether path names a model (a skeletal mesh or a vertex model, own or converted); if not, the
// refusal every entry point gives, in reason.
bool isModelFile(const std::string& path, std::string* reason);

// A skeletal mesh to show: a .qm1 as stored, or an A:M .ply converted in memory (a glTF only
// through readModelToShow, which may make a vertex model of it). Texture images
// are loaded as images asks, found beside the file first.
std::unique_ptr<SkeletalMesh> readMeshToShow(const std::string& path, std::string* reason, ImageLoading images);
// A vertex model to show: a .qv1 as stored, or an MD2 converted in memory, its skin loaded as
// images asks.
std::unique_ptr<VertexModel> readVertexModelToShow(const std::string& path, std::string* reason, ImageLoading images);

// A motion that came with a model (a glTF's animations), named by the path its .qm2 would have
// beside the model, as a converted one does.
struct MotionToPlay {
    std::string path;
    std::unique_ptr<SkeletalMotion> motion;  // its nameHash that of path
};

// A model file of either kind, read to show: exactly one of the two is set, or none with the
// reason. A skeletal mesh comes in a model of its own; motions that came in the same file (a
// glTF's animations) wait beside it, for the caller to add them as it adds motion files.
// What a glTF lost on the way is in notes.
struct ModelToShow {
    std::unique_ptr<SkeletalModel> skeletal;
    std::unique_ptr<VertexModel> vertex;
    std::vector<MotionToPlay> motions;
    std::vector<std::string> notes;

    explicit operator bool() const { return skeletal || vertex; }
};
ModelToShow readModelToShow(const std::string& path, std::string* reason, ImageLoading images);

// A motion to play: a .qm2 as stored, or an A:M .kfm converted in memory (no fade of its own,
// a cycle). Either way it is named by its own full path (nameHash of path), which is how a
// model tells the motions loaded into it apart.
std::unique_ptr<SkeletalMotion> readMotionToPlay(const std::string& path, std::string* reason = nullptr);

// A file as it is stored, for inspection (qxtool dump and info): the reader of its type and
// nothing converted, no image loaded. Empty (std::monostate), with the reader's reason, when
// the file is rejected or of no model or motion type.
using StoredFile =
    std::variant<std::monostate, std::unique_ptr<SkeletalMesh>, std::unique_ptr<VertexModel>, std::unique_ptr<Md2Model>,
                 std::unique_ptr<PlyModel>, std::unique_ptr<SkeletalMotion>, std::unique_ptr<KfmMotion>>;
StoredFile readStoredFile(const std::string& path, std::string* reason);

// The stored file when it is of type T; none otherwise, with the reason.
template <class T>
std::unique_ptr<T> readStored(const std::string& path, std::string* reason) {
    StoredFile file = readStoredFile(path, reason);
    if (auto* held = std::get_if<std::unique_ptr<T>>(&file)) return std::move(*held);
    if (reason != nullptr && file.index() != 0) *reason = "not a file of this kind";
    return nullptr;
}

}  // namespace qx
