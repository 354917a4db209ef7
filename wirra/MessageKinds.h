#pragma once
// Message kinds as the receiver link library hands them to the program: a record type and, within it,
// an identifier. The numbers are the ones the program has always dispatched on, so they are fixed.

namespace wirra {

// Record types (the program's LOG_TYPE values).
constexpr int kTypeNmea = 6;    // an NMEA sentence
constexpr int kTypeReply = 23;  // a receiver reply, "$>..."
constexpr int kTypeBinary = 27; // a "$BIN" frame; the identifier is its block id

// Identifiers of NMEA sentences, by sentence name whatever the talker.
constexpr unsigned kIdGGA = 25;
constexpr unsigned kIdGLL = 26;
constexpr unsigned kIdGNS = 27;
constexpr unsigned kIdGRS = 28;
constexpr unsigned kIdGSA = 29;
constexpr unsigned kIdGST = 30;
constexpr unsigned kIdGSV = 31;
constexpr unsigned kIdRMC = 33;
constexpr unsigned kIdRRE = 34;
constexpr unsigned kIdZDA = 35;
constexpr unsigned kIdVTG = 44;
constexpr unsigned kIdGBS = 45;
constexpr unsigned kIdHDT = 46;
constexpr unsigned kIdOtherSentence = 0;

// Identifiers of receiver replies.
constexpr unsigned kIdAck = 31;        // a bare "$>"
constexpr unsigned kIdOtherReply = 140; // "$> Save Complete", "$>JI,..." and the like
constexpr unsigned kIdShowReport = 150; // the whole "$JSHOW" burst

// Identifier of an NMEA sentence from its three-letter name (the part after the two-letter talker).
unsigned SentenceId(const char* name3);

// Expected data length of a binary block, 0 when the block id is not known.
unsigned BinaryDataLength(unsigned blockId);

} // namespace wirra
