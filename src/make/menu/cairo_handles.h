#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <memory>

extern "C" {
#include <libavutil/frame.h>
}

namespace vcd2 {

// Owning handles for the Cairo and Pango objects the menu drawing uses.
struct CairoSurfaceFree {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct CairoFree {
  void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};
struct GObjectFree {
  void operator()(void* object) const { g_object_unref(object); }
};
struct FontDescriptionFree {
  void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};

using CairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceFree>;
using Cairo = std::unique_ptr<cairo_t, CairoFree>;
using PangoLayoutHandle = std::unique_ptr<PangoLayout, GObjectFree>;
using FontDescription = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

// A decoded picture as an opaque Cairo image of its own size; none when it
// cannot be converted.
CairoSurface SurfaceFromFrame(const AVFrame& frame);

}  // namespace vcd2
