#pragma once

#include <cstdint>  // before libav's headers, which need its constant macros

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavutil/frame.h>
}

#include <memory>
#include <string>

namespace vcd2 {

struct AvFilterGraphFree {
  void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};

// A libavfilter graph from a text chain between a buffer source and a sink.
class ClipFilter {
 public:
  // source_args are the buffer's (video) or abuffer's (audio) options;
  // frame_size > 0 makes the sink deliver audio frames of that many samples.
  bool Build(bool video, const std::string& source_args, const std::string& chain, int frame_size);
  bool Built() const { return graph_ != nullptr; }
  // Pushes a frame in; null marks the end.
  bool Push(AVFrame* frame);
  // Ends the input at pts, in the source's time base.
  void Close(int64_t pts);
  // The next filtered frame; false when none is ready (or at the end).
  bool Pull(AVFrame* frame);

 private:
  std::unique_ptr<AVFilterGraph, AvFilterGraphFree> graph_;
  AVFilterContext* source_ = nullptr;
  AVFilterContext* sink_ = nullptr;
};

// The source options for a decoded frame and its time base.
std::string VideoSourceArgs(const AVFrame& frame, AVRational time_base);
std::string AudioSourceArgs(const AVFrame& frame, AVRational time_base);

}  // namespace vcd2
