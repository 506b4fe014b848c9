#include "app/CSBoneProperty.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "animation/SkeletalDrawable.h"

namespace qx::app {

QString pointText(const Vector3& point) {
    // Three decimals; a coordinate that rounds to nothing reads 0, never -0.000 or 1e-08.
    const auto number = [](float value) {
        const QString text = QString::number(static_cast<double>(value), 'f', 3);
        return text == QStringLiteral("-0.000") ? QStringLiteral("0.000") : text;
    };
    return number(point.x) + QStringLiteral(", ") + number(point.y) + QStringLiteral(", ") + number(point.z);
}

CSBoneProperty::CSBoneProperty(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("boneForm"));
    auto* group = new QGroupBox(QStringLiteral("Bone"), this);
    auto* rows = new QFormLayout(group);
    rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto add = [&](const char* name, const QString& label) {
        QLabel* shown = value(name, label);
        rows->addRow(label + QLatin1Char(':'), shown);
        return shown;
    };
    index_ = add("boneIndex", QStringLiteral("Index"));
    name_ = add("boneName", QStringLiteral("Name"));
    parent_ = add("boneParent", QStringLiteral("Parent"));
    start_ = add("boneStart", QStringLiteral("Rest start"));
    end_ = add("boneEnd", QStringLiteral("Rest end"));
    roll_ = add("boneRoll", QStringLiteral("Roll"));
    attached_ = add("boneAttached", QStringLiteral("Positions"));
    startNow_ = add("boneStartNow", QStringLiteral("Start now"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
}

QLabel* CSBoneProperty::value(const char* name, const QString& label) {
    auto* shown = new QLabel(this);
    shown->setObjectName(QString::fromLatin1(name));
    shown->setAccessibleName(label);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return shown;
}

void CSBoneProperty::showBone(const SkeletalMesh& mesh, int index, const SkeletalDrawable* posed) {
    bone_ = index;
    const bool known = index >= 0 && static_cast<std::size_t>(index) < mesh.bones.size();
    const MeshBone* bone = known ? &mesh.bones[static_cast<std::size_t>(index)] : nullptr;
    if (bone == nullptr) {
        for (QLabel* shown : {index_, name_, parent_, start_, end_, roll_, attached_, startNow_}) shown->clear();
        return;
    }
    index_->setText(QString::number(index));
    name_->setText(QString::fromLatin1(bone->name));
    const bool hasParent = bone->parent >= 0 && static_cast<std::size_t>(bone->parent) < mesh.bones.size();
    parent_->setText(hasParent ? QString::fromLatin1(mesh.bones[static_cast<std::size_t>(bone->parent)].name)
                               : QStringLiteral("(none)"));
    start_->setText(pointText(bone->start));
    end_->setText(pointText(bone->end));
    roll_->setText(pointText(bone->roll));
    attached_->setText(QString::number(bone->attachedPositions.size()));
    const bool live = posed != nullptr && static_cast<std::size_t>(index) < posed->bones.size();
    startNow_->setText(
        live ? pointText(transformPoint(bone->start, posed->bones[static_cast<std::size_t>(index)].world)) : QString());
}

}  // namespace qx::app
