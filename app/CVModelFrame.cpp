#include "app/CVModelFrame.h"

#include "app/CVModelProperty.h"

namespace qx::app {

namespace {

// The form row starts as thin as the column: the view has the window.
constexpr int VertexPropertyRowHeight = 1;

}  // namespace

CVModelFrame::CVModelFrame(std::unique_ptr<CVModelDoc> document, ViewHost& host)
    : CVModelFrame(*document, std::move(document), host) {}

CVModelFrame::CVModelFrame(CVModelDoc& typed, std::unique_ptr<CVModelDoc>&& owned, ViewHost& host)
    : CChildFrame(std::move(owned), host, VertexPropertyRowHeight), document_(typed) {
    createPanes();
    view_->listenTo(document_);
    connect(&tree(), &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { selectionChanged(item); });
}

CBaseView* CVModelFrame::CreateViewPane() {
    view_ = new CVModelView(document_.model(), host());
    return view_;
}

QWidget* CVModelFrame::CreatePropertyPane() {
    form_ = new CVModelProperty(document_);
    return form_;
}

void CVModelFrame::FillPanels() {
    form_->setName(QString::fromStdString(document_.pathName()));
    const auto& frames = document_.model().frames;
    for (std::size_t i = 0; i < frames.size(); ++i)
        AddChildItem(QString::fromStdString(frames[i].name), FrameRole, static_cast<int>(i));
    form_->showValues();
}

void CVModelFrame::selectionChanged(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const bool root = item->parent() == nullptr;
    const int first = root ? 0 : item->data(0, FrameRole).toInt();
    const int last = root ? document_.frameCount() : first + 1;
    // The form shows the range the document announces.
    CVModelProperty::frameRangeChanged = true;
    document_.setRange(first, last);
}

}  // namespace qx::app
