#include "OptionState.h"

#include "settings/Registry.h"

namespace kt {
namespace {

QString readOwn(const QString& name)
{
    return ReadRegString(HKEY_CURRENT_USER, appKeyPath(), name, QString());
}
void writeOwn(const QString& name, const QString& text)
{
    WriteRegString(HKEY_CURRENT_USER, appKeyPath(), name, text);
}

} // namespace

OptionState::OptionState(QObject* parent) : QObject(parent) {}

void OptionState::chooseTransferRate(TransferRate rate)
{
    m_rate = rate;
    m_block = blockSizeFor(rate);
    emit changed();
    writeOwn(settingsKey::tRate(), transferRateName(rate));
}

void OptionState::chooseDelAfterAction(DeleteAfterAction action)
{
    m_delete = action;
    emit changed();
    writeOwn(settingsKey::delact(), storedText(action));
}

void OptionState::chooseOverwritePolicy(OverwritePolicy policy)
{
    m_overwrite = policy;
    emit changed();
    writeOwn(settingsKey::owrite(), storedText(policy));
}

void OptionState::toggleMpegCheck()
{
    setMpegCheck(!m_mpegCheck);
}

void OptionState::setMpegCheck(bool on)
{
    setOnOff(m_mpegCheck, settingsKey::mcc(), on);
}

void OptionState::toggleSeamless()
{
    setSeamless(!m_seamless);
}

void OptionState::setSeamless(bool on)
{
    setOnOff(m_seamless, settingsKey::seamless(), on);
}

void OptionState::setOnOff(bool& flag, const QString& name, bool on)
{
    flag = on;
    emit changed();
    writeOwn(name, onOffText(on));
}

void OptionState::restore()
{
    const RegistryWriteBatch oneWrite;
    // The stored rate is read but Normal is chosen whatever it says: the Transfer Rate
    // menu is hidden, so a rate left in the store by an older setup must not silently
    // change the speed of every pack.
    (void)readOwn(settingsKey::tRate());
    chooseTransferRate(TransferRate::Normal);

    chooseDelAfterAction(delAfterActionFrom(readOwn(settingsKey::delact())).value_or(DeleteAfterAction::No));
    chooseOverwritePolicy(
        overwritePolicyFrom(readOwn(settingsKey::owrite())).value_or(OverwritePolicy::Prompt));
    setMpegCheck(readOwn(settingsKey::mcc()) != onOffText(false));
    // Off unless switched on: the join stays byte for byte.
    setSeamless(readOwn(settingsKey::seamless()) == onOffText(true));
}

} // namespace kt
