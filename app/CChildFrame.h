#pragma once
// A child window of the main window: one document, split into its 3D view on the left (the
// timeline under it) and, on the right, the tree of the model's parts above the form of the
// selected item. The right
// column starts one pixel wide, so the view has the whole window; its splitter bar is dragged
// out to see the tree and form.
//
// The frame owns its document; the view and the panels refer to it and go first.

#include <memory>

#include <QSplitter>
#include <QTreeWidget>
#include <QVariant>
#include <QWidget>

#include "app/CBaseDoc.h"
#include "app/ViewHost.h"
#include "scene/SessionScript.h"

class QMdiSubWindow;
class QScrollArea;

namespace qx::app {

class CBaseView;
class TimelineBar;

class CChildFrame : public QWidget {
    Q_OBJECT
public:
    static constexpr int RightColumnWidth = 1;
    // Item data roles of the tree: the document an item stands for (documentData()), or a frame
    // index.
    static constexpr int DocumentRole = Qt::UserRole;
    static constexpr int FrameRole = Qt::UserRole + 1;
    // A bone's index in the mesh (the items under a skeletal mesh's "Bones" item).
    static constexpr int BoneRole = Qt::UserRole + 3;

    ~CChildFrame() override;

    CBaseDoc& document() const { return *document_; }
    // The document by its type.
    virtual DocumentRef documentRef() const = 0;
    CBaseView& view() const { return *view_; }
    TimelineBar& timeline() const { return *timeline_; }
    // The files the view's session plays, as a session script names them.
    virtual SessionFiles sessionFiles() const = 0;
    // Brings the timeline up to date with the view's session; returns its readout.
    QString showSessionTime();
    QTreeWidget& tree() const { return *tree_; }
    QSplitter& outerSplitter() const { return *outer_; }
    QSplitter& innerSplitter() const { return *inner_; }
    // The form in the bottom-right pane; none when the selected item has no form.
    QWidget* propertyForm() const { return form_; }

    // Narrows the tree column (never below a pixel) so that the view is at least this wide, as
    // far as the window allows; the view's height is the window's.
    void keepViewAtLeast(QSize least);

    // Maximises the child window, adds the tree's root item and fills the panels.
    void ShowDocument();

protected:
    // propertyRowHeight: the form's initial height. The host must outlive the frame.
    CChildFrame(std::unique_ptr<CBaseDoc> document, ViewHost& host, int propertyRowHeight);

    ViewHost& host() const { return host_; }
    // Builds the panes; called by each kind of frame once it can make its view and form.
    void createPanes();

    virtual CBaseView* CreateViewPane() = 0;
    // Makes the first form and sets up the tree (check boxes or not).
    virtual QWidget* CreatePropertyPane() = 0;
    virtual void FillPanels() {}
    // After the timeline showed a new time: forms that show the pose bring it up to date.
    virtual void sessionTimeShown() {}

    // The root item: the document's full path, standing for the document.
    QTreeWidgetItem* AddRootItem();
    QTreeWidgetItem* AddChildItem(const QString& text, int role, const QVariant& data);
    // Shows one of the frame's forms in the bottom-right pane (none leaves it empty); the form
    // shown before stays, hidden, a child of the frame.
    void setPropertyForm(QWidget* form);

private:
    std::unique_ptr<CBaseDoc> document_;
    ViewHost& host_;
    int propertyRowHeight_;
    QSplitter* outer_ = nullptr;
    QSplitter* inner_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QScrollArea* formPane_ = nullptr;
    QWidget* form_ = nullptr;
    CBaseView* view_ = nullptr;
    TimelineBar* timeline_ = nullptr;
};

// DocumentRole data standing for a document.
QVariant documentData(DocumentRef document);
// The document an item stands for; none (std::monostate) for an item that stands for none.
DocumentRef itemDocument(const QTreeWidgetItem* item);

}  // namespace qx::app
