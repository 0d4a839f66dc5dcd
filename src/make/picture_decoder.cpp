#include "make/picture_decoder.h"

#include <cstdio>

#include "base/unique_file.h"
#include "make/picture_header.h"

namespace vcd2 {
namespace {

// Only picture formats are probed: no other demuxer, no protocol and no
// file name pattern ever sees the path.
constexpr char kPictureFormats[] = "bmp_pipe,png_pipe,jpeg_pipe";
constexpr int kIoBufferSize = 32 * 1024;

int ReadFromFile(void* opaque, uint8_t* buffer, int size) {
  const size_t read =
      std::fread(buffer, 1, static_cast<size_t>(size), static_cast<std::FILE*>(opaque));
  return read == 0 ? AVERROR_EOF : static_cast<int>(read);
}

int64_t SeekInFile(void* opaque, int64_t offset, int whence) {
  auto* file = static_cast<std::FILE*>(opaque);
  if (whence == AVSEEK_SIZE) {
    const off_t here = ftello(file);
    if (fseeko(file, 0, SEEK_END) != 0) return -1;
    const off_t size = ftello(file);
    return fseeko(file, here, SEEK_SET) == 0 ? size : -1;
  }
  if (fseeko(file, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE) != 0) return -1;
  return ftello(file);
}

struct AvioFree {
  void operator()(AVIOContext* io) const {
    av_freep(&io->buffer);
    avio_context_free(&io);
  }
};

// Reads packets until the decoder gives a frame.
AvFrame DecodeFirstFrame(AVFormatContext* format, AVCodecContext* codec) {
  const AvPacket packet(av_packet_alloc());
  AvFrame frame(av_frame_alloc());
  if (!packet || !frame) return nullptr;
  bool flushed = false;
  while (!flushed) {
    if (av_read_frame(format, packet.get()) >= 0) {
      const int sent = avcodec_send_packet(codec, packet.get());
      av_packet_unref(packet.get());
      if (sent < 0 && sent != AVERROR(EAGAIN)) return nullptr;
    } else {
      avcodec_send_packet(codec, nullptr);
      flushed = true;
    }
    const int received = avcodec_receive_frame(codec, frame.get());
    if (received >= 0) return frame;
    if (received != AVERROR(EAGAIN)) return nullptr;
  }
  return nullptr;
}

}  // namespace

AvFrame DecodePicture(const std::string& path) {
  const UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) return nullptr;
  auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
  if (buffer == nullptr) return nullptr;
  const std::unique_ptr<AVIOContext, AvioFree> io(
      avio_alloc_context(buffer, kIoBufferSize, 0, file.get(), ReadFromFile, nullptr, SeekInFile));
  if (!io) {
    av_free(buffer);
    return nullptr;
  }
  AVFormatContext* opened = avformat_alloc_context();
  if (opened == nullptr) return nullptr;
  opened->pb = io.get();
  opened->flags |= AVFMT_FLAG_CUSTOM_IO;
  opened->format_whitelist = av_strdup(kPictureFormats);
  if (avformat_open_input(&opened, nullptr, nullptr, nullptr) < 0) return nullptr;
  const AvInput format(opened);
  if (format->nb_streams < 1) return nullptr;
  const AVCodecParameters* parameters = format->streams[0]->codecpar;
  const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
  if (decoder == nullptr) return nullptr;
  const AvCodec codec(avcodec_alloc_context3(decoder));
  if (!codec || avcodec_parameters_to_context(codec.get(), parameters) < 0) return nullptr;
  codec->max_pixels = kMaxPicturePixels;  // as AcceptPicture, should the header lie
  if (avcodec_open2(codec.get(), decoder, nullptr) < 0) return nullptr;
  return DecodeFirstFrame(format.get(), codec.get());
}

}  // namespace vcd2
