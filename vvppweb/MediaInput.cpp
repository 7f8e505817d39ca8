// Our AVIO: reading and seeking over a header packet and the clip's bytes in memory.
#include "vvppweb/MediaInput.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace {

constexpr int BufferSize = 16384;

int Read(void* Opaque, uint8_t* Buffer, int Wanted) {
  auto& Input = *static_cast<TMediaInput*>(Opaque);
  uint64_t Size = Input.Size();
  if (Wanted <= 0) return 0;
  if (Input.Pos >= Size) return AVERROR_EOF;
  int Done = 0;
  while (Done < Wanted && Input.Pos < Size) {
    const char* From;
    uint64_t Left;
    if (Input.Pos < Input.Header.size()) {
      From = Input.Header.data() + Input.Pos;
      Left = Input.Header.size() - Input.Pos;
    } else {
      uint64_t At = Input.Offset + (Input.Pos - Input.Header.size());
      From = Input.Bytes->data() + At;
      Left = Input.Bytes->size() - At;
    }
    auto Count = static_cast<int>(std::min<uint64_t>(Left, static_cast<uint64_t>(Wanted - Done)));
    std::memcpy(Buffer + Done, From, static_cast<size_t>(Count));
    Done += Count;
    Input.Pos += static_cast<uint64_t>(Count);
  }
  return Done;
}

int64_t Seek(void* Opaque, int64_t Offset, int Whence) {
  auto& Input = *static_cast<TMediaInput*>(Opaque);
  auto Size = static_cast<int64_t>(Input.Size());
  int64_t Target;
  switch (Whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return Size;
    case SEEK_SET: Target = Offset; break;
    case SEEK_CUR: Target = static_cast<int64_t>(Input.Pos) + Offset; break;
    case SEEK_END: Target = Size + Offset; break;
    default: return AVERROR(EINVAL);
  }
  if (Target < 0 || Target > Size) return AVERROR(EINVAL);
  Input.Pos = static_cast<uint64_t>(Target);
  return Target;
}

}  // namespace

AVIOContext* OpenMediaInput(TMediaInput& Input) {
  auto* Buffer = static_cast<unsigned char*>(av_malloc(BufferSize));
  if (!Buffer) return nullptr;
  AVIOContext* Context = avio_alloc_context(Buffer, BufferSize, 0, &Input, Read, nullptr, Seek);
  if (!Context) av_free(Buffer);
  return Context;
}

void CloseMediaInput(AVIOContext*& Context) {
  if (!Context) return;
  av_freep(&Context->buffer);
  avio_context_free(&Context);
}
