#include <bit>

#include "make/menu/cairo_handles.h"
#include "media/av_handles.h"

namespace vcd2 {

// Cairo's ARGB32 is a native-endian 32-bit word per pixel.
CairoSurface SurfaceFromFrame(const AVFrame& frame) {
  const AVPixelFormat cairo_format =
      std::endian::native == std::endian::little ? AV_PIX_FMT_BGRA : AV_PIX_FMT_ARGB;
  const Scaler scaler(sws_getContext(
      frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), frame.width,
      frame.height, cairo_format, SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!scaler) return nullptr;
  CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, frame.width, frame.height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(surface.get());
  uint8_t* planes[4] = {cairo_image_surface_get_data(surface.get()), nullptr, nullptr, nullptr};
  const int strides[4] = {cairo_image_surface_get_stride(surface.get()), 0, 0, 0};
  if (sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) !=
      frame.height) {
    return nullptr;
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

}  // namespace vcd2
