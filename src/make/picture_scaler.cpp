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

// The picture sizes of Video CD and DVD: television pictures whose pixels
// are not square, shown as a whole 4:3 screen.
constexpr struct {
  int width, height;
} kTelevisionSizes[] = {{352, 288}, {352, 240}, {704, 576}, {704, 480}, {720, 576}, {720, 480}};

// The shape of the picture as shown: 4:3 for a television picture, else its
// pixels' shape (square unless it says otherwise) times its size.
double PictureAspect(const AVFrame& picture) {
  for (const auto& size : kTelevisionSizes) {
    if (picture.width == size.width && picture.height == size.height) return kScreenAspect;
  }
  const AVRational pixel = picture.sample_aspect_ratio;
  const double pixel_aspect = pixel.num > 0 && pixel.den > 0 ? av_q2d(pixel) : 1.0;
  return pixel_aspect * picture.width / picture.height;
}

// An even length no larger than `limit`.
int EvenLength(double length, int limit) {
  return std::clamp(2 * static_cast<int>(std::lround(length / 2)), 2, limit);
}

// The part of the frame the picture covers, centred on even offsets.
Area PictureArea(const AVFrame& picture, int width, int height) {
  const double aspect = PictureAspect(picture);
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

// The picture at width x height in a frame of its own: the scaler may write
// past the width it is given (grey columns beside the picture when the width
// is no multiple of 16), so it never writes into the frame shown.
AvFrame ScalePicture(const AVFrame& picture, int width, int height) {
  AvFrame scaled = BlackFrame(width, height);
  if (!scaled) return nullptr;
  const auto source_format = static_cast<AVPixelFormat>(picture.format);
  const AVPixelFormat plain = PlainFormat(source_format);
  const Scaler scaler(sws_getContext(picture.width, picture.height, plain, width, height,
                                     AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
  if (!scaler) return nullptr;
  const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(plain);
  if (descriptor != nullptr && (descriptor->flags & AV_PIX_FMT_FLAG_RGB) == 0) {
    const bool full_range = plain != source_format || picture.color_range == AVCOL_RANGE_JPEG;
    const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(scaler.get(), coefficients, full_range ? 1 : 0, coefficients, 0, 0,
                             1 << 16, 1 << 16);
  }
  if (sws_scale(scaler.get(), picture.data, picture.linesize, 0, picture.height, scaled->data,
                scaled->linesize) != height) {
    return nullptr;
  }
  return scaled;
}

}  // namespace

AvFrame FitToFrame(const AVFrame& picture, int width, int height) {
  if (picture.width <= 0 || picture.height <= 0) return nullptr;
  const Area area = PictureArea(picture, width, height);
  AvFrame frame = BlackFrame(width, height);
  const AvFrame scaled = ScalePicture(picture, area.width, area.height);
  if (!frame || !scaled) return nullptr;
  for (int plane = 0; plane < 3; ++plane) {
    const int shift = plane == 0 ? 0 : 1;
    const auto columns = static_cast<size_t>(area.width >> shift);
    uint8_t* to =
        frame->data[plane] + (area.y >> shift) * frame->linesize[plane] + (area.x >> shift);
    for (int row = 0; row < area.height >> shift; ++row) {
      std::memcpy(to + row * frame->linesize[plane],
                  scaled->data[plane] + row * scaled->linesize[plane], columns);
    }
  }
  return frame;
}

}  // namespace vcd2
