#pragma once
// The help window: how to convert and load files, what the panels do, the mouse controls and
// the toolbar. Made hidden at start; Help shows it, OK hides it again. It does not block the
// main window, so a user can follow it while trying.

#include <QDialog>

namespace qx::app {

class CHelpDlg : public QDialog {
    Q_OBJECT
public:
    explicit CHelpDlg(QWidget* parent = nullptr);
};

}  // namespace qx::app
