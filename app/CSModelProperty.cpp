#include "app/CSModelProperty.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include "app/NumberBox.h"

namespace qx::app {

CSModelProperty::CSModelProperty(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("skeletalModelForm"));
    auto* group = new QGroupBox(QStringLiteral("Skeletal Model"), this);
    nameText_ = makePathText(group);
    auto* inside = new QVBoxLayout(group);
    inside->addWidget(nameText_);
    inside->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
}

void CSModelProperty::showValues() { nameText_->setText(name_); }

}  // namespace qx::app
