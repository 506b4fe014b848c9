#pragma once
// The property forms' fields. A one-line box for a decimal number: it accepts only what can
// become a number, reports when the user leaves it (focus moves on, or Return), and shows floats
// in their shortest plain form ("-1", "0.5", "1.066667").

#include <QLabel>
#include <QLineEdit>

namespace qx::app {

class NumberBox : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberBox(const QString& objectName, QWidget* parent = nullptr);

    void showValue(float value);
    // The number the box holds; false when its text is not a whole number (empty, "-", "1e").
    bool readValue(float& value) const;

signals:
    void left();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The full path a form shows at its top: wrapped, selectable for copying, found as "name".
QLabel* makePathText(QWidget* parent);

}  // namespace qx::app
