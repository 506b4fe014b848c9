#pragma once
// Export glTF: the active document's model, with the motions loaded into a skeletal mesh, saved
// as glTF 2.0 through the same export as `qxtool export`. The model is read again from its file
// with its images decoded (the document's own textures live in GL, their pixels released), and
// the motions are the document's own. A failure is named in a message; so are the limits met
// on the way (see GltfExportNotes).

class QWidget;

namespace qx::app {

class CChildFrame;
class Dialogs;

// Asks for the file to write and writes it. Returns true when a file was written.
bool exportGltf(const CChildFrame& frame, Dialogs& dialogs, QWidget* parent);

}  // namespace qx::app
