// Bytes and times of the device's serial protocol, shared by the PC side and the simulator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varnex::protocol {

// Handshake, sent unframed.
constexpr uint8_t ENQ = 0x05;  // PC asks the device to enter command mode
constexpr uint8_t ACK = 0x06;  // device is free and in command mode
constexpr uint8_t NAK = 0x15;  // device is busy with an ISDN call
constexpr uint8_t EOT = 0x04;  // PC ends command mode

// Framing.
constexpr uint8_t FrameDelimiter = 0xFA;    // first and last byte of every frame
constexpr uint8_t FrameEscape = 0xFB;       // first byte of an escape pair
constexpr uint8_t EscapedDelimiter = 0x7A;  // FB 7A stands for FA
constexpr uint8_t EscapedEscape = 0x7B;     // FB 7B stands for FB

constexpr size_t FrameBufferSize = 1024;  // frame assembly and raw reply buffers
constexpr size_t ReplyBufferSize = 1024;

// Command codes.
constexpr uint8_t CmdVersion = 0x01;
constexpr uint8_t CmdReadConfigBlock = 0x03;
constexpr uint8_t CmdWritePrepare = 0x04;
constexpr uint8_t CmdWriteConfigBlock = 0x05;
constexpr uint8_t CmdFlashPrepare = 0x60;
constexpr uint8_t CmdFlashBlock = 0x61;
constexpr uint8_t CmdFirmwarePrepare = 0x70;
constexpr uint8_t CmdFirmwareBlock = 0x71;

constexpr size_t VersionReplyLength = 16;
constexpr uint32_t VersionTimeoutMs = 1000;

// Handshake timing: five polls of 100 ms per ENQ, two ENQs at most.
constexpr int HandshakeAttempts = 2;
constexpr int HandshakePolls = 5;
constexpr uint16_t HandshakePollMs = 100;
constexpr int DisconnectPauseMs = 200;

// One byte on a 9600-baud 8N1 line: ten bit times.
constexpr double ByteTimeUs9600 = 1e6 / 960.0;

}  // namespace varnex::protocol
