#include "app/CSModelDoc.h"

#include <filesystem>

#include "app/SharedGlContext.h"

namespace qx::app {

std::string CBaseDoc::title() const { return std::filesystem::path(pathName_).filename().string(); }

CSModelDoc::CSModelDoc(std::string path, std::unique_ptr<SkeletalModel> model)
    : CBaseDoc(std::move(path)), model_(std::move(model)) {}

CSModelDoc::~CSModelDoc() {
    records_.clear();
    const SharedGlScope gl;
    model_.reset();
}

CSMotionDoc& CSModelDoc::addMotion(std::unique_ptr<SkeletalMotion> motion, const std::string& path) {
    SkeletalMotion& added = *motion;
    model_->addMotion(std::move(motion));
    records_.push_back(std::make_unique<CSMotionDoc>(added, path));
    CSMotionDoc& record = *records_.back();
    emit motionAdded(&record);
    return record;
}

void CSModelDoc::startMotion(CSMotionDoc& record) {
    record.switchedOn_ = true;
    emit motionStarted(&record);
}

void CSModelDoc::stopMotion(CSMotionDoc& record) {
    record.switchedOn_ = false;
    emit motionStopped(&record);
}

void CSModelDoc::restartSwitchedOn() {
    for (const auto& record : records_)
        if (record->switchedOn_) emit motionStarted(record.get());
}

void CSModelDoc::setSettings(CSMotionDoc& record, const MotionSettings& settings) {
    const std::int32_t id = record.settings_.motionId;  // names the motion; no form edits it
    record.settings_ = settledSettings(settings, record.motion_.duration);
    record.settings_.motionId = id;
    emit motionSettingsChanged(&record);
}

void CSModelDoc::setAnimationType(CSMotionDoc& record, std::int32_t type) {
    record.motion_.animationType = type;
    emit motionSettingsChanged(&record);
}

}  // namespace qx::app
