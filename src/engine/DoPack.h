#pragma once
// The pack command: refuses what cannot succeed, asks for the output, checks every row in
// order (length, the output among the sources, MPEG validity and compatibility), with the
// Seamless Join plans the rewrite (asking when MPEG audio parts differ in rate or layer),
// checks the free space, and then runs the join inside the host's progress window.
//
// Every refusal returns the host to its idle look; a message is shown except when the
// user cancelled the Save dialog or declined an MPEG question.
#include "base/File64.h"
#include "engine/JoinFiles.h"
#include "engine/PackHost.h"

#include <QStringList>

namespace kt {

// The pack values of one run, for whoever wants to look at them afterwards.
struct PackValues
{
    QString outputPath;        // SaveAsNewFilename_txt
    quint64 totalPackSize = 0; // TotalPackSize: sum of the lengths of the rows checked
    quint64 freeSpace = 0;
    QStringList mcheckList; // Mcheck_Lst: the reference parameter text
    JoinResult join;        // when the join ran
};

// What the checks of one row found, the first refusal in their order: a 0-byte (or missing)
// file, then the output itself among the sources, then a source another pack is writing.
struct RowVerdict
{
    enum Refusal { None, ZeroBytes, SaveAsFile, BeingWritten };
    Refusal refusal = None;
    quint64 length = 0;

    bool accepted() const { return refusal == None; }
    QString message(const QString& path) const;
    int style() const;
};
RowVerdict checkRow(const QString& path, const QString& outputPath);

PackOutcome DoPack(PackHost& host, File64& file, PackValues* values = nullptr);

} // namespace kt
