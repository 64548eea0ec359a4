#pragma once
// The live options of the running program and their mirror in the settings store.
//
// The Options menu's check marks show this state; every choice writes its stored
// text at once, and restore() chooses the items again from the store when the main
// window starts. A pack reads them all at once, as packOptions().
#include "base/PackOptions.h"
#include "base/TransferRate.h"
#include "settings/SettingsTable.h"

#include <QObject>
#include <optional>

namespace kt {

class OptionState : public QObject
{
    Q_OBJECT
public:
    explicit OptionState(QObject* parent = nullptr);

    // Choosing an item: set the group's mark, then write the stored text.
    void chooseTransferRate(TransferRate rate);
    void chooseDelAfterAction(DeleteAfterAction action);
    void chooseOverwritePolicy(OverwritePolicy policy);
    // The MPEG Compatibility item: flips the check and writes "On"/"Off".
    void toggleMpegCheck();
    // Sets the check and writes "On"/"Off" (the restore step and Preferences OK).
    void setMpegCheck(bool on);
    // The Seamless Join item, as the MPEG Compatibility item.
    void toggleSeamless();
    void setSeamless(bool on);

    // Restore step, in order: transfer rate (always Normal), delete-after action,
    // overwrite policy, MPEG check, Seamless Join. Writes the values back, in one write.
    void restore();

    TransferRate transferRate() const { return m_rate; }
    DeleteAfterAction deleteAfterAction() const { return m_delete; }
    // No Overwrite item is checked until one is chosen.
    std::optional<OverwritePolicy> overwritePolicy() const { return m_overwrite; }
    bool mpegCheck() const { return m_mpegCheck; }
    bool seamless() const { return m_seamless; }
    // What a pack started now reads: the MPEG check, the block numbers, the delete-after
    // action, Seamless Join.
    PackOptionValues packOptions() const { return {m_mpegCheck, m_block, m_delete, m_seamless}; }

signals:
    void changed();

private:
    void setOnOff(bool& flag, const QString& name, bool on);

    TransferRate m_rate = TransferRate::Normal;
    BlockSize m_block = blockSizeFor(TransferRate::Normal);
    DeleteAfterAction m_delete = DeleteAfterAction::No;
    std::optional<OverwritePolicy> m_overwrite;
    bool m_mpegCheck = true;
    bool m_seamless = false;
};

} // namespace kt
