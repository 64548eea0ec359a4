#pragma once
// The "Save Pack File As" dialog request. A PackHost's askOutputPath() shows it through
// fileDialogs() (or answers it another way) and returns the chosen path with
// surrounding spaces removed, or an empty text when cancelled.
#include "platform/FileDialogs.h"

#include <QCoreApplication>

namespace kt {

inline FileDialogRequest saveDialogRequest()
{
    FileDialogRequest request;
    request.title = QCoreApplication::translate("kt::SaveDialog", "Save Pack File As");
    request.filter = mediaFileFilter();
    return request; // no initial folder, no default extension
}

} // namespace kt
