#include "graphics/png_graphic.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "framework/core/checked_size.h"
#include "framework/core/streams.h"
#include "framework/core/text.h"
#include "graphics/canvas.h"
#include "graphics/file_formats.h"
#include "graphics/lz77_decoder.h"
#include "graphics/png_crc.h"
#include "graphics/png_filters.h"

namespace pogoda {

POGODA_DEFINE_GRAPHIC_CLASS(TPNGGraphic, TBitmap)

namespace {

enum class TPNGFailure {
    InvalidFormat,
    CompressionNotSupported,
    CrcError,
    InvalidPalette,
    InvalidColorFormat,
    CompressionError,
    ExtraData,
    CriticalChunk,
};

[[noreturn]] void Fail(TPNGFailure failure) {
    static constexpr const char* kMessages[] = {
        "Cannot load image. Invalid or unexpected %s image format.",
        "Cannot load image. %s not supported for %s files.",
        "Cannot load image. CRC error found in %s file.",
        "Cannot load image. Palette in %s file is invalid.",
        "Invalid color format in %s file.",
        "Cannot load image. Compression error found in %s file.",
        "Cannot load image. Extra compressed data found in %s file.",
        "Cannot load PNG image. Unexpected but critical chunk detected.",
    };
    const char* message = kMessages[static_cast<int>(failure)];
    switch (failure) {
        case TPNGFailure::CompressionNotSupported:
            throw EInvalidGraphic(Format(message, "The compression scheme is", "PNG"));
        case TPNGFailure::CriticalChunk:
            throw EInvalidGraphic(message);
        default:
            throw EInvalidGraphic(Format(message, "PNG"));
    }
}

[[noreturn]] void FailRead() { throw EReadError(messages::kReadError); }

constexpr uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr int kPartialFlush = 1;  // zlib's Z_PARTIAL_FLUSH
// Image data is inflated this much at a time, rows taken from it; one inflate call per row
// cost more than the rest of decoding a row of a photo.
constexpr uint32_t kAheadBytes = 64 * 1024;
// Inflating ahead leaves the last bytes of each chunk to the row-by-row reads, which alone
// decide where the data ends and which rows a damaged file shows (see TakeRow).
constexpr uint32_t kInputReserve = 1;

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint16_t BigEndian16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

TSampleScheme SchemeOf(uint8_t colorType) {
    switch (colorType) {
        case 0:
            return ssGray;
        case 2:
            return ssRGB;
        case 3:
            return ssIndexed;
        case 4:
            return ssGrayAlpha;
        case 6:
            return ssRGBA;
        default:
            return ssUnknown;
    }
}

}  // namespace

// The state of one load: the stream, the current chunk, the inflater and what the ancillary
// chunks said. It lives only inside LoadStream.
class TPNGLoader {
public:
    TPNGLoader(TPNGGraphic& graphic, TStream& stream)
        : m_graphic(graphic), m_colors(*graphic.m_colorManager), m_stream(stream) {}

    void Load();

private:
    bool ReadImageSummary(TPNGImageSummary& summary);
    void ReadChunkHeader();
    void ReadChunkData();
    void SkipChunk() { m_stream.Seek(int64_t{m_chunkLength} + 4, soCurrent); }
    bool IsChunk(const char* type) const;
    bool IsCritical() const { return (m_chunkType[0] & 0x20) == 0; }

    void ReadHeader();
    void ChunkLoop();
    void ReadPalette();
    void ReadGamma();
    void ReadBackground();
    void ReadTransparency();
    size_t ConfigureConversion();
    void DecodeImageData();
    bool DecodeRows(uint8_t* current, uint8_t* previous, size_t rowBytes, size_t channels);
    bool TakeRow(uint8_t* target, uint32_t count);
    bool InflateAhead();
    // Where the image data starts; a second, row-by-row pass over it begins there.
    struct TDataStart {
        int64_t Position;
        uint32_t Length;
        std::array<uint8_t, 4> Type;
        uint32_t Crc;
        TRect Progress;
    };
    void RestartRowByRow(const TDataStart& start);
    bool InflateRow(uint8_t* target, uint32_t count);
    void Report(TProgressStage stage, const std::string& message);
    void Finish();

