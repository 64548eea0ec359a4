#pragma once
#include <QWidget>

namespace kt {

// The start-up form `agreefrm`: never shown, alive for the whole run (the About
// pictures are drawn over its background).
class StartupForm : public QWidget
{
    Q_OBJECT
public:
    explicit StartupForm(QWidget* parent = nullptr);
};

} // namespace kt
