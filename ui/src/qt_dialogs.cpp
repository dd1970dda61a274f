#include "ui/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace ui {

editors::Answer QtDialogs::message(const QString& text, const QString& title, editors::Buttons buttons) {
    QMessageBox box(parent_);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(title.isEmpty() ? editors::kApplicationTitle : title);
    box.setTextFormat(Qt::PlainText);  // names and lines from the files are shown as they are
    box.setText(text);
    if (buttons == editors::Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return editors::Answer::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? editors::Answer::Yes : editors::Answer::No;
}

std::optional<QString> QtDialogs::input(const QString& prompt, const QString& title, const QString& defaultAnswer) {
    QInputDialog dialog(parent_);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultAnswer);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

}  // namespace ui
