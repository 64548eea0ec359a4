#pragma once
// The technical-support window: where to look for updates and where to send bug reports.
#include <QDialog>

namespace kt {

class TechSupportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TechSupportDialog(QWidget* owner = nullptr);
};

} // namespace kt
