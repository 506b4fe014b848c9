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
}

void CSModelFrame::addMotionItem(CSMotionDoc* record) {
    const QSignalBlocker quiet(&tree());
    const QString label = QString::fromStdString(std::filesystem::path(record->pathName()).filename().string());
    QTreeWidgetItem* item = AddChildItem(label, DocumentRole, documentData(record));
    if (item == nullptr) return;
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
    if (CSMotionDoc* const* motion = std::get_if<CSMotionDoc*>(&doc)) {
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

SessionFiles CSModelFrame::sessionFiles() const {
    SessionFiles files{document_.pathName(), {}};
    for (const auto& record : document_.motionRecords()) files.motions.push_back(record->pathName());
    return files;
}

}  // namespace qx::app
