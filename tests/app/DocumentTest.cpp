// The commands a user works with: Open (models, motions, the duplicate check), the model tree
// and property forms, Convert and Help; with scripted dialogs and screenshots on request.

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QTemporaryDir>
#include <QUrl>

#include <nlohmann/json.hpp>

#include <GL/glu.h>

#include "animation/SkeletalInstance.h"
#include "app/CMainFrame.h"
#include "app/CSModelFrame.h"
#include "app/CSModelProperty.h"
#include "app/CSMotionProperty.h"
#include "app/CVModelFrame.h"
#include "app/CVModelProperty.h"
#include "app/FileFilters.h"
#include "app/TimelineBar.h"
#include "import/Conversion.h"
#include "render/Camera.h"
#include "scene/OpenFile.h"
#include "tests/app/ScriptedDialogs.h"
#include "tests/app/ViewerFixture.h"
#include "tests/support/AmExportBuilder.h"
#include "tests/support/Md2Builder.h"
#include "tests/support/OpeningCases.h"
#include "vertex/VertexModelFile.h"
#include "video/VideoReader.h"

namespace qx::test {
namespace {

const QString Samples = QStringLiteral(QX_SOURCE_DIR "/samples/");

void save(app::CMainFrame& frame, const char* name) {
    if (const char* folder = std::getenv("QX_SCREENSHOT_DIR"))
        screenshot(frame).save(QDir(QString::fromLocal8Bit(folder)).filePath(QString::fromLatin1(name)));
}

void writeBytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Types text into a number box and leaves it, as a user would.
void enter(QWidget* form, const char* box, const QString& text) {
    auto* edit = form->findChild<app::NumberBox*>(QString::fromLatin1(box));
    QVERIFY(edit != nullptr);
    edit->setText(text);
    emit edit->left();
}

class DocumentTest : public QObject {
    Q_OBJECT
    ViewerFixture fixture;
    DialogLog log;
    std::unique_ptr<QTemporaryDir> temporary;
    QString filePath(const QString& name) const { return temporary->filePath(name); }

    app::CViewerApp& viewer() { return *fixture.viewer; }
    int childCount() { return static_cast<int>(fixture.frame().mdiArea().subWindowList().size()); }
    // Runs Open with the dialog answering path (empty: Cancel).
    void open(const QString& path) {
        log.answers.push_back(path);
        viewer().OnFileOpen();
        QCoreApplication::processEvents();
    }
    app::CSModelFrame* skeletalFrame() { return qobject_cast<app::CSModelFrame*>(viewer().activeChildFrame()); }

private slots:
    void init() {
        QSettings().clear();  // each test starts as on a first run
        log = DialogLog{};
        temporary = std::make_unique<QTemporaryDir>();
        fixture.start();
        viewer().setDialogs(std::make_unique<ScriptedDialogs>(log));
    }
    void cleanup() { fixture.stop(); }

    void openLoadsModelsAndMotions() {
        open(Samples + "figure.qm1");
        QCOMPARE(log.requests.back().filter, app::ModelFilesFilter);
        app::CSModelFrame* frame = skeletalFrame();
        QVERIFY(frame != nullptr);
        QVERIFY(frame->parentWidget()->isMaximized());
        QCOMPARE(frame->outerSplitter().sizes().at(1), 1);
        QCOMPARE(frame->tree().topLevelItem(0)->text(0), Samples + "figure.qm1");
        // A maximised child window's title shows in the main window's.
        QCOMPARE(fixture.frame().windowTitle(), QStringLiteral("qxmodelview - [figure.qm1]"));
        // The stopwatches Open takes survive the passes before the view first shows.
        QTRY_VERIFY(frame->view().initialised());
        QVERIFY(viewer().idleLoop().animationStopwatch() >= 0);
        QVERIFY(viewer().idleLoop().frameRateStopwatch() >= 0);
        QCOMPARE(viewer().recentFiles().front(), Samples + "figure.qm1");

        // With the mesh active, Open offers motions and loads them into it.
        const QString copy = filePath("FIGURE-WALK.QM2");
        QVERIFY(QFile::copy(Samples + "figure-walk.qm2", copy));
        for (const QString& motion : {Samples + "figure-walk.qm2", Samples + "figure-wave.qm2", copy}) open(motion);
        QCOMPARE(log.requests.back().filter, app::MotionFilesFilter);
        QCOMPARE(frame->modelDocument().model().motions().size(), std::size_t{3});
        QTreeWidgetItem* root = frame->tree().topLevelItem(0);
        QCOMPARE(root->childCount(), 4);  // the motions, above the bones
        QCOMPARE(root->child(2)->text(0), QStringLiteral("FIGURE-WALK.QM2"));
        QCOMPARE(root->child(3)->text(0), QStringLiteral("Bones"));
        // Each item holds the document it stands for, by its type.
        QVERIFY(app::itemDocument(root) == app::DocumentRef(&frame->modelDocument()));
        for (int i = 0; i < 3; ++i)
            QVERIFY(app::itemDocument(root->child(i)) ==
                    app::DocumentRef(frame->modelDocument().motionRecords()[static_cast<std::size_t>(i)].get()));
        QVERIFY(frame->modelView().skeletalInstance().cycles().empty());
        QVERIFY(log.messages.isEmpty());

        // The same path again is refused; so is a file its reader rejects.
        open(Samples + "figure-walk.qm2");
        const QString broken = filePath("broken.qm2");
        writeBytes(broken, {'Q', 'X', 'M', '2', 1});
        open(broken);
        QCOMPARE(log.messages.size(), 2);
        QCOMPARE(log.messages[0], QStringLiteral("Skeletal Motion: figure-walk.qm2 has already been loaded."));
        QVERIFY(log.messages[1].startsWith(QStringLiteral("Cannot open broken.qm2: ")));
        QCOMPARE(root->childCount(), 4);
        QCOMPARE(frame->modelDocument().model().motions().size(), std::size_t{3});

        // A model typed in opens beside; a vertex model window closes at the next Open, even
        // when it is cancelled.
        open(Samples + "flag.qv1");
        QCOMPARE(childCount(), 2);
        QVERIFY(qobject_cast<app::CVModelFrame*>(viewer().activeChildFrame()));
        save(fixture.frame(), "open-flag.png");
        open(QString());
        QCOMPARE(childCount(), 1);
        QCOMPARE(log.requests.back().filter, app::ModelFilesFilter);

        // The other document goes on animating.
        fixture.frame().mdiArea().setActiveSubWindow(fixture.frame().mdiArea().subWindowList().front());
        QTRY_VERIFY(viewer().activeView() == &frame->view());
        QVERIFY(viewer().renderer() != nullptr);

        const QString bad = filePath("bad.qm1");
        writeBytes(bad, {'Q', 'X', 'M', '1'});
        fixture.frame().mdiArea().closeAllSubWindows();
        open(bad);
        QCOMPARE(childCount(), 0);
        QVERIFY(log.messages.back().startsWith(QStringLiteral("Cannot open bad.qm1: ")));
    }

