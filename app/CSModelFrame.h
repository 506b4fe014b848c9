#pragma once
// The child window of a skeletal mesh document. Its tree holds the mesh (root) and the motions
// loaded into it, each with a check box: ticking one starts the motion with its record's
// settings, clearing it stops the motion (the root's box does nothing). Selecting an item
// shows its form: the mesh's name, or the motion's settings.

#include <memory>

#include "app/CChildFrame.h"
#include "app/CSModelDoc.h"
#include "app/CSModelView.h"

namespace qx::app {

class CSModelProperty;
class CSMotionProperty;

class CSModelFrame : public CChildFrame {
    Q_OBJECT
public:
    explicit CSModelFrame(std::unique_ptr<CSModelDoc> document);

    CSModelDoc& modelDocument() const { return static_cast<CSModelDoc&>(document()); }
    CSModelView& modelView() const { return static_cast<CSModelView&>(view()); }

    // The view plays the model anew, with the motions added since; no motion plays afterwards
    // and the check boxes stay as they were.
    void RebuildInstance();
    // Hangs a loaded motion's record in the tree, labelled with its file name.
    QTreeWidgetItem* addMotionItem(CSMotionDoc& record);
    // Starts again, in tree order, every motion whose box is ticked: what a rebuild dropped when
    // files opened together load one motion after another.
    void restartTickedMotions();

protected:
    CBaseView* CreateViewPane() override;
    QWidget* CreatePropertyPane() override;
    void FillPanels() override;

private:
    void selectionChanged(QTreeWidgetItem* item);
    void itemChanged(QTreeWidgetItem* item);

    // The two forms, made once: the mesh's and the one that shows the selected motion.
    CSModelProperty* meshForm_ = nullptr;
    CSMotionProperty* motionForm_ = nullptr;
};

}  // namespace qx::app
