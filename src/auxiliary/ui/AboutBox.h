#pragma once
// The About box (`abtfrm`): title, version, the maker's link, the rotating credits panel with mail images,
// and the System Info button.
#include "auxiliary/about/Credits.h"

#include <QDialog>
#include <QVector>

class QLabel;
class QTimer;

namespace kt {

class AboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget* owner = nullptr);

    // One tick of the credits timer (the timer calls it every 5000 ms).
    void ChangeSplash_Timer();

private:
    void showCredits();

    CreditsRotation m_rotation;
    QTimer* m_timer = nullptr;
    QVector<QLabel*> m_creditLabels; // 4
    QVector<QLabel*> m_mailImages;   // 4
};

} // namespace kt
