#pragma once
// The child window of a skeletal mesh document. Its tree holds the mesh (root) and the motions
// loaded into it, each with a check box: ticking one switches the motion on with its record's
// settings, clearing it switches it off (the root's box does nothing). Selecting an item shows
// its form: the mesh's name, or the motion's settings. The tree follows the document: a motion
// added hangs an item, a motion switched on or off by anyone ticks or clears its box.
//
// Last under the root, a "Bones" item holds the mesh's bones by name, children under their
// parent. Selecting a bone highlights it in the view (with the skeleton shown or not) and shows
// its read-only form, which follows the pose as it plays.

#include <memory>

#include "app/CChildFrame.h"
#include "app/CSModelDoc.h"
#include "app/CSModelView.h"

namespace qx::app {

class CSBoneProperty;
class CSModelProperty;
class CSMotionProperty;

class CSModelFrame : public CChildFrame {
    Q_OBJECT
public:
    CSModelFrame(std::unique_ptr<CSModelDoc> document, ViewHost& host);

    CSModelDoc& modelDocument() const { return document_; }
    CSModelView& modelView() const { return *view_; }
    DocumentRef documentRef() const override { return &document_; }
    SessionFiles sessionFiles() const override;

protected:
    CBaseView* CreateViewPane() override;
    QWidget* CreatePropertyPane() override;
    void FillPanels() override;

private:
    // typed is owned's document, kept by its type before the frame takes it.
    CSModelFrame(CSModelDoc& typed, std::unique_ptr<CSModelDoc>&& owned, ViewHost& host);
    // Hangs a loaded motion's record in the tree, labelled with its file name, its box clear.
    void addMotionItem(CSMotionDoc* record);
    // Ticks or clears the record's box as the document says it plays.
    void showSwitchedOn(const CSMotionDoc* record);
    void selectionChanged(QTreeWidgetItem* item);
    void itemChanged(QTreeWidgetItem* item);
    void addBoneItems(QTreeWidgetItem* root);
    void sessionTimeShown() override;

    CSModelDoc& document_;
    CSModelView* view_ = nullptr;
    // The two forms, made once: the mesh's and the one that shows the selected motion.
    CSModelProperty* meshForm_ = nullptr;
    CSMotionProperty* motionForm_ = nullptr;
    CSBoneProperty* boneForm_ = nullptr;
    QTreeWidgetItem* bonesItem_ = nullptr;
};

}  // namespace qx::app
