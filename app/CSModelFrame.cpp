#include "app/CSModelFrame.h"

#include <filesystem>

#include "app/CSBoneProperty.h"
#include "app/CSModelProperty.h"
#include "app/CSMotionProperty.h"

namespace qx::app {

namespace {

// The check state an item had when the tree last reported it, to tell a tick from a rename.
constexpr int ShownCheckRole = Qt::UserRole + 2;
constexpr int SkeletalPropertyRowHeight = 200;

}  // namespace

CSModelFrame::CSModelFrame(std::unique_ptr<CSModelDoc> document, ViewHost& host)
    : CSModelFrame(*document, std::move(document), host) {}

CSModelFrame::CSModelFrame(CSModelDoc& typed, std::unique_ptr<CSModelDoc>&& owned, ViewHost& host)
    : CChildFrame(std::move(owned), host, SkeletalPropertyRowHeight), document_(typed) {
    createPanes();
    view_->listenTo(document_);
    connect(&document_, &CSModelDoc::motionAdded, this, &CSModelFrame::addMotionItem);
    connect(&document_, &CSModelDoc::motionStarted, this, &CSModelFrame::showSwitchedOn);
    connect(&document_, &CSModelDoc::motionStopped, this, &CSModelFrame::showSwitchedOn);
    connect(&tree(), &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { selectionChanged(item); });
    connect(&tree(), &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { itemChanged(item); });
}

CBaseView* CSModelFrame::CreateViewPane() {
    view_ = new CSModelView(document_.model(), host());
    return view_;
}

QWidget* CSModelFrame::CreatePropertyPane() {
    meshForm_ = new CSModelProperty(this);
    meshForm_->setName(QString::fromStdString(document_.pathName()));
    meshForm_->showValues();
    motionForm_ = new CSMotionProperty(document_, this);
    motionForm_->hide();
    boneForm_ = new CSBoneProperty(this);
    boneForm_->hide();
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
    meshForm_->setName(QString::fromStdString(document_.pathName()));
    meshForm_->showValues();
    addBoneItems(root);
}

void CSModelFrame::addBoneItems(QTreeWidgetItem* root) {
    const auto& meshes = document_.model().meshes();
    if (meshes.empty() || meshes.front()->bones.empty()) return;
    const std::vector<MeshBone>& bones = meshes.front()->bones;
    const QSignalBlocker quiet(&tree());
    bonesItem_ = new QTreeWidgetItem(root, {QStringLiteral("Bones")});
    bonesItem_->setToolTip(0, QStringLiteral("The mesh's bones, each under its parent: select one to see it"));
    // Parents come before their children in the stored order only by custom: every bone gets its
    // item first, then hangs under its parent's (a parent index that is out of range, or a
    // cycle, leaves it under "Bones").
    std::vector<QTreeWidgetItem*> items(bones.size());
    for (std::size_t i = 0; i < bones.size(); ++i) {
        items[i] = new QTreeWidgetItem({QString::fromLatin1(bones[i].name)});
        items[i]->setData(0, BoneRole, static_cast<int>(i));
    }
    const auto hangsUnder = [&](std::size_t i) -> QTreeWidgetItem* {
        std::int32_t parent = bones[i].parent;
        if (parent < 0 || static_cast<std::size_t>(parent) >= bones.size()) return bonesItem_;
        // A parent chain that comes back to the bone is no hierarchy.
        for (std::size_t steps = 0, p = static_cast<std::size_t>(parent); steps <= bones.size(); ++steps) {
            if (p == i) return bonesItem_;
            const std::int32_t next = bones[p].parent;
            if (next < 0 || static_cast<std::size_t>(next) >= bones.size())
                return items[static_cast<std::size_t>(parent)];
            p = static_cast<std::size_t>(next);
        }
        return bonesItem_;
    };
    for (std::size_t i = 0; i < bones.size(); ++i) hangsUnder(i)->addChild(items[i]);
}

void CSModelFrame::addMotionItem(CSMotionDoc* record) {
    const QSignalBlocker quiet(&tree());
    const QString label = QString::fromStdString(std::filesystem::path(record->pathName()).filename().string());
    QTreeWidgetItem* item = AddChildItem(label, DocumentRole, documentData(record));
    if (item == nullptr) return;
    // Motions stay above the bones.
    if (QTreeWidgetItem* root = tree().topLevelItem(0); bonesItem_ != nullptr && root != nullptr) {
        root->removeChild(item);
        root->insertChild(root->indexOfChild(bonesItem_), item);
    }
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    item->setData(0, ShownCheckRole, Qt::Unchecked);
    tree().topLevelItem(0)->setExpanded(true);
}

void CSModelFrame::showSwitchedOn(const CSMotionDoc* record) {
    QTreeWidgetItem* root = tree().topLevelItem(0);
    const Qt::CheckState state = record->switchedOn() ? Qt::Checked : Qt::Unchecked;
    const QSignalBlocker quiet(&tree());
    for (int i = 0; root != nullptr && i < root->childCount(); ++i) {
        QTreeWidgetItem* item = root->child(i);
        const DocumentRef doc = itemDocument(item);
        if (const auto* motion = std::get_if<CSMotionDoc*>(&doc); motion != nullptr && *motion == record) {
            item->setCheckState(0, state);
            item->setData(0, ShownCheckRole, state);
        }
    }
}

void CSModelFrame::selectionChanged(QTreeWidgetItem* item) {
    const DocumentRef doc = itemDocument(item);
    const QVariant bone = item != nullptr ? item->data(0, BoneRole) : QVariant();
    view_->setSelectedBone(bone.isValid() ? bone.toInt() : -1);
    if (bone.isValid()) {
        setPropertyForm(boneForm_);
        sessionTimeShown();
    } else if (CSMotionDoc* const* motion = std::get_if<CSMotionDoc*>(&doc)) {
        setPropertyForm(motionForm_);
        motionForm_->setMotion(*motion);
        motionForm_->showValues();
    } else if (CSModelDoc* const* mesh = std::get_if<CSModelDoc*>(&doc)) {
        setPropertyForm(meshForm_);
        meshForm_->setName(QString::fromStdString((*mesh)->pathName()));
        meshForm_->showValues();
    } else {
        setPropertyForm(nullptr);
    }
}

void CSModelFrame::itemChanged(QTreeWidgetItem* item) {
    const Qt::CheckState now = item->checkState(0);
    if (item->data(0, ShownCheckRole).toInt() == now) return;  // not the check box
    item->setData(0, ShownCheckRole, now);
    const DocumentRef doc = itemDocument(item);
    CSMotionDoc* const* record = std::get_if<CSMotionDoc*>(&doc);
    if (record == nullptr) return;
    if (now == Qt::Checked)
        document_.startMotion(**record);
    else
        document_.stopMotion(**record);
}

void CSModelFrame::sessionTimeShown() {
    if (propertyForm() != boneForm_ || document_.model().meshes().empty()) return;
    const auto& drawables = view_->skeletalInstance().drawables();
    boneForm_->showBone(*document_.model().meshes().front(), view_->selectedBone(),
                        drawables.empty() ? nullptr : drawables.front().get());
}

SessionFiles CSModelFrame::sessionFiles() const {
    SessionFiles files{document_.pathName(), {}};
    for (const auto& record : document_.motionRecords()) files.motions.push_back(record->pathName());
    return files;
}

}  // namespace qx::app
