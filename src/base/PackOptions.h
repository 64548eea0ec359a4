#pragma once
// The options that govern packing: one enum per option, and the value a pack reads.
//
// The running program keeps them in OptionState (the Options menu's check marks show it);
// the command line builds them from its arguments. A pack takes one PackOptionValues when
// it starts and reads nothing else.
#include "base/TransferRate.h"

namespace kt {

// What happens to the sources after a successful pack: keep them; ask once for all files,
// then move them to the trash; move them to the trash without asking.
enum class DeleteAfterAction { No = 0, Prompt = 1, NoPrompt = 2 };

// The saved pack file: don't overwrite; ask first; overwrite without asking. Stored and
// restored like the others; no pack consults it.
enum class OverwritePolicy { No = 0, Prompt = 1, NoPrompt = 2 };

struct PackOptionValues
{
    bool mpegCheck = true; // check MPEG validity and compatibility before joining
    BlockSize block;       // the transfer rate's numbers (0 until a rate is chosen)
    DeleteAfterAction deleteAfter = DeleteAfterAction::No;
    // Seamless Join: clocks continue across program-stream parts, inner MP3 tags and VBR
    // headers are left out. Off: the join is byte for byte.
    bool seamless = false;
};

} // namespace kt
