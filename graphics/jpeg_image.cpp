#include "graphics/jpeg_image.h"

#include <vector>

#include "framework/core/streams.h"
#include "graphics/bitmap.h"
#include "graphics/canvas.h"
#include "graphics/file_formats.h"
#include "graphics/jpeg_decoder.h"

namespace pogoda {

POGODA_DEFINE_GRAPHIC_CLASS(TJPEGImage, TGraphic)

// The compressed bytes and header facts, shared by copies of one picture.
struct TJPEGImage::Data {
    std::vector<uint8_t> Bytes;
    jpeg::HeaderInfo Header;
};

TJPEGDefaults& JPEGDefaults() {
    static TJPEGDefaults defaults;
    return defaults;
}

void RegisterJPEGFormats(TFileFormatsList& formats) {
    formats.RegisterFormat("jpeg", "JPEG Image File", TJPEGImage::ClassRef());
    formats.RegisterFormat("jpg", "JPEG Image File", TJPEGImage::ClassRef());
}

TJPEGImage::TJPEGImage() : Settings(JPEGDefaults()) {}

TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() const { return !m_data || m_data->Bytes.empty(); }

int TJPEGImage::Width() const {
    if (m_bitmap) {
        return m_bitmap->Width();
    }
    if (Empty()) {
        return 0;
    }
    if (Settings.Scale == jsFullSize) {
        return m_data->Header.Width;
    }
    if (m_needRecalc) {
        const jpeg::HeaderInfo scaled = jpeg::ReadHeader(m_data->Bytes, Settings.Scale);
        m_scaledWidth = scaled.Width;
        m_scaledHeight = scaled.Height;
        m_needRecalc = false;
    }
    return m_scaledWidth;
}

int TJPEGImage::Height() const {
    if (m_bitmap) {
        return m_bitmap->Height();
    }
    if (Empty()) {
        return 0;
    }
    if (Settings.Scale == jsFullSize) {
        return m_data->Header.Height;
    }
    Width();  // fills the cached scaled size
    return m_scaledHeight;
}

void TJPEGImage::SetWidth(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

const TPalette* TJPEGImage::Palette() const { return m_bitmap ? m_bitmap->Palette() : nullptr; }

bool TJPEGImage::IsGrayscaleFile() const { return m_data && m_data->Header.Grayscale; }

bool TJPEGImage::IsProgressiveFile() const { return m_data && m_data->Header.Progressive; }

void TJPEGImage::ReadStoredData(TStream& stream) {
    uint8_t raw[4];
    stream.ReadBuffer(raw, sizeof raw);
    const uint32_t count = raw[0] | (raw[1] << 8) | (raw[2] << 16) | (static_cast<uint32_t>(raw[3]) << 24);
    ReadData(stream, count);
}

void TJPEGImage::WriteStoredData(TStream& stream) const {
    const auto count = static_cast<uint32_t>(m_data ? m_data->Bytes.size() : 0);
    const uint8_t raw[4] = {static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
                            static_cast<uint8_t>(count >> 16), static_cast<uint8_t>(count >> 24)};
    stream.WriteBuffer(raw, sizeof raw);
    SaveStream(stream);
}

void TJPEGImage::LoadStream(TStream& stream) { ReadData(stream, stream.Size() - stream.Position()); }

void TJPEGImage::SaveStream(TStream& stream) const {
    if (m_data) {
        stream.WriteBuffer(m_data->Bytes.data(), static_cast<int64_t>(m_data->Bytes.size()));
    }
}

void TJPEGImage::ReadData(TStream& stream, int64_t count) {
    // A count the stream cannot supply fails before anything of that size is allocated.
    if (count < 0 || count > stream.Size() - stream.Position()) {
        throw EReadError(messages::kReadError);
    }
    auto data = std::make_shared<Data>();
    data->Bytes.resize(static_cast<size_t>(count));
    stream.ReadBuffer(data->Bytes.data(), count);
    if (count > 0) {
        data->Header = jpeg::ReadHeader(data->Bytes, jsFullSize);
    }
    m_data = std::move(data);
    m_bitmap.reset();
    m_needRecalc = true;
    SetPaletteModified(true);
    NotifyChanged(this);
}

void TJPEGImage::DecodeToBitmap() {
    auto bitmap = std::make_unique<TBitmap>();
    if (Empty()) {
        m_bitmap = std::move(bitmap);
        return;
    }
    TRect none;
    ReportProgress(psStarting, 0, false, none, {});
    bool paletteModified = false;
    try {
        const jpeg::ProgressFn progress = [this](TProgressStage stage, uint8_t percent,
                                                 bool redrawNow, TRect& band) {
            ReportProgress(stage, percent, redrawNow, band, {});
        };
        paletteModified = jpeg::Decode(m_data->Bytes, Settings, *bitmap, progress);
    } catch (...) {
        ReportProgress(psEnding, 0, false, none, {});
        throw;
    }
    m_bitmap = std::move(bitmap);
    if (paletteModified) {
        SetPaletteModified(true);
    }
    ReportProgress(psEnding, 100, paletteModified, none, {});
    if (paletteModified) {
        NotifyChanged(this);
    }
}

const TBitmap& TJPEGImage::Bitmap() {
    if (!m_bitmap) {
        DecodeToBitmap();
    }
    return *m_bitmap;
}

void TJPEGImage::DrawInto(TCanvas& canvas, const TRect& rect) {
    if (!Empty()) {
        canvas.StretchDraw(rect, Bitmap());
    }
}

void TJPEGImage::Assign(const TPersistent* source) {
    const auto* jpeg = dynamic_cast<const TJPEGImage*>(source);
    if (jpeg == nullptr) {
        TGraphic::Assign(source);
        return;
    }
    if (jpeg == this) {
        return;
    }
    m_data = jpeg->m_data;
    Settings = jpeg->Settings;
    m_bitmap.reset();
    m_needRecalc = true;
    SetPaletteModified(true);
    NotifyChanged(this);
}

}  // namespace pogoda
