#include "app/OpenCommand.h"

#include <QFileInfo>

#include "app/CChildFrame.h"
#include "app/CSModelDoc.h"
#include "app/CSModelFrame.h"
#include "app/CVModelDoc.h"
#include "app/CVModelFrame.h"
#include "app/CommandHost.h"
#include "app/FileDialogs.h"
#include "app/FileFilters.h"
#include "app/RecentFiles.h"
#include "app/SharedGlContext.h"
#include "scene/OpenFile.h"

namespace qx::app {

namespace {

bool isMotionFile(const QString& path) { return openAsOf(path.toStdString()) == OpenAs::SkeletalMotion; }

// The skeletal mesh document a window shows, or none.
CSModelDoc* skeletalDocument(const CChildFrame* frame) {
    if (frame == nullptr) return nullptr;
    const DocumentRef document = frame->documentRef();
    CSModelDoc* const* skeletal = std::get_if<CSModelDoc*>(&document);
    return skeletal != nullptr ? *skeletal : nullptr;
}

bool showsVertexModel(const CChildFrame* frame) {
    return frame != nullptr && std::holds_alternative<CVModelDoc*>(frame->documentRef());
}

}  // namespace

void OpenCommand::showProblem(const QString& path, const std::string& reason) {
    host_.dialogs().showMessage(
        host_.dialogParent(),
        QStringLiteral("Cannot open %1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(reason)));
}

void OpenCommand::run() {
    QString filter = ModelFilesFilter;
    CChildFrame* frame = host_.activeChildFrame();
    CSModelDoc* skeletal = skeletalDocument(frame);
    if (skeletal != nullptr)
        filter = MotionFilesFilter;
    else if (frame != nullptr)
        // A vertex model window makes way for the next file at once, whatever is chosen.
        delete frame->parentWidget();
    const FileDialogResult chosen = host_.dialogs().askForFile(host_.dialogParent(), {true, {}, {}, filter, {}});
    if (!chosen.ok) return;
    if (skeletal != nullptr && isMotionFile(chosen.path)) {
        loadMotion(*skeletal, chosen.path);
        return;
    }
    openDocument(chosen.path);
}

void OpenCommand::openFiles(const QStringList& paths, CChildFrame* target) {
    CSModelDoc* skeletal = skeletalDocument(target);
    for (const QString& given : paths) {
        // As the Open dialog gives it: the full path, which also names the motion for the
        // duplicate check.
        const QString path = QFileInfo(given).absoluteFilePath();
        if (!isMotionFile(path)) {
            if (CSModelDoc* opened = skeletalDocument(openDocument(path))) skeletal = opened;
            continue;
        }
        if (skeletal == nullptr) {
            host_.dialogs().showMessage(host_.dialogParent(),
                                        QStringLiteral("Cannot open %1: a motion plays on a skeletal mesh; "
                                                       "open one (.qm1) before it")
                                            .arg(QFileInfo(path).fileName()));
            continue;
        }
        if (CSMotionDoc* record = loadMotion(*skeletal, path)) {
            // Loading rebuilt the instance: what was switched on plays again, with this one.
            skeletal->restartSwitchedOn();
            skeletal->startMotion(*record);
        }
    }
}

void OpenCommand::openDropped(const QStringList& paths, QWidget* on) {
    for (QWidget* w = on; w != nullptr; w = w->parentWidget())
        if (auto* frame = qobject_cast<CChildFrame*>(w)) return openFiles(paths, frame);
    openFiles(paths, host_.activeChildFrame());
}

void OpenCommand::openRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        host_.dialogs().showMessage(host_.dialogParent(), QStringLiteral("Cannot open %1: the file is no longer there; "
                                                                         "it leaves the list of recent files")
                                                              .arg(QFileInfo(path).fileName()));
        recentFiles_.remove(path);
        return;
    }
    // As Open with this file chosen: a vertex model window makes way, a skeletal one takes a
    // motion into itself.
    CChildFrame* frame = host_.activeChildFrame();
    if (CSModelDoc* skeletal = skeletalDocument(frame); skeletal != nullptr && isMotionFile(path)) {
        loadMotion(*skeletal, path);
        return;
    }
    if (showsVertexModel(frame)) delete frame->parentWidget();
    openDocument(path);
}

CSMotionDoc* OpenCommand::loadMotion(CSModelDoc& document, const QString& path) {
    const std::string file = path.toStdString();
    if (document.model().findMotion(nameHash(file)) != nullptr) {
        host_.dialogs().showMessage(host_.dialogParent(), QStringLiteral("Skeletal Motion: ") +
                                                              QFileInfo(path).fileName() +
                                                              QStringLiteral(" has already been loaded."));
        return nullptr;
    }
    std::string reason;
    std::unique_ptr<SkeletalMotion> motion = readMotionToPlay(file, &reason);
    if (!motion) {
        showProblem(path, reason);
        return nullptr;
    }
    return &document.addMotion(std::move(motion), file);
}

CChildFrame* OpenCommand::openDocument(const QString& path) {
    std::string reason;
    ModelToShow model;
    {
        // Textures go to the context every view shares.
        const SharedGlScope gl;
        model = readModelToShow(path.toStdString(), &reason, ImageLoading::Upload);
    }
    const std::string file = path.toStdString();
    if (!model) {
        showProblem(path, reason);
        return nullptr;
    }
    CChildFrame* frame = nullptr;
    CSModelDoc* skeletal = nullptr;
    CSMotionDoc* first = nullptr;
    if (model.skeletal) {
        auto document = std::make_unique<CSModelDoc>(file, std::move(model.skeletal));
        for (MotionToPlay& motion : model.motions) {
            CSMotionDoc& record = document->addMotion(std::move(motion.motion), motion.path);
            if (first == nullptr) first = &record;
        }
        skeletal = document.get();
        frame = new CSModelFrame(std::move(document), host_.viewHost());
    } else
        frame = new CVModelFrame(std::make_unique<CVModelDoc>(file, std::move(model.vertex)), host_.viewHost());
    host_.showChildFrame(frame);
    // A glTF's animations come in as its motions, the first playing, as motions named after the
    // model on the command line do: started once the window's view is there to play it.
    if (first != nullptr) skeletal->startMotion(*first);
    recentFiles_.add(QFileInfo(path).absoluteFilePath());
    if (!model.notes.empty()) {
        QString text =
            QStringLiteral("%1 opened with what the program's formats cannot hold:").arg(QFileInfo(path).fileName());
        for (const std::string& note : model.notes) text += QStringLiteral("\n- ") + QString::fromStdString(note);
        host_.dialogs().showMessage(host_.dialogParent(), text);
    }
    return frame;
}

}  // namespace qx::app
