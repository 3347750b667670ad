#pragma once

// Pictures made on the fly for the graphics tests.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pogoda::test {

struct Rgb {
    uint8_t R, G, B;
};

// A baseline JPEG of the given size; pixel(x, y) gives the colour (gray images take R).
std::vector<uint8_t> MakeJpeg(int width, int height, const std::function<Rgb(int, int)>& pixel,
                              bool gray = false, int quality = 95);

// A file in a fresh directory of its own, removed with the object.
class TempFile {
public:
    explicit TempFile(const std::string& name);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return m_path; }
    void Write(const std::vector<uint8_t>& bytes) const;

private:
    std::string m_dir;
    std::string m_path;
};

}  // namespace pogoda::test
