#pragma once
// The window's open and save dialogs: QFileDialog.
#include <QPointer>
#include <QWidget>

#include "platform/FileDialogs.h"

namespace kt {

class QtFileDialogs final : public FileDialogs
{
public:
    explicit QtFileDialogs(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }
    QStringList getOpenFileNames(const FileDialogRequest& request) override;
    QString getSaveFileName(const FileDialogRequest& request) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace kt
