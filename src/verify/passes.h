#pragma once

#include "verify/verify_context.h"

namespace vcd2 {

// The layers of a disc, one pass each, in the order they run. Each adds its
// problems to the context's log and what it learned to its facts.

// The ISO 9660 volume with its XA extensions: descriptors, volume space size,
// path tables, every directory record, and the files a Video CD needs.
void CheckVolume(VerifyContext& context);

// INFO.VCD and ENTRIES.VCD.
void CheckControlFiles(VerifyContext& context);

// LOT.VCD and PSD.VCD, and their extended forms when present.
void CheckPlaybackControl(VerifyContext& context);

// Every sector of every image (sync, header, mode, subheaders, EDC/ECC,
// pregaps) and the MPEG packs of every track and segment play item, in one
// sequential read. False when the host asked to stop.
bool CheckSectorsAndStreams(VerifyContext& context);

// INFO.VCD's PAL flags and segment contents against what the streams hold.
void CheckStreamFlags(VerifyContext& context);

}  // namespace vcd2