    TPNGGraphic& m_graphic;
    TColorManager& m_colors;
    TStream& m_stream;
    int64_t m_base = 0;
    std::unique_ptr<TLZ77Decoder> m_decoder;
    std::vector<uint8_t> m_raw;
    const uint8_t* m_source = nullptr;
    uint32_t m_inputLeft = 0;
    std::vector<uint8_t> m_ahead;
    size_t m_aheadBegin = 0;
    size_t m_aheadEnd = 0;
    bool m_rowByRow = false;  // set for a second pass over damaged data
    bool m_aheadFailed = false;
    uint32_t m_chunkLength = 0;
    std::array<uint8_t, 4> m_chunkType{};
    uint32_t m_crc = 0;
    size_t m_bytesPerPixel = 1;
    std::optional<TPalette> m_palette;
    TColor m_transparentColor = clNone;
    TColor m_backgroundColor = clWhite;
    bool m_imageDecoded = false;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint8_t m_bitDepth = 0;
    uint8_t m_colorType = 0;
    uint32_t m_rowsDecoded = 0;
};

namespace {

// Fills the rows from a counter's value to the bottom when it goes out of scope.
class TBackgroundBelow {
public:
    TBackgroundBelow(TBitmap& bitmap, const uint32_t& firstRow, TColor color)
        : m_bitmap(bitmap), m_firstRow(firstRow), m_color(color) {}
    TBackgroundBelow(const TBackgroundBelow&) = delete;
    TBackgroundBelow& operator=(const TBackgroundBelow&) = delete;
    ~TBackgroundBelow() {
        m_bitmap.FillRect(
            Rect(0, static_cast<int>(m_firstRow), m_bitmap.Width(), m_bitmap.Height()), m_color);
    }

private:
    TBitmap& m_bitmap;
    const uint32_t& m_firstRow;
    TColor m_color;
};

}  // namespace

// A length above 2^31-1, or one that runs past the end of the stream, fails here, before
// any buffer is sized from it.
void TPNGLoader::ReadChunkHeader() {
    uint8_t header[8];
    m_stream.ReadBuffer(header, sizeof header);
    m_chunkLength = BigEndian32(header);
    std::memcpy(m_chunkType.data(), header + 4, 4);
    const uint64_t chunkEnd = CheckedAdd(uint64_t{m_chunkLength}, 4);
    const int64_t remaining = m_stream.Size() - m_stream.Position();
    if (m_chunkLength > kMaxChunkLength || remaining < 0 ||
        chunkEnd > static_cast<uint64_t>(remaining)) {
        FailRead();
    }
    m_crc = UpdatePNGCrc(0, m_chunkType.data(), 4);
}

void TPNGLoader::ReadChunkData() {
    m_raw.resize(CheckedNarrow<size_t>(m_chunkLength));
    m_stream.ReadBuffer(m_raw.data(), m_chunkLength);
    uint8_t stored[4];
    m_stream.ReadBuffer(stored, sizeof stored);
    m_crc = UpdatePNGCrc(m_crc, m_raw.data(), m_raw.size());
    if (m_crc != BigEndian32(stored)) {
        Fail(TPNGFailure::CrcError);
    }
}

// Compares ignoring the case bit of all four letters.
bool TPNGLoader::IsChunk(const char* type) const {
    for (size_t i = 0; i < 4; ++i) {
        if ((m_chunkType[i] ^ static_cast<uint8_t>(type[i])) & ~0x20) {
            return false;
        }
    }
    return true;
}

bool TPNGLoader::ReadImageSummary(TPNGImageSummary& summary) {
    summary = TPNGImageSummary{};
    summary.FileGamma = 1.0f;
    uint8_t signature[8];
    if (m_stream.Read(signature, sizeof signature) != sizeof signature ||
        std::memcmp(signature, kSignature, sizeof signature) != 0) {
        return false;
    }
    ReadChunkHeader();
    if (!IsChunk("IHDR")) {
        return false;
    }
    summary.Options |= 1;
    ReadChunkData();
    if (m_raw.size() < 13) {
        return false;
    }
    const uint8_t* h = m_raw.data();
    summary.Width = BigEndian32(h);
    summary.Height = BigEndian32(h + 4);
    // Zero sizes are invalid; so are sizes above 2^31-1, which PNG does not allow.
    constexpr uint32_t kMaxSize = std::numeric_limits<int32_t>::max();
    if (summary.Width == 0 || summary.Height == 0 || summary.Width > kMaxSize ||
        summary.Height > kMaxSize) {
        return false;
    }
    summary.ColorScheme = SchemeOf(h[9]);
    summary.BitsPerSample = h[8];
    summary.Compression = h[10] == 0 ? 2 : 0;
    summary.Interlaced = h[12] == 1;
    summary.HasAlpha = summary.ColorScheme == ssGrayAlpha || summary.ColorScheme == ssRGBA;
    summary.FilterMethod = h[11];
    for (;;) {
        ReadChunkHeader();
        if (IsChunk("IEND")) {
            break;
        }
        if (!IsChunk("gAMA")) {
            SkipChunk();
            continue;
        }
        ReadChunkData();
        if (m_raw.size() >= 4) {
            summary.FileGamma = static_cast<float>(BigEndian32(m_raw.data()) / 100000.0);
            break;
        }
    }
    return true;
}

void TPNGLoader::Report(TProgressStage stage, const std::string& message) {
    m_graphic.ReportProgress(stage, 0, false, m_graphic.m_progressRect, message);
}

void TPNGLoader::Load() {
    m_graphic.Clear();
    // Nothing of a previous load may stay: not its transparency, not its gamma (below).
    m_graphic.SetTransparent(false);
    m_base = m_stream.Position();
    if (!ReadImageSummary(m_graphic.m_summary)) {
        Fail(TPNGFailure::InvalidFormat);
    }
    const TPNGImageSummary& summary = m_graphic.m_summary;
    m_stream.SetPosition(m_base + 8);
    m_graphic.m_progressRect = Rect(0, 0, static_cast<int>(summary.Width), 1);
    Report(psStarting, "Preparing...");
    ReadChunkHeader();
    m_colors.SetSourceOptions(coBigEndian16);
    // A graphic loaded again must not keep the gamma of its previous file.
    m_colors.SetTargetOptions(0);
    try {
        ReadHeader();
        if (summary.Compression != 2) {
            Fail(TPNGFailure::CompressionNotSupported);
        }
        m_decoder = std::make_unique<TLZ77Decoder>(kPartialFlush, false);
        m_decoder->StartInflate();
        ChunkLoop();
    } catch (...) {
        try {
            Finish();
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
    Finish();
}

void TPNGLoader::Finish() {
    if (m_decoder) {
        std::unique_ptr<TLZ77Decoder> decoder = std::move(m_decoder);
        decoder->EndInflate();
    }
    std::vector<uint8_t>().swap(m_raw);
    Report(psEnding, "");
}

void TPNGLoader::ReadHeader() {
    ReadChunkData();
    if (m_raw.size() < 13) {
        Fail(TPNGFailure::InvalidFormat);
    }
    m_width = BigEndian32(m_raw.data());
    m_height = BigEndian32(m_raw.data() + 4);
    m_bitDepth = m_raw[8];
    m_colorType = m_raw[9];
}

void TPNGLoader::ChunkLoop() {
    ReadChunkHeader();
    for (;;) {
        if (IsChunk("IDAT") && !m_imageDecoded) {
            Report(psEnding, "");
            DecodeImageData();
            m_imageDecoded = true;
            // The chunk that follows the image data is passed over unread, whatever it is.
        } else if (IsChunk("IDAT")) {
            SkipChunk();  // image data again after other chunks: decoded once only
            ReadChunkHeader();
            continue;
        } else if (IsChunk("PLTE")) {
            ReadPalette();
            ReadChunkHeader();
            continue;
        } else if (IsChunk("gAMA")) {
            ReadGamma();
            ReadChunkHeader();
            continue;
        } else if (IsChunk("bKGD")) {
            ReadBackground();
            ReadChunkHeader();
            continue;
        } else if (IsChunk("tRNS")) {
            ReadTransparency();
            ReadChunkHeader();
            continue;
        }
        SkipChunk();
        if (IsChunk("IEND")) {
            // A file without image data has no picture to show; it is not an empty success.
            if (!m_imageDecoded) {
                Fail(TPNGFailure::InvalidFormat);
            }
            return;
        }
        if (IsCritical()) {
            Fail(TPNGFailure::CriticalChunk);
        }
        ReadChunkHeader();
    }
}

void TPNGLoader::ReadPalette() {
    if (m_chunkLength % 3 != 0 || m_chunkLength == 0) {
        Fail(TPNGFailure::InvalidPalette);
    }
    ReadChunkData();
    if (m_colorType != 3) {
        return;
    }
    m_bytesPerPixel = ConfigureConversion();
    // A palette longer than the bit depth can index is cut to what it can index.
    const uint32_t count =
        std::min<uint32_t>(m_chunkLength / 3, 1u << std::min<int>(m_bitDepth, 8));
    const uint8_t* planes[] = {m_raw.data()};
    m_palette = m_colors.BuildColourPalette(planes, 0, count, false);
}

void TPNGLoader::ReadGamma() {
    ReadChunkData();
    if (m_raw.size() < 4) {
        return;
    }
    const auto gamma = static_cast<float>(BigEndian32(m_raw.data()) / 100000.0);
    m_colors.SetGamma(gamma, 2.2f);
    m_colors.SetTargetOptions(m_colors.TargetOptions() | coGammaCorrect);
    m_graphic.m_summary.Options |= 2;
}

void TPNGLoader::ReadBackground() {
    ReadChunkData();
    const uint8_t* d = m_raw.data();
    auto sample = [this](uint16_t v) {
        return static_cast<uint8_t>(m_bitDepth == 16 ? v * 255 / 65535 : v);
    };
    if ((m_colorType == 2 || m_colorType == 6) && m_raw.size() >= 6) {
        m_backgroundColor = RGBColor(sample(BigEndian16(d)), sample(BigEndian16(d + 2)),
                                     sample(BigEndian16(d + 4)));
    } else if ((m_colorType == 0 || m_colorType == 4) && m_raw.size() >= 2) {
        m_backgroundColor = BigEndian16(d);
    } else if (m_colorType == 3 && !m_raw.empty()) {
        m_backgroundColor = d[0];
    }
}

void TPNGLoader::ReadTransparency() {
    ReadChunkData();
    const uint8_t* d = m_raw.data();
    auto sample = [this](uint16_t v) {
        if (m_bitDepth == 16) {
            return static_cast<uint8_t>(v * 255 / 65535);
        }
        // 2-bit keys follow the 2-to-4-bit spreading of the pixels.
        return static_cast<uint8_t>(m_bitDepth == 2 ? v * 5 : v);
    };
    if (m_colorType == 0 && m_raw.size() >= 2) {
        const uint8_t g = sample(BigEndian16(d));
        m_transparentColor = RGBColor(g, g, g);
    } else if (m_colorType == 2 && m_raw.size() >= 6) {
        m_transparentColor = RGBColor(sample(BigEndian16(d)), sample(BigEndian16(d + 2)),
                                      sample(BigEndian16(d + 4)));
    }
}

size_t TPNGLoader::ConfigureConversion() {
    const int d = m_bitDepth;
    auto describe = [this](TSampleScheme source, TSampleScheme target, int sourceBits,
                           int targetBits, int samples) {
        m_colors.SetSourceColorScheme(source);
        m_colors.SetTargetColorScheme(target);
        m_colors.SetSourceBitsPerSample(sourceBits);
        m_colors.SetTargetBitsPerSample(targetBits);
        m_colors.SetSourceSamplesPerPixel(samples);
        m_colors.SetTargetSamplesPerPixel(samples);
    };
    switch (m_colorType) {
        case 0:
            if (d == 1 || d == 2 || d == 4 || d == 8 || d == 16) {
                describe(ssGray, ssGray, d, d == 2 ? 4 : (d == 16 ? 8 : d), 1);
                m_graphic.SetPixelFormat(m_colors.PixelFormatOf(1));
                m_palette = m_colors.BuildGrayPalette(false);
                return static_cast<size_t>((d + 7) / 8);
            }
            break;
        case 2:
            if (d == 8 || d == 16) {
                describe(ssRGB, ssBGR, d, 8, 3);
                m_graphic.SetPixelFormat(pf24bit);
                return static_cast<size_t>(3 * d / 8);
            }
            break;
        case 3:
            if (d == 1 || d == 2 || d == 4 || d == 8) {
                describe(ssIndexed, ssIndexed, d, d == 2 ? 4 : d, 1);
                m_graphic.SetPixelFormat(m_colors.PixelFormatOf(1));
                return 1;
            }
            break;
        case 4:
            if (d == 8 || d == 16) {
                describe(ssGrayAlpha, ssIndexed, d, 8, 1);
                m_graphic.SetPixelFormat(pf8bit);
                m_palette = m_colors.BuildGrayPalette(false);
                return static_cast<size_t>(2 * d / 8);
            }
            break;
        case 6:
            if (d == 8 || d == 16) {
                describe(ssRGBA, ssBGRA, d, 8, 4);
                m_graphic.SetPixelFormat(pf32bit);
                return static_cast<size_t>(4 * d / 8);
            }
            break;
        default:
            break;
    }
    Fail(TPNGFailure::InvalidColorFormat);
}

void TPNGLoader::DecodeImageData() {
    Report(psStarting, "Transfering...");
    if (m_graphic.PixelFormat() == pfDevice) {
        m_bytesPerPixel = ConfigureConversion();
    }
    const size_t channels = m_bitDepth == 16 ? m_bytesPerPixel / 2 : m_bytesPerPixel;
    const uint64_t rowBytes = CheckedMul((CheckedMul(m_width, m_bitDepth) + 7) / 8, channels);

    // The bitmap is sized first: it refuses what it cannot hold before any row buffer exists.
    if (m_palette) {
        m_graphic.SetPalette(*m_palette);
    }
    const int width = static_cast<int>(m_width);
    const int height = static_cast<int>(m_height);
    m_graphic.SetSize(width, height);
    // Rows the image data does not reach show the background. Interlaced images fill in every
    // row from the first pass on; the others are filled below the last decoded row at the end,
    // also when decoding fails, so no row is written twice.
    const bool interlaced = m_graphic.m_summary.Interlaced;
    if (interlaced) {
        m_graphic.FillRect(Rect(0, 0, width, height), m_backgroundColor);
    }
    const TBackgroundBelow background(m_graphic, interlaced ? m_height : m_rowsDecoded,
                                      m_backgroundColor);
    if (m_transparentColor != clNone) {
        m_graphic.SetTransparentColor(m_transparentColor);
        m_graphic.SetTransparent(true);
    }
    // Two rows of the widest images (16-bit RGBA) can outgrow the bitmap; keep them in bounds.
    const uint64_t bufferBytes = CheckedAdd(rowBytes, 1);
    if (bufferBytes > static_cast<uint64_t>(TBitmap::kMaxPixelBytes / 2)) {
        throw EInvalidGraphic(Format("Bitmap size %d x %d is too large", width, height));
    }
    std::vector<uint8_t> current(CheckedNarrow<size_t>(bufferBytes));
    std::vector<uint8_t> previous(current.size());
    const TDataStart start{m_stream.Position(), m_chunkLength, m_chunkType, m_crc,
                           m_graphic.m_progressRect};
    if (!DecodeRows(current.data(), previous.data(), static_cast<size_t>(rowBytes), channels) &&
        m_aheadFailed) {
        // Inflating ahead met an error or the end of the stream. Where a row-by-row read
        // stops then depends on row boundaries, so the data is decoded again that way.
        RestartRowByRow(start);
        if (interlaced) {
            m_graphic.FillRect(Rect(0, 0, width, height), m_backgroundColor);
        }
        std::fill(current.begin(), current.end(), uint8_t{0});
        std::fill(previous.begin(), previous.end(), uint8_t{0});
        DecodeRows(current.data(), previous.data(), static_cast<size_t>(rowBytes), channels);
    }

    // The rest of the image data is read (and checked) but not inflated.
    while (IsChunk("IDAT")) {
        ReadChunkData();
        ReadChunkHeader();
    }
}

void TPNGLoader::RestartRowByRow(const TDataStart& start) {
    m_stream.SetPosition(start.Position);
    m_chunkLength = start.Length;
    m_chunkType = start.Type;
    m_crc = start.Crc;
    m_inputLeft = 0;
    m_aheadBegin = m_aheadEnd = 0;
    m_decoder = std::make_unique<TLZ77Decoder>(kPartialFlush, false);
    m_decoder->StartInflate();
    m_rowByRow = true;
    m_rowsDecoded = 0;
    m_graphic.m_progressRect = start.Progress;
}

// Returns false when the image data ends before the last row; the rows not reached keep the
// background.
bool TPNGLoader::DecodeRows(uint8_t* current, uint8_t* previous, size_t rowBytes, size_t channels) {
    const uint32_t width = m_width;
    auto convert = [&](uint32_t row, size_t length, uint8_t mask) {
        Unfilter(current[0], current + 1, previous + 1, length, m_bytesPerPixel);
        const uint8_t* planes[] = {current + 1};
        m_colors.ConvertRow(planes, m_graphic.ScanLine(static_cast<int>(row)), width, mask);
        std::swap(current, previous);
    };
    auto advanceProgress = [this] {
        m_graphic.m_progressRect.Top += 1;
        m_graphic.m_progressRect.Bottom += 1;
    };
    if (!m_graphic.m_summary.Interlaced) {
        for (uint32_t row = 0; row < m_height; ++row) {
            if (!TakeRow(current, static_cast<uint32_t>(rowBytes + 1))) {
                return false;
            }
            convert(row, rowBytes, 0xFF);
            m_rowsDecoded = row + 1;
            advanceProgress();
        }
        return true;
    }
    for (size_t pass = 0; pass < kAdam7Passes.size(); ++pass) {
        const TAdam7Pass& p = kAdam7Passes[pass];
        if (width <= p.StartColumn) {
            continue;
        }
        const uint64_t passWidth =
            (uint64_t{width} + p.ColumnStep - 1 - p.StartColumn) / p.ColumnStep;
        const size_t passBytes = static_cast<size_t>((passWidth * m_bitDepth + 7) / 8 * channels);
        std::fill(previous, previous + passBytes + 1, uint8_t{0});
        for (uint32_t row = p.StartRow; row < m_height; row += p.RowStep) {
            if (!TakeRow(current, static_cast<uint32_t>(passBytes + 1))) {
                return false;
            }
            convert(row, passBytes, p.Mask);
            if (pass == kAdam7Passes.size() - 1) {
                advanceProgress();
            }
        }
    }
    return true;
}

// Rows come from data inflated ahead, but the outcome must be that of inflating each row
// on its own: those calls stop at the row's end after decoding up to the next output byte,
// and a chunk's last byte, an error or the end of the stream met there decides whether the
// row shows. So the ahead data stops short of each chunk's end (kInputReserve); a row that
// ends before the ahead data does is one those calls would have shown the same way. The row
// in which the ahead data ends is finished by InflateRow from the same inflate state, which
// is where a row-by-row read would be. An error or the end of the stream met ahead makes the
// caller decode the data again row by row.
bool TPNGLoader::TakeRow(uint8_t* target, uint32_t count) {
    if (m_aheadBegin == m_aheadEnd) {
        if (m_rowByRow || m_inputLeft <= kInputReserve) {
            return InflateRow(target, count);
        }
        if (!InflateAhead()) {
            m_aheadFailed = true;
            return false;
        }
    }
    const size_t buffered = m_aheadEnd - m_aheadBegin;
    const size_t taken = std::min<size_t>(buffered, count);
    std::memcpy(target, m_ahead.data() + m_aheadBegin, taken);
    m_aheadBegin += taken;
    if (buffered > count) {
        return true;
    }
    m_aheadBegin = m_aheadEnd = 0;
    return InflateRow(target + taken, count - static_cast<uint32_t>(taken));
}

bool TPNGLoader::InflateAhead() {
    m_ahead.resize(kAheadBytes);
    const uint8_t* source = m_source;
    uint8_t* produced = m_ahead.data();
    m_decoder->InflateSome(source, produced, kAheadBytes, m_inputLeft - kInputReserve);
    m_inputLeft -= static_cast<uint32_t>(source - m_source);
    m_source = source;
    m_aheadBegin = 0;
    m_aheadEnd = static_cast<size_t>(produced - m_ahead.data());
    return m_decoder->ZLibResult() == 0;
}

// With count 0 (a row the ahead data ended exactly with) it still makes the one call that
// decodes up to the next output byte; the input left is never 0 then.
bool TPNGLoader::InflateRow(uint8_t* target, uint32_t count) {
    uint8_t* out = target;
    uint32_t wanted = count;
    do {
        while (m_inputLeft == 0) {
            if (!IsChunk("IDAT")) {
                return false;
            }
            ReadChunkData();
            m_source = m_raw.data();
            m_inputLeft = m_chunkLength;
            ReadChunkHeader();
        }
        const uint8_t* source = m_source;
        uint8_t* produced = out;
        m_decoder->InflateSome(source, produced, wanted, m_inputLeft);
        m_inputLeft -= static_cast<uint32_t>(source - m_source);
        m_source = source;
        wanted -= static_cast<uint32_t>(produced - out);
        out = produced;
        const int result = m_decoder->ZLibResult();
        if (result == 1) {
            if (wanted > 0 || m_inputLeft > 0) {
                Fail(TPNGFailure::ExtraData);
            }
            return true;
        }
        if (result != 0) {
            Fail(TPNGFailure::CompressionError);
        }
    } while (wanted > 0);
    return true;
}

TPNGGraphic::TPNGGraphic() : m_colorManager(std::make_unique<TColorManager>()) {}

TPNGGraphic::~TPNGGraphic() = default;

void TPNGGraphic::LoadStream(TStream& stream) {
    TPNGLoader loader(*this, stream);
    loader.Load();
}

// A 32-bit image is blended by its alpha; a rectangle of another size gets a nearest-pixel
// copy first, which keeps colour and alpha of each pixel together.
void TPNGGraphic::DrawInto(TCanvas& canvas, const TRect& rect) {
    if (PixelFormat() != pf32bit || Empty()) {
        TBitmap::DrawInto(canvas, rect);
        return;
    }
    const int w = rect.Width();
    const int h = rect.Height();
    if (w <= 0 || h <= 0) {
        return;
    }
    if (w == Width() && h == Height()) {
        canvas.AlphaBlend(rect.Left, rect.Top, *this);
        return;
    }
    TBitmap scaled;
    scaled.SetPixelFormat(pf32bit);
    scaled.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* source = ScanLine(static_cast<int>(int64_t{y} * Height() / h));
        uint8_t* target = scaled.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            std::memcpy(target + 4 * x, source + 4 * (int64_t{x} * Width() / w), 4);
        }
    }
    canvas.AlphaBlend(rect.Left, rect.Top, scaled);
}

void TPNGGraphic::Assign(const TPersistent* source) {
    if (const auto* png = dynamic_cast<const TPNGGraphic*>(source)) {
        m_summary = png->m_summary;
    }
    TBitmap::Assign(source);
}

void RegisterPNGFormat(TFileFormatsList& formats) {
    formats.RegisterFormat("png", "Portable Network Graphics", TPNGGraphic::ClassRef());
}

}  // namespace pogoda