    void treeAndFormsDriveTheModel() {
        open(Samples + "figure.qm1");
        open(Samples + "figure-walk.qm2");
        app::CSModelFrame* frame = skeletalFrame();
        QVERIFY(frame != nullptr);
        frame->outerSplitter().setSizes({600, 300});
        QTreeWidgetItem* root = frame->tree().topLevelItem(0);
        QTreeWidgetItem* walk = root->child(0);
        SkeletalInstance& instance = frame->modelView().skeletalInstance();

        frame->tree().setCurrentItem(root);
        auto* meshForm = qobject_cast<app::CSModelProperty*>(frame->propertyForm());
        QVERIFY(meshForm != nullptr);
        QCOMPARE(meshForm->findChild<QLabel*>("name")->text(), Samples + "figure.qm1");

        frame->tree().setCurrentItem(walk);
        auto* form = qobject_cast<app::CSMotionProperty*>(frame->propertyForm());
        QVERIFY(form != nullptr);
        const char* boxes[] = {"attackLength", "decayLength", "weight", "timeFactor", "delay", "stopTime"};
        const char* shown[] = {"0", "0", "1", "1", "0", "-1"};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(form->findChild<app::NumberBox*>(boxes[i])->text(), QString::fromLatin1(shown[i]));

        auto& record = *frame->modelDocument().motionRecords().front();
        enter(form, "stopTime", "-3");
        enter(form, "attackLength", "-2");
        enter(form, "delay", "x");  // no number: the setting stays
        form->findChild<QComboBox*>("animationType")->setCurrentIndex(1);
        QCOMPARE(record.settings().stopTime, -1.0f);
        QCOMPARE(form->findChild<app::NumberBox*>("stopTime")->text(), QStringLiteral("-1"));
        QCOMPARE(record.settings().attackLength, record.motion().duration);
        QCOMPARE(form->findChild<app::NumberBox*>("attackLength")->text(), QStringLiteral("-2"));
        QCOMPARE(record.settings().delay, 0.0f);
        QCOMPARE(record.motion().animationType, 1);

        // The forms stay while the selection moves (whoever holds their widgets keeps valid
        // ones); a box being edited gives its text to the item it was showing.
        const QPointer<QWidget> motionForm = form;
        auto* weight = form->findChild<app::NumberBox*>("weight");
        fixture.frame().activateWindow();
        weight->setFocus();
        QTRY_VERIFY(weight->hasFocus());
        weight->setText(QStringLiteral("0.5"));
        frame->tree().setCurrentItem(root);
        QCOMPARE(record.settings().weight, 0.5f);
        QVERIFY(motionForm != nullptr && motionForm->isHidden());
        frame->tree().setCurrentItem(walk);
        QCOMPARE(frame->propertyForm(), motionForm.data());
        QCOMPARE(weight->text(), QStringLiteral("0.5"));

        // The root's box does nothing; a motion's box starts and stops it.
        root->setCheckState(0, Qt::Checked);
        QVERIFY(instance.overlays().empty() && instance.cycles().empty());
        walk->setCheckState(0, Qt::Checked);
        QCOMPARE(instance.overlays().size(), std::size_t{1});
        save(fixture.frame(), "motion-form.png");
        walk->setCheckState(0, Qt::Unchecked);
        for (int step = 0; step < 200 && !instance.overlays().empty(); ++step) instance.update(0.05f);
        QVERIFY(instance.overlays().empty());

        // A vertex model: clip items play their frames, frame items one frame, the root all; the
        // form plays what it says.
        open(Samples + "flag.qv1");
        auto* flag = qobject_cast<app::CVModelFrame*>(viewer().activeChildFrame());
        QVERIFY(flag != nullptr);
        VertexInstance& frames = flag->modelView().vertexInstance();
        QTreeWidgetItem* flagRoot = flag->tree().topLevelItem(0);
        const std::int32_t frameCount = flag->modelDocument().frameCount();
        QCOMPARE(flagRoot->childCount(), 3);
        flag->outerSplitter().setSizes({600, 300});
        flag->innerSplitter().setSizes({400, 200});
        QTreeWidgetItem* flap = flagRoot->child(1);
        QCOMPARE(flap->text(0), QStringLiteral("flap"));
        QCOMPARE(flap->child(0)->text(0), QString::fromStdString(flag->modelDocument().model().frames[12].name));
        flag->tree().setCurrentItem(flap);
        QCOMPARE(frames.start(), 12);
        QCOMPARE(frames.end(), 12 + flap->childCount());
        flag->tree().setCurrentItem(flap->child(3));
        QCOMPARE(frames.start(), 15);
        QCOMPARE(frames.end(), 16);
        flag->tree().setCurrentItem(flagRoot);
        QCOMPARE(frames.end(), frameCount);
        QWidget* vertexForm = flag->propertyForm();
        QCOMPARE(vertexForm->findChild<app::NumberBox*>("frameEnd")->text(), QString::number(frameCount));
        enter(vertexForm, "frameStart", "2.7");
        enter(vertexForm, "fps", "-20");
        QCOMPARE(frames.start(), 2);
        QCOMPARE(frames.fps(), 20.0f);
        save(fixture.frame(), "vertex-form.png");

        // A change made through a document reaches the tree, the form and the view by itself.
        app::CSModelDoc& document = frame->modelDocument();
        MotionSettings settings = record.settings();
        settings.weight = 0.25f;
        document.setSettings(record, settings);
        QCOMPARE(form->findChild<app::NumberBox*>("weight")->text(), QStringLiteral("0.25"));
        document.startMotion(record);
        QCOMPARE(walk->checkState(0), Qt::Checked);
        QCOMPARE(instance.overlays().size(), std::size_t{1});
        document.stopMotion(record);
        QCOMPARE(walk->checkState(0), Qt::Unchecked);
        QVERIFY(flag->modelDocument().setRange(1, 3));
        flag->modelDocument().setFps(-7.0f);
        QCOMPARE(frames.start(), 1);
        QCOMPARE(frames.end(), 3);
        QCOMPARE(frames.fps(), 7.0f);
        QCOMPARE(vertexForm->findChild<app::NumberBox*>("frameEnd")->text(), QStringLiteral("3"));
        QCOMPARE(vertexForm->findChild<app::NumberBox*>("fps")->text(), QStringLiteral("7"));
    }

