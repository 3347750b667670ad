/* peer MODE INPUT REPEAT: decodes INPUT REPEAT times into a fresh buffer each time, as a
 * program loading a file does, and prints "ok W H". Modes:
 *   libpng  rows as pngdecode leaves them: BGR/BGRA, palette indices kept, 16 bits cut to 8,
 *           gray+alpha to gray, gamma applied to colour when the file has gAMA
 *   stb     stb_image's own layout (RGB/RGBA/gray/gray+alpha, 8 bits)
 *   floor   zlib only: every IDAT chunk inflated into one ordinary allocation */
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

static unsigned char* ReadFile(const char* path, size_t* size) {
    FILE* f = fopen(path, "rb");
    if (!f) return NULL;
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fseek(f, 0, SEEK_SET);
    unsigned char* data = malloc((size_t)n);
    if (fread(data, 1, (size_t)n, f) != (size_t)n) { free(data); data = NULL; }
    fclose(f);
    *size = (size_t)n;
    return data;
}

static int DecodeLibpng(const char* path, int* w, int* h) {
    FILE* f = fopen(path, "rb");
    if (!f) return 0;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png_create_info_struct(png);
    unsigned char* pixels = NULL;
    png_bytep* rows = NULL;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, NULL);
        fclose(f);
        free(pixels);
        free(rows);
        return 0;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    int type = png_get_color_type(png, info);
    png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_RGB || type == PNG_COLOR_TYPE_RGB_ALPHA) png_set_bgr(png);
    if (type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_strip_alpha(png);
    double gamma;
    if (type != PNG_COLOR_TYPE_PALETTE && png_get_gAMA(png, info, &gamma)) png_set_gamma(png, 2.2, gamma);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    *w = (int)png_get_image_width(png, info);
    *h = (int)png_get_image_height(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    size_t stride = (rowBytes + 3) & ~(size_t)3; /* bitmap rows are padded to 32 bits */
    pixels = malloc(stride * (size_t)*h);
    rows = malloc(sizeof(png_bytep) * (size_t)*h);
    for (int y = 0; y < *h; ++y) rows[y] = pixels + stride * (size_t)(*h - 1 - y); /* bottom-up */
    png_read_image(png, rows);
    png_read_end(png, NULL);
    png_destroy_read_struct(&png, &info, NULL);
    fclose(f);
    free(pixels);
    free(rows);
    return 1;
}

static int DecodeStb(const char* path, int* w, int* h) {
    int n;
    unsigned char* pixels = stbi_load(path, w, h, &n, 0);
    if (!pixels) return 0;
    stbi_image_free(pixels);
    return 1;
}

static unsigned Be32(const unsigned char* p) {
    return (unsigned)p[0] << 24 | (unsigned)p[1] << 16 | (unsigned)p[2] << 8 | p[3];
}

static int DecodeFloor(const char* path, int* w, int* h) {
    size_t size;
    unsigned char* data = ReadFile(path, &size);
    if (!data || size < 33) { free(data); return 0; }
    *w = (int)Be32(data + 16);
    *h = (int)Be32(data + 20);
    static const int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
    int depth = data[24], type = data[25];
    size_t rowBytes = ((size_t)*w * depth * (size_t)kChannels[type] + 7) / 8 + 1;
    size_t total = rowBytes * (size_t)*h;
    if (data[28]) total += total / 2; /* Adam7 adds a filter byte per pass row; generous */
    unsigned char* out = malloc(total);
    z_stream z;
    memset(&z, 0, sizeof z);
    inflateInit(&z);
    z.next_out = out;
    z.avail_out = (uInt)total;
    int result = Z_OK;
    for (size_t at = 8; at + 12 <= size && result == Z_OK;) {
        unsigned length = Be32(data + at);
        if (memcmp(data + at + 4, "IDAT", 4) == 0) {
            z.next_in = data + at + 8;
            z.avail_in = length;
            result = inflate(&z, Z_NO_FLUSH);
        }
        at += 12 + (size_t)length;
    }
    inflateEnd(&z);
    free(out);
    free(data);
    return result == Z_STREAM_END;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fputs("usage: peer libpng|stb|floor INPUT REPEAT\n", stderr);
        return 2;
    }
    int (*decode)(const char*, int*, int*) = strcmp(argv[1], "libpng") == 0 ? DecodeLibpng
                                           : strcmp(argv[1], "stb") == 0    ? DecodeStb
                                           : strcmp(argv[1], "floor") == 0  ? DecodeFloor
                                                                            : NULL;
    if (!decode) return 2;
    int w = 0, h = 0;
    for (int i = atoi(argv[3]); i > 0; --i) {
        if (!decode(argv[2], &w, &h)) {
            printf("error\n");
            return 1;
        }
    }
    printf("ok %d %d\n", w, h);
    return 0;
}
