#include "music_decoders.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>
#include <objbase.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <algorithm>
#include <vector>

#include "music/mp3_frames.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_dlls.h"
#include "platform/win32/wide_text.h"

namespace qb {
namespace {

// Read a chunk at a time; an MP3 is read whole, up to this much (half an
// hour at 256 kbit/s).
constexpr size_t kChunk = 64 * 1024;
constexpr size_t kMaxMp3Bytes = 60u << 20;
constexpr double kUnknownLength = 1e9;

class FileBytes : public ByteSource {
 public:
  explicit FileBytes(HANDLE file) : file_(file) {
    LARGE_INTEGER size = {};
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0) size_ = static_cast<uint64_t>(size.QuadPart);
  }
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* out, size_t size) override {
    if (offset > size_ || size > size_ - offset) return false;
    auto* bytes = static_cast<uint8_t*>(out);
    while (size > 0) {
      OVERLAPPED at = {};
      at.Offset = static_cast<DWORD>(offset);
      at.OffsetHigh = static_cast<DWORD>(offset >> 32);
      DWORD got = 0;
      const DWORD wanted = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
      if (!::ReadFile(file_, bytes, wanted, &got, &at) || got == 0) return false;
      bytes += got;
      offset += got;
      size -= got;
    }
    return true;
  }

 private:
  HANDLE file_;
  uint64_t size_ = 0;
};

// The path comes from another process: should it lead to a named pipe,
// whoever answers may identify the user but never act as the user, and
// only a file on a disk is read, where a read cannot wait for ever. (A file
// on a server is opened as any file there is: Windows signs in as the user.)
KernelHandle OpenMusicFile(const std::u16string& path) {
  KernelHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | SECURITY_SQOS_PRESENT |
                                      SECURITY_IDENTIFICATION,
                                  nullptr));
  if (file && ::GetFileType(file.Get()) != FILE_TYPE_DISK) file.Reset();
  return file;
}

std::optional<Envelope> DecodePcm(FileBytes& file, const WaveLayout& layout, const std::atomic<bool>& cancel) {
  EnvelopeBuilder builder(layout.channels, layout.sampleRate, layout.bitsPerSample,
                          layout.formatTag == WaveLayout::kFloat);
  std::vector<uint8_t> chunk(kChunk);
  for (uint64_t done = 0; done < layout.dataSize && !cancel;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, layout.dataSize - done));
    if (!file.ReadAt(layout.dataOffset + done, chunk.data(), n)) return std::nullopt;
    if (!builder.Add(chunk.data(), n)) break;
    done += n;
  }
  if (cancel) return std::nullopt;
  return builder.Finish(layout.Seconds());
}

// --- Compressed WAV: the system's audio codecs, from System32 only.

struct Acm {
  decltype(::acmFormatSuggest)* formatSuggest;
  decltype(::acmStreamOpen)* open;
  decltype(::acmStreamSize)* size;
  decltype(::acmStreamPrepareHeader)* prepare;
  decltype(::acmStreamConvert)* convert;
  decltype(::acmStreamUnprepareHeader)* unprepare;
  decltype(::acmStreamClose)* close;
};

std::optional<Acm> LoadAcm() {
  const HMODULE dll = LoadSystemDll(L"msacm32.dll");
  const Acm acm = {FindFunction<decltype(::acmFormatSuggest)>(dll, "acmFormatSuggest"),
                   FindFunction<decltype(::acmStreamOpen)>(dll, "acmStreamOpen"),
                   FindFunction<decltype(::acmStreamSize)>(dll, "acmStreamSize"),
                   FindFunction<decltype(::acmStreamPrepareHeader)>(dll, "acmStreamPrepareHeader"),
                   FindFunction<decltype(::acmStreamConvert)>(dll, "acmStreamConvert"),
                   FindFunction<decltype(::acmStreamUnprepareHeader)>(dll, "acmStreamUnprepareHeader"),
                   FindFunction<decltype(::acmStreamClose)>(dll, "acmStreamClose")};
  if (!acm.formatSuggest || !acm.open || !acm.size || !acm.prepare || !acm.convert || !acm.unprepare || !acm.close) {
    return std::nullopt;
  }
  return acm;
}

