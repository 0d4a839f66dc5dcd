#include "make/clip/clip_filter.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
}

#include <cstdio>

namespace vcd2 {

bool ClipFilter::Build(bool video, const std::string& source_args, const std::string& chain,
                       int frame_size) {
  graph_.reset(avfilter_graph_alloc());
  if (!graph_) return false;
  graph_->nb_threads = 1;  // the encoder has the cores
  const AVFilter* source = avfilter_get_by_name(video ? "buffer" : "abuffer");
  const AVFilter* sink = avfilter_get_by_name(video ? "buffersink" : "abuffersink");
  if (avfilter_graph_create_filter(&source_, source, "in", source_args.c_str(), nullptr,
                                   graph_.get()) < 0 ||
      avfilter_graph_create_filter(&sink_, sink, "out", nullptr, nullptr, graph_.get()) < 0) {
    return false;
  }
  AVFilterInOut* outputs = avfilter_inout_alloc();
  AVFilterInOut* inputs = avfilter_inout_alloc();
  bool built = outputs != nullptr && inputs != nullptr;
  if (built) {
    outputs->name = av_strdup("in");
    outputs->filter_ctx = source_;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = sink_;
    built =
        avfilter_graph_parse_ptr(graph_.get(), chain.c_str(), &inputs, &outputs, nullptr) >= 0 &&
        avfilter_graph_config(graph_.get(), nullptr) >= 0;
  }
  avfilter_inout_free(&inputs);
  avfilter_inout_free(&outputs);
  if (built && frame_size > 0)
    av_buffersink_set_frame_size(sink_, static_cast<unsigned>(frame_size));
  if (!built) graph_.reset();
  return built;
}

bool ClipFilter::Push(AVFrame* frame) {
  return av_buffersrc_add_frame_flags(source_, frame, AV_BUFFERSRC_FLAG_KEEP_REF) >= 0;
}

void ClipFilter::Close(int64_t pts) {
  av_buffersrc_close(source_, pts, 0);
}

bool ClipFilter::Pull(AVFrame* frame) {
  return av_buffersink_get_frame(sink_, frame) >= 0;
}

std::string VideoSourceArgs(const AVFrame& frame, AVRational time_base) {
  char args[256];
  const AVRational sar =
      frame.sample_aspect_ratio.num > 0 ? frame.sample_aspect_ratio : AVRational{1, 1};
  std::snprintf(args, sizeof args, "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
                frame.width, frame.height, frame.format, time_base.num, time_base.den, sar.num,
                sar.den);
  return args;
}

std::string AudioSourceArgs(const AVFrame& frame, AVRational time_base) {
  char layout[128] = "";
  AVChannelLayout channels{};
  if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_default(&channels, frame.ch_layout.nb_channels);
  } else {
    av_channel_layout_copy(&channels, &frame.ch_layout);
  }
  av_channel_layout_describe(&channels, layout, sizeof layout);
  av_channel_layout_uninit(&channels);
  char args[256];
  std::snprintf(args, sizeof args, "time_base=%d/%d:sample_rate=%d:sample_fmt=%s:channel_layout=%s",
                time_base.num, time_base.den, frame.sample_rate,
                av_get_sample_fmt_name(static_cast<AVSampleFormat>(frame.format)), layout);
  return args;
}

}  // namespace vcd2
