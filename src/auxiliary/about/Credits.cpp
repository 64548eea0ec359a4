#include "Credits.h"

#include <QCoreApplication>

namespace kt {
namespace {
struct About
{
    Q_DECLARE_TR_FUNCTIONS(kt::About)
};
} // namespace

// Made at each call: the roles are in the language in force.
QVector<Credit> credits()
{
    return {
        {About::tr("Programming"), QStringLiteral("Ilona Varga"),
         QStringLiteral("ilona.varga@vantu.example")},
        {About::tr("Stream analysis"), QStringLiteral("Tomas Reinholt"),
         QStringLiteral("tomas.reinholt@vantu.example")},
        {About::tr("Artwork and icons"), QStringLiteral("Mira Castellanos"),
         QStringLiteral("mira.castellanos@vantu.example")},
        {About::tr("Testing and support"), QStringLiteral("Jonah Okafor"),
         QStringLiteral("jonah.okafor@vantu.example")},
    };
}

} // namespace kt
