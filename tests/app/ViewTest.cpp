// The GL view: camera fitting, mouse and wheel navigation, pixels drawn, and two documents'
// views side by side sharing the renderer and their textures.

#include <cmath>
#include <cstdlib>

#include <QDir>
#include <QMouseEvent>
#include <QWheelEvent>

#include "animation/SkeletalInstance.h"
#include "app/CSModelView.h"
#include "app/CVModelView.h"
#include "scene/ModelScene.h"
#include "scene/OpenFile.h"
#include "tests/app/ViewerFixture.h"
#include "tests/support/FlatModels.h"

namespace qx::test {
namespace {

void sendMouse(QWindow* view, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers keys) {
    QMouseEvent event(type, at, view->mapToGlobal(at), button, held, keys);
    QCoreApplication::sendEvent(view, &event);
}

void sendWheel(QWindow* view, int delta, Qt::KeyboardModifiers keys) {
    const QPoint at(10, 10);
    QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, keys, Qt::NoScrollPhase,
                      false);
    QCoreApplication::sendEvent(view, &event);
}

bool isBackground(QRgb pixel) { return qRed(pixel) < 8 && qGreen(pixel) < 8 && qBlue(pixel) < 8; }

class ViewTest : public QObject {
    Q_OBJECT
    ViewerFixture fixture;
    SkeletalModel wide;  // a red band four times as wide as it is high

private slots:
    void initTestCase() {
        FlatMesh flat;
        flat.square(-40, -10, 40, 10, flat.material({1, 0, 0}));
        wide.addMesh(std::make_unique<SkeletalMesh>(flat.build()));
    }
    void init() { fixture.start(); }
    void cleanup() { fixture.stop(); }

    void fitsAndDrawsTheModel() {
        auto* view = fixture.show(new app::CSModelView(wide, *fixture.viewer), "wide", QSize(320, 320));
        QVERIFY(view);
        const Camera& camera = view->camera();
        // Wider than the window: the vertical extent grows to the window's aspect.
        QCOMPARE(camera.extent.x, 80.0f);
        QCOMPARE(camera.extent.y, 80.0f * camera.height / camera.width);
        const QImage image = view->renderFrame();
        const QRgb centre = image.pixel(image.width() / 2, image.height() / 2);
        QVERIFY2(qRed(centre) > 200 && qGreen(centre) < 40, "the lit red band fills the centre");
        QVERIFY(isBackground(image.pixel(image.width() / 2, 2)));

        // A zero-height window keeps a usable projection: aspect width / 1.
        view->makeCurrent();
        view->Resize(200, 0);
        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        view->doneCurrent();
        QCOMPARE(view->camera().height, 0.0f);
        QCOMPARE(projection[5] / projection[0], 200.0f);
    }

