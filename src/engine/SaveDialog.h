#pragma once
// The "Save Pack File As" dialog request. A PackHost's askOutputPath() shows it through
// fileDialogs() (or answers it another way) and returns the chosen path with
// surrounding spaces removed, or an empty text when cancelled.
#include "platform/FileDialogs.h"

namespace kt {

inline FileDialogRequest saveDialogRequest()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save Pack File As");
    request.filter = mediaFileFilter();
    return request; // no initial folder, no default extension
}

} // namespace kt
