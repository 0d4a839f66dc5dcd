// Sampling rate conversion by libswresample, in the codec module.
extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>

#include "make/resampler.h"

namespace vcd2 {
namespace {

constexpr double kPrecisionBits = 28;  // the SoX resampler's "very high quality"

struct SwrFree {
  void operator()(SwrContext* context) const { swr_free(&context); }
};

class SwrResampler final : public Resampler {
 public:
  SwrResampler(SwrContext* context, int channels) : context_(context), channels_(channels) {}

  bool Convert(std::span<const float> in, std::vector<float>& out) override {
    const int frames = static_cast<int>(in.size() / static_cast<size_t>(channels_));
    const int room = swr_get_out_samples(context_.get(), frames);
    if (room < 0) return false;
    const size_t before = out.size();
    out.resize(before + static_cast<size_t>(room) * channels_);
    auto* to = reinterpret_cast<uint8_t*>(out.data() + before);
    const auto* from = reinterpret_cast<const uint8_t*>(in.data());
    const int made = swr_convert(context_.get(), &to, room, frames > 0 ? &from : nullptr, frames);
    out.resize(before + static_cast<size_t>(std::max(made, 0)) * channels_);
    return made >= 0;
  }

 private:
  std::unique_ptr<SwrContext, SwrFree> context_;
  int channels_;
};

}  // namespace

std::unique_ptr<Resampler> OpenResampler(uint32_t in_rate, uint32_t out_rate, int channels) {
  AVChannelLayout layout;
  av_channel_layout_default(&layout, channels);
  SwrContext* context = nullptr;
  const int set =
      swr_alloc_set_opts2(&context, &layout, AV_SAMPLE_FMT_FLT, static_cast<int>(out_rate), &layout,
                          AV_SAMPLE_FMT_FLT, static_cast<int>(in_rate), 0, nullptr);
  auto resampler = std::make_unique<SwrResampler>(context, channels);
  if (set < 0 || av_opt_set_int(context, "resampler", SWR_ENGINE_SOXR, 0) < 0 ||
      av_opt_set_double(context, "precision", kPrecisionBits, 0) < 0 || swr_init(context) < 0) {
    return nullptr;
  }
  return resampler;
}

}  // namespace vcd2
