// The main window's controls, start-up and shut-down.
#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/about_box.h"
#include "ui/app_icon.h"
#include "ui/application_info.h"
#include "ui/check_world_window.h"
#include "ui/find_window.h"
#include "ui/history_window.h"
#include "ui/keyboard_order.h"
#include "ui/tab_table.h"
#include "ui/where_used_window.h"

namespace ui {
namespace {

constexpr int kButtonPadding = 24;
constexpr QSize kPreferredSize(1180, 760);
// Room for the title bar and borders the window system adds.
constexpr QSize kWindowFrame(16, 48);

struct ButtonSpec {
    const char* name;
    const char* caption;
    const char* spoken;  // what screen readers call it
    void (MainWindow::*handler)();
};

// One row, in this order, which is also their order for the Tab key.
const std::array<ButtonSpec, 8>& buttonSpecs() {
    static const std::array<ButtonSpec, 8> specs{{
        {"cmdFirst", "<<", "First", &MainWindow::cmdFirst_Click},
        {"cmdNext", ">", "Next", &MainWindow::cmdNext_Click},
        {"cmdPrevious", "<", "Previous", &MainWindow::cmdPrevious_Click},
        {"cmdLast", ">>", "Last", &MainWindow::cmdLast_Click},
        {"cmdGoto", "Goto", "Goto", &MainWindow::cmdGoto_Click},
        {"cmdInsert", "Insert", "Insert", &MainWindow::cmdInsert_Click},
        {"cmdDelete", "Delete", "Delete", &MainWindow::cmdDelete_Click},
        {"cmdUpdate", "Update Record", "Update Record", &MainWindow::cmdUpdate_Click},
    }};
    return specs;
}

struct CommandSpec {
    const char* name;
    const char* caption;
    const char* shortcut;  // nullptr: none
    void (MainWindow::*handler)();
};

// The menu entries after "&About", in this order.
const std::array<CommandSpec, 5>& commandSpecs() {
    static const std::array<CommandSpec, 5> specs{{
        {"menuFind", "&Find...", "Ctrl+F", &MainWindow::menuFind_Click},
        {"menuFindNext", "Find &Next", "F3", &MainWindow::menuFindNext_Click},
        {"menuWhereUsed", "&Where Used...", "Ctrl+U", &MainWindow::menuWhereUsed_Click},
        {"menuCheckWorld", "Check &World...", nullptr, &MainWindow::menuCheckWorld_Click},
        {"menuHistory", "&History...", "Ctrl+H", &MainWindow::menuHistory_Click},
    }};
    return specs;
}

}  // namespace

MainWindow::MainWindow(editors::Dialogs& dialogs, store::BtrCall call, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      nameFiles_({}, call),
      names_(nameFiles_),
      findFiles_({}, call),
      findNextFiles_({}, call),
      whereUsedFiles_({}, call),
      checkFiles_({}, call),
      historyFiles_({}, call),
      store_(call, dialogs) {
    buildWindow();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildWindow() {
    auto* about = menuBar()->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("menuAbout"));
    connect(about, &QAction::triggered, this, &MainWindow::menuAbout_Click);
    for (const CommandSpec& spec : commandSpecs()) {
        auto* action = menuBar()->addAction(QString::fromLatin1(spec.caption));
        action->setObjectName(QString::fromLatin1(spec.name));
        if (spec.shortcut) action->setShortcut(QKeySequence(spec.shortcut));
        connect(action, &QAction::triggered, this, spec.handler);
    }

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    SSTab1_ = new QTabWidget(central);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    SSTab1_->setUsesScrollButtons(true);

    txtStatus_ = new QLineEdit(central);
    txtStatus_->setObjectName(QStringLiteral("txtStatus"));
    txtStatus_->setReadOnly(true);  // written by the commands, read by nobody
    txtStatus_->setAccessibleName(QStringLiteral("Status"));

    for (const auto& entry : tabEntries()) SSTab1_->addTab(buildTablePage(entry), entry.caption);
    layout->addWidget(SSTab1_, 1);

    auto* buttons = new QHBoxLayout;
    for (const auto& spec : buttonSpecs()) {
        auto* button = new QPushButton(QString::fromLatin1(spec.caption), central);
        button->setObjectName(QString::fromLatin1(spec.name));
        button->setAccessibleName(QString::fromLatin1(spec.spoken));
        button->setAutoDefault(false);
        // A narrow window narrows the buttons down to their captions, not below.
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + kButtonPadding);
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        connect(button, &QPushButton::clicked, this, spec.handler);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addWidget(txtStatus_);

    setCentralWidget(central);
    connect(SSTab1_, &QTabWidget::currentChanged, this, &MainWindow::enableCommands);
    enableCommands();
    setWindowIcon(applicationIcon());
    fitScreen();
    setUpKeyboard(*this);
}

void MainWindow::fitScreen() {
    // The pages scroll, so the window may be as small as its buttons and status line.
    const QRect available = screen()->availableGeometry();
    resize(kPreferredSize.boundedTo(available.size() - kWindowFrame));
}

QWidget* MainWindow::buildTablePage(const TabEntry& entry) {
    // Pages scroll, so a tall tab stays usable in a small window.
    auto* area = new QScrollArea;
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto* page = new QWidget;
    area->setWidget(page);
    if (entry.table) {
        const auto table = *entry.table;
        editors_[static_cast<std::size_t>(table)] = editors::makeTableEditor(
            table, *page, editors::EditorContext{store_, files_.block(table), *txtStatus_, dialogs_, &names_});
    }
    return area;
}

editors::TableEditor& MainWindow::editor(records::TableId table) { return *editors_[static_cast<std::size_t>(table)]; }

void MainWindow::showRow(store::TableFileBlock& block) { editor(block.file.id).show(block.row); }

bool MainWindow::Form_Load() {
    setWindowTitle(windowCaption());
    // The field layout lists are constants, built when the program was compiled.
    // The editors select the first tabs of the tab controls on their own pages.
    SSTab1_->setCurrentIndex(0);
    if (!store::startUp(store_, files_, [this](store::TableFileBlock& block) { showRow(block); })) return false;
    stage_ = Stage::Loaded;
    return true;
}

void MainWindow::Form_Unload() {
    if (stage_ != Stage::Loaded) return;
    stage_ = Stage::Unloaded;
    if (about_) about_->close();
    // The windows beside the tabs stop reading; the Stop of shut-down closes their files.
    delete find_;
    delete whereUsed_;
    delete checkWorld_;
    delete history_;
    store::shutDown(store_, files_);
    for (world::ReadFiles* files :
         {&nameFiles_, &findFiles_, &findNextFiles_, &whereUsedFiles_, &checkFiles_, &historyFiles_})
        files->release();
    dialogs_.message(webPageAddress());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void MainWindow::menuAbout_Click() {
    if (!about_) about_ = new AboutBox(this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

}  // namespace ui
