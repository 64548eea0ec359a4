#pragma once
// The Registry module: every persistent setting and every start-up system value goes
// through these three calls.
//
// The program's own key (HKEY_CURRENT_USER, "Software\Vantu\KlivaTARN") is a QSettings
// store (organization "Vantu", application "KlivaTARN", the native INI file), read once, at
// the first call, and written through at every write that changes it. Only the values of
// the settings table holding one of their texts are read; the rest of a damaged file is
// skipped line by line and dropped at the next write. Other keys are the system's: they are
// answered by the system probe. Nothing is ever reported: what cannot be read is absent.
#include "platform/SystemProbe.h"

#include <QString>
#include <QtGlobal>

namespace kt {

inline constexpr quint32 HKEY_CURRENT_USER = kHKeyCurrentUser;
inline constexpr quint32 HKEY_CURRENT_CONFIG = kHKeyCurrentConfig;

// The program's key path.
QString appKeyPath(); // "Software\Vantu\KlivaTARN"

// The stored text, or `def` when the key or value is missing (a value outside the settings
// table, or with a text the table does not allow for it, is never kept), or the store cannot
// be read.
QString ReadRegString(quint32 root, const QString& keyPath, const QString& valueName,
                      const QString& def = QString());
// Stores a text the settings table allows for the value (others are ignored), creating the
// store when missing; failures are ignored. A text the store already holds is not written again.
void WriteRegString(quint32 root, const QString& keyPath, const QString& valueName, const QString& text);
// Forgets the store read at the first call, so that the next call reads the file again, as
// a new start would (for tests that change the file under the program).
void reloadSettingsStore();
// A stored 32-bit number, or `def`.
qint32 ReadRegDword(quint32 root, const QString& keyPath, const QString& valueName, qint32 def = 0);

// While one of these lives, writes change the store at once but reach the file together,
// in one write when the last one ends (the restore step chooses every option at start).
class RegistryWriteBatch
{
public:
    RegistryWriteBatch();
    ~RegistryWriteBatch();
    Q_DISABLE_COPY_MOVE(RegistryWriteBatch)
};

} // namespace kt
