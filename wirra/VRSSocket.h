#pragma once
// CVRSSocket: the socket of a correction (NTRIP data) connection. Besides the plain socket it carries
// the owner's link state and a ready flag, both one byte, set on construction.

#include "CESocket.h"

// Link states the owner keeps on the connection.
enum CorrectionLinkState : platform::BYTE {
    LINK_NONE = 0,
    LINK_LOGIN = 1,     // login request sent, waiting for the caster's answer
    LINK_FORWARD = 3,   // logged in: received bytes are corrections
    LINK_DRAIN = 4,     // received blocks are dropped; a block of exactly 32 bytes moves on to 5
    LINK_FORWARD_2 = 5, // as 3
};

class CVRSSocket : public CCESocket {
public:
    CVRSSocket() = default;
    ~CVRSSocket() override = default;

    CorrectionLinkState m_ucLinkState = LINK_NONE;
    platform::BYTE m_ucReady = 1; // clear while a block is being forwarded
};
