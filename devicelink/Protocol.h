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

// Configuration transfer: an 8-byte header, the 3001-byte record and a checksum byte.
constexpr uint16_t ConfigMagic = 0x2948;
constexpr size_t ConfigHeaderSize = 8;
constexpr size_t ConfigImageSize = 3010;
constexpr size_t TransferBlockSize = 256;     // data bytes of a full block, every transfer
constexpr size_t ConfigWriteBlocks = 12;      // 11 full blocks and one of 194 bytes
constexpr size_t ReadBlockReplyLength = 260;  // code, N, k, 256 image bytes, checksum
constexpr size_t ReadReplyDataOffset = 3;     // reply byte where the image bytes start
constexpr uint32_t ReadFirstBlockTimeoutMs = 2000;
constexpr uint32_t ReadBlockTimeoutMs = 1000;
constexpr uint8_t ReplyWritePrepare = 0x84;  // 84 00: ready for the configuration blocks
constexpr size_t PrepareReplyLength = 3;     // every prepare: code, status, checksum
constexpr uint32_t WritePrepareTimeoutMs = 2500;
constexpr size_t WriteBlockReplyLength = 4;
constexpr uint32_t WriteBlockTimeoutMs = 1000;

// Firmware update.
constexpr uint8_t FirmwareFileMark = 0x47;  // 'G': first byte of every firmware file
constexpr uint8_t ReplyFirmwarePrepare = 0xF0;
constexpr uint32_t FirmwarePrepareTimeoutMs = 5000;
constexpr size_t FirmwareBlockReplyLength = 4;  // code, block, status, checksum
constexpr uint32_t FirmwareBlockTimeoutMs = 1000;
constexpr uint32_t FirmwareSpeedBlockBytes = 259;  // a full block message, for the speed line

// Voice flash upload.
constexpr uint8_t ReplyFlashPrepare = 0xE0;
constexpr uint32_t FlashPrepareTimeoutMs = 25000;
constexpr uint8_t ReplyFlashBlock = 0xE1;
constexpr size_t FlashBlockReplyLength = 5;  // E1, block low, block high, status, checksum
constexpr uint32_t FlashBlockTimeoutMs = 2000;
constexpr uint32_t FlashSpeedBlockBytes = 268;
constexpr int FlashLogKeepLines = 250;  // older block lines are dropped during an upload

// Block status (reply byte of the write, firmware and flash blocks).
constexpr uint8_t BlockStored = 0;       // block taken, more to come
constexpr uint8_t BlockComplete = 1;     // last block taken, transfer complete
constexpr uint8_t BlockBadImage = 2;     // firmware checksum or id invalid
constexpr uint8_t BlockNotPrepared = 3;  // no accepted prepare before the block
constexpr uint8_t BlockBadSequence = 4;  // block number out of order
constexpr uint8_t BlockBadSize = 5;      // illegal data block size

// One byte on a 9600-baud 8N1 line: ten bit times.
constexpr double ByteTimeUs9600 = 1e6 / 960.0;

}  // namespace varnex::protocol
