#pragma once
// The About box's credits panel: four credits, each a role, a name and a mail address,
// shown two at a time by a timer that ticks every 5000 ms.
#include <QString>
#include <QVector>

namespace kt {

struct Credit
{
    QString role;
    QString name;
    QString mail;
};

QVector<Credit> credits(); // four, in panel order, the roles in the user's language

inline constexpr int kCreditsTickMs = 5000;

// Cycles: nothing shown (state 1), credits 1 and 2 (state 2), credits 3 and 4 (state 3).
class CreditsRotation
{
public:
    bool firstPairVisible() const { return m_state == 2; }
    bool secondPairVisible() const { return m_state == 3; }
    // One tick of the timer.
    void tick() { m_state = m_state % 3 + 1; }

private:
    int m_state = 1;
};

} // namespace kt
