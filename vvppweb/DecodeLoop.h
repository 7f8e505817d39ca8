// The one decode loop of pictures and sound: the decoder's next frame, with the stream's packets
// sent as it asks for them and its end sent once they run out. The decoder and the stream are
// reached through the steps below, so the loop's answers to each of FFmpeg's results are one.
#pragma once

#include <functional>

#include "vvppweb/FFmpegHolders.h"

struct TDecodeSteps {
  std::function<int(AVFrame*)> Receive;         // avcodec_receive_frame
  std::function<TPacketHolder()> NextPacket;    // the stream's next packet; none at its end
  std::function<int(const AVPacket*)> Send;     // avcodec_send_packet; nullptr sends the end
};

// The next frame into Frame; false at the end of the stream. Drained is the stream's: whether
// its end has been sent. A frame that does not decode (bad data) is passed over, whether the
// decoder says so when it is sent or when it is received: only the decoder's end of stream, or
// its wanting more once the end was sent, ends it. Throws std::bad_alloc when memory runs out.
bool DecodeNextFrame(const TDecodeSteps& Steps, bool& Drained, AVFrame* Frame);
