#pragma once
// The Tip of the Day window (`Tipfrm`): one random tip from tod.ctd at a time, with Next Tip, Close and the
// show-at-start check box.
#include "auxiliary/tips/Tips.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kt {

class TipOfTheDay : public QDialog
{
    Q_OBJECT
public:
    // Reads the icon and the tips from `programDir`. `uniform` replaces the clock-seeded
    // generator (tests).
    explicit TipOfTheDay(const QString& programDir, QWidget* owner = nullptr,
                         TipPicker::Uniform uniform = {});

    void NextRandomTip();
    void DisplayCurrentTip();
    const TipPicker& picker() const { return m_picker; }

private:
    TipPicker m_picker;
    QLabel* m_icon = nullptr;
    QLabel* m_tipText = nullptr;
    QCheckBox* m_showAtStart = nullptr;
};

} // namespace kt
