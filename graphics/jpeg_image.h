#pragma once

// JPEG pictures over libjpeg: the compressed bytes are kept (and shared between copies);
// they are decoded into a bitmap the first time the picture is drawn.

#include <memory>

#include "framework/core/exceptions.h"
#include "graphics/graphic.h"

namespace pogoda {

class TBitmap;
class TMemoryStream;
class TFileFormatsList;

POGODA_EXCEPTION(EJPEG, EInvalidGraphic);

enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum TJPEGPixelFormat { jf24Bit, jf8Bit };
enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };

// The settings a new TJPEGImage copies.
struct TJPEGDefaults {
    int CompressionQuality = 90;
    bool Grayscale = false;
    TJPEGPerformance Performance = jpBestQuality;
    TJPEGPixelFormat PixelFormat = jf24Bit;
    bool ProgressiveDisplay = false;
    bool ProgressiveEncoding = false;
    TJPEGScale Scale = jsFullSize;
    bool Smoothing = true;
};
TJPEGDefaults& JPEGDefaults();

class TJPEGImage : public TGraphic {
    POGODA_GRAPHIC_CLASS(TJPEGImage)
public:
    TJPEGImage();
    ~TJPEGImage() override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    // A JPEG's size cannot be set: EInvalidGraphicOperation "Cannot change the size of a JPEG image".
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    const TPalette* Palette() const override;

    // Stored data: a 32-bit little-endian byte count, then that many bytes of a JPEG file.
    void ReadStoredData(TStream& stream) override;
    void WriteStoredData(TStream& stream) const override;
    // The rest of the stream is the JPEG file.
    void LoadStream(TStream& stream) override;
    void SaveStream(TStream& stream) const override;

    // Decodes into the bitmap now; libjpeg errors raise EJPEG "JPEG error #%d".
    void DecodeToBitmap();
    // The decoded bitmap (decoding first when needed).
    const TBitmap& Bitmap();
    void DrawInto(TCanvas& canvas, const TRect& rect) override;

    // Header facts of the compressed data.
    bool IsGrayscaleFile() const;
    bool IsProgressiveFile() const;

    TJPEGDefaults Settings;

    // Shares the compressed data of another JPEG image; a bitmap source is not converted.
    void Assign(const TPersistent* source) override;

private:
    struct Data;
    void ReadData(TStream& stream, int64_t count);

    std::shared_ptr<const Data> m_data;
    std::unique_ptr<TBitmap> m_bitmap;
    mutable int m_scaledWidth = 0;
    mutable int m_scaledHeight = 0;
    mutable bool m_needRecalc = true;
};

// The JPEG unit's start-up: registers "jpeg" and "jpg".
void RegisterJPEGFormats(TFileFormatsList& formats);

}  // namespace pogoda
