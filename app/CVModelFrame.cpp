#include "app/CVModelFrame.h"

#include "app/CVModelProperty.h"
#include "vertex/FrameClips.h"

namespace qx::app {

namespace {

// The form row starts as thin as the column: the view has the window.
constexpr int VertexPropertyRowHeight = 1;
// A clip item's frames, first..last-1.
constexpr int ClipFirstRole = Qt::UserRole + 2;
constexpr int ClipLastRole = Qt::UserRole + 3;

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
    for (const FrameClip& clip : frameClips(document_.model())) {
        const QString name = clip.name.empty() ? QStringLiteral("(unnamed)") : QString::fromStdString(clip.name);
        QTreeWidgetItem* item = AddChildItem(name, ClipFirstRole, clip.first);
        if (item == nullptr) return;
        item->setData(0, ClipLastRole, clip.last);
        for (std::int32_t f = clip.first; f < clip.last; ++f) {
            auto* frame = new QTreeWidgetItem(item, {QString::fromStdString(frames[static_cast<std::size_t>(f)].name)});
            frame->setData(0, FrameRole, f);
        }
    }
    form_->showValues();
}

void CVModelFrame::selectionChanged(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    int first = 0;
    int last = document_.frameCount();
    if (const QVariant frame = item->data(0, FrameRole); frame.isValid()) {
        first = frame.toInt();
        last = first + 1;
    } else if (const QVariant clip = item->data(0, ClipFirstRole); clip.isValid()) {
        first = clip.toInt();
        last = item->data(0, ClipLastRole).toInt();
    }
    // The form shows the range the document announces.
    CVModelProperty::frameRangeChanged = true;
    document_.setRange(first, last);
}

SessionFiles CVModelFrame::sessionFiles() const { return {document_.pathName(), {}}; }

}  // namespace qx::app
