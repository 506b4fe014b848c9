#include "app/NumberBox.h"

#include <cmath>

#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpressionValidator>

namespace qx::app {

NumberBox::NumberBox(const QString& objectName, QWidget* parent) : QLineEdit(parent) {
    setObjectName(objectName);
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[-+]?[0-9]*\\.?[0-9]*([eE][-+]?[0-9]*)?")), this));
}

void NumberBox::showValue(float value) { setText(QString::number(static_cast<double>(value), 'g', 7)); }

bool NumberBox::readValue(float& value) const {
    bool ok = false;
    const float number = QLocale::c().toFloat(text().trimmed(), &ok);
    if (!ok || !std::isfinite(number)) return false;
    value = number;
    return true;
}

void NumberBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit left();
}

void NumberBox::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) emit left();
}

QLabel* makePathText(QWidget* parent) {
    auto* text = new QLabel(QStringLiteral("Name Edit"), parent);
    text->setObjectName(QStringLiteral("name"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return text;
}

}  // namespace qx::app
