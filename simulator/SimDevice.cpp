#include "SimDevice.h"

#include <algorithm>

#include "FrameCodec.h"
#include "Protocol.h"

namespace varnex::sim {

using namespace protocol;

void SimDevice::OnByte(uint8_t byte, std::vector<SimChunk>& out) {
  if (inFrame_) {
    if (byte == FrameDelimiter) {
      inFrame_ = false;
      OnFrame(out);
    } else if (escape_) {
      escape_ = false;
      frame_.push_back(byte == EscapedDelimiter ? FrameDelimiter
                       : byte == EscapedEscape  ? FrameEscape
                                                : 0x00);
    } else if (byte == FrameEscape) {
      escape_ = true;
    } else {
      frame_.push_back(byte);
    }
    return;
  }
  if (byte == FrameDelimiter && commandMode_) {
    inFrame_ = true;
    escape_ = false;
    frame_.clear();
    return;
  }
  if (byte == ENQ) {
    ++enqCount_;
    if (options_.silent) return;
    if (!options_.noise.empty() && options_.noiseGapMs > 0) {
      out.push_back({0, options_.noise});
      out.push_back({options_.noiseGapMs, {options_.busy ? NAK : ACK}});
    } else {
      std::vector<uint8_t> answer = options_.noise;
      answer.push_back(options_.busy ? NAK : ACK);
      out.push_back({0, answer});
    }
    // A busy device still takes commands from a PC that accepts it busy.
    commandMode_ = true;
    return;
  }
  if (byte == EOT) {
    ++eotCount_;
    commandMode_ = false;
  }
}

void SimDevice::OnFrame(std::vector<SimChunk>& out) {
  unsigned sum = 0;
  for (uint8_t b : frame_) sum += b;
  // A garbled request gets no answer, as on the real line: the PC times out.
  if (frame_.empty() || (sum & 0xFF) != 0) return;
  requests_.push_back(frame_);
  std::vector<uint8_t> reply;
  int delayMs = 0;
  if (HandleRequest(frame_, reply, delayMs)) SendReply(std::move(reply), delayMs, out);
}

bool SimDevice::HandleRequest(const std::vector<uint8_t>& request, std::vector<uint8_t>& reply,
                              int& delayMs) {
  delayMs = 0;
  if (request[0] == CmdVersion && request.size() == 2) {
    auto word = [&](int16_t v) {
      reply.push_back(static_cast<uint8_t>(v & 0xFF));
      reply.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    };
    reply = {0x81, options_.major, options_.minor};
    word(options_.value1);
    word(options_.value2);
    word(options_.value3);
    reply.insert(reply.end(), 6, 0);
    return true;
  }
  return false;
}

void SimDevice::SendReply(std::vector<uint8_t> reply, int delayMs, std::vector<SimChunk>& out) {
  AppendChecksum(reply);
  if (options_.replyExtraByte) reply.push_back(0x00);
  std::vector<uint8_t> frame = EncodeFrame(reply);
  const size_t cut = static_cast<size_t>(std::max(0, options_.cutReplyBytes));
  frame.resize(cut >= frame.size() ? 0 : frame.size() - cut);
  frame.insert(frame.begin(), options_.replyNoise.begin(), options_.replyNoise.end());
  out.push_back({delayMs, std::move(frame)});
}

}  // namespace varnex::sim
