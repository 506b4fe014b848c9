#pragma once
// The form of a skeletal mesh: its file's full path.

#include <QLabel>
#include <QWidget>

namespace qx::app {

class CSModelProperty : public QWidget {
    Q_OBJECT
public:
    explicit CSModelProperty(QWidget* parent = nullptr);

    void setName(const QString& name) { name_ = name; }
    // Writes the name into the form.
    void showValues();

private:
    QString name_;
    QLabel* nameText_ = nullptr;
};

}  // namespace qx::app
