#include "Credits.h"

namespace kt {

const QVector<Credit>& credits()
{
    static const QVector<Credit> list{
        {QStringLiteral("Programming"), QStringLiteral("Ilona Varga"),
         QStringLiteral("ilona.varga@vantu.example")},
        {QStringLiteral("Stream analysis"), QStringLiteral("Tomas Reinholt"),
         QStringLiteral("tomas.reinholt@vantu.example")},
        {QStringLiteral("Artwork and icons"), QStringLiteral("Mira Castellanos"),
         QStringLiteral("mira.castellanos@vantu.example")},
        {QStringLiteral("Testing and support"), QStringLiteral("Jonah Okafor"),
         QStringLiteral("jonah.okafor@vantu.example")},
    };
    return list;
}

} // namespace kt
