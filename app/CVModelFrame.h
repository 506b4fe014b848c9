#pragma once
// The child window of a vertex model document. Its tree holds the model (root), its clips (the
// runs of frames named alike, vertex/FrameClips.h) and under each clip its frames: selecting a
// clip plays its frames, looping, at the model's rate; selecting a frame plays that frame
// alone; selecting the root plays all frames again.

#include <memory>

#include "app/CChildFrame.h"
#include "app/CVModelDoc.h"
#include "app/CVModelView.h"

namespace qx::app {

class CVModelProperty;

class CVModelFrame : public CChildFrame {
    Q_OBJECT
public:
    CVModelFrame(std::unique_ptr<CVModelDoc> document, ViewHost& host);

    CVModelDoc& modelDocument() const { return document_; }
    CVModelView& modelView() const { return *view_; }
    DocumentRef documentRef() const override { return &document_; }
    SessionFiles sessionFiles() const override;

protected:
    CBaseView* CreateViewPane() override;
    QWidget* CreatePropertyPane() override;
    void FillPanels() override;

private:
    // typed is owned's document, kept by its type before the frame takes it.
    CVModelFrame(CVModelDoc& typed, std::unique_ptr<CVModelDoc>&& owned, ViewHost& host);
    void selectionChanged(QTreeWidgetItem* item);

    CVModelDoc& document_;
    CVModelView* view_ = nullptr;
    CVModelProperty* form_ = nullptr;
};

}  // namespace qx::app
