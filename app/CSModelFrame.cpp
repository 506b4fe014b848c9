#include "app/CSModelFrame.h"

#include <filesystem>

#include "app/CSModelProperty.h"
#include "app/CSMotionProperty.h"

namespace qx::app {

namespace {

// The check state an item had when the tree last reported it, to tell a tick from a rename.
constexpr int ShownCheckRole = Qt::UserRole + 2;
constexpr int SkeletalPropertyRowHeight = 200;

}  // namespace

CSModelFrame::CSModelFrame(std::unique_ptr<CSModelDoc> document)
    : CChildFrame(std::move(document), SkeletalPropertyRowHeight) {
    createPanes();
    connect(&tree(), &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { selectionChanged(item); });
    connect(&tree(), &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { itemChanged(item); });
}

CBaseView* CSModelFrame::CreateViewPane() { return new CSModelView(modelDocument().model()); }

QWidget* CSModelFrame::CreatePropertyPane() {
    meshForm_ = new CSModelProperty(this);
    meshForm_->setName(QString::fromStdString(document().pathName()));
    meshForm_->showValues();
    motionForm_ = new CSMotionProperty(this);
    motionForm_->hide();
    return meshForm_;
}

void CSModelFrame::FillPanels() {
    QTreeWidgetItem* root = tree().topLevelItem(0);
    {
        const QSignalBlocker quiet(&tree());
        root->setFlags(root->flags() | Qt::ItemIsUserCheckable);
        root->setCheckState(0, Qt::Unchecked);
        root->setData(0, ShownCheckRole, Qt::Unchecked);
    }
    meshForm_->setName(QString::fromStdString(document().pathName()));
    meshForm_->showValues();
}

QTreeWidgetItem* CSModelFrame::addMotionItem(CSMotionDoc& record) {
    const QSignalBlocker quiet(&tree());
    const QString label = QString::fromStdString(std::filesystem::path(record.pathName()).filename().string());
    QTreeWidgetItem* item = AddChildItem(label, DocumentRole, documentData(&record));
    if (item == nullptr) return nullptr;
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    item->setData(0, ShownCheckRole, Qt::Unchecked);
    tree().topLevelItem(0)->setExpanded(true);
    return item;
}

void CSModelFrame::RebuildInstance() { modelView().RebuildInstance(); }

void CSModelFrame::restartTickedMotions() {
    QTreeWidgetItem* root = tree().topLevelItem(0);
    for (int i = 0; root != nullptr && i < root->childCount(); ++i) {
        QTreeWidgetItem* item = root->child(i);
        CBaseDoc* doc = itemDocument(item);
        if (item->checkState(0) == Qt::Checked && doc != nullptr && doc->kind() == CBaseDoc::SkeletalMotionKind)
            modelView().skeletalInstance().start(static_cast<const CSMotionDoc&>(*doc).settings);
    }
}

void CSModelFrame::selectionChanged(QTreeWidgetItem* item) {
    CBaseDoc* doc = itemDocument(item);
    if (doc != nullptr && doc->kind() == CBaseDoc::SkeletalMotionKind) {
        setPropertyForm(motionForm_);
        motionForm_->setMotion(static_cast<CSMotionDoc*>(doc));
        motionForm_->showValues();
    } else if (doc != nullptr && doc->kind() == CBaseDoc::SkeletalMeshKind) {
        setPropertyForm(meshForm_);
        meshForm_->setName(QString::fromStdString(doc->pathName()));
        meshForm_->showValues();
    } else {
        setPropertyForm(nullptr);
    }
}

void CSModelFrame::itemChanged(QTreeWidgetItem* item) {
    const Qt::CheckState now = item->checkState(0);
    if (item->data(0, ShownCheckRole).toInt() == now) return;  // not the check box
    item->setData(0, ShownCheckRole, now);
    CBaseDoc* doc = itemDocument(item);
    if (doc == nullptr || doc->kind() != CBaseDoc::SkeletalMotionKind) return;
    const auto& record = static_cast<const CSMotionDoc&>(*doc);
    if (now == Qt::Checked)
        modelView().skeletalInstance().start(record.settings);
    else
        modelView().skeletalInstance().stop(record.settings.motionId);
}

}  // namespace qx::app
