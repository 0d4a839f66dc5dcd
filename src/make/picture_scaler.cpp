#include "make/picture_scaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace vcd2 {
namespace {

constexpr double kScreenAspect = 4.0 / 3.0;
constexpr uint8_t kBlackLuma = 16;  // MPEG video range
constexpr uint8_t kBlackChroma = 128;

struct Area {
  int x, y, width, height;
};

// An even length no larger than `limit`.
int EvenLength(double length, int limit) {
  return std::clamp(2 * static_cast<int>(std::lround(length / 2)), 2, limit);
}

// The part of the frame the picture covers, centred on even offsets.
Area PictureArea(const AVFrame& picture, int width, int height) {
  const AVRational pixel = picture.sample_aspect_ratio;
  const double pixel_aspect = pixel.num > 0 && pixel.den > 0 ? av_q2d(pixel) : 1.0;
  const double aspect = pixel_aspect * picture.width / picture.height;
  Area area{0, 0, width, height};
  if (aspect > kScreenAspect) {
    area.height = EvenLength(height * kScreenAspect / aspect, height);
  } else {
    area.width = EvenLength(width * aspect / kScreenAspect, width);
  }
  area.x = (width - area.width) / 4 * 2;
  area.y = (height - area.height) / 4 * 2;
  return area;
}

// The JPEG variants of YUV formats are the plain ones at full range.
AVPixelFormat PlainFormat(AVPixelFormat format) {
  switch (format) {
    case AV_PIX_FMT_YUVJ420P:
      return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
      return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
      return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
      return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
      return AV_PIX_FMT_YUV411P;
    default:
      return format;
  }
}

AvFrame BlackFrame(int width, int height) {
  AvFrame frame(av_frame_alloc());
  if (!frame) return nullptr;
  frame->format = AV_PIX_FMT_YUV420P;
  frame->width = width;
  frame->height = height;
  if (av_frame_get_buffer(frame.get(), 0) < 0) return nullptr;
  for (int plane = 0; plane < 3; ++plane) {
    const int rows = plane == 0 ? height : height / 2;
    const int columns = plane == 0 ? width : width / 2;
    for (int row = 0; row < rows; ++row) {
      std::memset(frame->data[plane] + row * frame->linesize[plane],
                  plane == 0 ? kBlackLuma : kBlackChroma, static_cast<size_t>(columns));
    }
  }
  return frame;
}

}  // namespace

AvFrame FitToFrame(const AVFrame& picture, int width, int height) {
  if (picture.width <= 0 || picture.height <= 0) return nullptr;
  AvFrame frame = BlackFrame(width, height);
  if (!frame) return nullptr;
  const Area area = PictureArea(picture, width, height);
  const auto source_format = static_cast<AVPixelFormat>(picture.format);
  const AVPixelFormat plain = PlainFormat(source_format);
  const Scaler scaler(sws_getContext(picture.width, picture.height, plain, area.width, area.height,
                                     AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
  if (!scaler) return nullptr;
  const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(plain);
  if (descriptor != nullptr && (descriptor->flags & AV_PIX_FMT_FLAG_RGB) == 0) {
    const bool full_range = plain != source_format || picture.color_range == AVCOL_RANGE_JPEG;
    const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(scaler.get(), coefficients, full_range ? 1 : 0, coefficients, 0, 0,
                             1 << 16, 1 << 16);
  }
  uint8_t* planes[3];
  for (int plane = 0; plane < 3; ++plane) {
    const int shift = plane == 0 ? 0 : 1;
    planes[plane] =
        frame->data[plane] + (area.y >> shift) * frame->linesize[plane] + (area.x >> shift);
  }
  sws_scale(scaler.get(), picture.data, picture.linesize, 0, picture.height, planes,
            frame->linesize);
  return frame;
}

}  // namespace vcd2
