#pragma once
// Hands one message from the queue to the decoder operation that its type and identifier call for,
// as the program's dispatch does: GGA, GSA, GST, RMC, ZDA sentences, the "$JSHOW" report, the "$>"
// acknowledgement, binary messages 96 and 99. For tools, benchmarks and tests that decode without
// the program. Returns true when the message has a decoder operation.

#include "CSIFormat.h"

namespace wirra {

bool DecodeMessage(CCSIFormat& decoder, int type, unsigned id, const char* bytes, int n);

} // namespace wirra
