// The frame exchange: the only code that talks to the printer on the wire.
//
// Transact carries out one complete request/reply exchange for the command
// held in the record: numbering, framing, writing, reading and checking the
// reply, retries within fixed limits. Every outcome is a code 0..8 in
// ErrorCode; only the serial port's exceptions pass through.
#pragma once

#include <cstdint>

#include "fiscal/P00_fpcommand.h"
#include "serial/CPort.h"

constexpr int MaxAttempts = 4;
constexpr int MaxEmptyReads = 7;
constexpr int MaxNak = 3;
constexpr int MaxBlockReads = 6;
// Short writes tolerated in one attempt before it counts as no answer.
constexpr int MaxShortWrites = 4;

// The one port used for every exchange; set by the main window (or a tool).
extern TCustomComPort* FiscalPort;
// Sequence number of the most recent request; the first request carries 32.
extern std::int32_t LastSequence;
extern std::uint8_t FrameBuffer[230];
// Advanced on every exchange; keys the reply-field cache.
extern std::uint32_t ExchangeCounter;

void Transact(FPCommand00& command);
