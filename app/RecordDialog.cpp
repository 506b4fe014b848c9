#include "app/RecordDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>

#include <memory>

namespace qx::app {

namespace {

// The largest frame the off-screen drawing takes, as qxtool record's --size.
constexpr int MaxSide = 8192;

template <class Box>
Box* field(QFormLayout& form, const QString& label, const char* name, const QString& tip) {
    auto* box = new Box(form.parentWidget());
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(label);
    box->setToolTip(tip);
    form.addRow(label + QLatin1Char(':'), box);
    return box;
}

QDoubleSpinBox* number(QFormLayout& form, const QString& label, const char* name, const QString& tip, double low,
                       double high, double value, const QString& suffix) {
    QDoubleSpinBox* box = field<QDoubleSpinBox>(form, label, name, tip);
    box->setDecimals(3);
    box->setRange(low, high);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

}  // namespace

bool askForRecordingChoice(QWidget* parent, RecordingChoice& choice) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Record"));
    dialog.setObjectName(QStringLiteral("recordDialog"));
    auto* form = new QFormLayout(&dialog);
    QSpinBox* width = field<QSpinBox>(*form, QStringLiteral("Width"), "recordWidth",
                                      QStringLiteral("Width of the frames in pixels (the view's at first)"));
    QSpinBox* height = field<QSpinBox>(*form, QStringLiteral("Height"), "recordHeight",
                                       QStringLiteral("Height of the frames in pixels (the view's at first)"));
    for (QSpinBox* side : {width, height}) side->setRange(1, MaxSide);
    width->setValue(choice.width);
    height->setValue(choice.height);
    QDoubleSpinBox* fps = number(*form, QStringLiteral("Rate"), "recordRate",
                                 QStringLiteral("Frames a second of the recording"), 1, 240, choice.fps, " fps");
    QDoubleSpinBox* duration =
        number(*form, QStringLiteral("Duration"), "recordDuration",
               QStringLiteral("Seconds to record from the moment shown (one cycle of the longest motion playing, or "
                              "the vertex clip, at first)"),
               0.001, 3600, choice.duration, " s");
    QDoubleSpinBox* orbit = number(*form, QStringLiteral("Orbit"), "recordOrbit",
                                   QStringLiteral("Degrees the camera turns about the model over the recording "
                                                  "(360: a turntable)"),
                                   -3600, 3600, choice.orbit, QStringLiteral(" deg"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Record"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("Record"));
    buttons->button(QDialogButtonBox::Ok)->setToolTip(QStringLiteral("Record the frames into the file"));
    buttons->button(QDialogButtonBox::Cancel)->setToolTip(QStringLiteral("Record nothing"));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return false;
    choice = {width->value(), height->value(), fps->value(), duration->value(), orbit->value()};
    return true;
}

std::function<bool(std::int64_t, std::int64_t)> recordingProgressDialog(QWidget* parent) {
    auto dialog =
        std::make_shared<QProgressDialog>(QStringLiteral("Recording..."), QStringLiteral("Cancel"), 0, 1, parent);
    dialog->setObjectName(QStringLiteral("recordProgress"));
    dialog->setAccessibleName(QStringLiteral("Recording progress"));
    dialog->setToolTip(QStringLiteral("Frames written so far; Cancel leaves no file"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    return [dialog](std::int64_t written, std::int64_t total) {
        dialog->setMaximum(static_cast<int>(total));
        dialog->setValue(static_cast<int>(written));
        dialog->setLabelText(QStringLiteral("Frame %1 of %2 written").arg(written).arg(total));
        return !dialog->wasCanceled();
    };
}

}  // namespace qx::app
