#pragma once
// The window's message boxes: a QMessageBox for each MsgBox call.
#include <QPointer>
#include <QWidget>

#include "platform/MessageBox.h"

namespace kt {

class QtMessageBoxPresenter final : public MessageBoxPresenter
{
public:
    int present(const QString& text, int style, const QString& title) override;
};

} // namespace kt
