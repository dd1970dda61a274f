#include "ui/about_box.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "editors/dialogs.h"
#include "ui/app_icon.h"
#include "ui/application_info.h"

namespace ui {
namespace {

struct Feature {
    const char* text;
    bool ticked;
};

// Rows 0 to 5 stand in the left column, 6 to 10 in the right one.
constexpr std::array<Feature, 11> kFeatures{{
    {"Insert/Delete/Edit Races", true},
    {"Insert/Delete/Edit Classes", true},
    {"Insert/Delete/Edit Spells", true},
    {"Insert/Delete/Edit Monsters", false},
    {"Insert/Delete/Edit Items", false},
    {"Insert/Delete/Edit Messages", true},
    {"Insert/Delete/Edit Text Blocks", false},
    {"Insert/Delete/Edit Rooms", false},
    {"Insert/Delete/Edit Shops", false},
    {"Insert/Delete/Edit Users", false},
    {"Insert/Delete/Edit Gangs", false},
}};
constexpr int kLeftColumnRows = 6;

QGroupBox* makeFeatureFrame(QWidget* parent) {
    auto* frame = new QGroupBox(QStringLiteral("In this version you can do the following "), parent);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    for (int row = 0; row < static_cast<int>(kFeatures.size()); ++row) {
        auto* check = new QCheckBox(frame);
        check->setObjectName(QStringLiteral("Check1_%1").arg(row));
        check->setChecked(kFeatures[row].ticked);
        // The ticks only inform: clicking them changes nothing.
        check->setAttribute(Qt::WA_TransparentForMouseEvents);
        check->setFocusPolicy(Qt::NoFocus);
        auto* label = new QLabel(QString::fromLatin1(kFeatures[row].text), frame);
        label->setObjectName(QStringLiteral("Label1_%1").arg(row));
        label->setBuddy(check);  // which names the tick for screen readers
        const int gridRow = row < kLeftColumnRows ? row : row - kLeftColumnRows;
        const int column = row < kLeftColumnRows ? 0 : 2;
        grid->addWidget(check, gridRow, column);
        grid->addWidget(label, gridRow, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return frame;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);  // the next "&About" builds the box afresh

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(applicationIcon().pixmap(48, 48));

    lblTitle_ = new QLabel(this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    lblTitle_->setFont(titleFont);
    lblVersion_ = new QLabel(this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);

    auto* heading = new QVBoxLayout;
    heading->addWidget(lblTitle_);
    heading->addWidget(lblVersion_);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(heading, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(makeFeatureFrame(this));
    layout->addLayout(bottom);

    Form_Load();
}

void AboutBox::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + editors::kApplicationTitle);
    lblVersion_->setText(versionText());
    lblTitle_->setText(editors::kApplicationTitle);
}

}  // namespace ui
