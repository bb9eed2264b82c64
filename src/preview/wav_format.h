// The layout of pxx.wav: the canonical 44-byte RIFF WAVE header ("fmt " for
// plain PCM, then "data"), 16-bit signed mono at 44100 Hz, little-endian.
#ifndef ZENTRILL_PREVIEW_WAV_FORMAT_H_
#define ZENTRILL_PREVIEW_WAV_FORMAT_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

namespace zentrill::wav_format {

inline constexpr std::uint32_t kSampleRate = 44100;
inline constexpr std::uint16_t kChannels = 1;
inline constexpr std::uint16_t kBitsPerSample = 16;
inline constexpr std::uint16_t kBytesPerSample = kBitsPerSample / 8;
inline constexpr std::uint16_t kBlockAlign = kChannels * kBytesPerSample;
inline constexpr std::uint32_t kByteRate = kSampleRate * kBlockAlign;
inline constexpr std::uint16_t kPcmFormat = 1;

// Every chunk is its four-letter name and the size (u32) of what follows.
inline constexpr std::string_view kRiffName = "RIFF";
inline constexpr std::string_view kWaveName = "WAVE";
inline constexpr std::string_view kFormatChunkName = "fmt ";
inline constexpr std::string_view kDataChunkName = "data";
inline constexpr std::size_t kRiffNameOffset = 0;
inline constexpr std::size_t kRiffSizeOffset = 4;  // the file's size less these 8 bytes
inline constexpr std::size_t kWaveNameOffset = 8;
inline constexpr std::size_t kFormatChunkNameOffset = 12;
inline constexpr std::size_t kFormatChunkSizeOffset = 16;
inline constexpr std::size_t kFormatOffset = 20;  // u16 each: format, channels
inline constexpr std::size_t kChannelsOffset = 22;
inline constexpr std::size_t kSampleRateOffset = 24;  // u32 each: sample rate, byte rate
inline constexpr std::size_t kByteRateOffset = 28;
inline constexpr std::size_t kBlockAlignOffset = 32;  // u16 each: block align, bits
inline constexpr std::size_t kBitsPerSampleOffset = 34;
inline constexpr std::size_t kDataChunkNameOffset = 36;
inline constexpr std::size_t kDataSizeOffset = 40;
inline constexpr std::size_t kHeaderSize = 44;

inline constexpr std::uint32_t kFormatChunkSize = kDataChunkNameOffset - kFormatOffset;

static_assert(kRiffSizeOffset == kRiffNameOffset + kRiffName.size() &&
              kWaveNameOffset == kRiffSizeOffset + 4 &&
              kFormatChunkNameOffset == kWaveNameOffset + kWaveName.size() &&
              kFormatChunkSizeOffset == kFormatChunkNameOffset + kFormatChunkName.size() &&
              kFormatOffset == kFormatChunkSizeOffset + 4 && kChannelsOffset == kFormatOffset + 2 &&
              kSampleRateOffset == kChannelsOffset + 2 && kByteRateOffset == kSampleRateOffset + 4 &&
              kBlockAlignOffset == kByteRateOffset + 4 &&
              kBitsPerSampleOffset == kBlockAlignOffset + 2 &&
              kDataChunkNameOffset == kBitsPerSampleOffset + 2 &&
              kDataSizeOffset == kDataChunkNameOffset + kDataChunkName.size() &&
              kHeaderSize == kDataSizeOffset + 4);
static_assert(kFormatChunkSize == 16 && kHeaderSize == 44);
static_assert(kByteRate == 88200 && kBlockAlign == 2);

inline constexpr std::uint64_t kMaxSamples =
    (std::numeric_limits<std::uint32_t>::max() - (kHeaderSize - kWaveNameOffset)) / kBlockAlign;

// At most kMaxSamples.
constexpr std::array<char, kHeaderSize> header(std::uint64_t samples) {
  std::array<char, kHeaderSize> bytes{};
  const auto text = [&bytes](std::size_t offset, std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) bytes[offset + i] = name[i];
  };
  const auto number = [&bytes](std::size_t offset, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      bytes[offset + i] = static_cast<char>(static_cast<unsigned char>(value >> (8 * i)));
    }
  };
  const std::uint64_t data_size = samples * kBlockAlign;
  text(kRiffNameOffset, kRiffName);
  number(kRiffSizeOffset, kHeaderSize - kWaveNameOffset + data_size, 4);
  text(kWaveNameOffset, kWaveName);
  text(kFormatChunkNameOffset, kFormatChunkName);
  number(kFormatChunkSizeOffset, kFormatChunkSize, 4);
  number(kFormatOffset, kPcmFormat, 2);
  number(kChannelsOffset, kChannels, 2);
  number(kSampleRateOffset, kSampleRate, 4);
  number(kByteRateOffset, kByteRate, 4);
  number(kBlockAlignOffset, kBlockAlign, 2);
  number(kBitsPerSampleOffset, kBitsPerSample, 2);
  text(kDataChunkNameOffset, kDataChunkName);
  number(kDataSizeOffset, data_size, 4);
  return bytes;
}

static_assert(header(0)[kRiffSizeOffset] == 36 && header(1)[kDataSizeOffset] == 2);

}  // namespace zentrill::wav_format

#endif  // ZENTRILL_PREVIEW_WAV_FORMAT_H_
