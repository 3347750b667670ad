#include "tests/graphics/test_images.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include <jpeglib.h>

namespace pogoda::test {

std::vector<uint8_t> MakeJpeg(int width, int height, const std::function<Rgb(int, int)>& pixel,
                              bool gray, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = gray ? 1 : 3;
    info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = pixel(x, y);
            if (gray) {
                row[static_cast<size_t>(x)] = c.R;
            } else {
                row[3 * static_cast<size_t>(x)] = c.R;
                row[3 * static_cast<size_t>(x) + 1] = c.G;
                row[3 * static_cast<size_t>(x) + 2] = c.B;
            }
        }
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> result(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return result;
}

TempFile::TempFile(const std::string& name) {
    std::random_device random;
    const auto dir = std::filesystem::temp_directory_path() /
                     ("pogoda-graphics-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(dir);
    m_dir = dir.string();
    m_path = (dir / name).string();
}

TempFile::~TempFile() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

void TempFile::Write(const std::vector<uint8_t>& bytes) const {
    std::ofstream out(m_path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace pogoda::test