std::optional<Envelope> DecodeCompressed(FileBytes& file, const WaveLayout& layout, const std::atomic<bool>& cancel) {
  const std::optional<Acm> acm = LoadAcm();
  if (!acm) return std::nullopt;
  // The format chunk as a WAVEFORMATEX whose extra bytes lie within it.
  std::vector<uint8_t> format = layout.format;
  if (format.size() < sizeof(WAVEFORMATEX)) format.resize(sizeof(WAVEFORMATEX), 0);
  const size_t extra = format[16] | format[17] << 8;
  if (extra > format.size() - sizeof(WAVEFORMATEX)) return std::nullopt;
  // A codec that trusts its own fields over the extra size reads zeros.
  format.resize(std::max<size_t>(format.size(), 4096), 0);
  auto* source = reinterpret_cast<WAVEFORMATEX*>(format.data());
  WAVEFORMATEX pcm = {};
  pcm.wFormatTag = WAVE_FORMAT_PCM;
  if (acm->formatSuggest(nullptr, source, &pcm, sizeof(pcm), ACM_FORMATSUGGESTF_WFORMATTAG) != 0) return std::nullopt;
  EnvelopeBuilder builder(pcm.nChannels, pcm.nSamplesPerSec, pcm.wBitsPerSample, false);
  HACMSTREAM stream = nullptr;
  if (!builder.Valid() || acm->open(&stream, nullptr, source, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0) {
    return std::nullopt;
  }
  const DWORD in = static_cast<DWORD>(std::max<size_t>(1, kChunk / layout.blockAlign) * layout.blockAlign);
  DWORD out = 0;
  std::vector<uint8_t> input(in), output;
  ACMSTREAMHEADER header = {};
  bool ok = acm->size(stream, in, &out, ACM_STREAMSIZEF_SOURCE) == 0 && out > 0 && out <= (64u << 20);
  if (ok) {
    output.resize(out);
    header.cbStruct = sizeof(header);
    header.pbSrc = input.data();
    header.cbSrcLength = in;
    header.pbDst = output.data();
    header.cbDstLength = out;
    ok = acm->prepare(stream, &header, 0) == 0;
  }
  if (ok) {
    uint64_t done = 0;
    DWORD held = 0;  // bytes left over from the last conversion
    DWORD flags = ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_BLOCKALIGN;
    while (ok && !cancel) {
      const DWORD n = static_cast<DWORD>(std::min<uint64_t>(in - held, layout.dataSize - done));
      ok = file.ReadAt(layout.dataOffset + done, input.data() + held, n);
      done += n;
      const bool last = done == layout.dataSize;
      if (last) flags = (flags & ACM_STREAMCONVERTF_START) | ACM_STREAMCONVERTF_END;
      header.cbSrcLength = held + n;
      ok = ok && acm->convert(stream, &header, flags) == 0;
      if (!ok) break;
      flags = ACM_STREAMCONVERTF_BLOCKALIGN;
      const bool more = builder.Add(output.data(), header.cbDstLengthUsed);
      // A codec that takes nothing and gives nothing would loop for ever.
      if (last || !more || (header.cbSrcLengthUsed == 0 && header.cbDstLengthUsed == 0)) break;
      held = header.cbSrcLength - std::min(header.cbSrcLengthUsed, header.cbSrcLength);
      std::copy(input.begin() + (header.cbSrcLength - held), input.begin() + header.cbSrcLength, input.begin());
    }
    header.cbSrcLength = in;
    acm->unprepare(stream, &header, 0);
  }
  acm->close(stream, 0);
  if (!ok || cancel) return std::nullopt;
  return builder.Finish(layout.Seconds());
}

// --- MP3: Media Foundation's source reader, from System32 only, reading
// the bytes we read ourselves.

template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (p_) p_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T** Out() { return &p_; }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }

 private:
  T* p_ = nullptr;
};

typedef HRESULT WINAPI StartupFunction(ULONG, DWORD);
typedef HRESULT WINAPI ShutdownFunction();
typedef HRESULT WINAPI CreateMediaTypeFunction(IMFMediaType**);
typedef HRESULT WINAPI ByteStreamOnStreamFunction(IStream*, IMFByteStream**);
typedef HRESULT WINAPI ReaderFromByteStreamFunction(IMFByteStream*, IMFAttributes*, IMFSourceReader**);

std::optional<Envelope> ReadSamples(IMFSourceReader* reader, CreateMediaTypeFunction* createMediaType,
                                    double seconds, const std::atomic<bool>& cancel) {
  const DWORD audio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);
  Com<IMFMediaType> wanted, got;
  if (FAILED(createMediaType(wanted.Out())) || FAILED(wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)) ||
      FAILED(wanted->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_PCM)) ||
      FAILED(wanted->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16)) ||
      FAILED(reader->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS), FALSE)) ||
      FAILED(reader->SetStreamSelection(audio, TRUE)) ||
      FAILED(reader->SetCurrentMediaType(audio, nullptr, wanted.Get())) ||
      FAILED(reader->GetCurrentMediaType(audio, got.Out()))) {
    return std::nullopt;
  }
  UINT32 channels = 0, rate = 0, bits = 0;
  got->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels);
  got->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate);
  got->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits);
  EnvelopeBuilder builder(channels, rate, bits, false);
  if (!builder.Valid()) return std::nullopt;
  while (!cancel) {
    DWORD flags = 0;
    Com<IMFSample> sample;
    if (FAILED(reader->ReadSample(audio, 0, nullptr, &flags, nullptr, sample.Out()))) return std::nullopt;
    if (flags & (MF_SOURCE_READERF_ENDOFSTREAM | MF_SOURCE_READERF_ERROR)) break;
    if (!sample.Get()) continue;
    Com<IMFMediaBuffer> buffer;
    BYTE* bytes = nullptr;
    DWORD length = 0;
    if (FAILED(sample->ConvertToContiguousBuffer(buffer.Out())) || FAILED(buffer->Lock(&bytes, nullptr, &length))) {
      return std::nullopt;
    }
    const bool more = builder.Add(bytes, length);
    buffer->Unlock();
    if (!more) break;
  }
  if (cancel) return std::nullopt;
  return builder.Finish(seconds);
}

