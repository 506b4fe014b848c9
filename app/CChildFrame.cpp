#include "app/CChildFrame.h"

#include <QApplication>

#include <algorithm>

#include <QLayout>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QSplitterHandle>
#include <QVBoxLayout>

#include "app/CBaseView.h"
#include "app/TimelineBar.h"

namespace qx::app {

QVariant documentData(DocumentRef document) { return QVariant::fromValue(document); }

DocumentRef itemDocument(const QTreeWidgetItem* item) {
    return item != nullptr ? item->data(0, CChildFrame::DocumentRole).value<DocumentRef>() : DocumentRef{};
}

CChildFrame::CChildFrame(std::unique_ptr<CBaseDoc> document, ViewHost& host, int propertyRowHeight)
    : document_(std::move(document)), host_(host), propertyRowHeight_(propertyRowHeight) {
    setWindowTitle(QString::fromStdString(document_->title()));
}

void CChildFrame::createPanes() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    outer_ = new QSplitter(Qt::Horizontal, this);
    outer_->setObjectName(QStringLiteral("outerSplitter"));
    layout->addWidget(outer_);
    view_ = CreateViewPane();
    auto* left = new QWidget(outer_);
    left->setObjectName(QStringLiteral("viewPane"));
    auto* column = new QVBoxLayout(left);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(view_->container(), 1);
    timeline_ = new TimelineBar(left);
    column->addWidget(timeline_);
    outer_->addWidget(left);
    connect(timeline_, &TimelineBar::timeChosen, this, [this](double seconds) {
        host_.holdStill();
        view_->showTime(seconds);
        showSessionTime();
    });
    connect(timeline_, &TimelineBar::speedChosen, this, [this](double speed) { view_->setSpeed(speed); });
    inner_ = new QSplitter(Qt::Vertical, outer_);
    inner_->setObjectName(QStringLiteral("innerSplitter"));
    // Allowed down to one pixel, whatever the tree and form would like.
    inner_->setMinimumSize(1, 1);
    outer_->addWidget(inner_);
    tree_ = new QTreeWidget(inner_);
    tree_->setObjectName(QStringLiteral("modelTree"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    inner_->addWidget(tree_);
    // The form keeps at least the size its controls ask for; a row smaller than that scrolls.
    formPane_ = new QScrollArea(inner_);
    formPane_->setObjectName(QStringLiteral("propertyPane"));
    formPane_->setMinimumSize(1, 1);
    formPane_->setWidgetResizable(true);
    formPane_->setFrameShape(QFrame::NoFrame);
    inner_->addWidget(formPane_);
    setPropertyForm(CreatePropertyPane());

    // The view takes every change of the window's size; the right column and the form row keep
    // theirs. The bar stays easy to find and grab although the column is a pixel wide.
    outer_->setStretchFactor(0, 1);
    outer_->setStretchFactor(1, 0);
    inner_->setStretchFactor(0, 1);
    inner_->setStretchFactor(1, 0);
    // Both bars look alike and say what dragging them shows.
    for (QSplitter* splitter : {outer_, inner_}) {
        splitter->setHandleWidth(6);
        splitter->setStyleSheet(
            QStringLiteral("QSplitter#%1::handle { background: palette(mid); }").arg(splitter->objectName()));
    }
    outer_->handle(1)->setToolTip(QStringLiteral("Drag to show the model tree and its properties"));
    inner_->handle(1)->setToolTip(QStringLiteral("Drag to show more of the properties of the selected item"));
    outer_->setSizes({1000, RightColumnWidth});
    inner_->setSizes({1000, propertyRowHeight_});
}

CChildFrame::~CChildFrame() {
    host_.childFrameClosing();
    // The view plays the document's model, and the forms refer to its records: both go first.
    delete outer_;
    outer_ = nullptr;
    document_.reset();
}

QString CChildFrame::showSessionTime() {
    const QString readout = timeReadout(view_->sessionTime(), view_->timelineFrame(), view_->timelineClip());
    timeline_->showTime(view_->sessionTime(), view_->timelineSpan(), readout);
    sessionTimeShown();
    return readout;
}

void CChildFrame::keepViewAtLeast(QSize least) {
    const QList<int> sizes = outer_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (sizes.value(0) >= least.width()) return;
    const int column = std::max(RightColumnWidth, total - least.width());
    outer_->setSizes({total - column, column});
}

void CChildFrame::ShowDocument() {
    if (auto* child = qobject_cast<QMdiSubWindow*>(parentWidget())) child->showMaximized();
    AddRootItem();
    FillPanels();
}

QTreeWidgetItem* CChildFrame::AddRootItem() {
    auto* root = new QTreeWidgetItem(tree_, {QString::fromStdString(document_->pathName())});
    root->setData(0, DocumentRole, documentData(documentRef()));
    return root;
}

QTreeWidgetItem* CChildFrame::AddChildItem(const QString& text, int role, const QVariant& data) {
    QTreeWidgetItem* root = tree_->topLevelItem(0);
    if (root == nullptr) return nullptr;
    auto* item = new QTreeWidgetItem(root, {text});
    item->setData(0, role, data);
    return item;
}

void CChildFrame::setPropertyForm(QWidget* form) {
    // A box being edited is left first, so that its text goes to the item it was showing.
    if (form_ != nullptr) {
        if (QWidget* focused = QApplication::focusWidget(); focused != nullptr && form_->isAncestorOf(focused))
            focused->clearFocus();
    }
    if (form == form_) return;
    // Forms live as long as the frame: the ones not shown wait hidden. Rebuilding a form on every
    // selection would pull its widgets from under whoever holds them (accessibility clients
    // among them, which then ask a gone widget's children).
    if (QWidget* old = formPane_->takeWidget(); old != nullptr) {
        old->hide();
        old->setParent(this);
    }
    form_ = form;
    if (form_ == nullptr) return;
    if (form_->layout() != nullptr) form_->layout()->setSizeConstraint(QLayout::SetMinimumSize);
    formPane_->setWidget(form_);
    form_->show();
}

}  // namespace qx::app