    // Expected changes: turns and field of view in degrees; moves across in pixels (a pixel
    // moves the model by its distance over the window's size); moves in depth in lengths of
    // the model's extent.
    void mouseAndWheelNavigate_data() {
        QTest::addColumn<int>("button");  // 1 left, 2 right, 0 the wheel
        QTest::addColumn<int>("keys");
        QTest::addColumn<int>("dx");  // pixels dragged, or the wheel's delta
        QTest::addColumn<int>("dy");
        QTest::addColumn<QList<float>>("change");  // turn x, y, z, field of view, across x, y, depth
        const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        QTest::newRow("left turns") << 1 << 0 << 12 << 5 << QList<float>{5, 12, 0, 0, 0, 0, 0};
        QTest::newRow("ctrl left moves across") << 1 << ctrl << 32 << 16 << QList<float>{0, 0, 0, 0, 32, -16, 0};
        QTest::newRow("right moves back") << 2 << 0 << 4 << 0 << QList<float>{0, 0, 0, 0, 0, 0, 0.1f};
        QTest::newRow("ctrl right turns z") << 2 << ctrl << 7 << 3 << QList<float>{0, 0, 7, 0, 0, 0, 0};
        QTest::newRow("shift right widens") << 2 << shift << 6 << 0 << QList<float>{0, 0, 0, 3, 0, 0, 0};
        QTest::newRow("two notches") << 0 << 0 << 240 << 0 << QList<float>{0, 0, 0, 0, 0, 0, 0.1f};
        QTest::newRow("below a notch") << 0 << 0 << -100 << 0 << QList<float>{0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("ctrl wheel turns") << 0 << ctrl << 60 << 0 << QList<float>{0, 0, 5, 0, 0, 0, 0};
        QTest::newRow("shift wheel widens") << 0 << shift << -60 << 0 << QList<float>{0, 0, 0, -1, 0, 0, 0};
        QTest::newRow("ctrl before shift") << 0 << (ctrl | shift) << 120 << 0 << QList<float>{0, 0, 10, 0, 0, 0, 0};
    }
    void mouseAndWheelNavigate() {
        QFETCH(int, button);
        QFETCH(int, keys);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QFETCH(QList<float>, change);
        auto* view = fixture.show(new app::CSModelView(wide, *fixture.viewer), "wide", QSize(320, 320));
        QVERIFY(view);
        const Camera before = view->camera();
        const auto modifiers = Qt::KeyboardModifiers(keys);
        if (button == 0) {
            sendWheel(view, dx, modifiers);
        } else {
            const Qt::MouseButton b = button == 1 ? Qt::LeftButton : Qt::RightButton;
            const QPoint from(100, 100);
            sendMouse(view, QEvent::MouseButtonPress, from, b, b, modifiers);
            sendMouse(view, QEvent::MouseMove, from + QPoint(dx, dy), Qt::NoButton, b, modifiers);
            sendMouse(view, QEvent::MouseButtonRelease, from + QPoint(dx, dy), b, Qt::NoButton, modifiers);
            sendMouse(view, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton, modifiers);  // released: no effect
        }
        const Camera& after = view->camera();
        const Vector3& e = before.extent;
        const float length = std::sqrt(e.x * e.x + e.y * e.y + e.z * e.z);
        const float distance = -before.translation.z;
        const float expected[7] = {change[0],
                                   change[1],
                                   change[2],
                                   change[3],
                                   change[4] * distance / before.width,
                                   change[5] * distance / before.height,
                                   change[6] * length};
        const float actual[7] = {after.rotationX - before.rotationX,         after.rotationY - before.rotationY,
                                 after.rotationZ - before.rotationZ,         after.fieldOfView - before.fieldOfView,
                                 after.translation.x - before.translation.x, after.translation.y - before.translation.y,
                                 after.translation.z - before.translation.z};
        for (int i = 0; i < 7; ++i)
            QVERIFY2(std::abs(actual[i] - expected[i]) <= 1e-4f * (1.0f + std::abs(expected[i]) + distance),
                     qPrintable(QStringLiteral("field %1: %2, expected %3").arg(i).arg(actual[i]).arg(expected[i])));
        // The clip distances stay as fitted whatever changes.
        QCOMPARE(after.nearClip, before.nearClip);
        QCOMPARE(after.farClip, before.farClip);
    }

    void twoDocumentsShareTheRendererAndTextures() {
        const QString samples = QStringLiteral(QX_SOURCE_DIR "/samples/");
        SkeletalModel figure;
        std::unique_ptr<VertexModel> flag;
        std::string reason;
        {
            // As a document is read before its view exists: in the shared context.
            const app::SharedGlScope gl;
            QVERIFY(gl.current());
            auto mesh = readMeshToShow((samples + "figure.qm1").toStdString(), &reason, ImageLoading::Upload);
            QVERIFY2(mesh, reason.c_str());
            figure.addMesh(std::move(mesh));
            auto walk = readMotionToPlay((samples + "figure-walk.qm2").toStdString(), &reason);
            QVERIFY2(walk, reason.c_str());
            figure.addMotion(std::move(walk));
            flag = readVertexModelToShow((samples + "flag.qv1").toStdString(), &reason, ImageLoading::Upload);
            QVERIFY2(flag, reason.c_str());
        }
        QVERIFY(figure.meshes()[0]->textures.at(0).glName != 0);
        auto* figureView = fixture.show(new app::CSModelView(figure, *fixture.viewer), "figure.qm1");
        auto* flagView = fixture.show(new app::CVModelView(*flag, *fixture.viewer), "flag.qv1");
        QVERIFY(figureView && flagView);
        fixture.frame().mdiArea().tileSubWindows();
        auto* walker = static_cast<SkeletalInstance*>(figureView->instance());
        MotionSettings walk;
        walk.motionId = figure.motions()[0]->nameHash;
        QVERIFY(walker->start(walk));
        for (int step = 0; step < 30; ++step) figureView->UpdateAnimation(1.0f / 60.0f);  // mid-walk
        flagView->UpdateAnimation(0.5f);
        fixture.frame().lightingPanel().findChild<QSlider*>("blue")->setValue(90);
        QTest::qWait(50);

        // Each view draws its own model, textured in both contexts: turning texturing off
        // changes both pictures.
        const QImage figureTextured = figureView->renderFrame();
        const QImage flagTextured = flagView->renderFrame();
        if (const char* folder = std::getenv("QX_SCREENSHOT_DIR"))
            screenshot(fixture.frame()).save(QDir(QString::fromLocal8Bit(folder)).filePath("two-views.png"));
        fixture.viewer->OnTexture();
        QVERIFY(figureView->renderFrame() != figureTextured);
        QVERIFY(flagView->renderFrame() != flagTextured);
        fixture.viewer->OnTexture();

        // Closing one window leaves the other drawing and animated.
        fixture.frame().mdiArea().setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(flagView->container()->parentWidget()));
        fixture.frame().mdiArea().closeActiveSubWindow();
        QTRY_COMPARE(fixture.viewer->activeView(), static_cast<app::CBaseView*>(figureView));
        QVERIFY(fixture.viewer->renderer() != nullptr);
        fixture.viewer->startAnimation();
        const QImage beforeSteps = figureView->renderFrame();
        for (int pass = 0; pass < 10; ++pass) {
            fixture.counter.now += 40;
            fixture.viewer->OnIdle(pass);
        }
        const QImage afterSteps = figureView->renderFrame();
        QVERIFY(afterSteps != beforeSteps);
        QVERIFY(!isBackground(afterSteps.pixel(afterSteps.width() / 2, afterSteps.height() / 2)));

        fixture.stop();  // the views go before the models they show
        const app::SharedGlScope gl;
        flag.reset();
    }
};

}  // namespace

std::unique_ptr<QObject> makeViewTests() { return std::make_unique<ViewTest>(); }

}  // namespace qx::test

#include "ViewTest.moc"