    // Record... of the session from the moment shown: the frames chosen, a cancel leaving no file.
    void recordWritesTheChosenFramesAndCancelLeavesNone() {
        open(Samples + "figure.qm1");
        open(Samples + "figure-walk.qm2");
        app::CSModelFrame* frame = skeletalFrame();
        QVERIFY(frame != nullptr);
        frame->modelDocument().startMotion(*frame->modelDocument().motionRecords().front());
        fixture.counter.now += 300;
        viewer().OnIdle(0);
        const struct {
            const char* name;
            app::RecordingChoice choice;
            std::int64_t cancelAt;
            std::size_t frames;  // 0: no file
        } cases[] = {
            {"clip.gif", {40, 30, 10, 0.3, 90}, -1, 3},
            {"clip.mp4", {48, 32, 20, 0.25, 0}, -1, 5},
            {"cancelled.mp4", {48, 32, 20, 0.25, 0}, 2, 0},
        };
        for (const auto& c : cases) {
            log.answers.push_back(filePath(QString::fromLatin1(c.name)));
            log.recordings.push_back(c.choice);
            log.cancelAt = c.cancelAt;
            viewer().OnRecord();
            QVERIFY2(!log.offeredRecordings.empty(), qPrintable(log.messages.join(QLatin1Char('\n'))));
            // Offered: the view's size and one cycle of the walk.
            QCOMPARE(log.offeredRecordings.back().width, static_cast<int>(frame->modelView().camera().width));
            QVERIFY(std::abs(log.offeredRecordings.back().duration - 1.2) < 0.05);
            DecodedVideo video;
            const bool read = readVideo(filePath(QString::fromLatin1(c.name)).toStdString(), video, nullptr);
            QCOMPARE(read, c.frames > 0);
            QCOMPARE(video.frames.size(), c.frames);
            if (read) QCOMPARE(video.width, c.choice.width);
        }
        QCOMPARE(log.messages, QStringList{});
        QCOMPARE(QDir(temporary->path()).entryList(QDir::Files), (QStringList{"clip.gif", "clip.mp4"}));
    }

