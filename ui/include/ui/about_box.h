// frmAbout: names the program, gives its version and lists what this version can
// edit. Modeless; it releases itself when closed.
#pragma once

#include <QDialog>

class QLabel;

namespace ui {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent);

private:
    void Form_Load();

    QLabel* lblTitle_;
    QLabel* lblVersion_;
};

}  // namespace ui