std::optional<Envelope> DecodeMp3(FileBytes& file, const std::atomic<bool>& cancel) {
  const size_t size = static_cast<size_t>(std::min<uint64_t>(file.Size(), kMaxMp3Bytes));
  HGLOBAL memory = size ? ::GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
  if (!memory) return std::nullopt;
  // The stream frees the memory once released.
  Com<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, stream.Out()))) {
    ::GlobalFree(memory);
    return std::nullopt;
  }
  auto* bytes = static_cast<uint8_t*>(::GlobalLock(memory));
  std::optional<Mp3Frames> frames;
  if (bytes && file.ReadAt(0, bytes, size)) {
    frames = WalkMp3Frames(bytes, size, static_cast<uint64_t>(EnvelopeBuilder::kMaxSeconds) * 48000);
  }
  if (bytes) ::GlobalUnlock(memory);
  if (!frames) return std::nullopt;
  // The decoder gets the frames walked, and nothing after them.
  ULARGE_INTEGER end;
  end.QuadPart = frames->end;
  if (FAILED(stream->SetSize(end))) return std::nullopt;
  const bool whole = size == file.Size() && frames->end + kChunk >= size;
  const double seconds = whole ? frames->Seconds() : kUnknownLength;

  const HMODULE platform = LoadSystemDll(L"mfplat.dll");
  const HMODULE readers = LoadSystemDll(L"mfreadwrite.dll");
  const auto startup = FindFunction<StartupFunction>(platform, "MFStartup");
  const auto shutdown = FindFunction<ShutdownFunction>(platform, "MFShutdown");
  const auto createMediaType = FindFunction<CreateMediaTypeFunction>(platform, "MFCreateMediaType");
  const auto onStream = FindFunction<ByteStreamOnStreamFunction>(platform, "MFCreateMFByteStreamOnStream");
  const auto createReader = FindFunction<ReaderFromByteStreamFunction>(readers, "MFCreateSourceReaderFromByteStream");
  if (!startup || !shutdown || !createMediaType || !onStream || !createReader) return std::nullopt;
  if (FAILED(startup(MF_VERSION, MFSTARTUP_LITE))) return std::nullopt;
  std::optional<Envelope> envelope;
  {
    Com<IMFByteStream> byteStream;
    Com<IMFSourceReader> reader;
    Com<IMFAttributes> streamAttributes;
    // With neither a file name nor a type, the resolver would pick the
    // handler for these bytes by itself: they are MP3, and only its handler
    // should read them.
    if (SUCCEEDED(onStream(stream.Get(), byteStream.Out())) &&
        SUCCEEDED(byteStream->QueryInterface(IID_PPV_ARGS(streamAttributes.Out()))) &&
        SUCCEEDED(streamAttributes->SetString(MF_BYTESTREAM_CONTENT_TYPE, L"audio/mpeg")) &&
        SUCCEEDED(createReader(byteStream.Get(), nullptr, reader.Out()))) {
      envelope = ReadSamples(reader.Get(), createMediaType, seconds, cancel);
    }
  }
  shutdown();
  return envelope;
}

}  // namespace

std::optional<Envelope> DecodeEnvelope(const std::u16string& path, BlockMusicKind kind,
                                       const std::atomic<bool>& cancel) {
  const KernelHandle handle = OpenMusicFile(path);
  if (!handle) return std::nullopt;
  FileBytes file(handle.Get());
  if (kind == BlockMusicKind::Mp3) {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return std::nullopt;
    std::optional<Envelope> envelope = DecodeMp3(file, cancel);
    ::CoUninitialize();
    return envelope;
  }
  const std::optional<WaveLayout> layout = ReadWaveLayout(file);
  if (!layout) return std::nullopt;
  return layout->IsPlain() ? DecodePcm(file, *layout, cancel) : DecodeCompressed(file, *layout, cancel);
}

}  // namespace qb
