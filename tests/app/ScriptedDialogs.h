#pragma once
// Answers the viewer's file dialogs from a script and keeps what they were asked and the
// messages shown, in place of the modal dialogs a test cannot click.

#include <deque>

#include <QStringList>

#include "app/FileDialogs.h"
#include "app/RecordDialog.h"

namespace qx::test {

struct DialogLog {
    std::deque<QString> answers;  // a path chooses it; an empty string cancels
    std::vector<app::FileDialogRequest> requests;
    QStringList messages;
    std::deque<double> scales;  // the scales Export glTF is given
    std::vector<double> offeredScales;
    std::deque<app::RecordingChoice> recordings;  // what Record... is given; empty: what it offers
    std::vector<app::RecordingChoice> offeredRecordings;
    std::int64_t cancelAt = -1;  // the recording is cancelled once this many frames are written
};

class ScriptedDialogs : public app::Dialogs {
public:
    explicit ScriptedDialogs(DialogLog& log) : log_(log) {}

    app::FileDialogResult askForFile(QWidget*, const app::FileDialogRequest& request) override {
        log_.requests.push_back(request);
        if (log_.answers.empty()) return {};
        const QString answer = log_.answers.front();
        log_.answers.pop_front();
        return answer.isEmpty() ? app::FileDialogResult{} : app::chosenFile(answer);
    }
    void showMessage(QWidget*, const QString& text) override { log_.messages.append(text); }
    // Takes the next scale of the script, or the one offered.
    bool askForScale(QWidget*, const QString&, double& value) override {
        log_.offeredScales.push_back(value);
        if (!log_.scales.empty()) {
            value = log_.scales.front();
            log_.scales.pop_front();
        }
        return true;
    }

    bool askForRecording(QWidget*, app::RecordingChoice& choice) override {
        log_.offeredRecordings.push_back(choice);
        if (!log_.recordings.empty()) {
            choice = log_.recordings.front();
            log_.recordings.pop_front();
        }
        return true;
    }
    std::function<bool(std::int64_t, std::int64_t)> recordingProgress(QWidget*) override {
        return [&log = log_](std::int64_t written, std::int64_t) { return written != log.cancelAt; };
    }

private:
    DialogLog& log_;
};

}  // namespace qx::test