    void timelineKeysSpeedAndSessionScript() {
        open(Samples + "figure.qm1");
        open(Samples + "figure-walk.qm2");
        app::CSModelFrame* frame = skeletalFrame();
        QVERIFY(frame != nullptr);
        app::CSModelView& view = frame->modelView();
        frame->modelDocument().startMotion(*frame->modelDocument().motionRecords().front());
        const auto play = [&](int milliseconds) {
            fixture.counter.now += milliseconds;
            viewer().OnIdle(0);
        };
        const auto readout = [&] { return frame->timeline().readout(); };
        fixture.frame().action(app::IdTurntable)->trigger();
        play(500);
        frame->timeline().speedBox().setCurrentIndex(0);  // 0.1x
        play(1000);
        QVERIFY(std::abs(view.sessionTime() - 0.6) < 1e-6);
        // The turntable turns a turn in 12 s of the clock, whatever the playback speed.
        QVERIFY(std::abs(view.turntableAngle() - 45.0) < 1e-3);
        fixture.frame().action(app::IdTurntable)->trigger();
        QCOMPARE(frame->timeline().slider().accessibleName(), QStringLiteral("Time"));
        QCOMPARE(frame->timeline().speedBox().accessibleName(), QStringLiteral("Speed"));

        // Keys in the view and in the rest of the window; the readout and the status bar agree.
        QTest::keyClick(&view, Qt::Key_Space);
        QVERIFY(viewer().clock().paused());
        QTest::keyClick(&view, Qt::Key_Right);
        QCOMPARE(readout(), QStringLiteral("0.633 s  frame 19"));
        fixture.frame().activateWindow();
        frame->tree().setFocus();
        QTRY_VERIFY(frame->tree().hasFocus());
        QTest::keyClick(&frame->tree(), Qt::Key_Left);
        QTest::keyClick(&frame->tree(), Qt::Key_Left);
        QCOMPARE(readout(), QStringLiteral("0.567 s  frame 17"));
        QCOMPARE(fixture.frame().findChild<QLabel*>("timePane")->text(), readout());
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(view.sessionTime(), 0.0);
        QTest::keyClick(&view, Qt::Key_Space);
        QVERIFY(!viewer().clock().paused());

        // Dragging the timeline pauses there; the script saved replays the pose shown.
        frame->timeline().slider().setValue(433);
        QVERIFY(viewer().clock().paused());
        QCOMPARE(readout(), QStringLiteral("0.433 s  frame 12"));
        frame->outerSplitter().setSizes({700, 300});
        save(fixture.frame(), "timeline.png");
        const QString script = filePath("walk.sh");
        log.answers.push_back(script);
        viewer().OnSaveSessionScript();
        QVERIFY(QFileInfo(script).isExecutable());
        QProcess run;
        run.setProcessEnvironment([] {
            auto environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QXTOOL"), QStringLiteral(QX_QXTOOL_PATH));
            return environment;
        }());
        run.start(script, {});
        QVERIFY(run.waitForFinished(20000));
        QCOMPARE(run.exitCode(), 0);
        const auto dumped = nlohmann::json::parse(run.readAllStandardOutput().toStdString());
        const auto& shown = view.skeletalInstance().drawables().front()->positions;
        QCOMPARE(dumped.at("positions").size(), shown.size());
        for (std::size_t i = 0; i < shown.size(); ++i)
            QVERIFY(dumped.at("positions")[i].get<std::vector<float>>() ==
                    (std::vector<float>{shown[i].x, shown[i].y, shown[i].z}));

        // A vertex model's readout names the clip of the frame shown.
        open(Samples + "flag.qv1");
        auto* flag = qobject_cast<app::CVModelFrame*>(viewer().activeChildFrame());
        QVERIFY(flag != nullptr);
        flag->tree().setCurrentItem(flag->tree().topLevelItem(0)->child(1));
        QTest::keyClick(&flag->view(), Qt::Key_Right);
        QVERIFY(flag->timeline().readout().endsWith(QStringLiteral("frame 13 flap")));
    }

