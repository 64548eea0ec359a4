#include "QtMessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kt {

int QtMessageBoxPresenter::present(const QString& text, int style, const QString& title)
{
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setObjectName(QStringLiteral("MsgBox"));
    switch (msgIcon(style)) {
    case MB_ICONHAND:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
    }
    QList<QPair<QMessageBox::StandardButton, int>> buttons;
    switch (msgButtons(style)) {
    case MB_YESNO:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        break;
    case MB_RETRYCANCEL:
        buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_OKCANCEL:
        buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    default:
        buttons = {{QMessageBox::Ok, IDOK}};
    }
    QMessageBox::StandardButtons all;
    for (const auto& b : buttons)
        all |= b.first;
    box.setStandardButtons(all);
    box.setDefaultButton(buttons.value(msgDefaultIsSecond(style) && buttons.size() > 1 ? 1 : 0).first);
    if (buttons.size() > 1)
        box.setEscapeButton(buttons.last().first); // Esc means No / Cancel
    if (msgTopmost(style))
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
    const auto pressed = box.standardButton(box.clickedButton());
    for (const auto& b : buttons)
        if (b.first == pressed)
            return b.second;
    return msgSafeAnswer(style);
}

} // namespace kt
