#include "app/CBaseView.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdint>

#include <QCoreApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLPaintDevice>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

#include "animation/SkeletalDrawable.h"
#include "app/DroppedFiles.h"
#include "core/ModelKind.h"
#include "render/Lighting.h"
#include "render/Renderer.h"
#include "vertex/VertexDrawable.h"

namespace qx::app {

namespace {

// Wheel rates per unit of delta (a notch is 120): 10 degrees of turn, 2 of field of view.
constexpr float WheelTurn = 0.083333336f;
constexpr float WheelFieldOfView = 0.016666668f;
constexpr int Notch = 120;

}  // namespace

CBaseView::CBaseView(ViewHost& host) : QOpenGLWindow(QOpenGLContext::globalShareContext()), host_(host) {
    setObjectName(QStringLiteral("view"));
    host_.viewCreated(this);
}

QWidget* CBaseView::container() {
    if (container_ == nullptr) {
        container_ = QWidget::createWindowContainer(this);
        container_->setObjectName(QStringLiteral("viewContainer"));
        container_->setMinimumSize(1, 1);
        container_->setFocusPolicy(Qt::ClickFocus);
    }
    return container_;
}

void CBaseView::invalidate() {
    if (paintPosted_) return;
    paintPosted_ = true;
    QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest));
}

bool CBaseView::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::UpdateRequest:
            paintPosted_ = false;
            break;
        // The view is a window of its own, so a drag over it never reaches the main window's
        // widgets: files dropped here go into this view's document as dropped anywhere else.
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!droppedFiles(drag->mimeData()).isEmpty()) drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = droppedFiles(drop->mimeData());
            if (files.isEmpty()) return true;
            drop->acceptProposedAction();
            host_.filesDropped(files, container_);
            return true;
        }
        default:
            break;
    }
    return QOpenGLWindow::event(event);
}

QImage CBaseView::renderFrame() {
    if (!initialised_) return {};
    makeCurrent();
    paintGL();
    glFinish();
    const qreal ratio = devicePixelRatio();
    const int w = static_cast<int>(width() * ratio), h = static_cast<int>(height() * ratio);
    // Colours only, as the screen shows them: blended texels leave alpha below 1.
    QImage image(w, h, QImage::Format_RGBX8888);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    doneCurrent();
    // GL rows run bottom first.
    return image.mirrored();
}

CBaseView::~CBaseView() {
    // The instance's drawable is gone with it; nothing of it may stay with the renderer.
    makeCurrent();
    drawable_ = nullptr;
    session_.reset();
    doneCurrent();
    host_.viewDestroyed(this);
}

void CBaseView::initializeGL() {
    host_.ensureRenderer();
    applyGlState();
    // The instance was built and the model measured when the view was made (InitModel), so
    // that the child window's panels can use it before the window first shows.
    camera_.width = static_cast<float>(width());
    camera_.height = static_cast<float>(height());
    FitCamera();
    initialised_ = true;
    host_.viewInitialised(this);
}

void CBaseView::applyGlState() const {
    // The renderer's light is placed through the modelview current when it is set; placed
    // under the identity it shines from the viewer's side whatever the camera did before.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (const Renderer* renderer = host_.renderer()) renderer->applyToCurrentContext();
    applyLighting(host_.lighting());
    glPopMatrix();
}

void CBaseView::syncGlState() {
    if (!initialised_) return;
    makeCurrent();
    applyGlState();
    doneCurrent();
    update();
}

void CBaseView::resizeGL(int width, int height) { Resize(width, height); }

void CBaseView::Resize(int width, int height) {
    camera_.width = static_cast<float>(width);
    camera_.height = static_cast<float>(height);
    applyProjection(camera_, static_cast<float>(devicePixelRatio()));
}

void CBaseView::FitToModel() {
    if (drawable_ == nullptr) return;
    if (drawable_->kind() == SkeletalKind)
        measureBox(camera_, static_cast<const SkeletalDrawable*>(drawable_)->positions);
    else
        measureBox(camera_, static_cast<const VertexDrawable*>(drawable_)->positions);
    // The fit moves the model by its centre from where the camera stands across the view, which
    // is the origin only before any fit or drag: it is put back there first.
    camera_.translation = {0.0f, 0.0f, camera_.translation.z};
    fitCamera(camera_);
    invalidate();
}

void CBaseView::FitCamera() {
    fitCamera(camera_);
    applyProjection(camera_, static_cast<float>(devicePixelRatio()));
}

void CBaseView::paintGL() {
    // Every paint sets the projection from the camera as it stands, so a change of the field
    // of view made between paints always shows.
    applyProjection(camera_, static_cast<float>(devicePixelRatio()));
    DrawScene();
}

void CBaseView::DrawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyCameraTransform(camera_, {turntableAngle_, 0.0, 1.0});
    Renderer* renderer = host_.renderer();
    if (renderer == nullptr) return;
    // The view hands its own drawable over at paint time rather than when it was updated: a
    // view repainted for another reason (uncovered, resized) then draws its own model, never
    // the one another view submitted, and the renderer never holds a drawable past the paint.
    if (drawable_ != nullptr) renderer->submit(*drawable_);
    // The renderer is every view's: each paint sets this view's overlays.
    renderer->setOverlays(overlays_);
    renderer->drawAll();
    renderer->clear();
    if (overlays_.boneNames) paintBoneLabels();
}

