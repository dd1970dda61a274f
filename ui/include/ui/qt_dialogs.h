// The program's message boxes and Goto input box: Qt's modal dialogs, without icons.
#pragma once

#include <QPointer>
#include <QWidget>

#include "editors/dialogs.h"

namespace ui {

class QtDialogs : public editors::Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the boxes are centred on; may be set once the main window exists.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    editors::Answer message(const QString& text, const QString& title, editors::Buttons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultAnswer) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace ui
