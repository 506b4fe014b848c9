// The main window's toolbar commands and lighting panel, seen in a view's GL context.

#include <QAction>
#include <QLineEdit>
#include <QSlider>

#include "app/CSModelView.h"
#include "render/Renderer.h"
#include "tests/app/ViewerFixture.h"
#include "tests/support/FlatModels.h"

namespace qx::test {
namespace {

using app::CommandId;

class MainFrameTest : public QObject {
    Q_OBJECT
    ViewerFixture fixture;
    SkeletalModel model;

    app::CSModelView* openView(const QString& title) {
        return fixture.show(new app::CSModelView(model, *fixture.viewer), title);
    }

private slots:
    void initTestCase() {
        FlatMesh flat;
        flat.square(-1, -1, 1, 1, flat.material({1, 1, 1}));
        model.addMesh(std::make_unique<SkeletalMesh>(flat.build()));
    }
    void init() { fixture.start(); }
    void cleanup() { fixture.stop(); }

    void lightingPanelDrivesTheClearColour_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");  // typed into a number box, or
        QTest::addColumn<int>("slider");     // a slider position when nothing is typed
        QTest::addColumn<QString>("boxShows");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("sliderAfter");
        QTest::newRow("red slider") << "red"
                                    << "" << 255 << "255" << 0 << 255;
        QTest::newRow("green box") << "greenBox"
                                   << "128" << 0 << "128" << 1 << 128;
        QTest::newRow("four digits") << "blueBox"
                                     << "2001" << 0 << "200" << 2 << 200;
        QTest::newRow("not a number") << "redBox"
                                      << "x7" << 0 << "7" << 0 << 7;
    }
    void lightingPanelDrivesTheClearColour() {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(int, slider);
        QFETCH(QString, boxShows);
        QFETCH(int, channel);
        QFETCH(int, sliderAfter);
        app::CSModelView* view = openView("lit");
        QVERIFY(view);
        QCOMPARE(glFloats(*view, GL_COLOR_CLEAR_VALUE)[static_cast<std::size_t>(channel)], 0.0f);
        const char* names[3][2] = {{"red", "redBox"}, {"green", "greenBox"}, {"blue", "blueBox"}};
        auto* panel = &fixture.frame().lightingPanel();
        if (typed.isEmpty()) {
            panel->findChild<QSlider*>(control)->setValue(slider);
        } else {
            auto* box = panel->findChild<QLineEdit*>(control);
            box->selectAll();
            QTest::keyClicks(box, typed);
        }
        const auto sliderName = QString::fromLatin1(names[channel][0]);
        const auto boxName = QString::fromLatin1(names[channel][1]);
        QCOMPARE(panel->findChild<QLineEdit*>(boxName)->text(), boxShows);
        QCOMPARE(panel->findChild<QSlider*>(sliderName)->value(), sliderAfter);
        QCOMPARE(glFloats(*view, GL_COLOR_CLEAR_VALUE)[static_cast<std::size_t>(channel)], sliderAfter / 255.0f);
    }

    void levelsSetAmbientEmissionAndSpecular() {
        app::CSModelView* view = openView("levels");
        QVERIFY(view);
        auto* panel = &fixture.frame().lightingPanel();
        panel->findChild<QSlider*>("ambientLevel")->setValue(51);
        panel->findChild<QSlider*>("specularLevel")->setValue(255);
        view->makeCurrent();
        GLfloat ambient[4], emission[4], specular[4];
        glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
        glGetMaterialfv(GL_FRONT, GL_EMISSION, emission);
        glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
        view->doneCurrent();
        QCOMPARE(ambient[0], 0.2f);
        QCOMPARE(emission[1], 0.2f);
        QCOMPARE(emission[3], 1.0f);
        QCOMPARE(specular[2], 1.0f);
    }

    void textureAndCullFollowTheRenderer() {
        auto& frame = fixture.frame();
        app::CViewerApp& viewer = *fixture.viewer;
        QAction* texture = frame.action(app::IdTexture);
        QAction* cull = frame.action(app::IdCull);
        // No window, no renderer: disabled, shown pressed, and wanted on whatever is clicked.
        QVERIFY(!texture->isEnabled());
        QVERIFY(!frame.action(app::IdPause)->isEnabled());
        viewer.OnTexture();
        QVERIFY(texture->isChecked());
        QVERIFY(viewer.texturingWanted());

        app::CSModelView* first = openView("first");
        app::CSModelView* second = openView("second");
        QVERIFY(first && second);
        QVERIFY(texture->isEnabled() && cull->isEnabled());
        QVERIFY(cull->isChecked());
        cull->trigger();
        texture->trigger();
        QVERIFY(!cull->isChecked() && !texture->isChecked());
        QVERIFY(!viewer.renderer()->isEnabled(Renderer::Culling));
        // Every view's context follows, not only the one that happened to be current.
        for (app::CBaseView* view : {static_cast<app::CBaseView*>(first), static_cast<app::CBaseView*>(second)}) {
            QVERIFY(!glEnabled(*view, GL_CULL_FACE));
            QVERIFY(!glEnabled(*view, GL_TEXTURE_2D));
            QVERIFY(glEnabled(*view, GL_DEPTH_TEST));
            QVERIFY(glEnabled(*view, GL_LIGHTING));
        }

        // Closing every window ends the renderer; the next one starts with everything on.
        frame.mdiArea().closeAllSubWindows();
        QTRY_VERIFY(viewer.renderer() == nullptr);
        QVERIFY(texture->isChecked() && !texture->isEnabled());
        app::CSModelView* again = openView("again");
        QVERIFY(again);
        QVERIFY(texture->isChecked() && cull->isChecked());
        QVERIFY(glEnabled(*again, GL_CULL_FACE));
    }

    void pauseTogglesTheClock() {
        QAction* pause = fixture.frame().action(app::IdPause);
        QVERIFY(openView("paused"));
        pause->trigger();
        QVERIFY(fixture.viewer->clock().paused());
        QVERIFY(pause->isChecked());
        pause->trigger();
        QVERIFY(!fixture.viewer->clock().paused());
        QVERIFY(!pause->isChecked());
    }
};

}  // namespace

std::unique_ptr<QObject> makeMainFrameTests() { return std::make_unique<MainFrameTest>(); }

}  // namespace qx::test

#include "MainFrameTest.moc"
