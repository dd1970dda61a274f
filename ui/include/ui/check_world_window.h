// frmCheckWorld: runs the world check a batch per turn of the event loop and lists
// each problem as it is found. Choosing a problem shows its record on its tab.
#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <vector>

#include "ui/find_window.h"
#include "world/world_check.h"

class QListWidget;
class QLabel;

namespace ui {

class CheckWorldWindow : public QDialog {
    Q_OBJECT
public:
    CheckWorldWindow(world::ReadFiles& files, ShowRecord show, QWidget* parent);

    // Starts the check over.
    void run();
    bool running() const { return check_ != nullptr; }

private:
    void step();
    void choose();

    world::ReadFiles& files_;
    ShowRecord show_;
    QListWidget* lstProblems_;
    QLabel* lblCheckState_;
    std::unique_ptr<world::WorldCheck> check_;
    std::vector<world::Problem> problems_;
    QTimer steps_;
};

// A problem as one line: "wccknms2.dat record 3 DropItem A: item 30000 does not exist".
QString problemLine(const world::Problem& problem);

}  // namespace ui