void CBaseView::paintBoneLabels() {
    const Renderer* renderer = host_.renderer();
    if (renderer == nullptr || renderer->boneLabels().empty()) return;
    const qreal ratio = devicePixelRatio();
    // Qt's GL painter sets state of its own (shaders, blending, depth) that the fixed-function
    // drawing of the next frame must not inherit: all of it is put back afterwards.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    QOpenGLPaintDevice device(size() * ratio);
    device.setDevicePixelRatio(ratio);
    QPainter painter(&device);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFontMetrics metrics(painter.font());
    for (const BoneLabel& label : renderer->boneLabels()) {
        const QString name = QString::fromLatin1(label.name.data(), static_cast<qsizetype>(label.name.size()));
        const qreal width = metrics.horizontalAdvance(name);
        // Beside the bone's middle, on the side away from the skeleton's middle, centred on it
        // up and down.
        const QPointF at(label.x / ratio + (label.leftward ? -width - 6.0 : 6.0),
                         label.y / ratio + (metrics.ascent() - metrics.descent()) / 2.0);
        const bool selected = label.bone == overlays_.selectedBone;
        painter.setPen(QColor(0, 0, 0, 200));
        painter.drawText(at + QPointF(1.0, 1.0), name);
        painter.setPen(selected ? QColor(255, 80, 235) : QColor(255, 240, 160));
        painter.drawText(at, name);
    }
    painter.end();
    context()->functions()->glUseProgram(0);
    glPopClientAttrib();
    glPopAttrib();
}

void CBaseView::setOverlays(const OverlayOptions& options) {
    const int selected = overlays_.selectedBone;
    overlays_ = options;
    overlays_.selectedBone = selected;
    update();
}

void CBaseView::setSelectedBone(int bone) {
    overlays_.selectedBone = bone;
    update();
}

BoundingBox CBaseView::posedBounds() const {
    if (drawable_ == nullptr) return {};
    const std::vector<Vector3>& positions = drawable_->kind() == SkeletalKind
                                                ? static_cast<const SkeletalDrawable*>(drawable_)->positions
                                                : static_cast<const VertexDrawable*>(drawable_)->positions;
    return boxOf(positions.data(), positions.size());
}

void CBaseView::UpdateAnimation(float timeStep) {
    if (session_) drawable_ = session_->advance(static_cast<double>(timeStep) * speed_);
    if (turntable_ && std::isfinite(timeStep) && timeStep > 0.0f)
        turntableAngle_ = std::fmod(turntableAngle_ + 360.0 * timeStep / TurntableSeconds, 360.0);
}

void CBaseView::showTime(double seconds) {
    if (!session_) return;
    drawable_ = session_->seek(seconds);
    update();
}

int CBaseView::timelineFrame() const {
    // A hair over the frame's own time is still that frame: a time stepped to k / rate reads k.
    return static_cast<int>(std::floor(sessionTime() * timelineRate() + 1e-6));
}

void CBaseView::keyPressEvent(QKeyEvent* event) {
    // The view is a window of its own, outside the main window's shortcuts: its keys go there.
    if (!host_.viewKeyPressed(event->keyCombination())) QOpenGLWindow::keyPressEvent(event);
}

float CBaseView::extentLength() const {
    const Vector3& e = camera_.extent;
    return std::sqrt(e.x * e.x + e.y * e.y + e.z * e.z);
}

void CBaseView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (event->modifiers() & Qt::ControlModifier)
            translateDrag_ = true;
        else
            rotateDrag_ = true;
        leftDrag_ = true;
        last_ = event->position();
    } else if (event->button() == Qt::RightButton) {
        rightDrag_ = true;
        last_ = event->position();
    }
    QOpenGLWindow::mousePressEvent(event);
}

void CBaseView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        rotateDrag_ = translateDrag_ = leftDrag_ = false;
    } else if (event->button() == Qt::RightButton) {
        rightDrag_ = false;
    }
    QOpenGLWindow::mouseReleaseEvent(event);
}

void CBaseView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF position = event->position();
    const float dx = static_cast<float>(position.x() - last_.x());
    const float dy = static_cast<float>(position.y() - last_.y());
    const Qt::KeyboardModifiers keys = event->modifiers();
    if (leftDrag_) {
        if (rotateDrag_) {
            camera_.rotationY += dx;
            camera_.rotationX += dy;
        } else if (translateDrag_) {
            const float g = -camera_.translation.z;
            camera_.translation.x += dx / camera_.width * g;
            camera_.translation.y -= g * dy / camera_.height;
        }
        last_ = position;
    }
    if (rightDrag_) {
        if (keys & Qt::ControlModifier)
            camera_.rotationZ += dx;
        else if (keys & Qt::ShiftModifier)
            camera_.fieldOfView += dx * 0.5f;
        else
            camera_.translation.z += extentLength() * 0.025f * dx;
        last_ = position;
    }
    update();
    QOpenGLWindow::mouseMoveEvent(event);
}

void CBaseView::wheelEvent(QWheelEvent* event) {
    // Some systems turn a wheel held with a modifier into a sideways one.
    const QPoint angle = event->angleDelta();
    const int delta = static_cast<std::int16_t>(angle.y() != 0 ? angle.y() : angle.x());
    const Qt::KeyboardModifiers keys = event->modifiers();
    if (keys & Qt::ControlModifier)
        camera_.rotationZ += static_cast<float>(delta) * WheelTurn;
    else if (keys & Qt::ShiftModifier)
        camera_.fieldOfView += static_cast<float>(delta) * WheelFieldOfView;
    else
        camera_.translation.z += extentLength() * 0.05f * static_cast<float>(delta / Notch);
    update();
    event->accept();
}

}  // namespace qx::app
