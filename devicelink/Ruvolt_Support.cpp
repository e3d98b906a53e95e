#include "Ruvolt_Support.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "FrameCodec.h"
#include "FrameReceiver.h"
#include "Host.h"
#include "Protocol.h"
#include "misc_functions.h"

namespace varnex {

using namespace protocol;

namespace {

using Clock = std::chrono::steady_clock;

// Longest time a wait blocks in poll() before the windows get served again.
constexpr int PollSliceMs = 5;

int MsLeft(Clock::time_point end) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

}  // namespace

TRuvolt::TRuvolt() {
  Port.Baudrate = 9600;
  Port.Bytesize = 8;
  Port.Stopbits = 0;
  Port.Parity = 0;
}

uint8_t TRuvolt::ComputeChecksum(const uint8_t* buffer, size_t capacity, size_t count) {
  if (count > capacity) return 0;
  unsigned sum = 0;
  for (size_t i = 0; i < count; ++i) sum += buffer[i];
  return static_cast<uint8_t>(256u - (sum & 0xFFu));
}

bool TRuvolt::ChecksumOk(const uint8_t* buffer, size_t count) {
  unsigned sum = 0;
  for (size_t i = 0; i < count; ++i) sum += buffer[i];
  return (sum & 0xFFu) == 0;
}

void TRuvolt::BuildCommand(uint8_t* buffer, size_t capacity, const uint8_t* command,
                           size_t count) {
  std::memset(buffer, 0, capacity);
  if (count >= capacity) return;
  std::memcpy(buffer, command, count);
  buffer[count] = ComputeChecksum(buffer, capacity, capacity);
}

void TRuvolt::BuildCommand(uint8_t* buffer, size_t capacity,
                           std::initializer_list<uint8_t> command) {
  BuildCommand(buffer, capacity, command.begin(), command.size());
}

size_t TRuvolt::UnescapeFrame(uint8_t* buffer, size_t capacity, size_t count) {
  if (count > capacity) return 0;
  size_t pairs = 0;
  size_t out = 0;
  // Writing behind the reading position is safe: output never overtakes input.
  for (size_t i = 0; i < count; ++i) {
    if (buffer[i] == FrameEscape && i + 1 < count) {
      const uint8_t second = buffer[++i];
      buffer[out++] = second == EscapedDelimiter ? FrameDelimiter
                      : second == EscapedEscape  ? FrameEscape
                                                 : 0x00;
      ++pairs;
    } else {
      buffer[out++] = buffer[i];
    }
  }
  std::memset(buffer + out, 0, capacity - out);
  return pairs;
}

bool TRuvolt::SendFrame(const uint8_t* buffer, size_t capacity, size_t count) {
  if (!Port.IsOpen() || count > capacity) return false;
  const std::vector<uint8_t> frame = EncodeFrame(buffer, count);
  if (frame.size() > FrameBufferSize) return false;
  return Port.Write(frame.data(), static_cast<uint32_t>(FrameBufferSize),
                    static_cast<uint32_t>(frame.size()));
}

bool TRuvolt::WaitForInput(uint32_t milliseconds) {
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    const WaitResult r = Port.WaitReadable(std::min(PollSliceMs, MsLeft(end)));
    UiPump().ProcessMessages();
    if (r == WaitResult::HungUp) return false;
    if (r == WaitResult::Readable || Clock::now() >= end) return true;
  }
}

bool TRuvolt::ReceiveBurst(uint8_t* buffer, size_t capacity, size_t expected, uint32_t timeoutMs,
                           uint32_t* rawCount) {
  if (rawCount) *rawCount = 0;
  if (expected > capacity) return false;

  std::memset(buffer, 0, capacity);
  FrameReceiver receiver(expected);
  std::array<uint8_t, FrameBufferSize> chunk{};
  bool overflow = false;
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);

  while (receiver.WantsMore() && Clock::now() < end) {
    const WaitResult waited = Port.WaitReadable(std::min(PollSliceMs, MsLeft(end)));
    if (waited == WaitResult::TimedOut) {
      UiPump().ProcessMessages();
      continue;
    }
    const int32_t n = Port.Read(chunk.data(), static_cast<uint32_t>(chunk.size()));
    if (n == -1 || (n > 0 && !receiver.Take(chunk.data(), static_cast<size_t>(n)))) {
      overflow = true;
      break;
    }
    UiPump().ProcessMessages();
    if (n < -1 || (waited == WaitResult::HungUp && n <= 0)) break;  // the device is gone
  }
  if (rawCount) *rawCount = static_cast<uint32_t>(receiver.RawCount());
  if (overflow) return false;

  switch (receiver.Finish(buffer, capacity)) {
    case FrameReceiver::Verdict::Accepted:
      return true;
    case FrameReceiver::Verdict::ChecksumError:
      MessageBox("Checksum error while receiving data burst!", "receive", MsgIcon::None);
      return false;
    case FrameReceiver::Verdict::Malformed:
      return false;
  }
  return false;
}