    // The View menu's overlays reach every view and are remembered; a bone chosen in the tree is
    // highlighted in the view and its form names it and its parent.
    void overlaysAndTheBoneTree() {
        open(Samples + "figure.qm1");
        open(Samples + "figure-walk.qm2");
        app::CSModelFrame* frame = skeletalFrame();
        QVERIFY(frame != nullptr);
        app::CSModelView& view = frame->modelView();
        const struct {
            app::CommandId id;
            std::function<bool(const OverlayOptions&)> shown;
        } toggles[] = {
            {app::IdShowSkeleton, [](const OverlayOptions& o) { return o.skeleton; }},
            {app::IdShowBoneNames, [](const OverlayOptions& o) { return o.boneNames; }},
            {app::IdWireframe, [](const OverlayOptions& o) { return o.wireframe == Wireframe::Over; }},
            {app::IdWireframeAlone, [](const OverlayOptions& o) { return o.wireframe == Wireframe::Alone; }},
            {app::IdShowNormals, [](const OverlayOptions& o) { return o.normals; }},
            {app::IdShowBounds, [](const OverlayOptions& o) { return o.bounds; }},
            {app::IdShowGrid, [](const OverlayOptions& o) { return o.grid; }},
        };
        const QImage before = view.renderFrame();
        for (const auto& toggle : toggles) {
            QAction* entry = fixture.frame().action(toggle.id);
            QVERIFY(!entry->toolTip().isEmpty() && !entry->shortcut().isEmpty());
            entry->trigger();
            QVERIFY2(toggle.shown(view.overlays()), qPrintable(entry->text()));
            view.renderFrame();  // drawn without a fault, the names painted over
            entry->trigger();
            QVERIFY(!toggle.shown(view.overlays()));
        }
        // Wireframe Alone turned the wireframe on, which stays over the model once alone is off.
        QCOMPARE(view.overlays().wireframe, Wireframe::Over);
        fixture.frame().action(app::IdWireframe)->trigger();
        QVERIFY(!view.overlays().any());
        // Nothing of the overlays' drawing stays with the model's.
        QCOMPARE(view.renderFrame(), before);
        fixture.frame().action(app::IdShowBounds)->trigger();
        viewer().OnIdle(0);
        QVERIFY(fixture.frame().findChild<QLabel*>("sizePane")->text().startsWith(QStringLiteral("size ")));
        QVERIFY(QSettings().value(QStringLiteral("overlays/bounds")).toBool());

        const auto highlighted = [&view] {
            const QImage picture = view.renderFrame();
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    if (const QColor c = picture.pixelColor(x, y); c.red() > 240 && c.green() < 70 && c.blue() > 215)
                        return true;
            return false;
        };
        QVERIFY(!highlighted());
        const auto found = frame->tree().findItems(QStringLiteral("forearm.L"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        const SkeletalMesh& mesh = *frame->modelDocument().model().meshes().front();
        const MeshBone& bone =
            mesh.bones[static_cast<std::size_t>(found[0]->data(0, app::CChildFrame::BoneRole).toInt())];
        QCOMPARE(found[0]->parent()->text(0),
                 QString::fromStdString(mesh.bones[static_cast<std::size_t>(bone.parent)].name));
        frame->tree().setCurrentItem(found[0]);
        QVERIFY(highlighted());
        QWidget* form = frame->propertyForm();
        QCOMPARE(form->findChild<QLabel*>("boneName")->text(), QStringLiteral("forearm.L"));
        QCOMPARE(form->findChild<QLabel*>("boneParent")->text(), found[0]->parent()->text(0));
        for (const app::CommandId id : {app::IdShowSkeleton, app::IdShowBoneNames, app::IdShowGrid, app::IdShowBounds})
            fixture.frame().action(id)->trigger();
        frame->modelDocument().startMotion(*frame->modelDocument().motionRecords().front());
        view.UpdateAnimation(0.45f);
        frame->outerSplitter().setSizes({700, 300});
        viewer().OnIdle(0);
        save(fixture.frame(), "overlays.png");
        frame->tree().setCurrentItem(frame->tree().topLevelItem(0));
        fixture.frame().action(app::IdShowSkeleton)->trigger();
        fixture.frame().action(app::IdShowBoneNames)->trigger();
        QVERIFY(!highlighted());
    }

    void convertWritesOnlyWhatWasAskedFor() {
        KfmBytes kfm;
        kfm.duration = 1.0f;
        kfm.tracks.push_back({});
        kfm.tracks[0].name = "root";
        writeBytes(filePath("Walk.kfm"), kfm.bytes());
        Md2Layout md2;
        md2.vertexCount = 3;
        md2.frames.push_back({{1, 1, 1}, {}, "stand1", {{0, 0, 0, 0}, {9, 0, 0, 0}, {0, 9, 0, 0}}});
        addMd2Group(md2.commands, 3, {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}});
        md2.commands.push_back(md2Int(0));
        writeBytes(filePath("HERO.MD2"), md2Bytes(md2));

        struct Case {
            QString source;
            QString destination;  // empty: cancel the save dialog
            QString proposed;
            QString defaultExtension;
        };
        const Case cases[] = {{filePath("Walk.kfm"), filePath("Walk.qm2"), "Walk.qm2", "qm2"},
                              {filePath("HERO.MD2"), filePath("hero"), "HERO.qv1", "qv1"},
                              {filePath("Walk.kfm"), QString(), "Walk.qm2", "qm2"}};
        viewer().clock().pause();  // paused before, paused after
        for (const Case& c : cases) {
            log.answers = {c.source, c.destination};
            viewer().OnConvert();
            QCOMPARE(log.requests.front().filter, app::ConvertSourceFilter);
            QCOMPARE(log.requests.back().initialName, c.proposed);
            QCOMPARE(log.requests.back().defaultExtension, c.defaultExtension);
            log.requests.clear();
        }
        QVERIFY(viewer().clock().paused());
        QVERIFY(QFile::exists(filePath("Walk.qm2")));
        std::string reason;
        QVERIFY2(readVertexModelToShow(filePath("hero.qv1").toStdString(), &reason, ImageLoading::Skip),
                 reason.c_str());
        QCOMPARE(QDir(temporary->path()).entryList(QDir::Files).size(), 4);  // two sources, two results

        // Cancel at the first dialog, and a rejected source: nothing written, the clock runs again.
        viewer().clock().resume();
        writeBytes(filePath("broken.ply"), {'P', 'L', 'Y'});
        log.answers = {QString()};
        viewer().OnConvert();
        log.answers = {filePath("broken.ply"), filePath("broken.qm1")};
        viewer().OnConvert();
        QVERIFY(!viewer().clock().paused());
        QCOMPARE(log.requests.size(), std::size_t{2});  // no save dialog for the rejected source
        QVERIFY(log.messages.back().startsWith(QStringLiteral("Cannot convert broken.ply: ")));
        QVERIFY(!QFile::exists(filePath("broken.qm1")));
        // A destination that cannot be written is named with the reason.
        log.answers = {filePath("Walk.kfm"), filePath("no-such-folder/Walk.qm2")};
        viewer().OnConvert();
        QVERIFY(log.messages.back().startsWith(QStringLiteral("Cannot write Walk.qm2: ")));
    }

    // Export glTF, from the File menu, saves the active document with the motions loaded into
    // it; a file that cannot be written is named in a message.
    // Open, the command line and a drop give each file the answer qxtool gives it: it opens,
    // or it is refused with the opening module's reason (tests/tools/OpeningAgreesTest).
    void everyWayOfOpeningGivesTheSameAnswer() {
        for (const OpeningCase& c : writeOpeningCases(temporary->path().toStdString())) {
            const QString path = QString::fromStdString(c.path);
            // The viewer takes a file's role from its name: what is no motion opens as a model.
            const bool motion = openAsOf(c.path) == OpenAs::SkeletalMotion;
            std::string reason;
            // What a glTF loses on the way is said once, in a message of its own.
            std::size_t notes = 0;
            const bool opens = motion ? readMotionToPlay(c.path, &reason) != nullptr : [&] {
                const ModelToShow model = readModelToShow(c.path, &reason, ImageLoading::Skip);
                notes = model.notes.size();
                return static_cast<bool>(model);
            }();
            const QStringList files = motion ? QStringList{Samples + "figure.qm1", path} : QStringList{path};
            const std::function<void()> ways[] = {
                [&] { viewer().openFiles(files); }, [&] { viewer().openDroppedFiles(files, nullptr); },
                [&] { std::for_each(files.begin(), files.end(), [&](auto& f) { open(f); }); }};
            for (const auto& openThatWay : ways) {
                fixture.frame().mdiArea().closeAllSubWindows();
                log.messages.clear();
                openThatWay();
                const QString shown = QFileInfo(path).fileName();
                if (opens) {
                    QVERIFY2(log.messages.size() == (notes > 0 ? 1 : 0), qPrintable(log.messages.join('\n')));
                    if (motion)
                        QCOMPARE(skeletalFrame()->modelDocument().motionRecords().size(), std::size_t{1});
                    else
                        QCOMPARE(viewer().activeChildFrame()->windowTitle(), shown);
                    // A glTF's first animation plays in the window's session.
                    if (c.path.ends_with(".gltf"))
                        QCOMPARE(skeletalFrame()->view().session().events().size(), std::size_t{1});
                } else {
                    QCOMPARE(
                        log.messages,
                        QStringList{QStringLiteral("Cannot open %1: %2").arg(shown, QString::fromStdString(reason))});
                }
            }
        }
    }

    void exportGltfSavesTheActiveModelWithItsMotions() {
        QAction* command = fixture.frame().action(app::IdExportGltf);
        QVERIFY(!command->isVisible());
        // The export writes the document as it is in memory, whatever became of its file.
        for (const char* name : {"figure.qm1", "figure-shirt.bmp"})
            QVERIFY(QFile::copy(Samples + name, filePath(QString::fromLatin1(name))));
        open(filePath("figure.qm1"));
        QVERIFY(QFile::remove(filePath("figure.qm1")));
        open(Samples + "figure-walk.qm2");
        QVERIFY(command->isVisible());
        log.answers = {filePath("walking"), filePath("no-such-folder/walking.glb")};
        log.scales = {0.25};
        command->trigger();
        QCOMPARE(log.requests.back().initialName, QStringLiteral("figure.glb"));
        QCOMPARE(log.requests.back().defaultExtension, QStringLiteral("glb"));
        QVERIFY(log.messages.isEmpty());
        QFile file(filePath("walking.glb"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray glb = file.readAll();
        QVERIFY(glb.size() > 20);
        const auto byte = [&](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(glb[i])); };
        const std::uint32_t jsonLength = byte(12) | byte(13) << 8 | byte(14) << 16;
        const auto document = nlohmann::json::parse(glb.begin() + 20, glb.begin() + 20 + jsonLength);
        QCOMPARE(document["animations"].size(), std::size_t{1});
        QCOMPARE(document["animations"][0]["name"].get<std::string>(), std::string("figure-walk"));
        QCOMPARE(document["images"].size(), std::size_t{1});  // the shirt, decoded again for the export
        // The scale asked for sizes the skeleton; the next export offers it again.
        QVERIFY(document["nodes"][0]["scale"] == nlohmann::json::parse("[0.25, 0.25, 0.25]"));

        command->trigger();
        QVERIFY(log.messages.back().startsWith(QStringLiteral("Cannot export walking.glb: ")));
        QCOMPARE(log.offeredScales, (std::vector<double>{1.0, 0.25}));
    }

    // The real dialog, shown with the Open command's filter, lists a motion whatever the case
    // of its extension, and nothing else.
    void fileDialogListsExtensionsInAnyCase() {
        for (const char* name : {"walk.qm2", "WAVE.QM2", "idle.Qm2", "notes.txt", "mesh.qm1"})
            writeBytes(filePath(name), {0});
        QFileDialog dialog(&fixture.frame());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters(app::qtFileFilters(app::MotionFilesFilter));
        dialog.setDirectory(temporary->path());
        dialog.show();
        QCOMPARE(dialog.nameFilters().size(), 1);
        auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
        QVERIFY(list != nullptr);
        QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 3);
        auto* filterBox = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QCOMPARE(filterBox->currentText(), QStringLiteral("Motion Files (*.qm2)"));
    }

    // Command line and drops: motions go into the mesh before them (or the one dropped on) and
    // play; a rejected file is named and the others still open. Save Picture writes the frame.
    void filesFromTheCommandLineAndDropsOpenAndPlay() {
        const QString broken = filePath("broken.qm2");
        writeBytes(broken, {'Q', 'X', 'M', '2', 1});
        viewer().openFiles({Samples + "figure-walk.qm2", Samples + "figure.qm1", broken, Samples + "figure-walk.qm2",
                            Samples + "figure-walk.qm2"});
        QCOMPARE(log.messages.size(), 3);
        QVERIFY(log.messages[0].endsWith(QStringLiteral("open one (.qm1) before it")));
        QVERIFY(log.messages[1].startsWith(QStringLiteral("Cannot open broken.qm2: ")));
        QCOMPARE(log.messages[2], QStringLiteral("Skeletal Motion: figure-walk.qm2 has already been loaded."));
        app::CSModelFrame* figure = skeletalFrame();
        QVERIFY(figure != nullptr);
        viewer().openFiles({Samples + "flag.qv1"});
        QTRY_VERIFY(figure->view().initialised());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Samples + "figure-wave.qm2")});
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&figure->view(), &drop);
        QVERIFY(drop.isAccepted());
        QTreeWidgetItem* root = figure->tree().topLevelItem(0);
        QCOMPARE(root->childCount(), 3);  // two motions and the bones
        for (int i = 0; i < 2; ++i) QCOMPARE(root->child(i)->checkState(0), Qt::Checked);
        const SkeletalInstance& instance = figure->modelView().skeletalInstance();
        QCOMPARE(instance.cycles().size() + instance.overlays().size(), std::size_t{2});

