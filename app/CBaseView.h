#pragma once
// The 3D pane of a child window: an OpenGL view of one animated model with an orbit camera
// driven by the mouse. CSModelView and CVModelView differ only in the instance they build and
// the positions they measure.
//
// Mouse: left drag turns the model about x and y (with Ctrl: moves it across the view); right
// drag moves it nearer and farther (with Ctrl: turns it about z; with Shift: widens or narrows
// the field of view). The wheel moves it by whole notches (with Ctrl: turns it 10 degrees a
// notch; with Shift: 2 degrees of field of view a notch).
//
// The view is a window of its own inside its child window (container()), drawing straight into
// its own buffers: a GL widget would have Qt compose the whole main window through GL on every
// frame, which with a software GL costs more than drawing the model. Qt swaps the buffers after
// paintGL and nothing is drawn behind the view, so the view only clears and draws.

#include <memory>

#include <QImage>
#include <QOpenGLWindow>
#include <QPointF>

#include "app/IdleLoop.h"
#include "app/ViewHost.h"
#include "core/ModelInstance.h"
#include "render/Camera.h"
#include "render/OverlayGeometry.h"
#include "render/OverlayOptions.h"
#include "scene/PlaySession.h"

namespace qx {
class Drawable;
}

namespace qx::app {

class CBaseView : public QOpenGLWindow, public AnimatedView {
    Q_OBJECT
public:
    // The view's context shares its textures with every other view's (see SharedGlContext).
    // The host must outlive the view.
    explicit CBaseView(ViewHost& host);
    ~CBaseView() override;

    // The widget that holds the view in a child window; made on first use, it owns the view.
    QWidget* container();
    // The container if it has been made, else none.
    QWidget* existingContainer() const { return container_; }

    // Plays timeStep seconds, scaled by the speed, and keeps the drawable it gives for the next
    // paint.
    void UpdateAnimation(float timeStep) override;
    // Asks for a paint at the next turn of the event loop: the idle loop paints as fast as it
    // runs, not at the pace Qt would otherwise throttle window updates to.
    void invalidate() override;

    // Stores the size (pixels) and applies the projection; a zero height counts as 1 for the
    // viewport and the aspect but is stored as 0. Needs the view's context current.
    void Resize(int width, int height);
    // Gives this view's context the renderer's switches and the lighting panel's values, as
    // every context must have them; makes the context current for the call.
    void syncGlState();

    // Fits the camera to the model as its last update left it, as the first fit frames its rest
    // pose, and keeps the turn the user gave it; a motion that reaches out of the first frame
    // then shows whole.
    void FitToModel();

    // Draws a frame now and returns it as a picture (for tests and snapshots); null before the
    // view is set up.
    QImage renderFrame();

    const Camera& camera() const { return camera_; }
    // View > Turntable: while on, the camera turns about the model's centre as the animation
    // plays, one turn in TurntableSeconds; off, it stays at the angle reached.
    static constexpr double TurntableSeconds = 12.0;
    void setTurntable(bool on) { turntable_ = on; }
    bool turntable() const { return turntable_; }
    double turntableAngle() const { return turntableAngle_; }
    ModelInstance* instance() const { return session_ ? &session_->instance() : nullptr; }
    // What the view has played since its instance was built (see PlaySession).
    const PlaySession& session() const { return *session_; }
    double sessionTime() const { return session_->time(); }
    // Shows the pose at the given session time (the instance replayed to it); playing goes on
    // from there.
    void showTime(double seconds);
    // The factor every time step is scaled by (1 plays in real time).
    double speed() const { return speed_; }
    void setSpeed(double speed) { speed_ = speed; }

    // What the view draws over its model (its own selected bone kept), and the bone selected in
    // the model's tree, highlighted whether the skeleton shows or not (-1: none).
    void setOverlays(const OverlayOptions& options);
    const OverlayOptions& overlays() const { return overlays_; }
    void setSelectedBone(int bone);
    int selectedBone() const { return overlays_.selectedBone; }
    // The box around the model's positions as last posed.
    BoundingBox posedBounds() const;

    // The timeline's frames per second: 30 for skeletal meshes, the playing rate for vertex
    // models.
    virtual double timelineRate() const = 0;
    // The timeline's length: the furthest time played, and at least what the model plays (the
    // longest motion started, or the frame range).
    virtual double timelineSpan() const = 0;
    // The frame shown at the timeline's rate, and the name of the clip it belongs to (none for
    // skeletal meshes).
    virtual int timelineFrame() const;
    virtual QString timelineClip() const { return {}; }
    // Whether initializeGL has set the view up (its context exists and the model is measured).
    bool initialised() const { return initialised_; }

protected:
    // Clears, applies the camera, and draws the instance's latest drawable.
    virtual void DrawScene();
    // Builds the instance and measures the model (extent and centre of the camera); each kind
    // of view calls it when it is made, and the model shows in its first pose from then on.
    virtual void InitModel() {}
    // Moves the camera back until the measured model fits, and applies the projection.
    void FitCamera();

    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    void keyPressEvent(QKeyEvent* event) override;

    ViewHost& host_;
    Camera camera_;
    std::unique_ptr<PlaySession> session_;

private:
    void applyGlState() const;
    // Paints the bone names the renderer placed, with the toolkit's text, over the GL picture.
    void paintBoneLabels();
    float extentLength() const;

    Drawable* drawable_ = nullptr;
    double speed_ = 1.0;
    bool turntable_ = false;
    double turntableAngle_ = 0.0;
    OverlayOptions overlays_;
    bool rotateDrag_ = false;
    bool translateDrag_ = false;
    bool leftDrag_ = false;
    bool rightDrag_ = false;
    QPointF last_;
    bool initialised_ = false;
    bool paintPosted_ = false;
    QWidget* container_ = nullptr;
};

}  // namespace qx::app
