#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace vcd2 {

// Owning handles for the libav objects MAKE and --inspect use.
struct AvFrameFree {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct AvPacketFree {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct AvCodecFree {
  void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct AvFormatClose {
  void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};
struct SwsFree {
  void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};

using AvFrame = std::unique_ptr<AVFrame, AvFrameFree>;
using AvPacket = std::unique_ptr<AVPacket, AvPacketFree>;
using AvCodec = std::unique_ptr<AVCodecContext, AvCodecFree>;
using AvInput = std::unique_ptr<AVFormatContext, AvFormatClose>;
using Scaler = std::unique_ptr<SwsContext, SwsFree>;

}  // namespace vcd2
