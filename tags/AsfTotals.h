// The totals an ASF (WMA) writer puts into its header only at its end, and the end a killed
// writer never wrote.
#pragma once

#include "foundation/FileStream.h"

// What a writer's end would have done to an ASF stream of fixed-size packets that it left: a torn
// last packet is cut off, and the header's file size, packet count and durations are set from the
// whole packets present. A header that already counts its packets is left as it stands. False
// when the file is not such a stream.
bool CompleteAsfStream(CFileStream& file);
