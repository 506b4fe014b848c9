#pragma once
// Export glTF: the active document's model, with the motions loaded into a skeletal mesh, saved
// as glTF 2.0 through the same export as `qxtool export`: the document as it is in memory (its
// model and the motions loaded into it; the texture pictures decoded again from their images,
// since the document keeps them in GL only). A failure is named in a message; so are the
// limits met on the way (see GltfExportNotes).

class QWidget;

namespace qx::app {

class CChildFrame;
class Dialogs;

// Asks for the file to write and writes it. Returns true when a file was written.
bool exportGltf(const CChildFrame& frame, Dialogs& dialogs, QWidget* parent);

}  // namespace qx::app
