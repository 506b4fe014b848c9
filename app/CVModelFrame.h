#pragma once
// The child window of a vertex model document. Its tree holds the model (root) and one item per
// frame: selecting a frame plays that frame alone, selecting the root plays all frames again.

#include <memory>

#include "app/CChildFrame.h"
#include "app/CVModelDoc.h"
#include "app/CVModelView.h"

namespace qx::app {

class CVModelFrame : public CChildFrame {
    Q_OBJECT
public:
    explicit CVModelFrame(std::unique_ptr<CVModelDoc> document);

    CVModelDoc& modelDocument() const { return static_cast<CVModelDoc&>(document()); }
    CVModelView& modelView() const { return static_cast<CVModelView&>(view()); }

protected:
    CBaseView* CreateViewPane() override;
    QWidget* CreatePropertyPane() override;
    void FillPanels() override;

private:
    void selectionChanged(QTreeWidgetItem* item);
};

}  // namespace qx::app
