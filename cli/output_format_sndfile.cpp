// Encoding a rendered image into the other formats of tonkelwerk-render. The
// samples go from the image's data chunk through libsoxr (for another rate)
// into libsndfile, which writes the file into memory; the caller writes it
// out through the file layer, so that every output shares one safe save path.
// Samples beyond full scale are counted where they are made: in the
// resampler, and in an Ogg file decoded back.
// Depends on: libsndfile, libsoxr, libogg (for the page checksums).
#include <ogg/ogg.h>
#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "cli/output_format.h"
#include "sound/sound_engine.h"

using tonkelwerk::kChannels;
using tonkelwerk::kSampleRate;
using tonkelwerk::kWaveHeaderSize;
using tonkelwerk::WaveDataSize;

namespace {

std::atomic<std::uint64_t> clippedSamples{0};

// A growing file in memory behind libsndfile's virtual I/O.
struct MemoryFile {
  std::vector<std::uint8_t>& bytes;
  sf_count_t position = 0;
};

sf_count_t MemoryLength(void* user) {
  return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t MemorySeek(sf_count_t offset, int whence, void* user) {
  auto* file = static_cast<MemoryFile*>(user);
  sf_count_t base = 0;
  if (whence == SEEK_CUR) base = file->position;
  if (whence == SEEK_END) base = static_cast<sf_count_t>(file->bytes.size());
  file->position = std::max<sf_count_t>(0, base + offset);
  return file->position;
}

sf_count_t MemoryRead(void* data, sf_count_t count, void* user) {
  auto* file = static_cast<MemoryFile*>(user);
  const auto size = static_cast<sf_count_t>(file->bytes.size());
  const sf_count_t taken = std::clamp<sf_count_t>(size - file->position, 0, count);
  std::memcpy(data, file->bytes.data() + file->position, static_cast<std::size_t>(taken));
  file->position += taken;
  return taken;
}

sf_count_t MemoryWrite(const void* data, sf_count_t count, void* user) {
  auto* file = static_cast<MemoryFile*>(user);
  const auto end = static_cast<std::size_t>(file->position + count);
  if (file->bytes.size() < end) file->bytes.resize(end);
  std::memcpy(file->bytes.data() + file->position, data, static_cast<std::size_t>(count));
  file->position += count;
  return count;
}

sf_count_t MemoryTell(void* user) {
  return static_cast<MemoryFile*>(user)->position;
}

// The interleaved samples of the image's data chunk, as a WAV reader sees
// them (whole frames only), reduced to the left channel for mono.
std::vector<std::int16_t> ImageSamples(const std::uint8_t* image, std::int32_t lengthMs,
                                       bool mono) {
  const std::int32_t frames = WaveDataSize(lengthMs) / (2 * kChannels);
  const int channels = mono ? 1 : kChannels;
  std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * channels);
  for (std::int32_t frame = 0; frame < frames; ++frame) {
    for (int channel = 0; channel < channels; ++channel) {
      const std::uint8_t* at = image + kWaveHeaderSize + 4 * frame + 2 * channel;
      samples[static_cast<std::size_t>(frame) * channels + channel] =
          static_cast<std::int16_t>(at[0] | (at[1] << 8));
    }
  }
  return samples;
}

// Resamples with libsoxr's high quality, single-threaded and undithered, so
// that a render gives the same file on every run and in every batch thread.
// All input in one call, its length complemented to mark its end, as
// soxr_oneshot does; the resampler also counts the samples it clipped when
// it made 16-bit samples of its output.
bool Resample(std::vector<std::int16_t>& samples, int channels, std::int32_t rate,
              std::string& error) {
  const std::size_t frames = samples.size() / channels;
  const std::size_t room = frames * rate / kSampleRate + 2;
  std::vector<std::int16_t> out(room * channels);
  soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
  io.flags |= SOXR_NO_DITHER;
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  soxr_error_t failed = nullptr;
  const soxr_t resampler =
      soxr_create(kSampleRate, rate, channels, &failed, &io, &quality, &runtime);
  std::size_t done = 0;
  if (!failed)
    failed = soxr_process(resampler, samples.data(), ~frames, nullptr, out.data(), room, &done);
  if (resampler && !failed) clippedSamples += *soxr_num_clips(resampler);
  soxr_delete(resampler);
  if (failed) {
    error = std::string("resampling failed: ") + failed;
    return false;
  }
  out.resize(done * channels);
  samples = std::move(out);
  return true;
}

int SndfileFormat(const OutputFormat& format) {
  switch (format.format) {
    case SoundFormat::kFlac:
      return SF_FORMAT_FLAC | (format.bits == 8 ? SF_FORMAT_PCM_S8 : SF_FORMAT_PCM_16);
    case SoundFormat::kOgg:
      return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case SoundFormat::kWav:
      break;
  }
  return SF_FORMAT_WAV | (format.bits == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
}

void StoreLe32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// libsndfile numbers each Ogg stream from the clock; a fixed serial number
// makes the same render the same file. Rewrites it in every page, with the
// page's checksum.
void FixOggSerial(std::vector<std::uint8_t>& file) {
  constexpr std::uint32_t kSerial = 0x546F6E6B;  // "Tonk"
  constexpr std::size_t kPageHeader = 27;
  std::size_t page = 0;
  while (page + kPageHeader <= file.size() && std::memcmp(&file[page], "OggS", 4) == 0) {
    const std::size_t segments = file[page + 26];
    if (page + kPageHeader + segments > file.size()) return;
    std::size_t body = 0;
    for (std::size_t i = 0; i < segments; ++i) body += file[page + kPageHeader + i];
    const std::size_t size = kPageHeader + segments + body;
    if (page + size > file.size()) return;
    StoreLe32(&file[page + 14], kSerial);
    ogg_page header{&file[page], static_cast<long>(kPageHeader + segments),
                    &file[page + kPageHeader + segments], static_cast<long>(body)};
    ogg_page_checksum_set(&header);
    page += size;
  }
}

// The samples of an encoded file that decode beyond full scale, where a
// player clips them. Vorbis does not keep the waveform, so a sound at full
// scale comes back a little louder in places.
std::uint64_t ClippedWhenDecoded(std::vector<std::uint8_t>& file) {
  MemoryFile memory{file};
  SF_VIRTUAL_IO io{MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};
  SF_INFO info{};
  SNDFILE* sound = sf_open_virtual(&io, SFM_READ, &info, &memory);
  if (!sound) return 0;
  std::uint64_t clipped = 0;
  std::vector<float> block(4096 * static_cast<std::size_t>(info.channels));
  sf_count_t frames = 0;
  while ((frames = sf_readf_float(sound, block.data(), 4096)) > 0) {
    const auto end = block.begin() + frames * info.channels;
    clipped += std::count_if(block.begin(), end, [](float x) { return std::fabs(x) > 1.0f; });
  }
  sf_close(sound);
  return clipped;
}

bool WriteWithSndfile(const std::vector<std::int16_t>& samples, int channels,
                      const OutputFormat& format, std::vector<std::uint8_t>& file,
                      std::string& error) {
  file.clear();
  MemoryFile memory{file};
  SF_VIRTUAL_IO io{MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};
  SF_INFO info{};
  info.samplerate = format.rate;
  info.channels = channels;
  info.format = SndfileFormat(format);
  SNDFILE* sound = sf_open_virtual(&io, SFM_WRITE, &info, &memory);
  if (!sound) {
    error = std::string("cannot encode: ") + sf_strerror(nullptr);
    return false;
  }
  const sf_count_t frames = static_cast<sf_count_t>(samples.size() / channels);
  const bool written = sf_writef_short(sound, samples.data(), frames) == frames;
  if (!written) error = std::string("cannot encode: ") + sf_strerror(sound);
  if (sf_close(sound) != 0 && written) {
    error = "cannot encode: the encoder did not finish";
    return false;
  }
  if (written && format.format == SoundFormat::kOgg) {
    FixOggSerial(file);
    clippedSamples += ClippedWhenDecoded(file);
  }
  return written;
}

}  // namespace

std::uint64_t ClippedSamples() {
  return clippedSamples;
}

bool EncodeConverted(const std::uint8_t* image, std::int32_t lengthMs, const OutputFormat& format,
                     std::vector<std::uint8_t>& file, std::string& error) {
  const int channels = format.mono ? 1 : kChannels;
  std::vector<std::int16_t> samples = ImageSamples(image, lengthMs, format.mono);
  if (format.rate != kSampleRate && !Resample(samples, channels, format.rate, error)) return false;
  return WriteWithSndfile(samples, channels, format, file, error);
}
