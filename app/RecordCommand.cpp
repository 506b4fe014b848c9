#include "app/RecordCommand.h"

#include <QFileInfo>
#include <QOpenGLContext>

#include <cmath>

#include "app/CBaseView.h"
#include "app/CChildFrame.h"
#include "app/CommandHost.h"
#include "app/FileDialogs.h"
#include "app/RecordDialog.h"
#include "app/ViewHost.h"
#include "scene/Recorder.h"

namespace qx::app {

namespace {

// A model that does not move is recorded this long by default (a turntable of its pose).
constexpr double StillSeconds = 4.0;
// As qxtool record: beyond this many frames a recording is a mistake.
constexpr double MaxFrames = 100000.0;

}  // namespace

void RecordCommand::run() {
    CBaseView* view = host_.activeView();
    const CChildFrame* frame = host_.activeChildFrame();
    if (view == nullptr || frame == nullptr || view->instance() == nullptr) return;
    const ClockPause resting(host_.clock());
    Dialogs& dialogs = host_.dialogs();
    const auto tell = [&](const QString& text) { dialogs.showMessage(host_.dialogParent(), text); };

    const SessionFiles files = frame->sessionFiles();
    RecordingRequest request;
    SnapshotRequest& s = request.scene;
    s.file = files.model;
    s.motions = files.motions;
    s.motionsAsCycles = false;
    s.lighting = host_.viewHost().lighting();
    if (const Renderer* renderer = host_.viewHost().renderer()) {
        s.texturing = renderer->isEnabled(Renderer::Texturing);
        s.culling = renderer->isEnabled(Renderer::Culling);
    }
    s.overlays = view->overlays();
    s.overlays.selectedBone = -1;
    s.turn.yaw = view->turntableAngle();
    s.width = std::max(1, static_cast<int>(view->camera().width));
    s.height = std::max(1, static_cast<int>(view->camera().height));
    request.replaySession = true;
    request.events = view->session().events();
    request.start = view->sessionTime();

    const QString proposed = QFileInfo(QString::fromStdString(files.model)).completeBaseName() + QStringLiteral(".mp4");
    const FileDialogResult target = dialogs.askForFile(
        host_.dialogParent(),
        {false,
         QStringLiteral("mp4"),
         proposed,
         QStringLiteral("MP4 Videos (*.mp4)|*.mp4|GIF Pictures (*.gif)|*.gif|Numbered PNG Pictures (*.png)|*.png||"),
         {}});
    if (!target.ok) return;
    std::string path = target.path.toStdString();
    // A PNG name without a frame number field numbers its frames after it.
    if (target.extension.compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0 &&
        path.find('%') == std::string::npos)
        path = path.substr(0, path.size() - 4) + "-%04d.png";
    std::string reason;
    RecordingKind kind{};
    if (!recordingKindOf(path, kind, &reason))
        return tell(QStringLiteral("Cannot record %1: %2").arg(target.fileName, QString::fromStdString(reason)));

    // A thread has one window system's context current at a time: the views' is let go so that
    // the off-screen one can be made current; a view takes its own again when it next paints.
    if (QOpenGLContext* current = QOpenGLContext::currentContext()) current->doneCurrent();
    Recorder recorder;
    SnapshotProblem problem;
    if (!recorder.open(request, problem))
        return tell(QStringLiteral("Cannot record %1: %2")
                        .arg(QString::fromStdString(problem.file), QString::fromStdString(problem.reason)));
    RecordingChoice choice{s.width, s.height, 30.0, recorder.naturalDuration(), 0.0};
    if (!(choice.duration > 0.0)) choice.duration = StillSeconds;
    if (!dialogs.askForRecording(host_.dialogParent(), choice)) return;
    const double frames = std::max(1.0, std::round(choice.duration * choice.fps));
    if (!(choice.fps > 0.0) || frames > MaxFrames)
        return tell(QStringLiteral("Cannot record %1: more than 100000 frames").arg(target.fileName));
    request.fps = choice.fps;
    request.orbit = choice.orbit;
    s.width = choice.width;
    s.height = choice.height;
    // Opened again at the size chosen, with the rate and orbit.
    if (!recorder.open(request, problem))
        return tell(
            QStringLiteral("Cannot record %1: %2").arg(target.fileName, QString::fromStdString(problem.reason)));

    const auto count = static_cast<std::int64_t>(frames);
    std::unique_ptr<FrameWriter> writer = openFrameWriter(path, {s.width, s.height, request.fps, count}, &reason);
    if (!writer)
        return tell(QStringLiteral("Cannot record %1: %2").arg(target.fileName, QString::fromStdString(reason)));
    const auto progress = dialogs.recordingProgress(host_.dialogParent());
    const Recorder::Result result = recorder.record(count, *writer, progress, &reason);
    writer.reset();
    if (result == Recorder::Result::Failed)
        tell(QStringLiteral("Cannot record %1: %2").arg(target.fileName, QString::fromStdString(reason)));
    // The off-screen context was current while recording; the view draws in its own again.
    view->invalidate();
}

}  // namespace qx::app
