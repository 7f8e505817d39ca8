// The decode loop, with every result of FFmpeg's receive and send handled.
#include "vvppweb/DecodeLoop.h"

#include <new>

bool DecodeNextFrame(const TDecodeSteps& Steps, bool& Drained, AVFrame* Frame) {
  for (;;) {
    int Result = Steps.Receive(Frame);
    if (Result == 0) return true;
    if (Result == AVERROR(ENOMEM)) throw std::bad_alloc();
    if (Result == AVERROR_EOF) return false;
    // The decoder wants more, or could not decode what it had: either way the next packet.
    TPacketHolder Packet = Steps.NextPacket();
    if (!Packet) {
      if (Drained) return false;
      Drained = true;
    }
    Result = Steps.Send(Packet.get());
    if (Result == AVERROR(ENOMEM)) throw std::bad_alloc();
  }
}