        fixture.frame().mdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(figure->parentWidget()));
        viewer().OnPause();
        log.answers.push_back(filePath("walking"));
        viewer().OnSavePicture();
        QCOMPARE(QImage(filePath("walking.png")).convertToFormat(QImage::Format_RGBA8888),
                 figure->view().renderFrame().convertToFormat(QImage::Format_RGBA8888));
    }

    // However a child window goes, the one left keeps its maximised state; the Window menu
    // tiles, cascades, steps and lists them; recent files reopen, a gone one leaves the list.
    void childWindowsMenusAndRecentFiles() {
        const QString gone = filePath("gone.qv1");
        QVERIFY(QFile::copy(Samples + "flag.qv1", gone));
        open(Samples + "figure.qm1");
        QMdiSubWindow* figure = fixture.frame().mdiArea().currentSubWindow();
        const std::function<void()> closings[] = {
            [this] { open(QString()); },  // Open makes way for the next file, then is cancelled
            [this] { fixture.frame().action(app::IdFileClose)->trigger(); },
            [this] {
                // A shortcut reaches only the active window (a dialog of an earlier test may still
                // hold the activation on a loaded machine).
                fixture.frame().activateWindow();
                QTRY_VERIFY(fixture.frame().isActiveWindow());
                QTest::keyClick(&fixture.frame(), Qt::Key_W, Qt::ControlModifier);
            },
            [this] { fixture.frame().mdiArea().currentSubWindow()->close(); }};
        for (const auto& close : closings) {
            open(gone);
            QCOMPARE(childCount(), 2);
            close();
            QTRY_COMPARE(childCount(), 1);
            QTRY_VERIFY(figure->isMaximized());
            QCOMPARE(fixture.frame().windowTitle(), QStringLiteral("qxmodelview - [figure.qm1]"));
        }
        open(gone);
        QMdiSubWindow* flag = fixture.frame().mdiArea().currentSubWindow();
        fixture.frame().action(app::IdWindowTile)->trigger();
        QVERIFY(!figure->geometry().intersects(flag->geometry()));
        // After Cascade every title bar shows and every view keeps a third of the area each way,
        // a widened tree column or not.
        qobject_cast<app::CChildFrame*>(figure->widget())->outerSplitter().setSizes({100, 900});
        fixture.frame().action(app::IdWindowCascade)->trigger();
        save(fixture.frame(), "cascade.png");
        QVERIFY(figure->geometry().intersects(flag->geometry()));
        QVERIFY(flag->y() - figure->y() >= figure->style()->pixelMetric(QStyle::PM_TitleBarHeight));
        const QSize area = fixture.frame().mdiArea().viewport()->size();
        for (QMdiSubWindow* child : {figure, flag}) {
            const QWidget* view = qobject_cast<app::CChildFrame*>(child->widget())->view().container();
            QVERIFY(view->width() >= area.width() / 3 && view->height() >= area.height() / 3);
        }
        fixture.frame().action(app::IdWindowNext)->trigger();
        QCOMPARE(fixture.frame().mdiArea().activeSubWindow(), figure);
        emit fixture.frame().windowMenu().aboutToShow();
        QStringList listed;
        for (QAction* entry : fixture.frame().windowMenu().actions())
            if (entry->isCheckable()) listed << entry->text();
        QCOMPARE(listed, (QStringList{QStringLiteral("&1 figure.qm1"), QStringLiteral("&2 gone.qv1")}));

        fixture.frame().mdiArea().closeAllSubWindows();
        QTRY_COMPARE(childCount(), 0);
        QCOMPARE(fixture.frame().findChild<QAction*>(QStringLiteral("recentFile1"))->text(),
                 QStringLiteral("&1 ") + gone);
        fixture.frame().findChild<QAction*>(QStringLiteral("recentFile2"))->trigger();
        QVERIFY(skeletalFrame() != nullptr);
        QVERIFY(QFile::remove(gone));
        fixture.frame().findChild<QAction*>(QStringLiteral("recentFile2"))->trigger();
        QVERIFY(log.messages.back().startsWith(QStringLiteral("Cannot open gone.qv1: ")));
        QVERIFY(!viewer().recentFiles().contains(gone));
    }

    // Forms keep the height their controls ask for and scroll in a small row; Fit to Model puts
    // every position of the current pose in view; a minimised window rests the loop, which goes
    // on afterwards from where it stopped.
    void formsFitAndARestingLoop() {
        viewer().openFiles({Samples + "figure.qm1", Samples + "figure-wave.qm2"});
        app::CSModelFrame* frame = skeletalFrame();
        QVERIFY(frame != nullptr);
        frame->outerSplitter().setSizes({600, 300});
        frame->tree().setCurrentItem(frame->tree().topLevelItem(0)->child(0));
        const int total = frame->innerSplitter().height();
        frame->innerSplitter().setSizes({total - 60, 60});
        QCoreApplication::processEvents();
        for (const QWidget* control : frame->propertyForm()->findChildren<QWidget*>()) {
            if (!control->isVisible()) continue;
            // A wrapped label asks for the lines its width needs.
            const int wanted =
                control->hasHeightForWidth() ? control->heightForWidth(control->width()) : control->sizeHint().height();
            QVERIFY2(control->height() >= wanted, qPrintable(control->objectName()));
        }
        QVERIFY(frame->findChild<QScrollArea*>(QStringLiteral("propertyPane"))->verticalScrollBar()->maximum() > 0);

        QTRY_VERIFY(frame->view().initialised());
        const auto* drawable = static_cast<const SkeletalDrawable*>(frame->modelView().skeletalInstance().update(0.0f));
        for (int moment = 0; moment < 4; ++moment) {
            fixture.counter.now += 400;
            viewer().OnIdle(0);
            viewer().OnFitToModel();
            app::CBaseView& view = frame->view();
            view.makeCurrent();
            applyProjection(view.camera(), static_cast<float>(view.devicePixelRatio()));
            applyCameraTransform(view.camera());
            GLdouble model[16], projection[16];
            GLint viewport[4];
            glGetDoublev(GL_MODELVIEW_MATRIX, model);
            glGetDoublev(GL_PROJECTION_MATRIX, projection);
            glGetIntegerv(GL_VIEWPORT, viewport);
            view.doneCurrent();
            for (const Vector3& p : drawable->positions) {
                GLdouble x = 0, y = 0, z = 0;
                gluProject(p.x, p.y, p.z, model, projection, viewport, &x, &y, &z);
                QVERIFY(x >= 0 && x <= viewport[2] && y >= 0 && y <= viewport[3] && z > 0 && z < 1);
            }
        }

        const float before = frame->modelView().skeletalInstance().overlays().front().time;
        fixture.frame().showMinimized();
        fixture.counter.now += 5000;
        QVERIFY(!viewer().OnIdle(0));
        QCOMPARE(frame->modelView().skeletalInstance().overlays().front().time, before);
        fixture.frame().showNormal();
        fixture.counter.now += 10;
        QVERIFY(viewer().OnIdle(0));
        QVERIFY(viewer().idleLoop().timeStep() < 0.1f);
    }

    void helpShowsAndHides() {
        QVERIFY(!viewer().helpWindow().isVisible());
        viewer().OnHelp();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer().helpWindow()));
        save(fixture.frame(), "main-with-help.png");
        if (const char* folder = std::getenv("QX_SCREENSHOT_DIR"))
            viewer().helpWindow().grab().save(QDir(QString::fromLocal8Bit(folder)).filePath("help.png"));
        viewer().helpWindow().findChild<QPushButton*>("ok")->click();
        QVERIFY(!viewer().helpWindow().isVisible());
    }
};

}  // namespace

std::unique_ptr<QObject> makeDocumentTests() { return std::make_unique<DocumentTest>(); }

}  // namespace qx::test

#include "DocumentTest.moc"
