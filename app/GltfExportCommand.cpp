#include "app/GltfExportCommand.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include "app/CChildFrame.h"
#include "app/CSModelDoc.h"
#include "app/CVModelDoc.h"
#include "app/FileDialogs.h"
#include "gltf/GltfExport.h"
#include "scene/DecodedPictures.h"

namespace qx::app {

namespace {

const char* const GltfFilter = "glTF Binary (*.glb)|*.glb|glTF with a .bin beside it (*.gltf)|*.gltf||";

// Where the last scale chosen is kept, offered again at the next export.
const char* const ScaleSetting = "export/gltfScale";

bool exportDocument(const CChildFrame& frame, const std::string& out, const GltfExportOptions& options,
                    QStringList& notes, std::string* reason) {
    const std::string& path = frame.document().pathName();
    GltfExportNotes counted;
    bool written = false;
    const DocumentRef document = frame.documentRef();
    if (CSModelDoc* const* skeletal = std::get_if<CSModelDoc*>(&document)) {
        SkeletalMesh& mesh = *(*skeletal)->model().meshes().front();
        const DecodedPictures pictures(mesh, path);
        std::vector<GltfMotion> motions;
        for (const auto& record : (*skeletal)->motionRecords())
            motions.push_back({gltfNameOf(record->pathName()), &record->motion()});
        written = exportSkeletalGltf(mesh, gltfNameOf(path), motions, out, options, &counted, reason);
    } else if (CVModelDoc* const* vertex = std::get_if<CVModelDoc*>(&document)) {
        VertexModel& model = (*vertex)->model();
        const DecodedPictures pictures(model, path);
        written = exportVertexGltf(model, gltfNameOf(path), out, options, &counted, reason);
    }
    for (const std::string& line : describe(counted)) notes.append(QString::fromStdString(line));
    return written;
}

}  // namespace

bool exportGltf(const CChildFrame& frame, Dialogs& dialogs, QWidget* parent) {
    const QFileInfo source(QString::fromStdString(frame.document().pathName()));
    const FileDialogResult target =
        dialogs.askForFile(parent, {false, QStringLiteral("glb"), source.completeBaseName() + QStringLiteral(".glb"),
                                    QString::fromLatin1(GltfFilter), source.absolutePath()});
    if (!target.ok) return false;
    QString path = target.path;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".glb");
    QSettings settings;
    double scale = settings.value(QString::fromLatin1(ScaleSetting), 1.0).toDouble();
    if (!isGltfScale(static_cast<float>(scale))) scale = 1.0;
    if (!dialogs.askForScale(parent, QStringLiteral("Scale (glTF metres per model unit):"), scale)) return false;
    if (!isGltfScale(static_cast<float>(scale))) {
        dialogs.showMessage(
            parent,
            QStringLiteral("Cannot export %1: the scale must be a number above 0").arg(QFileInfo(path).fileName()));
        return false;
    }
    settings.setValue(QString::fromLatin1(ScaleSetting), scale);
    std::string reason;
    QStringList notes;
    if (!exportDocument(frame, path.toStdString(), {static_cast<float>(scale)}, notes, &reason)) {
        dialogs.showMessage(
            parent,
            QStringLiteral("Cannot export %1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(reason)));
        return false;
    }
    if (!notes.isEmpty())
        dialogs.showMessage(parent, QStringLiteral("Exported %1. What glTF cannot keep:\n%2")
                                        .arg(QFileInfo(path).fileName(), notes.join(QLatin1Char('\n'))));
    return true;
}

}  // namespace qx::app
