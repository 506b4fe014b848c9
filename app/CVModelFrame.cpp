#include "app/CVModelFrame.h"

#include "app/CVModelProperty.h"

namespace qx::app {

namespace {

// The form row starts as thin as the column: the view has the window.
constexpr int VertexPropertyRowHeight = 1;

}  // namespace

CVModelFrame::CVModelFrame(std::unique_ptr<CVModelDoc> document)
    : CChildFrame(std::move(document), VertexPropertyRowHeight) {
    createPanes();
    connect(&tree(), &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { selectionChanged(item); });
}

CBaseView* CVModelFrame::CreateViewPane() { return new CVModelView(modelDocument().model()); }

QWidget* CVModelFrame::CreatePropertyPane() { return new CVModelProperty; }

void CVModelFrame::FillPanels() {
    auto* form = qobject_cast<CVModelProperty*>(propertyForm());
    if (form == nullptr) return;
    form->setName(QString::fromStdString(document().pathName()));
    form->setInstance(&modelView().vertexInstance());
    const auto& frames = modelDocument().model().frames;
    for (std::size_t i = 0; i < frames.size(); ++i)
        AddChildItem(QString::fromStdString(frames[i].name), FrameRole, static_cast<int>(i));
    form->showValues();
}

void CVModelFrame::selectionChanged(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const bool root = item->parent() == nullptr;
    const int first = root ? 0 : item->data(0, FrameRole).toInt();
    const int last = root ? static_cast<int>(modelDocument().model().frames.size()) : first + 1;
    CVModelProperty::frameRangeChanged = true;
    modelView().vertexInstance().setRange(first, last, -1);
    if (auto* form = qobject_cast<CVModelProperty*>(propertyForm())) form->showValues();
}

}  // namespace qx::app