int TRuvolt::Connect(bool showMessages, bool acceptBusy) {
  int answer = -1;
  if (Port.PortNumber == 0) {
    if (showMessages)
      MessageBox("Sie müssen einen ComPort festlegen ! ", "Connect v24", MsgIcon::Error);
    return -1;
  }
  if (!Port.IsOpen()) Port.Open();
  if (!Port.IsOpen()) {
    if (showMessages) {
      std::string text = "Could not connect to ComPort !";
      if (!Port.ErrorDetail.empty()) text += "\n\n" + Port.ErrorDetail;
      MessageBox(text, "Connect v24", MsgIcon::Error);
    }
    return -1;
  }

  Port.SetControlLines(false, true);
  Port.SetControlLines(true, false);

  std::array<uint8_t, 101> reply{};
  for (int attempt = 0; attempt < HandshakeAttempts && answer != ACK && answer != NAK;
       ++attempt) {
    Port.WriteByte(ENQ);
    // Bytes other than ACK or NAK do not count as a poll, but the attempt still ends in time.
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(HandshakePolls * HandshakePollMs + 100);
    int emptyPolls = 0;
    while (emptyPolls < HandshakePolls && Clock::now() < deadline && !Port.HungUp()) {
      const int32_t n = Port.Read(reply.data(), static_cast<uint32_t>(reply.size()));
      if (n >= 1) {
        answer = reply[0];
        if (answer == ACK || answer == NAK) break;
        continue;
      }
      // Waiting ends early when input comes; the poll still counts, as after a fixed pause.
      if (!WaitForInput(HandshakePollMs)) break;
      ++emptyPolls;
    }
  }

  if (answer != ACK && answer != NAK) {
    if (showMessages) MessageBox("No answer from device !", "Connect v24", MsgIcon::Error);
    Disconnect();
    return -1;
  }
  if (answer == NAK && !acceptBusy) {
    if (showMessages)
      MessageBox(
          "Der Varnex führt gerade ein ISDN-Telefonat.\r\nBitte versuchen Sie es zu einen "
          "späteren Zeitpunkt noch einmal.",
          "Connect v24", MsgIcon::Error);
    Port.Close();
    return 0;
  }
  return 1;
}

bool TRuvolt::Disconnect() {
  if (!Port.IsOpen()) return false;
  Port.WriteByte(EOT);
  Port.Close();
  std::this_thread::sleep_for(std::chrono::milliseconds(DisconnectPauseMs));
  // Opening leaves DTR and RTS low: the device sees the wake-up lines dropped.
  Port.Open();
  return Port.Close();
}

bool TRuvolt::ReadVersionInfo(TVersionInfo& version, ILogLines& lines) {
  std::array<uint8_t, FrameBufferSize> request{};
  BuildCommand(request.data(), request.size(), {CmdVersion});
  std::array<uint8_t, ReplyBufferSize> reply{};
  uint32_t raw = 0;
  const bool sent = SendFrame(request.data(), request.size(), 2);
  if (sent && ReceiveBurst(reply.data(), reply.size(), VersionReplyLength, VersionTimeoutMs, &raw)) {
    version.Major = reply[1];
    version.Minor = reply[2];
    version.Value1 = static_cast<int16_t>(reply[3] | (reply[4] << 8));
    version.Value2 = static_cast<int16_t>(reply[5] | (reply[6] << 8));
    version.Value3 = static_cast<int16_t>(reply[7] | (reply[8] << 8));
    std::copy(reply.begin() + 9, reply.begin() + 15, version.Tail.begin());
    return true;
  }
  lines.Add("got " + std::to_string(raw) + " bytes: ");
  std::string dump;
  const size_t shown = std::min<size_t>(raw + 1, reply.size());
  for (size_t i = 0; i < shown; ++i) dump += "0x" + HexByte(reply[i]) + " ";
  lines.Add(dump);
  return false;
}

}  // namespace varnex
