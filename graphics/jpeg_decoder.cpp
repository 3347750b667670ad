#include "graphics/jpeg_decoder.h"

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <exception>
#include <vector>

#include <jpeglib.h>

#include "framework/core/text.h"
#include "graphics/bitmap.h"

namespace pogoda::jpeg {

namespace {

constexpr size_t kBlockSize = 4096;
constexpr int kQuantizedColors = 236;
constexpr auto kProgressInterval = std::chrono::milliseconds(500);

// Everything libjpeg's callbacks reach, kept with the decompressor. Only trivially
// destructible state lies between a longjmp and its setjmp.
struct Session {
    jpeg_decompress_struct info{};
    jpeg_error_mgr error{};
    jpeg_source_mgr source{};
    jpeg_progress_mgr monitor{};
    std::jmp_buf jump{};
    std::span<const uint8_t> data;
    size_t position = 0;
    JOCTET endOfImage[2] = {0xFF, JPEG_EOI};
    // Set when a progress handler threw; rethrown once libjpeg is out of the way.
    std::exception_ptr pending;
    const ProgressFn* progress = nullptr;
    bool firstProgress = true;
    std::chrono::steady_clock::time_point lastReport{};
    int lastPercent = -1;
    int lastRow = 0;
    bool created = false;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() {
        if (created) {
            jpeg_destroy_decompress(&info);
        }
    }
};

Session& SessionOf(j_common_ptr cinfo) { return *static_cast<Session*>(cinfo->client_data); }
Session& SessionOf(j_decompress_ptr cinfo) { return *static_cast<Session*>(cinfo->client_data); }

void ErrorExit(j_common_ptr cinfo) { std::longjmp(SessionOf(cinfo).jump, 1); }
void EmitMessage(j_common_ptr, int) {}
void OutputMessage(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    Session& s = SessionOf(cinfo);
    if (s.position < s.data.size()) {
        const size_t count = std::min(kBlockSize, s.data.size() - s.position);
        s.source.next_input_byte = s.data.data() + s.position;
        s.source.bytes_in_buffer = count;
        s.position += count;
    } else {
        // A truncated file ends as if its end-of-image marker had come.
        s.source.next_input_byte = s.endOfImage;
        s.source.bytes_in_buffer = sizeof s.endOfImage;
    }
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    Session& s = SessionOf(cinfo);
    if (count <= 0) {
        return;
    }
    auto remaining = static_cast<size_t>(count);
    while (remaining > s.source.bytes_in_buffer) {
        remaining -= s.source.bytes_in_buffer;
        FillInputBuffer(cinfo);
    }
    s.source.next_input_byte += remaining;
    s.source.bytes_in_buffer -= remaining;
}

void ReportRows(Session& s) {
    const auto& info = s.info;
    const auto now = std::chrono::steady_clock::now();
    if (s.firstProgress) {
        s.firstProgress = false;
        s.lastReport = now;
        return;
    }
    if (now - s.lastReport < kProgressInterval) {
        return;
    }
    const auto& m = s.monitor;
    const int passes = m.total_passes > 0 ? m.total_passes : 1;
    const double done = m.pass_limit > 0 ? static_cast<double>(m.pass_counter) / m.pass_limit : 0;
    const int percent = static_cast<int>((done + m.completed_passes) * 100 / passes);
    if (percent == s.lastPercent) {
        return;
    }
    s.lastPercent = percent;
    s.lastReport = now;
    const int row = static_cast<int>(info.output_scanline);
    TRect band = Rect(0, s.lastRow, static_cast<int>(info.output_width), row);
    s.lastRow = row;
    (*s.progress)(psRunning, static_cast<uint8_t>(std::clamp(percent, 0, 100)), band.Height() > 3, band);
}

void ProgressMonitor(j_common_ptr cinfo) {
    Session& s = SessionOf(cinfo);
    try {
        ReportRows(s);
    } catch (...) {
        s.pending = std::current_exception();
    }
    // Leaves through libjpeg's C frames only after the catch block has been left.
    if (s.pending) {
        std::longjmp(s.jump, 2);
    }
}

void Prepare(Session& s, std::span<const uint8_t> data) {
    s.data = data;
    s.info.err = jpeg_std_error(&s.error);
    s.error.error_exit = ErrorExit;
    s.error.emit_message = EmitMessage;
    s.error.output_message = OutputMessage;
    s.info.client_data = &s;
    s.source.init_source = InitSource;
    s.source.fill_input_buffer = FillInputBuffer;
    s.source.skip_input_data = SkipInputData;
    s.source.resync_to_restart = jpeg_resync_to_restart;
    s.source.term_source = TermSource;
}

// Runs one step of libjpeg work; false when libjpeg failed or a handler threw. The step must
// hold no object with a destructor, since a failure jumps over it.
template <class Step>
bool Guarded(Session& s, Step step) {
    if (setjmp(s.jump) != 0) {
        return false;
    }
    step();
    return true;
}

[[noreturn]] void RaiseFailure(Session& s) {
    if (s.pending) {
        std::rethrow_exception(s.pending);
    }
    throw EJPEG(Format("JPEG error #%d", s.error.msg_code));
}

void Run(Session& s, auto step) {
    if (!Guarded(s, step)) {
        RaiseFailure(s);
    }
}

void Create(Session& s) {
    Run(s, [&] {
        jpeg_create_decompress(&s.info);
        s.created = true;
        s.info.client_data = &s;
        s.info.src = &s.source;
        s.source.bytes_in_buffer = 0;
        s.source.next_input_byte = nullptr;
    });
}

void ApplyScale(jpeg_decompress_struct& info, TJPEGScale scale) {
    info.scale_num = 1;
    info.scale_denom = 1u << static_cast<unsigned>(scale);
}

}  // namespace

HeaderInfo ReadHeader(std::span<const uint8_t> data, TJPEGScale scale) {
    Session s;
    Prepare(s, data);
    Create(s);
    HeaderInfo header;
    Run(s, [&] {
        jpeg_read_header(&s.info, TRUE);
        header.Progressive = jpeg_has_multiple_scans(&s.info) != 0;
        if (scale != jsFullSize) {
            ApplyScale(s.info, scale);
            jpeg_calc_output_dimensions(&s.info);
        }
    });
    header.Grayscale = s.info.jpeg_color_space == JCS_GRAYSCALE;
    const bool full = scale == jsFullSize;
    header.Width = static_cast<int>(full ? s.info.image_width : s.info.output_width);
    header.Height = static_cast<int>(full ? s.info.image_height : s.info.output_height);
    return header;
}

bool Decode(std::span<const uint8_t> data, const TJPEGDefaults& settings, TBitmap& bitmap,
            const ProgressFn& progress) {
    Session s;
    Prepare(s, data);
    s.progress = &progress;
    s.monitor.progress_monitor = ProgressMonitor;
    Create(s);
    jpeg_decompress_struct& info = s.info;
    Run(s, [&] {
        jpeg_read_header(&info, TRUE);
        info.progress = &s.monitor;
        ApplyScale(info, settings.Scale);
        info.do_block_smoothing = settings.Smoothing ? TRUE : FALSE;
        if (settings.Grayscale) {
            info.out_color_space = JCS_GRAYSCALE;
        }
        if (settings.PixelFormat == jf8Bit || info.out_color_space == JCS_GRAYSCALE) {
            info.quantize_colors = TRUE;
            info.desired_number_of_colors = kQuantizedColors;
        }
        if (settings.Performance == jpBestSpeed) {
            info.dct_method = JDCT_IFAST;
            info.two_pass_quantize = FALSE;
            info.dither_mode = JDITHER_ORDERED;
        }
        jpeg_calc_output_dimensions(&info);
    });

    // The bitmap is sized, and its limit applied, before libjpeg allocates its own buffers.
    const bool quantized = info.quantize_colors != FALSE;
    bitmap.SetPixelFormat(quantized ? pf8bit : pf24bit);
    bitmap.SetSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    Run(s, [&] { jpeg_start_decompress(&info); });
    if (quantized) {
        std::vector<TPaletteEntry> entries;
        const bool gray = info.out_color_components == 1;
        for (int i = 0; i < info.actual_number_of_colors; ++i) {
            const JSAMPLE r = info.colormap[0][i];
            entries.push_back({r, gray ? r : info.colormap[1][i], gray ? r : info.colormap[2][i], 0});
        }
        bitmap.SetPalette(TPalette(std::move(entries)));
    }

    const int height = bitmap.Height();
    const bool swapToBgr = !quantized && info.out_color_components == 3;
    for (int row = 0; row < height; ++row) {
        JSAMPROW line = bitmap.ScanLine(row);
        Run(s, [&] { jpeg_read_scanlines(&info, &line, 1); });
        if (swapToBgr) {
            for (int x = 0; x < bitmap.Width(); ++x) {
                std::swap(line[3 * x], line[3 * x + 2]);
            }
        }
    }
    Run(s, [&] { jpeg_finish_decompress(&info); });
    return quantized;
}

}  // namespace pogoda::jpeg
