#pragma once
// The window's message boxes: a QMessageBox for each MsgBox call.
#include "platform/MessageBox.h"

#include <QPointer>
#include <QWidget>

namespace kt {

class QtMessageBoxPresenter final : public MessageBoxPresenter
{
public:
    int present(const QString& text, int style, const QString& title) override;
};

} // namespace kt
